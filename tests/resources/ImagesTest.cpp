// The pictures the build draws: the glyph bitmaps and the icon compiled into
// the executable load through the ordinary Win32 calls with the sizes and
// depths the controls rely on, and the pictures taken into the form streams
// (read here from the build's generated folder) have the layout the forms
// expect.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/ProgramPaths.h"

namespace {

// The generated folder, reached through the bed's drive Z:.
std::string GeneratedFile(const std::string& name)
{
    return ThroughDriveZ(std::string(GENERATED_DIR) + "/" + name);
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

unsigned U16(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return bytes.at(at) | bytes.at(at + 1) << 8;
}

std::uint32_t U32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return U16(bytes, at) | static_cast<std::uint32_t>(U16(bytes, at + 2)) << 16;
}

constexpr COLORREF Transparent = RGB(0, 0, 255);

struct Glyph {
    const char* name;
    int width;
    int height;
};

// Loads a glyph as a DIB section, so that its depth is the resource's own and
// not the screen's, and checks what the controls rely on.
void CheckGlyph(const Glyph& glyph)
{
    SCOPED_TRACE(glyph.name);
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), glyph.name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr);
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmWidth, glyph.width);
    EXPECT_EQ(dib.dsBm.bmHeight, glyph.height);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 4);

    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_EQ(GetPixel(dc, 0, glyph.height - 1), Transparent);
    // A glyph is a picture, not a blank: a good part of it must show.
    int shown = 0;
    for (int y = 0; y < glyph.height; ++y)
        for (int x = 0; x < glyph.width; ++x)
            if (GetPixel(dc, x, y) != Transparent)
                ++shown;
    EXPECT_GE(shown * 4, glyph.width * glyph.height) << shown << " pixels are not transparent";
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);

    // The controls load them with LoadBitmap, which gives a device bitmap.
    HBITMAP loaded = LoadBitmapA(GetModuleHandleA(nullptr), glyph.name);
    ASSERT_NE(loaded, nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObjectA(loaded, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, glyph.width);
    EXPECT_EQ(info.bmHeight, glyph.height);
    DeleteObject(loaded);
}

// Width, height and depth of a bitmap file, from its headers, after checking
// that the headers describe the file.
struct BitmapFileInfo {
    long width = 0;
    long height = 0;
    unsigned bits = 0;
};

BitmapFileInfo ReadBitmapFile(const std::string& name)
{
    const std::vector<std::uint8_t> bytes = ReadWholeFile(GeneratedFile(name));
    BitmapFileInfo info;
    EXPECT_GE(bytes.size(), 54u) << name;
    if (bytes.size() < 54)
        return info;
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(U32(bytes, 2), bytes.size()) << "size in the file header";
    EXPECT_EQ(U32(bytes, 14), 40u) << "info header size";
    info.width = static_cast<std::int32_t>(U32(bytes, 18));
    info.height = static_cast<std::int32_t>(U32(bytes, 22));
    info.bits = U16(bytes, 28);
    EXPECT_EQ(U32(bytes, 30), 0u) << "compression";
    const std::uint32_t palette = U32(bytes, 46) ? U32(bytes, 46) : 1u << info.bits;
    const std::uint32_t stride = (static_cast<std::uint32_t>(info.width) * info.bits + 31) / 32 * 4;
    EXPECT_EQ(U32(bytes, 10), 54 + 4 * palette) << "pixel offset";
    EXPECT_EQ(bytes.size(), 54 + 4 * palette + stride * static_cast<std::uint32_t>(info.height));
    return info;
}

} // namespace

TEST(Images, DriveGlyphsAre16By11With16ColoursAndBlueTransparency)
{
    for (const char* name : {"FLOPPY", "HARD", "NETWORK", "CDROM", "RAM"})
        CheckGlyph({name, 16, 11});
}

TEST(Images, FolderGlyphsAre16By15With16ColoursAndBlueTransparency)
{
    for (const char* name : {"OPENFOLDER", "CLOSEDFOLDER", "CURRENTFOLDER"})
        CheckGlyph({name, 16, 15});
}

TEST(Images, MainIconLoadsInBothSizes)
{
    HICON standard = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    ASSERT_NE(standard, nullptr);
    DestroyIcon(standard);

    for (int size : {32, 16}) {
        SCOPED_TRACE(size);
        HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour{};
        ASSERT_NE(info.hbmColor, nullptr);
        ASSERT_EQ(GetObjectA(info.hbmColor, sizeof colour, &colour), static_cast<int>(sizeof colour));
        EXPECT_EQ(colour.bmWidth, size);
        EXPECT_EQ(colour.bmHeight, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

TEST(Images, FormIconIsOne16By16ImageOf16ColoursIn318Bytes)
{
    const std::vector<std::uint8_t> bytes = ReadWholeFile(GeneratedFile("form.ico"));
    ASSERT_EQ(bytes.size(), 318u);
    EXPECT_EQ(U16(bytes, 0), 0u);
    EXPECT_EQ(U16(bytes, 2), 1u) << "resource type: icon";
    EXPECT_EQ(U16(bytes, 4), 1u) << "image count";
    EXPECT_EQ(bytes[6], 16) << "width";
    EXPECT_EQ(bytes[7], 16) << "height";
    EXPECT_EQ(bytes[8], 16) << "colour count";
    EXPECT_EQ(U16(bytes, 12), 4u) << "bits per pixel";
    EXPECT_EQ(U32(bytes, 14), 296u) << "image size";
    EXPECT_EQ(U32(bytes, 18), 22u) << "image offset";
    EXPECT_EQ(U32(bytes, 22), 40u) << "info header size";
    EXPECT_EQ(U32(bytes, 26), 16u) << "width";
    EXPECT_EQ(U32(bytes, 30), 32u) << "height of colour image and mask";
    EXPECT_EQ(U16(bytes, 36), 4u) << "bits per pixel";

    // The platform accepts the image as an icon of that size.
    std::vector<std::uint8_t> image(bytes.begin() + 22, bytes.end());
    HICON icon = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE, 0x00030000, 16, 16, 0);
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP mask{};
    ASSERT_EQ(GetObjectA(info.hbmMask, sizeof mask, &mask), static_cast<int>(sizeof mask));
    EXPECT_EQ(mask.bmWidth, 16);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}

TEST(Images, LogoIs122By148With256Colours)
{
    const BitmapFileInfo info = ReadBitmapFile("logo.bmp");
    EXPECT_EQ(info.width, 122);
    EXPECT_EQ(info.height, 148);
    EXPECT_EQ(info.bits, 8u);

    HBITMAP logo = static_cast<HBITMAP>(LoadImageA(nullptr, GeneratedFile("logo.bmp").c_str(), IMAGE_BITMAP, 0, 0,
                                                   LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(logo, nullptr);
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectA(logo, sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmWidth, 122);
    EXPECT_EQ(dib.dsBm.bmHeight, 148);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 8);
    // It stands on the black splash without a visible frame of its own.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, logo);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 121, 0), RGB(0, 0, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(logo);
}

TEST(Images, DialogPictureIs37By34With256Colours)
{
    const BitmapFileInfo info = ReadBitmapFile("picture.bmp");
    EXPECT_EQ(info.width, 37);
    EXPECT_EQ(info.height, 34);
    EXPECT_EQ(info.bits, 8u);

    HBITMAP picture = static_cast<HBITMAP>(LoadImageA(nullptr, GeneratedFile("picture.bmp").c_str(), IMAGE_BITMAP, 0,
                                                      0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(picture, nullptr);
    BITMAP bitmap{};
    ASSERT_EQ(GetObjectA(picture, sizeof bitmap, &bitmap), static_cast<int>(sizeof bitmap));
    EXPECT_EQ(bitmap.bmWidth, 37);
    EXPECT_EQ(bitmap.bmHeight, 34);
    EXPECT_EQ(bitmap.bmBitsPixel, 8);
    DeleteObject(picture);
}
