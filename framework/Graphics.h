// Colours, fonts and pictures as the forms store them: the colours on the
// screen (their type and identifiers are in DesignTypes.h), the font
// description, and bitmaps and icons kept as the platform's bitmap and icon
// files, with the few bitmap files the program makes itself (a blank one,
// one from its resources).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/Component.h"
#include "framework/DesignTypes.h"
#include "framework/GdiHandles.h"
#include "runtime/Stream.h"

// The RGB value of a colour; system colours are looked up now.
COLORREF ColorToRGB(TColor color);

// A mouse cursor shape; 0 is the default arrow.
enum TCursor : int32_t { crDefault = 0 };
const TIntTypeInfo& IntTypeOf(TCursor);

enum TFontPitch { fpDefault, fpVariable, fpFixed };
template <>
const TEnumTypeInfo& EnumTypeOf<TFontPitch>();

// ---------------------------------------------------------------------------
// Font

// The screen's logical pixels per inch, read once.
int32_t ScreenPixelsPerInch();

// A new font is the framework's default: "MS Sans Serif" at 8 points on this
// screen.
class TFont : public TPersistent {
    DECLARE_CLASS_INFO(TFont)
public:
    TFont();

    // Properties
    TFontCharset Charset() const { return m_charset; }
    void SetCharset(TFontCharset value);
    TColor Color() const { return m_color; }
    void SetColor(TColor value);
    int32_t Height() const { return m_height; }
    void SetHeight(int32_t value);
    const std::string& Name() const { return m_name; }
    void SetName(const std::string& value);
    TFontPitch Pitch() const { return m_pitch; }
    void SetPitch(TFontPitch value);
    // The size in points, from the height at the font's pixels per inch.
    int32_t Size() const;
    void SetSize(int32_t value);
    TFontStyles Style() const { return m_style; }
    void SetStyle(TFontStyles value);

    int32_t PixelsPerInch() const { return m_pixelsPerInch; }

    // Copies every property of another font.
    void Assign(const TFont& other);
    bool SameAs(const TFont& other) const;

    // The platform font for these properties, made when first asked for and
    // again after a change.
    HFONT Handle() const;

    // Events
    // Told after any property has changed.
    std::function<void()> OnChange;

private:
    void Changed();

    TFontCharset m_charset = DEFAULT_CHARSET_VALUE;
    TColor m_color = clWindowText;
    int32_t m_height;
    std::string m_name = "MS Sans Serif";
    TFontPitch m_pitch = fpDefault;
    TFontStyles m_style;
    int32_t m_pixelsPerInch;
    mutable Font m_handle;
};

// ---------------------------------------------------------------------------
// Pictures

class TGraphic : public TPersistent {
    DECLARE_CLASS_INFO(TGraphic)
public:
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
    virtual bool Empty() const = 0;
    // Reads or writes the graphic's stored form (its "Data" value).
    virtual void ReadData(TStream& stream) = 0;
    virtual void WriteData(TStream& stream) const = 0;
    void DefineProperties(TFiler& filer) override;
};

// A bitmap, kept as the platform's bitmap file (starting with "BM").
class TBitmap : public TGraphic {
    DECLARE_CLASS_INFO(TBitmap)
public:
    int32_t Width() const override { return m_width; }
    int32_t Height() const override { return m_height; }
    bool Empty() const override { return m_file.empty(); }
    // The stored form: a 4-byte byte count, then the bitmap file. A count of
    // 0 gives an empty bitmap; a file without the "BM" mark raises
    // EInvalidGraphic "Bitmap image is not valid".
    void ReadData(TStream& stream) override;
    void WriteData(TStream& stream) const override;
    // Takes a bitmap file as it is.
    void LoadFromFileData(std::vector<uint8_t> file);
    const std::vector<uint8_t>& FileData() const { return m_file; }
    int BitsPerPixel() const { return m_bitsPerPixel; }
    // The platform bitmap, made from the file when first asked for; none
    // for an empty bitmap.
    HBITMAP Handle() const;
    // The colour of the bottom-left pixel, which marks transparent parts of
    // glyphs.
    COLORREF CornerColor() const;

private:
    mutable Bitmap m_handle;
    std::vector<uint8_t> m_file;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int m_bitsPerPixel = 0;
};

// Draws the bitmap with its top-left corner at (x, y), every pixel of the
// colour transparent replaced by the brush: the brush-copy operation that
// puts a glyph on an item's background.
void BrushCopy(HDC dc, int x, int y, const TBitmap& bitmap, COLORREF transparent, HBRUSH brush);

// A blank bitmap file of that size in 16 colours, all of them black.
std::vector<uint8_t> BlankBitmapFile(int32_t width, int32_t height);
// Replaces a bitmap's image with the program's bitmap resource of that name;
// raises EResNotFound "Resource %s not found" when there is none.
void LoadBitmapResource(TBitmap& bitmap, const char* name);

// An icon, kept as the platform's icon file.
class TIcon : public TGraphic {
    DECLARE_CLASS_INFO(TIcon)
public:
    int32_t Width() const override { return m_width; }
    int32_t Height() const override { return m_height; }
    bool Empty() const override { return m_file.empty() && !m_shared; }
    // The stored form is the icon file itself.
    void ReadData(TStream& stream) override;
    void WriteData(TStream& stream) const override;
    const std::vector<uint8_t>& FileData() const { return m_file; }
    // The platform icon of the file's first image, made when first asked
    // for; none for an empty icon.
    HICON Handle() const;
    // Shows one of the platform's shared icons (a predefined one), which
    // the icon uses but never destroys; it has no file form.
    void SetSharedHandle(HICON handle);

private:
    std::vector<uint8_t> m_file;
    int32_t m_width = 0;
    int32_t m_height = 0;
    mutable Icon m_handle;      // made from the file
    HICON m_shared = nullptr;  // not owned: a predefined icon lives as long as the process
};

// Holds one graphic of any kind; its stored form names the graphic's class
// ("TBitmap" or "TIcon") before the graphic's own data.
class TPicture : public TPersistent {
    DECLARE_CLASS_INFO(TPicture)
public:
    TGraphic* Graphic() const { return m_graphic.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    // The bitmap held, or none when the picture holds something else.
    TBitmap* Bitmap() const { return dynamic_cast<TBitmap*>(m_graphic.get()); }
    int32_t Width() const { return m_graphic ? m_graphic->Width() : 0; }
    int32_t Height() const { return m_graphic ? m_graphic->Height() : 0; }

    void DefineProperties(TFiler& filer) override;

    // Events
    std::function<void()> OnChange;

private:
    void ReadData(TStream& stream);
    void WriteData(TStream& stream) const;

    std::unique_ptr<TGraphic> m_graphic;
};

class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};
class EResNotFound : public Exception {
public:
    using Exception::Exception;
};
