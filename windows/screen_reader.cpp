#include "screen_reader.h"

#include "painter.h"

#include <initguid.h>
#include <oleacc.h>

namespace {

// UI Automation's provider for a window and its notification, Windows 10 1709 and later;
// MinGW has neither declaration nor import library for them.
using HostProviderFromHwnd = HRESULT(WINAPI *)(HWND, IUnknown **);
using RaiseNotificationEvent = HRESULT(WINAPI *)(IUnknown *, int, int, BSTR, BSTR);
constexpr int kNotificationKindActionCompleted = 2;
constexpr int kNotificationProcessingMostRecent = 3;

template <typename Function> Function lookUp(HMODULE module, const char *name)
{
    return module ? reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(module, name)))
                  : nullptr;
}

} // namespace

ScreenReader::~ScreenReader()
{
    if (services)
        services->Release();
}

void ScreenReader::describe(HWND surface, const char *utf8)
{
    if (!looked) {
        looked = true;
        CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
            IID_IAccPropServices, reinterpret_cast<void **>(&services));
    }
    if (services)
        services->SetHwndPropStr(surface, DWORD(OBJID_CLIENT), CHILDID_SELF,
            PROPID_ACC_DESCRIPTION, wide(utf8).c_str());
}

void ScreenReader::speak(HWND surface, const char *utf8)
{
    static HMODULE automation = LoadLibraryW(L"uiautomationcore.dll");
    static const auto provide =
        lookUp<HostProviderFromHwnd>(automation, "UiaHostProviderFromHwnd");
    static const auto raise =
        lookUp<RaiseNotificationEvent>(automation, "UiaRaiseNotificationEvent");
    IUnknown *provider = nullptr;
    if (!provide || !raise || provide(surface, &provider) != S_OK)
        return;
    BSTR words = SysAllocString(wide(utf8).c_str());
    BSTR activity = SysAllocString(L"Brinmoor.board");
    raise(provider, kNotificationKindActionCompleted, kNotificationProcessingMostRecent, words,
        activity);
    SysFreeString(words);
    SysFreeString(activity);
    provider->Release();
}
