// One drag step of the Windows program, timed inside it: after a press far from A, a move of
// the pointer by one pixel sent to the drawing surface, handled, and its repaint painted
// (UpdateWindow), over and over. Prints the median over seven runs of the mean step time;
// the client area is 900 x 541 logical pixels at whatever pixel density Wine was given.
#include "form1.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double seconds()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

void pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}

} // namespace

int wmain()
{
    Gdiplus::GdiplusStartupInput gdiplus;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &gdiplus, nullptr);
    {
        Form1 form(GetModuleHandleW(nullptr));
        ShowWindow(form.window(), SW_SHOWNORMAL);
        UpdateWindow(form.window());
        pump();
        HWND surface = FindWindowExW(form.window(), nullptr, L"Brinmoor.Surface", nullptr);
        const double ratio = GetDpiForWindow(surface) / 96.0;
        const auto at = [ratio](int x, int y) {
            return MAKELPARAM(int(x * ratio), int(y * ratio));
        };
        SendMessageW(surface, WM_LBUTTONDOWN, MK_LBUTTON, at(820, 480));
        constexpr int kSteps = 500;
        std::vector<double> means;
        for (int run = 0; run < 7; ++run) {
            const double start = seconds();
            for (int i = 0; i < kSteps; ++i) {
                const int x = 820 - (i % 40 < 20 ? i % 20 : 20 - i % 20); // back and forth
                SendMessageW(surface, WM_MOUSEMOVE, MK_LBUTTON, at(x, 480));
                UpdateWindow(surface);
            }
            means.push_back((seconds() - start) / kSteps * 1e6);
            pump();
        }
        SendMessageW(surface, WM_LBUTTONUP, 0, at(820, 480));
        std::sort(means.begin(), means.end());
        std::printf("drag step at %.0f %% (900 x 541 logical): median of 7 runs %.1f us, "
                    "fastest %.1f us, slowest %.1f us\n",
            ratio * 100, means[3], means.front(), means.back());
        DestroyWindow(form.window());
    }
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
