#include "app/docking.h"

#include "app/note_panel.h"

WindowRect* dockRect = nullptr;
HWND weChatWindow = nullptr;

void releaseDockRect() {
    delete dockRect;
    dockRect = nullptr;
}

HWND findWeChatWindow() { return FindWindowExA(nullptr, nullptr, "WeChatMainWndForPC", "微信"); }

WindowRect* readWindowRect(HWND window) {
    RECT r = {0, 0, 0, 0};
    if (!window || !GetWindowRect(window, &r)) r = RECT{0, 0, 0, 0};
    auto* rect = new WindowRect;
    rect->left = r.left;
    rect->top = r.top;
    rect->width = r.right - r.left;
    rect->height = r.bottom - r.top;
    return rect;
}

void onDockTimer(NotePanel& panel) {
    weChatWindow = findWeChatWindow();
    WindowRect* rect = readWindowRect(weChatWindow);
    delete dockRect;
    dockRect = rect;
    panel.setLeft(int64_t(dockRect->left) + dockRect->width + 5);
    panel.setTop(int64_t(dockRect->top) + 3);
}
