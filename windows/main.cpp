// The scratch program's shape: start GDI+ and COM, make the window, run the message loop.
#include "form1.h"

#include <objidl.h>
#include <gdiplus.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    Gdiplus::GdiplusStartupInput gdiplus;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &gdiplus, nullptr);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int code = 0;
    {
        Form1 form(instance);
        ShowWindow(form.window(), show);
        MSG message;
        // The dialog manager moves the focus with Tab in the controls' order.
        while (GetMessageW(&message, nullptr, 0, 0) > 0)
            if (!IsDialogMessageW(form.window(), &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        code = int(message.wParam);
    }
    CoUninitialize();
    Gdiplus::GdiplusShutdown(token);
    return code;
}
