#ifndef BRINMOOR_WINDOWS_PAINTER_H
#define BRINMOOR_WINDOWS_PAINTER_H

#include "scene/draw_list.h"
#include "scene/fonts.h"
#include "scene/scene.h"

#include <windows.h>

#include <array>
#include <string>
#include <vector>

// A top-down DIB section with its own memory DC: the back buffer, the memo raster and the
// copied picture. Device pixels, 32 bits each (the copied picture's format) or 24 (see
// Painter::paint).
class Raster
{
public:
    Raster() = default;
    Raster(const Raster &) = delete;
    Raster &operator=(const Raster &) = delete;
    ~Raster() { reset(0, 0); }

    // A new raster of the given size, white; 0 x 0 frees it.
    void reset(int width, int height, int bitsPerPixel = 32);
    HDC dc() const { return memoryDc; }
    int width() const { return pixelWidth; }
    int height() const { return pixelHeight; }
    void *bits() const { return pixels; }

private:
    HDC memoryDc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    void *pixels = nullptr;
    int pixelWidth = 0;
    int pixelHeight = 0;
};

// The memo strokes at device resolution, on white, so that the frame copies them as they are.
class MemoRaster
{
public:
    // Fits the raster to a new size and ratio, the strokes scaled along.
    void fit(int width, int height, float ratio);
    void clear();
    void drawSegment(scene::Point from, scene::Point to);
    const Raster &raster() const { return pixels; }

private:
    Raster pixels;
    float ratio = 1;
};

// The fonts of the three roles at a device pixel size, the first family of scene::kFontFamilies
// that is installed, then the platform's own.
class Fonts
{
public:
    Fonts() = default;
    Fonts(const Fonts &) = delete;
    Fonts &operator=(const Fonts &) = delete;
    ~Fonts();
    void create(float ratio);
    HFONT operator[](scene::FontRole role) const { return fonts[std::size_t(role)]; }

private:
    std::array<HFONT, scene::kFontRoleCount> fonts {};
};

std::wstring wide(const char *utf8);

// The width of a label's caption in logical pixels, with its font at 96 dpi.
float captionWidth(const scene::LabelItem &label);

// Walks a draw list onto a raster at ratio device pixels per logical pixel: GDI+ for the
// shapes and strokes (antialiased), GDI for the captions (as the controls draw theirs).
class Painter
{
public:
    explicit Painter(const scene::Scene &scene);
    void paint(Raster &target, const std::vector<scene::DrawCommand> &list, const Raster &memo,
        float ratio, const Fonts &fonts) const;

private:
    std::array<std::wstring, scene::kLabelCount> captions;
};

#endif
