// What only the Win32 window can answer, run under Wine by CTest: the tab order the dialog
// manager follows, minimising and restoring with work on the board, and what a screen reader
// reads of the drawing surface. Prints PASS, FAIL or SKIP (with the reason) for each check.
#include "form1.h"

#include <objidl.h>
#include <gdiplus.h>
#include <oleacc.h>

#include <cstdio>
#include <vector>

namespace {

int failures = 0;

void check(bool passed, const char *what)
{
    std::printf("%s: %s\n", passed ? "PASS" : "FAIL", what);
    failures += !passed;
}

void pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}

// The surface's pixels as the screen shows them, those of the controls left white: their focus
// looks are the platform's.
std::vector<DWORD> pixels(HWND surface)
{
    RECT client {};
    GetClientRect(surface, &client);
    Raster copy;
    copy.reset(client.right, client.bottom);
    HDC screen = GetDC(surface);
    BitBlt(copy.dc(), 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
    ReleaseDC(surface, screen);
    GdiFlush();
    const float ratio = GetDpiForWindow(surface) / 96.0f;
    for (const board::ControlDesign &c : board::kControls) {
        const RECT box {LONG(c.left * ratio), LONG(c.top * ratio),
            LONG((c.left + c.width) * ratio), LONG((c.top + c.height) * ratio)};
        FillRect(copy.dc(), &box, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    GdiFlush();
    const auto *first = static_cast<const DWORD *>(copy.bits());
    return std::vector<DWORD>(first, first + client.right * client.bottom);
}

// Tab goes through the controls in the design's order and then to the surface, as Windows
// does it: a disabled button is no stop, and the two options are one, at the selected one.
void tabOrder(HWND form, HWND surface)
{
    std::vector<HWND> expected;
    for (int id : {100, 101, 103, 104}) // 点をけす is disabled, メモ書き not selected
        expected.push_back(GetDlgItem(form, id));
    expected.push_back(surface);
    expected.push_back(expected.front()); // and round again
    std::vector<HWND> visited {GetNextDlgTabItem(form, nullptr, FALSE)};
    while (visited.size() < expected.size())
        visited.push_back(GetNextDlgTabItem(form, visited.back(), FALSE));
    check(visited == expected, "Tab visits the controls in the design's order, then the surface");
}

void minimiseKeepsTheWork(HWND form, HWND surface, float ratio)
{
    const auto at = [ratio](int x, int y) { return MAKELPARAM(int(x * ratio), int(y * ratio)); };
    SendMessageW(surface, WM_LBUTTONDOWN, MK_LBUTTON, at(820, 480)); // A moves by (-30, -20)
    SendMessageW(surface, WM_MOUSEMOVE, MK_LBUTTON, at(790, 460));
    SendMessageW(surface, WM_LBUTTONUP, 0, at(790, 460));
    SendMessageW(GetDlgItem(form, 104), BM_CLICK, 0, 0); // a mark
    SendMessageW(GetDlgItem(form, 102), BM_CLICK, 0, 0); // memo mode, and a stroke
    SendMessageW(surface, WM_LBUTTONDOWN, MK_LBUTTON, at(700, 120));
    SendMessageW(surface, WM_MOUSEMOVE, MK_LBUTTON, at(760, 150));
    SendMessageW(surface, WM_LBUTTONUP, 0, at(760, 150));
    pump();
    UpdateWindow(surface);
    const std::vector<DWORD> before = pixels(surface);
    ShowWindow(form, SW_MINIMIZE);
    pump();
    const bool minimised = IsIconic(form);
    ShowWindow(form, SW_RESTORE);
    pump();
    UpdateWindow(surface);
    check(minimised, "the window minimises");
    check(pixels(surface) == before, "minimising and restoring keeps A, the mark and the stroke");
}

void accessible(HWND surface)
{
    IAccessible *object = nullptr;
    if (AccessibleObjectFromWindow(surface, DWORD(OBJID_CLIENT), IID_IAccessible,
            reinterpret_cast<void **>(&object))
        != S_OK) {
        check(false, "the surface has an accessible object");
        return;
    }
    VARIANT self {};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr, description = nullptr;
    object->get_accName(self, &name);
    check(name && wide(board::kWindowCaption) == name, "the surface's accessible name is the caption");
    if (object->get_accDescription(self, &description) == S_OK && description && *description)
        check(wcsstr(description, L"Ａ") != nullptr, "the surface's description tells where A is");
    else
        std::printf("SKIP: the surface's description: Wine 8 does not implement "
                    "IAccPropServices::SetHwndPropStr\n");
    HMODULE automation = LoadLibraryW(L"uiautomationcore.dll");
    if (!automation || !GetProcAddress(automation, "UiaRaiseNotificationEvent"))
        std::printf("SKIP: announcements: UiaRaiseNotificationEvent is missing (Wine 8)\n");
    SysFreeString(name);
    SysFreeString(description);
    object->Release();
}

} // namespace

int wmain()
{
    Gdiplus::GdiplusStartupInput gdiplus;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &gdiplus, nullptr);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        Form1 form(GetModuleHandleW(nullptr));
        ShowWindow(form.window(), SW_SHOWNORMAL);
        UpdateWindow(form.window());
        pump();
        HWND surface = FindWindowExW(form.window(), nullptr, L"Brinmoor.Surface", nullptr);
        tabOrder(form.window(), surface);
        accessible(surface);
        minimiseKeepsTheWork(form.window(), surface, GetDpiForWindow(surface) / 96.0f);
        DestroyWindow(form.window());
    }
    CoUninitialize();
    Gdiplus::GdiplusShutdown(token);
    return failures ? 1 : 0;
}
