#include "painter.h"

#include "board/board.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cmath>

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

void Raster::reset(int width, int height)
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
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
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

void Painter::paint(HDC dc, const std::vector<scene::DrawCommand> &list, const Raster &memo,
    float ratio, const Fonts &fonts) const
{
    gp::Graphics g(dc);
    g.SetPixelOffsetMode(gp::PixelOffsetModeHalf);
    g.ScaleTransform(ratio, ratio);
    const auto smooth = [&g](bool on) {
        g.SetSmoothingMode(on ? gp::SmoothingModeAntiAlias : gp::SmoothingModeNone);
    };
    for (const scene::DrawCommand &c : list) {
        switch (static_cast<DrawKind>(c.kind)) {
        case DrawKind::Band: {
            smooth(false);
            gp::SolidBrush brush(argb(c.colour));
            g.FillRectangle(&brush, boxOf(c));
            break;
        }
        case DrawKind::Segment: {
            smooth(true);
            gp::Pen pen(argb(c.colour), c.size);
            g.DrawLine(&pen, c.x1, c.y1, c.x2, c.y2);
            break;
        }
        case DrawKind::Disc: {
            smooth(true);
            gp::SolidBrush brush(argb(c.colour));
            g.FillEllipse(&brush, c.x1 - c.size, c.y1 - c.size, 2 * c.size, 2 * c.size);
            break;
        }
        case DrawKind::Shape: {
            smooth(true);
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
            smooth(false);
            if (c.fill != scene::kNoColour) {
                gp::SolidBrush brush(argb(c.fill));
                g.FillRectangle(&brush, boxOf(c));
            }
            const RECT box = deviceBox(c, ratio);
            const std::wstring &text = captions[std::size_t(c.variant)];
            HDC gdi = g.GetHDC();
            HGDIOBJ old = SelectObject(gdi, fonts[scene::FontRole(c.font)]);
            SetTextAlign(gdi, TA_BASELINE | TA_LEFT);
            SetBkMode(gdi, TRANSPARENT);
            SetTextColor(gdi, colorRef(c.colour));
            ExtTextOutW(gdi, box.left, int(std::lround(c.size * ratio)), ETO_CLIPPED, &box,
                text.c_str(), UINT(text.size()), nullptr);
            SelectObject(gdi, old);
            g.ReleaseHDC(gdi);
            break;
        }
        case DrawKind::Clear: {
            smooth(false);
            g.SetClip(boxOf(c));
            gp::SolidBrush brush(argb(c.colour));
            g.FillRectangle(&brush, boxOf(c));
            break;
        }
        case DrawKind::Memo: {
            if (!memo.dc())
                break;
            const RECT box = deviceBox(c, ratio);
            HDC gdi = g.GetHDC();
            BitBlt(gdi, box.left, box.top, box.right - box.left, box.bottom - box.top, memo.dc(),
                box.left, box.top, SRCCOPY);
            g.ReleaseHDC(gdi);
            break;
        }
        case DrawKind::FocusFrame: {
            smooth(false);
            gp::Pen pen(argb(c.colour), c.size);
            pen.SetDashStyle(gp::DashStyleDot);
            const float inset = c.size / 2;
            g.DrawRectangle(&pen, c.x1 + inset, c.y1 + inset, c.x2 - c.x1 - c.size,
                c.y2 - c.y1 - c.size);
            break;
        }
        }
    }
}
