// The floor for the Windows program's start-up: a bare Win32 window of Brinmoor's size with one
// button and one Japanese label, and nothing else.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    WNDCLASSEXW c {};
    c.cbSize = sizeof(c);
    c.lpfnWndProc = DefWindowProcW;
    c.hInstance = instance;
    c.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    c.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    c.lpszClassName = L"BareWindow";
    RegisterClassExW(&c);
    HWND window = CreateWindowExW(0, c.lpszClassName, L"bare", WS_OVERLAPPEDWINDOW,
        CW_USEDEFAULT, CW_USEDEFAULT, 900, 541, nullptr, nullptr, instance, nullptr);
    CreateWindowExW(0, L"BUTTON", L"初期画面", WS_CHILD | WS_VISIBLE, 8, 8, 89, 57, window,
        nullptr, instance, nullptr);
    CreateWindowExW(0, L"STATIC", L"正三角形のラベル", WS_CHILD | WS_VISIBLE, 120, 20, 300, 30,
        window, nullptr, instance, nullptr);
    ShowWindow(window, show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
