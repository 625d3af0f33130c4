#include <windows.h>

#include <atomic>
#include <thread>

#include "app/note_panel.h"
#include "tests/app/panel_fixture.h"

namespace {

RECT windowRect(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

// A child's place in its parent's client area, and in the panel's.
POINT placeIn(HWND child, HWND parent) {
    RECT r = windowRect(child);
    POINT p = {r.left, r.top};
    ScreenToClient(parent, &p);
    return p;
}

Text textOf(HWND window) {
    char buffer[256] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

LONG_PTR styleOf(HWND window) { return GetWindowLongPtrA(window, GWL_STYLE); }

double threadCpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto seconds = [](FILETIME t) { return (double(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7; };
    return seconds(kernel) + seconds(user);
}

}  // namespace

TEST_F(PanelTest, WindowIsFixedSizeAndCentredAtCreation) {
    RECT r = windowRect(panel.window());
    EXPECT_EQ(r.right - r.left, 267);
    EXPECT_EQ(r.bottom - r.top, 422);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 267) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 422) / 2);
    EXPECT_EQ(textOf(panel.window()), "Lanternbay-By:Quillmoth");
    LONG_PTR style = styleOf(panel.window());
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(GetWindowLongPtrA(panel.window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowVisible(panel.window()));
}

TEST_F(PanelTest, ControlsHaveTheirPlacesParentsAndCaptions) {
    struct Expect { HWND control; HWND parent; POINT inParent; POINT inPanel; SIZE size; };
    const Expect expected[] = {
        {panel.idBox(), panel.window(), {13, 3}, {13, 3}, {107, 24}},
        {panel.groupBox(), panel.window(), {6, 10}, {6, 10}, {248, 382}},
        {panel.saveButton(), panel.groupBox(), {9, 353}, {15, 363}, {233, 24}},
        {panel.noteBox(), panel.groupBox(), {7, 20}, {13, 30}, {232, 328}},
    };
    for (const Expect& e : expected) {
        EXPECT_EQ(GetParent(e.control), e.parent);
        POINT p = placeIn(e.control, e.parent);
        EXPECT_EQ(p.x, e.inParent.x);
        EXPECT_EQ(p.y, e.inParent.y);
        POINT q = placeIn(e.control, panel.window());
        EXPECT_EQ(q.x, e.inPanel.x);
        EXPECT_EQ(q.y, e.inPanel.y);
        RECT r = windowRect(e.control);
        EXPECT_EQ(r.right - r.left, e.size.cx);
        EXPECT_EQ(r.bottom - r.top, e.size.cy);
    }
    EXPECT_EQ(textOf(panel.saveButton()), "保存备注");
    EXPECT_EQ(textOf(panel.groupBox()), "");
    EXPECT_EQ(textOf(panel.idBox()), "");
    EXPECT_EQ(textOf(panel.noteBox()), "");

    LONG_PTR note = styleOf(panel.noteBox());
    EXPECT_TRUE(note & ES_MULTILINE);
    EXPECT_TRUE(note & ES_AUTOVSCROLL);
    EXPECT_TRUE(note & ES_WANTRETURN);
    EXPECT_FALSE(note & (WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL | ES_READONLY | ES_NOHIDESEL));
    LONG_PTR id = styleOf(panel.idBox());
    EXPECT_TRUE(id & ES_AUTOHSCROLL);
    EXPECT_FALSE(id & (ES_MULTILINE | ES_PASSWORD | ES_READONLY | ES_UPPERCASE | ES_LOWERCASE | ES_NOHIDESEL));
    EXPECT_EQ(SendMessageA(panel.idBox(), WM_GETFONT, 0, 0),
              reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
}

TEST_F(PanelTest, ControlTextsRoundTripAsCodePage936) {
    ASSERT_EQ(GetACP(), 936u) << "the tests need the ANSI code page 936 (zh_CN locale)";
    const Text id = "\xD5\xC5\xC8\xFD_01";       // 张三_01
    const Text note = "\xB1\xB8\xD7\xA2\r\nline 2";  // 备注, CR LF, line 2
    panel.setIdText(id);
    panel.setNoteText(note);
    EXPECT_EQ(panel.idText(), id);
    EXPECT_EQ(panel.noteText(), note);
    panel.appendNoteText("\r\n\xD6\xD0");
    EXPECT_EQ(panel.noteText(), note + "\r\n\xD6\xD0");
    panel.setSaveCaption("\xB1\xA3\xB4\xE6");
    EXPECT_EQ(textOf(panel.saveButton()), "\xB1\xA3\xB4\xE6");
}

TEST_F(PanelTest, EveryIdBoxWriteEmptiesTheNoteBoxAlsoWithTheSameText) {
    panel.setIdText("bob");
    panel.setNoteText("first");
    panel.setIdText("bob");
    EXPECT_EQ(panel.noteText(), "");
    panel.setNoteText("second");
    panel.setIdText("carol");
    EXPECT_EQ(panel.noteText(), "");
    EXPECT_EQ(panel.idText(), "carol");
}

TEST_F(PanelTest, TypingInTheIdBoxEmptiesTheNoteBoxAtEveryKeystroke) {
    for (char c : Text("ab")) {
        panel.setNoteText("note text");
        SendMessageA(panel.idBox(), WM_CHAR, static_cast<WPARAM>(c), 1);
        EXPECT_EQ(panel.noteText(), "");
    }
    EXPECT_EQ(panel.idText(), "ab");
}

TEST_F(PanelTest, WritesFromAWorkerRunOnThePanelThreadWhileTheWorkerWaits) {
    std::atomic<bool> done{false};
    DWORD panelThread = GetCurrentThreadId();
    DWORD ranOn = 0;
    Text readBack;
    std::thread worker([&] {
        panel.setIdText("from-worker");
        panel.runOnPanelThread([&] { ranOn = GetCurrentThreadId(); });
        readBack = panel.idText();  // the write above has completed by now
        done = true;
    });
    while (!done) waitProcessingEvents(10);
    worker.join();
    EXPECT_EQ(ranOn, panelThread);
    EXPECT_EQ(readBack, "from-worker");
}

TEST_F(PanelTest, EdgesMoveOneAtATimeWithinLimits) {
    panel.setLeft(40);
    panel.setTop(70);
    RECT r = windowRect(panel.window());
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 70);
    EXPECT_EQ(r.right - r.left, 267);
    panel.setLeft(100000);
    EXPECT_EQ(windowRect(panel.window()).left, 32627);
    EXPECT_EQ(windowRect(panel.window()).top, 70);
    panel.setTop(-100000);
    EXPECT_EQ(windowRect(panel.window()).top, -32627);
}

int waitTicks = 0;
void CALLBACK countWaitTick(HWND, UINT, UINT_PTR, DWORD) { ++waitTicks; }

TEST_F(PanelTest, WaitProcessesEventsWithoutSpinning) {
    waitTicks = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 20, countWaitTick);
    double cpuBefore = threadCpuSeconds();
    DWORD start = GetTickCount();
    waitProcessingEvents(600);
    DWORD elapsed = GetTickCount() - start;
    double cpu = threadCpuSeconds() - cpuBefore;
    KillTimer(nullptr, timer);
    EXPECT_GE(elapsed, 600u);
    EXPECT_GE(waitTicks, 5);  // events were handled inside the wait
    EXPECT_LT(cpu, 0.3) << "the wait burned " << cpu << " s of CPU in " << elapsed << " ms";
    start = GetTickCount();
    waitProcessingEvents(0);
    waitProcessingEvents(-5);
    EXPECT_LT(GetTickCount() - start, 100u);
}
