#ifndef BRINMOOR_BOARD_DESCRIPTION_H
#define BRINMOOR_BOARD_DESCRIPTION_H

#include "board/board.h"

// The board in words, for someone who cannot see it: what the figure is, where A is, whether
// AFED is shown as a rectangle and how many marks are placed, in short Japanese sentences.
// A's place is counted in grid cells right of and above B, to the nearest tenth. Every
// front-end shows the whole text on its drawing surface; a screen reader speaks the sentences
// that a change concerns.
namespace board {

// The sentences, in the order they are told.
enum Sentence : unsigned {
    FigureSentence = 1, // what the figure is
    PlaceSentence = 2, // where A is
    RectangleSentence = 4, // whether AFED is shown as a rectangle
    MarksSentence = 8, // how many marks are placed
    AllSentences = 15, // the drawing surface's description
};

Description describe(const Board &board, unsigned sentences = AllSentences);

} // namespace board

#endif
