#include "clipboard.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstring>

namespace {

// A bottom-up 32-bit DIB of the picture, as CF_DIB holds it.
HGLOBAL dibOf(const Raster &picture)
{
    const int w = picture.width(), h = picture.height();
    const std::size_t row = std::size_t(w) * 4;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + row * std::size_t(h));
    auto *header = static_cast<BITMAPINFOHEADER *>(GlobalLock(memory));
    *header = {sizeof(BITMAPINFOHEADER), w, h, 1, 32, BI_RGB, DWORD(row * std::size_t(h)), 0, 0,
        0, 0};
    auto *bits = reinterpret_cast<unsigned char *>(header + 1);
    const auto *top = static_cast<const unsigned char *>(picture.bits());
    for (int y = 0; y < h; ++y)
        std::memcpy(bits + row * std::size_t(h - 1 - y), top + row * std::size_t(y), row);
    GlobalUnlock(memory);
    return memory;
}

HGLOBAL pngOf(const Raster &picture)
{
    // GDI+'s PNG encoder.
    const CLSID png {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    Gdiplus::Bitmap bitmap(picture.width(), picture.height(), picture.width() * 4,
        PixelFormat32bppRGB, static_cast<BYTE *>(picture.bits()));
    IStream *stream = nullptr;
    HGLOBAL memory = nullptr;
    if (CreateStreamOnHGlobal(nullptr, TRUE, &stream) != S_OK)
        return nullptr;
    STATSTG stat {};
    if (bitmap.Save(stream, &png, nullptr) == Gdiplus::Ok && stream->Stat(&stat, STATFLAG_NONAME) == S_OK) {
        // The stream's memory may be larger than the PNG: copy exactly the PNG.
        const SIZE_T size = SIZE_T(stat.cbSize.QuadPart);
        HGLOBAL streamMemory = nullptr;
        GetHGlobalFromStream(stream, &streamMemory);
        memory = GlobalAlloc(GMEM_MOVEABLE, size);
        std::memcpy(GlobalLock(memory), GlobalLock(streamMemory), size);
        GlobalUnlock(streamMemory);
        GlobalUnlock(memory);
    }
    stream->Release();
    return memory;
}

} // namespace

void copyPicture(HWND owner, const board::Board &board, const Painter &painter,
    const Raster &memo, const Fonts &fonts)
{
    std::vector<scene::DrawCommand> list;
    board.picture(list);
    // Painted as the screen is, into 24 bits (Painter::paint says why), then copied into the
    // 32 bits the clipboard's formats take.
    const int w = board.pictureWidth(), h = board.pictureHeight();
    Raster painted, picture;
    painted.reset(w, h, 24);
    picture.reset(w, h);
    if (!painted.dc() || !picture.dc() || !OpenClipboard(owner))
        return;
    painter.paint(painted, list, memo, board.ratio(), fonts);
    BitBlt(picture.dc(), 0, 0, w, h, painted.dc(), 0, 0, SRCCOPY);
    GdiFlush();
    EmptyClipboard();
    SetClipboardData(CF_DIB, dibOf(picture));
    if (HGLOBAL png = pngOf(picture))
        SetClipboardData(RegisterClipboardFormatW(L"PNG"), png);
    CloseClipboard();
}
