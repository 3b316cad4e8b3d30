#ifndef BRINMOOR_WINDOWS_SCREEN_READER_H
#define BRINMOOR_WINDOWS_SCREEN_READER_H

#include <windows.h>

struct IAccPropServices;

// The drawing surface for a screen reader: its description through MSAA's dynamic annotation,
// announcements through UI Automation. Both are looked up when first needed, so the program
// starts on a Windows without them; where one is missing it does nothing.
class ScreenReader
{
public:
    ScreenReader() = default;
    ScreenReader(const ScreenReader &) = delete;
    ScreenReader &operator=(const ScreenReader &) = delete;
    ~ScreenReader();

    void describe(HWND surface, const char *utf8);
    void speak(HWND surface, const char *utf8);

private:
    IAccPropServices *services = nullptr;
    bool looked = false;
};

#endif
