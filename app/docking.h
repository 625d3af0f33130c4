// Docking: every dock tick the panel finds WeChat's main window and stands
// against its right edge, 5 pixels to the right and 3 below its top.
#pragma once

#include <windows.h>

#include <cstdint>

class NotePanel;

// A window's outer rectangle: left, top, width, height in screen pixels.
struct WindowRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// WeChat's main window as read on the latest dock tick (all zeros before),
// and the handle of the latest look-up by either timer. Panel thread only.
extern WindowRect* dockRect;
extern HWND weChatWindow;

// Frees dockRect; registered to run when the program ends.
void releaseDockRect();

// The first top-level window of class "WeChatMainWndForPC" titled "微信".
HWND findWeChatWindow();

// A new record with the window's outer rectangle; all zeros when it cannot
// be read (null or vanished window).
WindowRect* readWindowRect(HWND window);

void onDockTimer(NotePanel& panel);
