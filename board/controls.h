#ifndef BRINMOOR_BOARD_CONTROLS_H
#define BRINMOOR_BOARD_CONTROLS_H

#include "scene/geometry.h"
#include "scene/palette.h"

#include <array>

// The window's design as every front-end lays it out: its caption and opening size, and the
// six controls the user operates, each with its box in logical pixels, its caption and colours.
namespace board {

inline constexpr const char *kWindowCaption =
    "△ＡＢＣの各辺をそれぞれ１辺とする正三角形   by Tolvane";
inline constexpr float kDesignWidth = 900;
inline constexpr float kDesignHeight = 541;

enum class ControlKind { PushButton, OptionButton, CheckBox };

struct ControlDesign
{
    const char *name; // design name; also the front-ends' object name or element id
    ControlKind kind;
    const char *caption; // UTF-8
    float left;
    float top;
    float width;
    float height;
    scene::Rgb background; // face of a push button, background of an option or check box
    bool whiteText; // caption in white instead of the standard control text colour

    scene::Rect box() const { return {left, top, left + width, top + height}; }
};

// Indices into kControls, which lists the controls in tab order.
enum class Control { Command1, Option1_0, Option1_1, Check1, Command2_0, Command2_1 };
inline constexpr int kControlCount = 6;

inline constexpr std::array<ControlDesign, kControlCount> kControls {{
    {"Command1", ControlKind::PushButton, "初期画面", 8, 8, 89, 57, {255, 255, 192}, false},
    {"Option1_0", ControlKind::OptionButton, "Ａ移動・メモクリア", 112, 16, 145, 17, {0, 192, 192},
        true},
    {"Option1_1", ControlKind::OptionButton, "メモ書き", 112, 40, 81, 17, {0, 192, 192}, true},
    {"Check1", ControlKind::CheckBox, "方眼表示", 128, 72, 97, 17, {255, 255, 255}, false},
    {"Command2_0", ControlKind::PushButton, "点をうつ", 10, 80, 85, 30, {192, 255, 192}, false},
    {"Command2_1", ControlKind::PushButton, "点をけす", 10, 128, 85, 30, {192, 255, 192}, false},
}};

constexpr const ControlDesign &design(Control control)
{
    return kControls[static_cast<std::size_t>(control)];
}

// A push button's face while it is held down: the face a shade darker.
constexpr scene::Rgb pressedFace(scene::Rgb face)
{
    const auto shade = [](int channel) {
        return static_cast<std::uint8_t>((channel * 87 + 50) / 100);
    };
    return {shade(face.r), shade(face.g), shade(face.b)};
}

} // namespace board

#endif
