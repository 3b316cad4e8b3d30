// Writes a Windows icon file holding the given PNG images as they are: since Windows Vista an
// icon's images may be PNG streams, so the icon is made from packaging/icons with no image
// library. Built for and run on the build machine.
// Usage: make_icon OUTPUT.ico IMAGE.png...
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void put16(Bytes &out, unsigned value)
{
    out.push_back(value & 0xff), out.push_back((value >> 8) & 0xff);
}

void put32(Bytes &out, std::uint32_t value)
{
    put16(out, value & 0xffff), put16(out, value >> 16);
}

// A PNG's width or height from its header chunk, big-endian at offset 16 or 20.
std::uint32_t pngSide(const Bytes &png, std::size_t at)
{
    return std::uint32_t(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
}

} // namespace

int main(int argc, char **argv)
{
    const char signature[] = "\x89PNG\r\n\x1a\n";
    std::vector<Bytes> images;
    for (int i = 2; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        images.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        const Bytes &png = images.back();
        if (png.size() < 24 || std::string(png.begin(), png.begin() + 8) != signature
            || pngSide(png, 16) > 256 || pngSide(png, 20) > 256) {
            std::fprintf(stderr, "make_icon: %s is no PNG of at most 256 x 256\n", argv[i]);
            return 1;
        }
    }
    if (argc < 3 || images.empty()) {
        std::fprintf(stderr, "usage: make_icon OUTPUT.ico IMAGE.png...\n");
        return 2;
    }
    Bytes icon;
    put16(icon, 0), put16(icon, 1), put16(icon, unsigned(images.size())); // an icon, n images
    std::uint32_t offset = std::uint32_t(6 + 16 * images.size());
    for (const Bytes &png : images) {
        icon.push_back(pngSide(png, 16) & 0xff); // 256 is written as 0
        icon.push_back(pngSide(png, 20) & 0xff);
        icon.push_back(0), icon.push_back(0); // no palette, reserved
        put16(icon, 1), put16(icon, 32); // colour planes, bits per pixel
        put32(icon, std::uint32_t(png.size())), put32(icon, offset);
        offset += std::uint32_t(png.size());
    }
    for (const Bytes &png : images)
        icon.insert(icon.end(), png.begin(), png.end());
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char *>(icon.data()), std::streamsize(icon.size()));
    return out.good() ? 0 : 1;
}
