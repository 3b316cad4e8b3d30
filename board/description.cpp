#include "board/description.h"

#include "scene/grid.h"

#include <cmath>
#include <cstddef>

namespace board {

namespace {

    // Appends to a Description and drops what does not fit, keeping it zero-terminated. Plain
    // digits instead of a formatting library: the page carries every byte of its code.
    class Writer
    {
    public:
        explicit Writer(Description &d) : out(d.text) { }

        Writer &operator<<(const char *text)
        {
            for (; *text && length + 1 < out.size(); ++text)
                out[length++] = *text;
            out[length] = '\0';
            return *this;
        }

        // A non-negative number of tenths as "12.3", or a whole number as "12".
        Writer &number(long value, bool tenths)
        {
            char digits[24];
            int count = 0;
            if (tenths) {
                digits[count++] = static_cast<char>('0' + value % 10);
                digits[count++] = '.';
                value /= 10;
            }
            do
                digits[count++] = static_cast<char>('0' + value % 10);
            while (value /= 10);
            char text[sizeof digits + 1];
            for (int i = 0; i < count; ++i)
                text[i] = digits[count - 1 - i];
            text[count] = '\0';
            return *this << text;
        }

        // A distance in grid cells, rounded to a tenth, with the word for its direction.
        Writer &cells(double pixels, double unit, const char *positive, const char *negative)
        {
            const long tenths = unit > 0 ? std::lround(pixels / unit * 10) : 0;
            *this << (tenths < 0 ? negative : positive);
            return number(tenths < 0 ? -tenths : tenths, true) << "マス";
        }

    private:
        std::array<char, sizeof Description::text> &out;
        std::size_t length = 0;
    };

} // namespace

Description describe(const Board &board, unsigned sentences)
{
    const figure::FigureState &f = board.state();
    const double unit = scene::gridSpacing(board.scene());
    Description d;
    Writer w(d);
    if (sentences & FigureSentence)
        w << "三角形ＡＢＣの各辺を１辺とする正三角形ＡＢＦ、ＡＣＤ、ＢＣＥと、"
             "平行四辺形ＡＦＥＤの図です。";
    if (sentences & PlaceSentence) {
        w << "点Ａは、点Ｂから";
        w.cells(f.xA - f.xB, unit, "右へ", "左へ") << "、";
        w.cells(f.yB - f.yA, unit, "上へ", "下へ") << "のところにあります。";
    }
    if (sentences & RectangleSentence)
        w << (board.showsRectangle() ? "四角形ＡＦＥＤは長方形です（水色）。"
                                     : "四角形ＡＦＥＤは長方形ではありません。");
    if (sentences & MarksSentence)
        (w << "うった点は").number(f.markCount, false) << "個です。";
    return d;
}

} // namespace board
