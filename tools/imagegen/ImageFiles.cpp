// Pictures reduced to their palette and written as bitmap and icon files,
// header, palette, pixel rows and mask, byte by byte.
#include "tools/imagegen/ImageFiles.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace imagegen {

const std::vector<Rgb>& VgaColours()
{
    static const std::vector<Rgb> colours = {
        {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
        {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
        {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
        {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
    };
    return colours;
}

IndexedImage Index(const Canvas& canvas, bool vgaPalette)
{
    IndexedImage image;
    image.width = canvas.Width();
    image.height = canvas.Height();
    image.bitsPerPixel = canvas.BitsPerPixel();
    const std::size_t room = std::size_t{1} << image.bitsPerPixel;
    if (vgaPalette)
        image.palette = VgaColours();

    const auto indexOf = [&](const Rgb& colour) -> std::uint8_t {
        auto found = std::find(image.palette.begin(), image.palette.end(), colour);
        if (found == image.palette.end()) {
            if (image.palette.size() == room)
                throw std::runtime_error("the " + std::to_string(image.width) + " x " +
                                         std::to_string(image.height) + " image uses more than " +
                                         std::to_string(room) + " colours");
            image.palette.push_back(colour);
            found = image.palette.end() - 1;
        }
        return static_cast<std::uint8_t>(found - image.palette.begin());
    };

    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const auto& pixel = canvas.At(x, y);
            image.mask.push_back(!pixel.has_value());
            image.indices.push_back(indexOf(pixel.value_or(Rgb{0, 0, 0})));
        }
    image.palette.resize(room, Rgb{0, 0, 0});
    return image;
}

namespace {

class Bytes {
public:
    void U8(unsigned value) { data_.push_back(static_cast<std::uint8_t>(value)); }
    void U16(unsigned value)
    {
        U8(value & 0xFF);
        U8((value >> 8) & 0xFF);
    }
    void U32(std::uint32_t value)
    {
        U16(value & 0xFFFF);
        U16(value >> 16);
    }
    void Append(const std::vector<std::uint8_t>& more) { data_.insert(data_.end(), more.begin(), more.end()); }
    std::vector<std::uint8_t>& Data() { return data_; }

private:
    std::vector<std::uint8_t> data_;
};

// Rows of a device-independent bitmap are padded to whole 32-bit words.
std::uint32_t RowBytes(int width, int bitsPerPixel)
{
    return static_cast<std::uint32_t>((width * bitsPerPixel + 31) / 32 * 4);
}

// The pixel rows, bottom row first, leftmost pixel in the high bits of its
// byte.
std::vector<std::uint8_t> PixelRows(const IndexedImage& image)
{
    const std::uint32_t stride = RowBytes(image.width, image.bitsPerPixel);
    std::vector<std::uint8_t> rows;
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(stride, 0);
        for (int x = 0; x < image.width; ++x) {
            const unsigned index = image.indices[static_cast<std::size_t>(y * image.width + x)];
            const int bit = x * image.bitsPerPixel;
            const int shift = 8 - image.bitsPerPixel - bit % 8;
            row[static_cast<std::size_t>(bit / 8)] |= static_cast<std::uint8_t>(index << shift);
        }
        rows.insert(rows.end(), row.begin(), row.end());
    }
    return rows;
}

std::vector<std::uint8_t> MaskRows(const IndexedImage& image)
{
    const std::uint32_t stride = RowBytes(image.width, 1);
    std::vector<std::uint8_t> rows;
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(stride, 0);
        for (int x = 0; x < image.width; ++x)
            if (image.mask[static_cast<std::size_t>(y * image.width + x)])
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        rows.insert(rows.end(), row.begin(), row.end());
    }
    return rows;
}

constexpr std::uint32_t InfoHeaderSize = 40;
// 72 dots per inch, the usual value.
constexpr std::uint32_t PixelsPerMetre = 2835;

// BITMAPINFOHEADER followed by the palette (blue, green, red, zero).
void InfoHeaderAndPalette(Bytes& out, const IndexedImage& image, int height, std::uint32_t imageSize,
                          std::uint32_t resolution)
{
    out.U32(InfoHeaderSize);
    out.U32(static_cast<std::uint32_t>(image.width));
    out.U32(static_cast<std::uint32_t>(height));
    out.U16(1); // planes
    out.U16(static_cast<unsigned>(image.bitsPerPixel));
    out.U32(0); // uncompressed
    out.U32(imageSize);
    out.U32(resolution);
    out.U32(resolution);
    out.U32(0); // colours used: all the depth allows
    out.U32(0); // all colours important
    for (const Rgb& colour : image.palette) {
        out.U8(colour.blue);
        out.U8(colour.green);
        out.U8(colour.red);
        out.U8(0);
    }
}

} // namespace

std::vector<std::uint8_t> BitmapFile(const IndexedImage& image)
{
    const auto transparent = std::find(image.mask.begin(), image.mask.end(), true);
    if (transparent != image.mask.end()) {
        const auto at = transparent - image.mask.begin();
        throw std::runtime_error("a bitmap has no transparency, but pixel (" + std::to_string(at % image.width) +
                                 ", " + std::to_string(at / image.width) + ") was left transparent");
    }
    const std::vector<std::uint8_t> rows = PixelRows(image);
    const std::uint32_t offset = 14 + InfoHeaderSize + static_cast<std::uint32_t>(image.palette.size() * 4);

    Bytes out;
    out.U8('B');
    out.U8('M');
    out.U32(offset + static_cast<std::uint32_t>(rows.size()));
    out.U16(0);
    out.U16(0);
    out.U32(offset);
    InfoHeaderAndPalette(out, image, image.height, static_cast<std::uint32_t>(rows.size()), PixelsPerMetre);
    out.Append(rows);
    return std::move(out.Data());
}

std::vector<std::uint8_t> IconFile(const std::vector<IndexedImage>& images)
{
    // Each image: header and palette, then the colour rows, then the mask
    // rows; the header's height counts both, so it is twice the icon's.
    std::vector<std::vector<std::uint8_t>> bodies;
    for (const IndexedImage& image : images) {
        if (image.width > 256 || image.height > 256)
            throw std::runtime_error("an icon image is at most 256 pixels wide and high");
        const std::vector<std::uint8_t> colourRows = PixelRows(image);
        const std::vector<std::uint8_t> maskRows = MaskRows(image);
        Bytes body;
        InfoHeaderAndPalette(body, image, image.height * 2,
                             static_cast<std::uint32_t>(colourRows.size() + maskRows.size()), 0);
        body.Append(colourRows);
        body.Append(maskRows);
        bodies.push_back(std::move(body.Data()));
    }

    Bytes out;
    out.U16(0); // reserved
    out.U16(1); // an icon, not a cursor
    out.U16(static_cast<unsigned>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const IndexedImage& image = images[i];
        // A byte of 0 means 256 in the width, height and colour count.
        out.U8(static_cast<unsigned>(image.width) & 0xFF);
        out.U8(static_cast<unsigned>(image.height) & 0xFF);
        out.U8(image.bitsPerPixel >= 8 ? 0 : 1u << image.bitsPerPixel);
        out.U8(0); // reserved
        out.U16(1); // planes
        out.U16(static_cast<unsigned>(image.bitsPerPixel));
        out.U32(static_cast<std::uint32_t>(bodies[i].size()));
        out.U32(offset);
        offset += static_cast<std::uint32_t>(bodies[i].size());
    }
    for (const auto& body : bodies)
        out.Append(body);
    return std::move(out.Data());
}

} // namespace imagegen
