// The text form the program's pictures are kept in, and the canvas it is
// drawn onto. A source file holds one or more images; each is either typed in
// as rows of colour characters or drawn with a few commands (rectangles,
// lines, ellipses, polygons, gradients), or both. The language is described in
// resources/images/README.md.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace imagegen {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// One picture as drawn: every pixel either has a colour or is transparent
// (never painted, or painted with a transparent colour). Icons keep the
// transparent pixels in their mask; a bitmap must have none left.
class Canvas {
public:
    Canvas(int width, int height, int bitsPerPixel);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int BitsPerPixel() const { return bitsPerPixel_; }

    // Pixels outside the canvas are ignored, so shapes may overhang an edge.
    void Set(int x, int y, std::optional<Rgb> colour);
    const std::optional<Rgb>& At(int x, int y) const;

private:
    int width_;
    int height_;
    int bitsPerPixel_;
    std::vector<std::optional<Rgb>> pixels_;
};

struct ImageSet {
    std::vector<Canvas> images;
    // The palette starts with the 16 standard VGA colours in their usual
    // order; colours a picture uses beyond them are appended.
    bool vgaPalette = false;
};

// Reads and draws a whole source. Errors are thrown as std::runtime_error
// with "name:line: " in front of the message.
ImageSet ReadImageSource(std::istream& in, const std::string& name);

} // namespace imagegen
