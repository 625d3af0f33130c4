#include <windows.h>

#include "app/docking.h"
#include "tests/app/panel_fixture.h"

namespace {

// A window that looks like WeChat's main window to the look-up.
class StandInWeChat {
public:
    StandInWeChat(int left, int top, int width, int height, const char* title = "微信") {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "WeChatMainWndForPC";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, wc.lpszClassName, title, WS_POPUP | WS_VISIBLE, left, top, width, height,
                                 nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~StandInWeChat() { close(); }
    void close() {
        if (window) DestroyWindow(window);
        window = nullptr;
    }
    HWND window = nullptr;
};

POINT panelPlace(const NotePanel& panel) {
    RECT r = {};
    GetWindowRect(panel.window(), &r);
    return {r.left, r.top};
}

}  // namespace

TEST_F(PanelTest, DocksBesideWeChatsRightEdge) {
    struct Case { RECT weChat; POINT expected; };
    const Case cases[] = {
        {{100, 50, 700, 500}, {805, 53}},
        {{-300, 20, 700, 500}, {405, 23}},
        {{0, 0, 1, 1}, {6, 3}},
    };
    for (const Case& c : cases) {
        StandInWeChat weChat(c.weChat.left, c.weChat.top, c.weChat.right, c.weChat.bottom);
        ASSERT_TRUE(weChat.window);
        onDockTimer(panel);
        EXPECT_EQ(weChatWindow, weChat.window);
        EXPECT_EQ(dockRect->left, c.weChat.left);
        EXPECT_EQ(dockRect->width, c.weChat.right);
        POINT p = panelPlace(panel);
        EXPECT_EQ(p.x, c.expected.x);
        EXPECT_EQ(p.y, c.expected.y);
        RECT r;
        GetWindowRect(panel.window(), &r);
        EXPECT_EQ(r.right - r.left, 267);  // the panel's size never follows WeChat's
        EXPECT_EQ(r.bottom - r.top, 422);
    }
}

TEST_F(PanelTest, WithoutWeChatThePanelGoesToTheTopLeft) {
    onDockTimer(panel);
    EXPECT_EQ(weChatWindow, nullptr);
    POINT p = panelPlace(panel);
    EXPECT_EQ(p.x, 5);
    EXPECT_EQ(p.y, 3);
    StandInWeChat wrongTitle(100, 50, 700, 500, "WeChat");
    onDockTimer(panel);
    EXPECT_EQ(weChatWindow, nullptr);
    EXPECT_EQ(panelPlace(panel).x, 5);
}

TEST_F(PanelTest, TheDockTimerFollowsMovesAndClosing) {
    StandInWeChat weChat(100, 50, 700, 500);
    waitProcessingEvents(100);
    EXPECT_EQ(panelPlace(panel).x, 805);
    EXPECT_EQ(panelPlace(panel).y, 53);

    MoveWindow(weChat.window, 300, 200, 600, 400, FALSE);
    waitProcessingEvents(60);
    EXPECT_EQ(panelPlace(panel).x, 905);
    EXPECT_EQ(panelPlace(panel).y, 203);

    SetWindowPos(panel.window(), nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // dragged away
    waitProcessingEvents(60);
    EXPECT_EQ(panelPlace(panel).x, 905);

    weChat.close();
    waitProcessingEvents(60);
    EXPECT_EQ(panelPlace(panel).x, 5);
    EXPECT_EQ(panelPlace(panel).y, 3);
}
