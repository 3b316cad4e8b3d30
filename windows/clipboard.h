#ifndef BRINMOOR_WINDOWS_CLIPBOARD_H
#define BRINMOOR_WINDOWS_CLIPBOARD_H

#include "board/board.h"
#include "painter.h"

#include <windows.h>

// Puts the board's picture on the clipboard as a device-independent bitmap and as PNG (the
// registered "PNG" format that office programs and browsers paste).
void copyPicture(HWND owner, const board::Board &board, const Painter &painter,
    const Raster &memo, const Fonts &fonts);

#endif
