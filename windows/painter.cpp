#include "painter.h"

#include "board/board.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cmath>
#include <utility>

namespace {

namespace gp = Gdiplus;
using scene::DrawKind;

gp::Color argb(float packed)
{
    return gp::Color(0xff000000 | static_cast<gp::ARGB>(packed));
}

COLORREF colorRef(float packed)
{
    const auto c = static_cast<unsigned>(packed);
    return RGB((c >> 16) & 0xff, (c >> 8) & 0xff, c & 0xff);
}

gp::RectF boxOf(const scene::DrawCommand &c)
{
    return gp::RectF(c.x1, c.y1, c.x2 - c.x1, c.y2 - c.y1);
}

// A box in logical pixels as the device pixels it covers.
RECT deviceBox(const scene::DrawCommand &c, float ratio)
{
    return {LONG(std::lround(c.x1 * ratio)), LONG(std::lround(c.y1 * ratio)),
        LONG(std::lround(c.x2 * ratio)), LONG(std::lround(c.y2 * ratio))};
}

void fill(HDC dc, const RECT &box, float colour)
{
    SetDCBrushColor(dc, colorRef(colour));
    FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

int CALLBACK familyFound(const LOGFONTW *, const TEXTMETRICW *, DWORD, LPARAM found)
{
    *reinterpret_cast<bool *>(found) = true;
    return 0;
}

std::wstring firstInstalledFamily()
{
    HDC screen = GetDC(nullptr);
    std::wstring chosen = L"Segoe UI";
    for (const char *family : scene::kFontFamilies) {
        LOGFONTW wanted {};
        wanted.lfCharSet = DEFAULT_CHARSET;
        wcsncpy(wanted.lfFaceName, wide(family).c_str(), LF_FACESIZE - 1);
        bool found = false;
        EnumFontFamiliesExW(screen, &wanted, familyFound, LPARAM(&found), 0);
        if (found) {
            chosen = wanted.lfFaceName;
            break;
        }
    }
    ReleaseDC(nullptr, screen);
    return chosen;
}

HFONT fontAt(scene::FontRole role, float ratio)
{
    static const std::wstring family = firstInstalledFamily();
    return CreateFontW(-int(std::lround(scene::fontPixels(role) * ratio)), 0, 0, 0, FW_NORMAL,
        FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
        DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, family.c_str());
}

} // namespace

std::wstring wide(const char *utf8)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring text(std::size_t(n > 0 ? n - 1 : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, text.data(), n);
    return text;
}

void Raster::reset(int width, int height, int bitsPerPixel)
{
    if (memoryDc) {
        SelectObject(memoryDc, previous);
        DeleteObject(bitmap);
        DeleteDC(memoryDc);
        memoryDc = nullptr, bitmap = nullptr, pixels = nullptr;
    }
    pixelWidth = width, pixelHeight = height;
    if (width <= 0 || height <= 0)
        return;
    BITMAPINFO info {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, WORD(bitsPerPixel), BI_RGB,
        0, 0, 0, 0, 0};
    memoryDc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(memoryDc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    previous = SelectObject(memoryDc, bitmap);
    PatBlt(memoryDc, 0, 0, width, height, WHITENESS);
}

void MemoRaster::fit(int width, int height, float newRatio)
{
    Raster scaled;
    scaled.reset(width, height);
    if (pixels.dc() && scaled.dc()) {
        SetStretchBltMode(scaled.dc(), HALFTONE);
        StretchBlt(scaled.dc(), 0, 0, int(std::lround(pixels.width() * newRatio / ratio)),
            int(std::lround(pixels.height() * newRatio / ratio)), pixels.dc(), 0, 0,
            pixels.width(), pixels.height(), SRCCOPY);
    }
    pixels.reset(width, height);
    if (pixels.dc() && scaled.dc())
        BitBlt(pixels.dc(), 0, 0, width, height, scaled.dc(), 0, 0, SRCCOPY);
    ratio = newRatio;
}

void MemoRaster::clear()
{
    if (pixels.dc())
        PatBlt(pixels.dc(), 0, 0, pixels.width(), pixels.height(), WHITENESS);
}

void MemoRaster::drawSegment(scene::Point from, scene::Point to)
{
    if (!pixels.dc())
        return;
    gp::Graphics g(pixels.dc());
    g.SetSmoothingMode(gp::SmoothingModeAntiAlias);
    g.SetPixelOffsetMode(gp::PixelOffsetModeHalf);
    g.ScaleTransform(ratio, ratio);
    const scene::Rgb ink = board::kMemoColor;
    gp::Pen pen(gp::Color(ink.r, ink.g, ink.b), float(board::kMemoPenWidth));
    pen.SetLineCap(gp::LineCapRound, gp::LineCapRound, gp::DashCapRound);
    pen.SetLineJoin(gp::LineJoinRound);
    g.DrawLine(&pen, gp::PointF(float(from.x), float(from.y)), gp::PointF(float(to.x), float(to.y)));
}

Fonts::~Fonts()
{
    for (HFONT font : fonts)
        DeleteObject(font);
}

void Fonts::create(float ratio)
{
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        DeleteObject(fonts[i]);
        fonts[i] = fontAt(scene::FontRole(i), ratio);
    }
}

float captionWidth(const scene::LabelItem &label)
{
    HDC screen = GetDC(nullptr);
    HFONT font = fontAt(label.Font, 1);
    HGDIOBJ old = SelectObject(screen, font);
    const std::wstring text = wide(label.Caption);
    SIZE size {};
    GetTextExtentPoint32W(screen, text.c_str(), int(text.size()), &size);
    SelectObject(screen, old);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    return float(size.cx);
}

Painter::Painter(const scene::Scene &scene)
{
    for (int i = 0; i < scene::kLabelCount; ++i)
        captions[std::size_t(i)] = wide(scene::labelAt(scene, i).Caption);
}

void Painter::paint(Raster &target, const std::vector<scene::DrawCommand> &list,
    const Raster &memo, float ratio, const Fonts &fonts) const
{
    // The antialiased strokes, discs and shapes go through GDI+, everything else lies on whole
    // device pixels and goes through GDI, many times faster; GDI takes the DC from GDI+ for as
    // long as it draws (GetHDC flushes what GDI+ drew). One Graphics on the raster's DC: into a
    // 24-bit DIB, Wine's GDI+ draws through GDI at 10-40 us a call; wrapped as a GDI+ bitmap
    // over the pixels it cost 20-200 us (growing with the primitive's bounding box), onto a
    // 32-bit DIB's DC 70-760 us (it blends through a temporary bitmap). No clip: the frame
    // lands in a back buffer, of which only its area reaches the screen.
    gp::Graphics g(target.dc());
    g.SetSmoothingMode(gp::SmoothingModeAntiAlias);
    // Pixel centres at half coordinates, as PixelOffsetModeHalf puts them, but through the
    // transform: Wine's GDI+ drew a pixel off with the offset mode when it drew through GDI.
    g.TranslateTransform(-0.5f, -0.5f);
    g.ScaleTransform(ratio, ratio);
    HDC dc = nullptr;
    // Consecutive discs and segments of one colour (and one stroke width) are gathered into two
    // paths and drawn with two calls, as each call costs more than what it draws. The discs go
    // first and the segments over them, as the list puts a segment's round ends before it; in
    // one colour nothing else could tell the difference.
    gp::GraphicsPath discs(gp::FillModeWinding), strokes; // winding: overlaps stay filled
    float runColour = 0, runWidth = 0;
    bool inRun = false;
    const auto endRun = [&] {
        if (!std::exchange(inRun, false))
            return;
        if (discs.GetPointCount() > 0) {
            gp::SolidBrush brush(argb(runColour));
            g.FillPath(&brush, &discs);
            discs.Reset();
        }
        if (strokes.GetPointCount() > 0) {
            gp::Pen pen(argb(runColour), runWidth);
            g.DrawPath(&pen, &strokes);
            strokes.Reset();
        }
    };
    const auto byGdi = [&] {
        endRun();
        if (!dc)
            dc = g.GetHDC();
    };
    const auto byGdiPlus = [&] {
        endRun();
        if (dc)
            g.ReleaseHDC(std::exchange(dc, nullptr));
    };
    // Joins the run of the colour (and, for a segment, the stroke width) or starts one.
    const auto inRunOf = [&](float colour, bool stroke, float width) {
        if (inRun && runColour == colour
            && (!stroke || strokes.GetPointCount() == 0 || runWidth == width)) {
            runWidth = stroke ? width : runWidth;
            return;
        }
        byGdiPlus();
        inRun = true, runColour = colour, runWidth = width;
    };
    for (const scene::DrawCommand &c : list) {
        switch (static_cast<DrawKind>(c.kind)) {
        case DrawKind::Band:
        case DrawKind::Clear:
            byGdi();
            fill(dc, deviceBox(c, ratio), c.colour);
            break;
        case DrawKind::Segment:
            inRunOf(c.colour, true, c.size);
            strokes.StartFigure();
            strokes.AddLine(c.x1, c.y1, c.x2, c.y2);
            break;
        case DrawKind::Disc:
            inRunOf(c.colour, false, 0);
            discs.AddEllipse(c.x1 - c.size, c.y1 - c.size, 2 * c.size, 2 * c.size);
            break;
        case DrawKind::Shape: {
            byGdiPlus();
            gp::GraphicsPath outline;
            const gp::RectF box = boxOf(c);
            if (c.variant == 0) {
                outline.AddEllipse(box);
            } else {
                const float d = 2 * c.size, right = box.X + box.Width - d,
                            bottom = box.Y + box.Height - d;
                outline.AddArc(box.X, box.Y, d, d, 180, 90);
                outline.AddArc(right, box.Y, d, d, 270, 90);
                outline.AddArc(right, bottom, d, d, 0, 90);
                outline.AddArc(box.X, bottom, d, d, 90, 90);
                outline.CloseFigure();
            }
            if (c.fill != scene::kNoColour) {
                gp::SolidBrush brush(argb(c.fill));
                g.FillPath(&brush, &outline);
            }
            gp::Pen pen(argb(c.colour), 1);
            g.DrawPath(&pen, &outline);
            break;
        }
        case DrawKind::Text: {
            byGdi();
            const RECT box = deviceBox(c, ratio);
            if (c.fill != scene::kNoColour)
                fill(dc, box, c.fill);
            const std::wstring &text = captions[std::size_t(c.variant)];
            HGDIOBJ old = SelectObject(dc, fonts[scene::FontRole(c.font)]);
            SetTextAlign(dc, TA_BASELINE | TA_LEFT);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, colorRef(c.colour));
            ExtTextOutW(dc, box.left, int(std::lround(c.size * ratio)), ETO_CLIPPED, &box,
                text.c_str(), UINT(text.size()), nullptr);
            SelectObject(dc, old);
            break;
        }
        case DrawKind::Memo:
            if (memo.dc()) {
                byGdi();
                const RECT box = deviceBox(c, ratio);
                BitBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top,
                    memo.dc(), box.left, box.top, SRCCOPY);
            }
            break;
        case DrawKind::FocusFrame: {
            byGdiPlus();
            gp::Pen pen(argb(c.colour), c.size);
            pen.SetDashStyle(gp::DashStyleDot);
            const float inset = c.size / 2;
            g.SetSmoothingMode(gp::SmoothingModeNone);
            g.DrawRectangle(&pen, c.x1 + inset, c.y1 + inset, c.x2 - c.x1 - c.size,
                c.y2 - c.y1 - c.size);
            g.SetSmoothingMode(gp::SmoothingModeAntiAlias);
            break;
        }
        }
    }
    byGdiPlus();
    g.Flush(gp::FlushIntentionSync);
    GdiFlush();
}
