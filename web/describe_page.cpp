// Writes what the page's script must know of the core, as JavaScript, when the page is built:
// the record layouts, the numbers of every kind, flag and role (all from boundary.h), the
// caption, the fonts, the memo pen, the controls and the labels. The script reads them before
// the module has even compiled, so it can measure the captions meanwhile, and types none of
// them itself. Also the page's title, as the window's caption: in the page from the start.
// Usage: describe_page OUT.js TITLE.txt (run by Node.js at build time).

#include "web/boundary.h"

#include "scene/fonts.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace {

// A small JSON writer into a fixed buffer that stops rather than overrun: the description holds
// only names, design captions and whole numbers, about 2 KB.
class Json
{
public:
    Json &open(const char *name, char bracket)
    {
        key(name);
        put(bracket);
        first = true;
        return *this;
    }
    Json &close(char bracket)
    {
        put(bracket);
        first = false;
        return *this;
    }
    Json &number(const char *name, long value)
    {
        key(name);
        if (value < 0)
            put('-');
        char digits[24];
        int count = 0;
        unsigned long rest = value < 0 ? 0ul - static_cast<unsigned long>(value) : value;
        do
            digits[count++] = static_cast<char>('0' + rest % 10);
        while (rest /= 10);
        while (count > 0)
            put(digits[--count]);
        return *this;
    }
    Json &string(const char *name, const char *value)
    {
        key(name);
        quoted(value);
        return *this;
    }
    const char *finish()
    {
        put('\0');
        return text.data();
    }

private:
    void put(char c)
    {
        if (length == text.size())
            std::abort();
        text[length++] = c;
    }
    void key(const char *name)
    {
        if (!first)
            put(',');
        first = false;
        if (name) {
            quoted(name);
            put(':');
        }
    }
    void quoted(const char *value)
    {
        put('"');
        for (const char *c = value; *c; ++c) {
            if (*c == '"' || *c == '\\')
                put('\\');
            put(*c);
        }
        put('"');
    }

    std::array<char, 4096> text;
    std::size_t length = 0;
    bool first = true;
};

const char *describe(const board::Board &board)
{
    using namespace page; // the lists name the boundary's own records and flags
    static Json j; // some 4 KB: not on the stack
    j.open(nullptr, '{');
#define BRINMOOR_NUMBER(name, value) j.number(#name, long(value));
#define BRINMOOR_GROUP(name, list) j.open(name, '{'), list(BRINMOOR_NUMBER) j.close('}');
    BRINMOOR_GROUP("change", BRINMOOR_CHANGE_FIELDS)
    BRINMOOR_GROUP("changeFlags", BRINMOOR_CHANGE_FLAGS)
    BRINMOOR_GROUP("command", BRINMOOR_COMMAND_FIELDS)
    BRINMOOR_GROUP("draw", BRINMOOR_DRAW_KINDS)
    BRINMOOR_GROUP("controlStates", BRINMOOR_CONTROL_STATES)
    BRINMOOR_GROUP("controlKinds", BRINMOOR_CONTROL_KINDS)
    BRINMOOR_GROUP("fontRoles", BRINMOOR_FONT_ROLES)
    BRINMOOR_GROUP("arrows", BRINMOOR_ARROWS)
#undef BRINMOOR_GROUP
#undef BRINMOOR_NUMBER
    j.string("caption", board::kWindowCaption);
    j.open("fontFamilies", '[');
    for (const char *family : scene::kFontFamilies)
        j.string(nullptr, family);
    j.close(']').open("fontPixels", '[');
    for (int role = 0; role < scene::kFontRoleCount; ++role)
        j.number(nullptr, scene::fontPixels(scene::FontRole(role)));
    j.close(']').open("memo", '{');
    j.number("colour", long(scene::packedColour(board::kMemoColor)));
    j.number("width", board::kMemoPenWidth).close('}');
    j.open("controls", '[');
    for (const board::ControlDesign &d : board::kControls) {
        j.open(nullptr, '{').string("name", d.name).number("kind", int(d.kind));
        j.string("caption", d.caption).number("left", d.left).number("top", d.top);
        j.number("width", d.width).number("height", d.height);
        j.number("background", scene::packedColour(d.background));
        j.number("whiteText", d.whiteText).close('}');
    }
    j.close(']').open("labels", '[');
    for (int i = 0; i < scene::kLabelCount; ++i) {
        const scene::LabelItem &label = scene::labelAt(board.scene(), i);
        j.open(nullptr, '{').string("caption", label.Caption);
        j.number("font", int(label.Font)).close('}');
    }
    return j.close(']').close('}').finish();
}

// The window's caption as the text of the page's title element: its runs of spaces kept as
// no-break spaces, since a title's spaces collapse; nothing in it may read as markup.
bool writeTitle(std::FILE *out)
{
    for (const char *c = board::kWindowCaption; *c; ++c) {
        if (*c == '<' || *c == '&')
            return false;
        if (*c == ' ')
            std::fputs("\u00a0", out);
        else
            std::fputc(*c, out);
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    const board::Board board;
    std::FILE *out = std::fopen(argv[1], "w");
    if (!out)
        return 1;
    std::fprintf(out,
        "// Written by describe_page when the page was built.\nvar boardDescription = %s;\n",
        describe(board));
    if (std::fclose(out) != 0)
        return 1;
    std::FILE *title = std::fopen(argv[2], "w");
    if (!title)
        return 1;
    const bool written = writeTitle(title);
    return std::fclose(title) == 0 && written ? 0 : 1;
}
