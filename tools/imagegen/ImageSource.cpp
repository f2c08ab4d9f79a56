// The picture source's reader: rows of colour characters and drawing commands,
// painted onto a canvas, with an error that names the line for what it cannot
// read.
#include "tools/imagegen/ImageSource.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <stdexcept>

namespace imagegen {

Canvas::Canvas(int width, int height, int bitsPerPixel)
    : width_(width), height_(height), bitsPerPixel_(bitsPerPixel),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
{
}

void Canvas::Set(int x, int y, std::optional<Rgb> colour)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] = colour;
}

const std::optional<Rgb>& Canvas::At(int x, int y) const
{
    return pixels_.at(static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x));
}

namespace {

// A colour character stands for a colour or for "transparent" (no colour).
using Ink = std::optional<Rgb>;

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return std::string();
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> Words(const std::string& line)
{
    std::istringstream in(line.substr(0, line.find('#')));
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

class Reader {
public:
    Reader(std::istream& in, const std::string& name) : in_(in), name_(name) {}

    ImageSet Read()
    {
        for (std::string line; NextLine(line);) {
            const auto words = Words(line);
            if (!words.empty())
                Command(words);
        }
        if (result_.images.empty())
            Fail("no image in the file");
        return std::move(result_);
    }

private:
    [[noreturn]] void Fail(const std::string& message) const
    {
        throw std::runtime_error(name_ + ":" + std::to_string(lineNumber_) + ": " + message);
    }

    bool NextLine(std::string& line)
    {
        if (!std::getline(in_, line))
            return false;
        ++lineNumber_;
        return true;
    }

    void Arguments(const std::vector<std::string>& words, std::size_t count) const
    {
        if (words.size() != count + 1)
            Fail("'" + words[0] + "' takes " + std::to_string(count) + " arguments, not " +
                 std::to_string(words.size() - 1));
    }

    long Integer(const std::string& word, long low, long high) const
    {
        std::size_t used = 0;
        long value = 0;
        try {
            value = std::stol(word, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used != word.size() || word.empty())
            Fail("'" + word + "' is not a whole number");
        if (value < low || value > high)
            Fail(word + " is outside " + std::to_string(low) + ".." + std::to_string(high));
        return value;
    }

    int Coordinate(const std::string& word) const { return static_cast<int>(Integer(word, -10000, 10000)); }

    double Real(const std::string& word) const
    {
        std::size_t used = 0;
        double value = 0;
        try {
            value = std::stod(word, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used != word.size() || word.empty() || !std::isfinite(value))
            Fail("'" + word + "' is not a number");
        return value;
    }

    Ink Colour(const std::string& word) const
    {
        if (word.size() != 1)
            Fail("'" + word + "' is not a colour character");
        const auto found = colours_.find(word[0]);
        if (found == colours_.end())
            Fail("colour '" + word + "' is not defined");
        return found->second;
    }

    Canvas& Current()
    {
        if (result_.images.empty())
            Fail("drawing before any 'image' line");
        return result_.images.back();
    }

    void Command(const std::vector<std::string>& w)
    {
        const std::string& verb = w[0];
        if (verb == "palette") {
            Arguments(w, 1);
            if (w[1] != "vga")
                Fail("the only palette known by name is 'vga'");
            if (!result_.images.empty())
                Fail("'palette' must come before the first image");
            result_.vgaPalette = true;
        } else if (verb == "colour") {
            if (w.size() == 3 && w[2] == "transparent") {
                Define(w[1], std::nullopt);
            } else {
                Arguments(w, 4);
                Define(w[1], Rgb{static_cast<std::uint8_t>(Integer(w[2], 0, 255)),
                                 static_cast<std::uint8_t>(Integer(w[3], 0, 255)),
                                 static_cast<std::uint8_t>(Integer(w[4], 0, 255))});
            }
        } else if (verb == "image") {
            Arguments(w, 3);
            const int bits = static_cast<int>(Integer(w[3], 1, 8));
            if (bits != 1 && bits != 4 && bits != 8)
                Fail("pixels are 1, 4 or 8 bits deep");
            result_.images.emplace_back(static_cast<int>(Integer(w[1], 1, 256)),
                                        static_cast<int>(Integer(w[2], 1, 256)), bits);
        } else if (verb == "fill") {
            Arguments(w, 1);
            Canvas& canvas = Current();
            Rectangle(Colour(w[1]), 0, 0, canvas.Width(), canvas.Height());
        } else if (verb == "rect") {
            Arguments(w, 5);
            Rectangle(Colour(w[1]), Coordinate(w[2]), Coordinate(w[3]), Coordinate(w[4]), Coordinate(w[5]));
        } else if (verb == "frame") {
            Arguments(w, 5);
            Frame(Colour(w[1]), Coordinate(w[2]), Coordinate(w[3]), Coordinate(w[4]), Coordinate(w[5]));
        } else if (verb == "line") {
            Arguments(w, 5);
            Line(Colour(w[1]), Coordinate(w[2]), Coordinate(w[3]), Coordinate(w[4]), Coordinate(w[5]));
        } else if (verb == "ellipse") {
            Arguments(w, 5);
            Ellipse(Colour(w[1]), Real(w[2]), Real(w[3]), Real(w[4]), Real(w[5]));
        } else if (verb == "polygon") {
            if (w.size() < 8 || w.size() % 2 != 0)
                Fail("'polygon' takes a colour and at least three x y corners");
            std::vector<std::pair<double, double>> corners;
            for (std::size_t i = 2; i < w.size(); i += 2)
                corners.emplace_back(Real(w[i]), Real(w[i + 1]));
            Polygon(Colour(w[1]), corners);
        } else if (verb == "gradient") {
            if (w.size() != 9 && !(w.size() == 11 && w[9] == "within"))
                Fail("'gradient' takes: from to down|right steps x y width height [within colour]");
            Gradient(w);
        } else if (verb == "pixels") {
            if (w.size() != 3 && w.size() != 4)
                Fail("'pixels' takes x y and an optional scale");
            PixelBlock(Coordinate(w[1]), Coordinate(w[2]), w.size() == 4 ? static_cast<int>(Integer(w[3], 1, 64)) : 1);
        } else {
            Fail("unknown command '" + verb + "'");
        }
    }

    void Define(const std::string& key, Ink ink)
    {
        // '#' starts a comment and blanks separate words, so neither can
        // name a colour.
        if (key.size() != 1 || key[0] == '#')
            Fail("a colour is named by one character other than '#', not '" + key + "'");
        colours_[key[0]] = ink;
    }

    void Rectangle(Ink ink, int x, int y, int width, int height)
    {
        Canvas& canvas = Current();
        for (int row = y; row < y + height; ++row)
            for (int column = x; column < x + width; ++column)
                canvas.Set(column, row, ink);
    }

    void Frame(Ink ink, int x, int y, int width, int height)
    {
        if (width <= 0 || height <= 0)
            return;
        Rectangle(ink, x, y, width, 1);
        Rectangle(ink, x, y + height - 1, width, 1);
        Rectangle(ink, x, y, 1, height);
        Rectangle(ink, x + width - 1, y, 1, height);
    }

    // Both end points are painted; every step moves to one of the eight
    // neighbours, so diagonal edges stay one pixel thin.
    void Line(Ink ink, int x0, int y0, int x1, int y1)
    {
        Canvas& canvas = Current();
        const int dx = std::abs(x1 - x0);
        const int dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1;
        const int sy = y0 < y1 ? 1 : -1;
        int error = dx + dy;
        for (;;) {
            canvas.Set(x0, y0, ink);
            if (x0 == x1 && y0 == y1)
                break;
            const int twice = 2 * error;
            if (twice >= dy) {
                error += dy;
                x0 += sx;
            }
            if (twice <= dx) {
                error += dx;
                y0 += sy;
            }
        }
    }

    // Shapes given by real coordinates cover the pixels whose centres lie
    // inside them; pixel (x, y) spans x..x+1 and y..y+1.
    void Ellipse(Ink ink, double cx, double cy, double rx, double ry)
    {
        if (rx <= 0 || ry <= 0)
            Fail("an ellipse needs radii above zero");
        Canvas& canvas = Current();
        for (int y = static_cast<int>(std::floor(cy - ry)); y <= static_cast<int>(std::ceil(cy + ry)); ++y)
            for (int x = static_cast<int>(std::floor(cx - rx)); x <= static_cast<int>(std::ceil(cx + rx)); ++x) {
                const double u = (x + 0.5 - cx) / rx;
                const double v = (y + 0.5 - cy) / ry;
                if (u * u + v * v <= 1.0)
                    canvas.Set(x, y, ink);
            }
    }

    void Polygon(Ink ink, const std::vector<std::pair<double, double>>& corners)
    {
        Canvas& canvas = Current();
        for (int y = 0; y < canvas.Height(); ++y)
            for (int x = 0; x < canvas.Width(); ++x) {
                const double px = x + 0.5;
                const double py = y + 0.5;
                bool inside = false;
                for (std::size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
                    const auto [xi, yi] = corners[i];
                    const auto [xj, yj] = corners[j];
                    if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi)
                        inside = !inside;
                }
                if (inside)
                    canvas.Set(x, y, ink);
            }
    }

    // A blend in a few flat bands rather than a smooth ramp, so that a
    // 256-colour picture can hold several of them.
    void Gradient(const std::vector<std::string>& w)
    {
        const Ink from = Colour(w[1]);
        const Ink to = Colour(w[2]);
        if (!from || !to)
            Fail("a gradient runs between two real colours");
        const bool down = w[3] == "down";
        if (!down && w[3] != "right")
            Fail("a gradient runs 'down' or 'right', not '" + w[3] + "'");
        const int steps = static_cast<int>(Integer(w[4], 2, 256));
        const int x = Coordinate(w[5]);
        const int y = Coordinate(w[6]);
        const int width = Coordinate(w[7]);
        const int height = Coordinate(w[8]);
        std::optional<Ink> within;
        if (w.size() == 11)
            within = Colour(w[10]);
        Canvas& canvas = Current();
        const int length = down ? height : width;
        for (int row = y; row < y + height; ++row)
            for (int column = x; column < x + width; ++column) {
                if (row < 0 || column < 0 || row >= canvas.Height() || column >= canvas.Width())
                    continue;
                if (within && canvas.At(column, row) != *within)
                    continue;
                const int along = down ? row - y : column - x;
                const int band = std::min(steps - 1, along * steps / std::max(1, length));
                const auto mix = [&](std::uint8_t a, std::uint8_t b) {
                    return static_cast<std::uint8_t>(std::lround(a + (b - a) * double(band) / (steps - 1)));
                };
                canvas.Set(column, row, Rgb{mix(from->red, to->red), mix(from->green, to->green),
                                            mix(from->blue, to->blue)});
            }
    }

    // Rows of colour characters up to a line "end"; each character is a
    // scale × scale square. A transparent character leaves what is below.
    void PixelBlock(int x, int y, int scale)
    {
        Canvas& canvas = Current();
        std::size_t width = 0;
        int row = 0;
        for (std::string line;;) {
            if (!NextLine(line))
                Fail("'pixels' block without 'end'");
            line = Trim(line);
            if (line == "end")
                break;
            if (width == 0)
                width = line.size();
            if (line.empty() || line.size() != width)
                Fail("pixel row is " + std::to_string(line.size()) + " characters long, not " +
                     std::to_string(width));
            for (std::size_t i = 0; i < line.size(); ++i) {
                const Ink ink = Colour(std::string(1, line[i]));
                if (!ink)
                    continue;
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx)
                        canvas.Set(x + static_cast<int>(i) * scale + dx, y + row * scale + dy, ink);
            }
            ++row;
        }
        if (row == 0)
            Fail("empty 'pixels' block");
    }

    std::istream& in_;
    std::string name_;
    int lineNumber_ = 0;
    std::map<char, Ink> colours_;
    ImageSet result_;
};

} // namespace

ImageSet ReadImageSource(std::istream& in, const std::string& name)
{
    return Reader(in, name).Read();
}

} // namespace imagegen
