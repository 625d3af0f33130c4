// A stand-in for WeChat's main window, for trying docking without WeChat: a
// top-level window of class "WeChatMainWndForPC" titled "微信".
//
//   stand_in_wechat.exe [left top width height]   (default 100 50 700 500)
#include <windows.h>

#include <cstdlib>

namespace {

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT r;
        GetClientRect(window, &r);
        HBRUSH side = CreateSolidBrush(RGB(46, 46, 46));
        RECT bar = {0, 0, 60, r.bottom};
        FillRect(dc, &bar, side);
        DeleteObject(side);
        SetBkMode(dc, TRANSPARENT);
        HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        const char text[] = "微信 (stand-in)";
        TextOutA(dc, 80, 20, text, static_cast<int>(sizeof text - 1));
        SelectObject(dc, old);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int place[4] = {100, 50, 700, 500};
    for (int i = 0; i < 4 && i + 1 < __argc; ++i) place[i] = std::atoi(__argv[i + 1]);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "WeChatMainWndForPC";
    if (!RegisterClassA(&wc)) return 1;
    HWND window = CreateWindowExA(0, wc.lpszClassName, "微信", WS_POPUP | WS_VISIBLE | WS_BORDER, place[0],
                                  place[1], place[2], place[3], nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
