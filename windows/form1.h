#ifndef BRINMOOR_WINDOWS_FORM1_H
#define BRINMOOR_WINDOWS_FORM1_H

#include "board/board.h"
#include "controls.h"
#include "painter.h"
#include "screen_reader.h"

#include <windows.h>

#include <array>
#include <string>
#include <vector>

// The program's one window on Windows: the native controls above a drawing surface that fills
// the client area, both forwarding every message to the board and carrying out its Changes.
// Windows works in device pixels; the board in logical ones, ratio device pixels each.
class Form1
{
public:
    explicit Form1(HINSTANCE instance);
    HWND window() const { return form; }

private:
    template <HWND Form1::*Handle, LRESULT (Form1::*Message)(UINT, WPARAM, LPARAM)>
    static LRESULT CALLBACK procedure(HWND h, UINT message, WPARAM w, LPARAM l);
    LRESULT formMessage(UINT message, WPARAM w, LPARAM l);
    LRESULT surfaceMessage(UINT message, WPARAM w, LPARAM l);

    void apply(const board::Changes &changes);
    void resized();
    void paint();
    void describe();
    scene::Point logical(LPARAM l) const;
    void pointer(const board::Changes &changes, unsigned held);

    board::Board board;
    Painter painter {board.scene()};
    std::vector<scene::DrawCommand> drawList; // kept between paints for its storage
    MemoRaster memo;
    Raster backBuffer;
    Fonts fonts;
    ScreenReader screenReader;
    board::Description description; // told once the frame that shows it is painted
    bool describing = false;
    board::Description pendingSpeech;
    std::wstring tracePath; // where each painted frame's commands go, for the tests

    HWND form = nullptr;
    HWND surface = nullptr;
    Controls controls;
    HWND lastFocus = nullptr;
    float ratio = 1;
    bool captured = false;
};

#endif
