#ifndef BRINMOOR_WINDOWS_CONTROLS_H
#define BRINMOOR_WINDOWS_CONTROLS_H

#include "board/changes.h"

#include <windows.h>

#include <array>

// The window's six native controls in tab order (board::kControls): BUTTON windows with the
// design's captions, laid out at the window's scale, showing what the board says, drawn in the
// design's colours. Control i has the id kFirstId + i, which its clicks carry.
class Controls
{
public:
    static constexpr int kFirstId = 100;

    Controls() = default;
    Controls(const Controls &) = delete;
    Controls &operator=(const Controls &) = delete;
    ~Controls();

    void create(HWND form, HINSTANCE instance);
    void layOut(float ratio, HFONT font);
    void show(const std::array<board::ControlView, board::kControlCount> &views, HWND form);
    HWND first() const { return handles[0]; }

    // WM_DRAWITEM for a push button; WM_CTLCOLORSTATIC for an option or the check box.
    void draw(const DRAWITEMSTRUCT &item) const;
    LRESULT colour(HDC dc, HWND control) const;

private:
    int indexOf(HWND control) const;

    std::array<HWND, board::kControlCount> handles {};
    std::array<HBRUSH, board::kControlCount> backgrounds {};
};

#endif
