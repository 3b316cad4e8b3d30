#ifndef BRINMOOR_BOARD_DESCRIPTION_H
#define BRINMOOR_BOARD_DESCRIPTION_H

#include "board/board.h"

#include <array>

// The board in words, for someone who cannot see it: what the figure is, where A is, whether
// AFED is shown as a rectangle and how many marks are placed, in short Japanese sentences.
// A's place is counted in grid cells right of and above B, to the nearest tenth. Both
// front-ends show this text on their drawing surface and speak the brief form when it matters.
namespace board {

enum class Detail {
    Full, // every sentence: the drawing surface's description
    Brief, // A's place and the rectangle only: what a live region speaks
};

struct Description
{
    std::array<char, 512> text {}; // UTF-8, ends with a zero byte
    const char *c_str() const { return text.data(); }
};

Description describe(const Board &board, Detail detail = Detail::Full);

} // namespace board

#endif
