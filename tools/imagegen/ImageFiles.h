// Device-independent bitmap (.bmp) and icon (.ico) files, written byte by
// byte in little-endian order so that the tool builds on any host.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/imagegen/ImageSource.h"

namespace imagegen {

// A canvas turned into palette indices. The palette always has
// 2^bitsPerPixel entries (unused ones black); mask is true where the canvas
// is transparent, and such pixels get the index of black so that an icon's
// colour image adds nothing to the screen there.
struct IndexedImage {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::vector<Rgb> palette;
    std::vector<std::uint8_t> indices; // row by row, top row first
    std::vector<bool> mask;
};

// The 16 colours of the standard VGA palette, in their usual order.
const std::vector<Rgb>& VgaColours();

// Throws std::runtime_error when the canvas uses more colours than its depth
// holds.
IndexedImage Index(const Canvas& canvas, bool vgaPalette);

// A bitmap file; it has no mask, so a transparent pixel is an error.
std::vector<std::uint8_t> BitmapFile(const IndexedImage& image);

// An icon file with one entry for each image, in the given order.
std::vector<std::uint8_t> IconFile(const std::vector<IndexedImage>& images);

} // namespace imagegen
