#include "app/note_panel.h"

#include <vector>

#include "app/docking.h"
#include "app/note_store.h"
#include "app/recognition_cycle.h"

namespace {

const char kPanelClass[] = "LanternbayPanel";
const char kPanelCaption[] = "Lanternbay-By:Quillmoth";
const char kSaveCaption[] = "保存备注";

constexpr int kIdBoxId = 1002;       // 编辑框2
constexpr int kGroupBoxId = 1003;    // 分组框1
constexpr int kSaveButtonId = 1004;  // 超级按钮1
constexpr int kNoteBoxId = 1001;     // 编辑框1
constexpr UINT kRunMessage = WM_APP + 1;  // wParam: the std::function to run
constexpr int64_t kEdgeLimit = 32627;

// The panel whose controls Tab moves between, for the loops below.
thread_local HWND tabWindow = nullptr;
// The button class's own procedure, under the group box's forwarding one.
WNDPROC groupBoxDefaultProc = nullptr;

bool registerPanelClass(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kPanelClass;
    return RegisterClassExA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND createControl(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, HWND parent,
                   int id, HINSTANCE instance, DWORD exStyle = 0) {
    HWND control = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, x, y,
                                   w, h, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                                   nullptr);
    if (control) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return control;
}

Text windowText(HWND window) {
    int length = GetWindowTextLengthA(window);
    if (length <= 0) return Text();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    int got = GetWindowTextA(window, buffer.data(), length + 1);
    return Text(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

void dispatch(MSG& msg) {
    if (tabWindow && IsWindow(tabWindow) && IsDialogMessageA(tabWindow, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

}  // namespace

NotePanel::~NotePanel() { destroy(); }

bool NotePanel::create(HINSTANCE instance, bool quitOnClose) {
    if (window_ || !registerPanelClass(instance, windowProc)) return false;
    quitOnClose_ = quitOnClose;
    thread_ = GetCurrentThreadId();
    int left = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    int top = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    window_ = CreateWindowExA(WS_EX_CONTROLPARENT, kPanelClass, kPanelCaption,
                              WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, left,
                              top, kWidth, kHeight, nullptr, nullptr, instance, this);
    if (!window_) return false;
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);

    groupBox_ = createControl("BUTTON", "", BS_GROUPBOX, 6, 10, 248, 382, window_, kGroupBoxId, instance,
                              WS_EX_CONTROLPARENT);
    idBox_ = createControl("EDIT", "", WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, 13, 3, 107, 24,
                           window_, kIdBoxId, instance);
    saveButton_ = createControl("BUTTON", kSaveCaption, WS_TABSTOP | BS_PUSHBUTTON, 9, 353, 233, 24, groupBox_,
                                kSaveButtonId, instance);
    noteBox_ = createControl("EDIT", "",
                             WS_BORDER | WS_TABSTOP | ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                             7, 20, 232, 328, groupBox_, kNoteBoxId, instance);
    if (!groupBox_ || !idBox_ || !saveButton_ || !noteBox_) {
        destroy();
        return false;
    }
    // The group box would keep its children's notifications to itself.
    SetWindowLongPtrA(groupBox_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    groupBoxDefaultProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(groupBox_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(groupBoxProc)));
    // The ID box sits on the group box's top edge, drawn above it.
    SetWindowPos(idBox_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(idBox_, EM_SETLIMITTEXT, 0, 0);
    SendMessageA(noteBox_, EM_SETLIMITTEXT, 0, 0);

    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    SetTimer(window_, kScanTimer, kScanPeriodMs, nullptr);
    SetTimer(window_, kDockTimer, kDockPeriodMs, nullptr);
    tabWindow = window_;
    sendTarget_ = window_;
    return true;
}

void NotePanel::destroy() {
    if (window_ && onPanelThread()) DestroyWindow(window_);
}

bool NotePanel::onPanelThread() const { return GetCurrentThreadId() == thread_; }

void NotePanel::runOnPanelThread(const std::function<void()>& work) {
    if (onPanelThread()) {
        work();
        return;
    }
    // A cross-thread send is carried out by the panel's thread, also inside
    // its nested waits, while this thread waits for it to complete.
    HWND window = sendTarget_;
    if (window) SendMessageA(window, kRunMessage, reinterpret_cast<WPARAM>(&work), 0);
}

Text NotePanel::idText() {
    Text text;
    runOnPanelThread([&] { text = windowText(idBox_); });
    return text;
}

Text NotePanel::noteText() {
    Text text;
    runOnPanelThread([&] { text = windowText(noteBox_); });
    return text;
}

void NotePanel::setIdText(const Text& text) {
    runOnPanelThread([&] {
        writingIdBox_ = true;
        SetWindowTextA(idBox_, text.c_str());
        writingIdBox_ = false;
        onIdBoxChanged(*this);
    });
}

void NotePanel::setNoteText(const Text& text) {
    runOnPanelThread([&] { SetWindowTextA(noteBox_, text.c_str()); });
}

void NotePanel::appendNoteText(const Text& text) {
    runOnPanelThread([&] {
        // Edit controls count characters, not bytes.
        int end = GetWindowTextLengthW(noteBox_);
        SendMessageA(noteBox_, EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
        SendMessageA(noteBox_, EM_SCROLLCARET, 0, 0);
        SendMessageA(noteBox_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    });
}

void NotePanel::setSaveCaption(const Text& caption) {
    runOnPanelThread([&] { SetWindowTextA(saveButton_, caption.c_str()); });
}

void NotePanel::setLeft(int64_t left) { moveEdge(true, left); }
void NotePanel::setTop(int64_t top) { moveEdge(false, top); }

void NotePanel::moveEdge(bool horizontal, int64_t value) {
    int edge = static_cast<int>(value > kEdgeLimit ? kEdgeLimit : value < -kEdgeLimit ? -kEdgeLimit : value);
    runOnPanelThread([&] {
        if (!window_) return;
        if (IsIconic(window_)) {
            // A minimised panel keeps its docked place for when it is restored.
            WINDOWPLACEMENT placement = {};
            placement.length = sizeof placement;
            if (!GetWindowPlacement(window_, &placement)) return;
            RECT& r = placement.rcNormalPosition;
            if (horizontal) OffsetRect(&r, edge - r.left, 0); else OffsetRect(&r, 0, edge - r.top);
            placement.showCmd = SW_SHOWMINNOACTIVE;
            SetWindowPlacement(window_, &placement);
            return;
        }
        RECT r;
        if (!GetWindowRect(window_, &r)) return;
        int x = horizontal ? edge : r.left;
        int y = horizontal ? r.top : edge;
        SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    });
}

LRESULT CALLBACK NotePanel::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created->lpCreateParams));
        static_cast<NotePanel*>(created->lpCreateParams)->window_ = window;
    }
    auto* panel = reinterpret_cast<NotePanel*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!panel) return DefWindowProcA(window, message, wParam, lParam);
    return panel->handle(message, wParam, lParam);
}

LRESULT CALLBACK NotePanel::groupBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* panel = reinterpret_cast<NotePanel*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_COMMAND && panel && panel->window_)
        return SendMessageA(panel->window_, message, wParam, lParam);
    if (message == WM_ERASEBKGND) {
        // A group box draws only its frame; with children of its own its
        // inside must be painted too.
        RECT r;
        GetClientRect(window, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    return CallWindowProcA(groupBoxDefaultProc, window, message, wParam, lParam);
}

LRESULT NotePanel::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kRunMessage:
        (*reinterpret_cast<const std::function<void()>*>(wParam))();
        return 0;
    case WM_TIMER:
        if (wParam == kDockTimer) onDockTimer(*this);
        else if (wParam == kScanTimer) onScanTimer(*this);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kSaveButtonId && HIWORD(wParam) == BN_CLICKED) {
            onSaveClicked(*this);
            return 0;
        }
        if (LOWORD(wParam) == kIdBoxId && HIWORD(wParam) == EN_CHANGE && !writingIdBox_) {
            onIdBoxChanged(*this);
            return 0;
        }
        break;
    case WM_DESTROY:
        KillTimer(window_, kDockTimer);
        KillTimer(window_, kScanTimer);
        if (tabWindow == window_) tabWindow = nullptr;
        if (quitOnClose_) PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY: {
        HWND window = window_;
        sendTarget_ = nullptr;
        window_ = idBox_ = groupBox_ = saveButton_ = noteBox_ = nullptr;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void waitProcessingEvents(int32_t milliseconds) {
    if (milliseconds <= 0) return;
    const DWORD deadline = GetTickCount() + static_cast<DWORD>(milliseconds);
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            dispatch(msg);
        }
        // Past the deadline means strictly greater, also across the tick
        // counter's wrap-around.
        DWORD now = GetTickCount();
        if (static_cast<int32_t>(now - deadline) > 0) return;
        DWORD left = deadline - now + 1;
        MsgWaitForMultipleObjectsEx(0, nullptr, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

int runMessageLoop() {
    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) return -1;
        dispatch(msg);
    }
    return static_cast<int>(msg.wParam);
}
