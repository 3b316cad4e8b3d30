// Writes what the page's script must know of the core, as JavaScript, when the page is built:
// the record layouts, the numbers of every kind, flag and role (all from boundary.h), the
// caption, the fonts, the memo pen, the controls and the labels. The script reads them before
// the module has even compiled, so it can measure the captions meanwhile, and types none of
// them itself. Also the page's title, as the window's caption: in the page from the start.
// Usage: describe_page OUT.js TITLE.txt (run by Node.js at build time).

#include "web/boundary.h"

#include "scene/fonts.h"

#include <cstddef>
#include <cstdio>

namespace {

// A small JSON writer: the description holds only names, design captions and whole numbers.
class Json
{
public:
    explicit Json(std::FILE *out) : out(out) { }

    Json &open(const char *name, char bracket)
    {
        key(name);
        std::fputc(bracket, out);
        first = true;
        return *this;
    }
    Json &close(char bracket)
    {
        std::fputc(bracket, out);
        first = false;
        return *this;
    }
    Json &number(const char *name, long value)
    {
        key(name);
        std::fprintf(out, "%ld", value);
        return *this;
    }
    Json &string(const char *name, const char *value)
    {
        key(name);
        quoted(value);
        return *this;
    }

private:
    void key(const char *name)
    {
        if (!first)
            std::fputc(',', out);
        first = false;
        if (name) {
            quoted(name);
            std::fputc(':', out);
        }
    }
    void quoted(const char *value)
    {
        std::fputc('"', out);
        for (const char *c = value; *c; ++c) {
            if (*c == '"' || *c == '\\')
                std::fputc('\\', out);
            std::fputc(*c, out);
        }
        std::fputc('"', out);
    }

    std::FILE *out;
    bool first = true;
};

void describe(const board::Board &board, std::FILE *out)
{
    using namespace page; // the lists name the boundary's own records and flags
    Json j(out);
    j.open(nullptr, '{');
#define BRINMOOR_NUMBER(name, value) j.number(#name, long(value));
#define BRINMOOR_GROUP(name, list) j.open(name, '{'), list(BRINMOOR_NUMBER) j.close('}');
#define BRINMOOR_OFFSET(record, field) j.number(#field, offsetof(record, field) / sizeof(float));
#define BRINMOOR_CHANGE(field) BRINMOOR_OFFSET(ChangeRecord, field)
#define BRINMOOR_COMMAND(field) BRINMOOR_OFFSET(scene::DrawCommand, field)
    j.open("change", '{'),
        BRINMOOR_CHANGE_FIELDS(BRINMOOR_CHANGE)
            BRINMOOR_NUMBER(size, sizeof(ChangeRecord) / sizeof(float)) j.close('}');
    j.open("command", '{'),
        BRINMOOR_COMMAND_FIELDS(BRINMOOR_COMMAND)
            BRINMOOR_NUMBER(stride, sizeof(scene::DrawCommand) / sizeof(float)) j.close('}');
    BRINMOOR_GROUP("changeFlags", BRINMOOR_CHANGE_FLAGS)
    BRINMOOR_GROUP("controlBits", BRINMOOR_CONTROL_BITS)
    BRINMOOR_GROUP("draw", BRINMOOR_DRAW_KINDS)
    BRINMOOR_GROUP("controlKinds", BRINMOOR_CONTROL_KINDS)
    BRINMOOR_GROUP("fontRoles", BRINMOOR_FONT_ROLES)
    BRINMOOR_GROUP("keys", BRINMOOR_KEYS)
    BRINMOOR_GROUP("modifiers", BRINMOOR_MODIFIERS)
#undef BRINMOOR_COMMAND
#undef BRINMOOR_CHANGE
#undef BRINMOOR_OFFSET
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
    j.number("focusFrame", long(scene::packedColour(board::kFocusFrameColor)));
    j.open("controls", '[');
    for (const board::ControlDesign &d : board::kControls) {
        j.open(nullptr, '{').string("name", d.name).number("kind", int(d.kind));
        j.string("caption", d.caption).number("left", d.left).number("top", d.top);
        j.number("width", d.width).number("height", d.height);
        j.number("background", scene::packedColour(d.background));
        j.number("pressed", scene::packedColour(board::pressedFace(d.background)));
        j.number("whiteText", d.whiteText).close('}');
    }
    j.close(']').open("labels", '[');
    for (int i = 0; i < scene::kLabelCount; ++i) {
        const scene::LabelItem &label = scene::labelAt(board.scene(), i);
        j.open(nullptr, '{').string("caption", label.Caption);
        j.number("font", int(label.Font)).close('}');
    }
    j.close(']').close('}');
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
    std::fputs(
        "// Written by describe_page when the page was built.\nvar boardDescription = ", out);
    describe(board, out);
    std::fputs(";\n", out);
    if (std::fclose(out) != 0)
        return 1;
    std::FILE *title = std::fopen(argv[2], "w");
    if (!title)
        return 1;
    const bool written = writeTitle(title);
    return std::fclose(title) == 0 && written ? 0 : 1;
}
