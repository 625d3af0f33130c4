// NotePanel: the program's only window. It holds the ID box, the note box in
// a group box, the save button, and the two timers that drive docking and
// the recognition cycle.
//
// The control operations may be called from any thread: a call from another
// thread is carried out on the panel's thread while the caller waits.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>

#include "common/text.h"

// What the panel knows about the note it shows; touched on the panel's
// thread only (see note_store.h).
struct NoteSession {
    Text boxId;              // the ID box's text as last seen: the note box's text belongs to it
    Text baseline;           // the note box's text as last loaded, saved or emptied
    bool showingStored = false;  // the note box shows boxId's stored note
};

class NotePanel {
public:
    static constexpr int kWidth = 267;
    static constexpr int kHeight = 422;
    static constexpr UINT_PTR kDockTimer = 1;  // 时钟1
    static constexpr UINT_PTR kScanTimer = 2;  // 时钟2
    static constexpr UINT kDockPeriodMs = 10;
    static constexpr UINT kScanPeriodMs = 1000;

    NotePanel() = default;
    ~NotePanel();
    NotePanel(const NotePanel&) = delete;
    NotePanel& operator=(const NotePanel&) = delete;

    // Creates the window centred on the primary screen with its controls,
    // shows it and starts both timers. With quitOnClose, closing the panel
    // ends the thread's message loop.
    bool create(HINSTANCE instance, bool quitOnClose);
    void destroy();

    HWND window() const { return window_; }
    HWND idBox() const { return idBox_; }        // 编辑框2
    HWND noteBox() const { return noteBox_; }    // 编辑框1
    HWND groupBox() const { return groupBox_; }  // 分组框1
    HWND saveButton() const { return saveButton_; }  // 超级按钮1

    Text idText();
    Text noteText();
    // Each write raises the box's content-changed handling exactly once,
    // after the new text is in place, also when the text is the same.
    void setIdText(const Text& text);
    void setNoteText(const Text& text);
    // Caret to the end, scrolled into view, then the text inserted there.
    void appendNoteText(const Text& text);
    void setSaveCaption(const Text& caption);
    // Moves the window's left or top edge (screen pixels, kept within
    // -32627..32627), keeping its size and the other edge.
    void setLeft(int64_t left);
    void setTop(int64_t top);

    // Runs work on the panel's thread; from another thread the caller waits
    // until it has completed.
    void runOnPanelThread(const std::function<void()>& work);
    bool onPanelThread() const;

    NoteSession notes;

private:
    static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK groupBoxProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void moveEdge(bool horizontal, int64_t value);

    HWND window_ = nullptr;
    std::atomic<HWND> sendTarget_{nullptr};  // window_, as other threads may read it
    HWND idBox_ = nullptr;
    HWND groupBox_ = nullptr;
    HWND saveButton_ = nullptr;
    HWND noteBox_ = nullptr;
    DWORD thread_ = 0;
    bool quitOnClose_ = false;
    bool writingIdBox_ = false;  // our own writes raise the change handling themselves
};

// Waits the given milliseconds while processing every pending event of the
// calling thread; blocks between events instead of spinning. Returns at once
// for zero or fewer milliseconds. A quit request ends the wait early and is
// left in the queue for the outer loop.
void waitProcessingEvents(int32_t milliseconds);

// Runs the thread's message loop until a quit request; returns its code.
int runMessageLoop();
