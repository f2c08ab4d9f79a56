// imagegen SOURCE OUTPUT [N...]
//
// Draws the picture(s) described in SOURCE and writes them as a bitmap
// (OUTPUT ending in .bmp, exactly one image) or an icon (.ico, one entry per
// image). Numbers after OUTPUT pick images of the source by position (from 1)
// and in that order, so that icons of different sizes can share one source.
// The build runs it for every picture the program carries.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/imagegen/ImageFiles.h"
#include "tools/imagegen/ImageSource.h"

namespace {

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

void Run(const std::string& sourcePath, const std::string& outputPath, const std::vector<std::string>& picks)
{
    std::ifstream source(sourcePath);
    if (!source)
        throw std::runtime_error("cannot open " + sourcePath);
    const imagegen::ImageSet set = imagegen::ReadImageSource(source, sourcePath);

    // Errors past reading the source name the source too.
    std::vector<std::uint8_t> bytes;
    try {
        std::vector<imagegen::IndexedImage> images;
        if (picks.empty()) {
            for (const auto& canvas : set.images)
                images.push_back(imagegen::Index(canvas, set.vgaPalette));
        }
        for (const std::string& pick : picks) {
            std::size_t used = 0;
            unsigned long number = 0;
            try {
                number = std::stoul(pick, &used);
            } catch (const std::exception&) {
                used = 0;
            }
            if (used == 0 || used != pick.size() || number < 1 || number > set.images.size())
                throw std::runtime_error("there is no image number '" + pick + "'");
            images.push_back(imagegen::Index(set.images[number - 1], set.vgaPalette));
        }

        if (EndsWith(outputPath, ".bmp")) {
            if (images.size() != 1)
                throw std::runtime_error("a bitmap file holds one image, not " + std::to_string(images.size()));
            bytes = imagegen::BitmapFile(images.front());
        } else if (EndsWith(outputPath, ".ico")) {
            bytes = imagegen::IconFile(images);
        } else {
            throw std::runtime_error(outputPath + ": the output must end in .bmp or .ico");
        }
    } catch (const std::exception& error) {
        throw std::runtime_error(sourcePath + ": " + error.what());
    }

    // Written under a temporary name and renamed, so that a failed run never
    // leaves a half-written file that looks up to date to the build.
    const std::string temporary = outputPath + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            throw std::runtime_error("cannot write " + temporary);
    }
    if (std::rename(temporary.c_str(), outputPath.c_str()) != 0)
        throw std::runtime_error("cannot rename " + temporary + " to " + outputPath);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "usage: imagegen SOURCE OUTPUT.bmp|OUTPUT.ico [IMAGE-NUMBER...]\n";
        return 2;
    }
    try {
        Run(argv[1], argv[2], std::vector<std::string>(argv + 3, argv + argc));
    } catch (const std::exception& error) {
        std::cerr << "imagegen: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
