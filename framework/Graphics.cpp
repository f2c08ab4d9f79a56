// Fonts and their handles, bitmaps and icons kept as their stored files, the
// platform colours behind the system colours, and the bitmap files the program
// makes from its resources or blank.
#include "framework/Graphics.h"

#include <cstring>

#include "framework/Filer.h"
#include "framework/Reader.h"
#include "runtime/Stream.h"

namespace {

uint32_t LittleEndian(const uint8_t* p, int bytes)
{
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | p[i];
    return value;
}

std::vector<uint8_t> ReadRest(TStream& stream)
{
    const int64_t left = stream.Size() - stream.Position();
    std::vector<uint8_t> bytes(left > 0 ? static_cast<size_t>(left) : 0);
    stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    return bytes;
}

} // namespace

COLORREF ColorToRGB(TColor color)
{
    const auto value = static_cast<uint32_t>(color);
    if (value & 0x80000000u)
        return GetSysColor(static_cast<int>(value & 0xFF));
    return value & 0x00FFFFFFu;
}

const TIntTypeInfo& IntTypeOf(TCursor)
{
    static const TIntTypeInfo info{"TCursor",
                                   {
                                       {0, "crDefault"},
                                       {-1, "crNone"},
                                       {-2, "crArrow"},
                                       {-3, "crCross"},
                                       {-4, "crIBeam"},
                                       {-5, "crSize"},
                                       {-6, "crSizeNESW"},
                                       {-7, "crSizeNS"},
                                       {-8, "crSizeNWSE"},
                                       {-9, "crSizeWE"},
                                       {-10, "crUpArrow"},
                                       {-11, "crHourGlass"},
                                       {-12, "crDrag"},
                                       {-13, "crNoDrop"},
                                       {-14, "crHSplit"},
                                       {-15, "crVSplit"},
                                       {-16, "crMultiDrag"},
                                       {-17, "crSQLWait"},
                                   }};
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TFontPitch>()
{
    static const TEnumTypeInfo info = EnumType<fpFixed>("TFontPitch", {"fpDefault", "fpVariable", "fpFixed"});
    return info;
}

// ---------------------------------------------------------------------------
// Font

const TClassInfo& TFont::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TFont, TPersistent>("TFont")
        .Property<&TFont::Charset, &TFont::SetCharset>("Charset")
        .Property<&TFont::Color, &TFont::SetColor>("Color")
        .Property<&TFont::Height, &TFont::SetHeight>("Height")
        .Property<&TFont::Name, &TFont::SetName>("Name")
        .Property<&TFont::Pitch, &TFont::SetPitch>("Pitch", fpDefault)
        .Property<&TFont::Size, &TFont::SetSize>("Size")
        .Property<&TFont::Style, &TFont::SetStyle>("Style")
        .Build();
    return info;
}

int32_t ScreenPixelsPerInch()
{
    static const int32_t pixelsPerInch = [] {
        ScopedDC screen;
        return GetDeviceCaps(screen.Get(), LOGPIXELSY);
    }();
    return pixelsPerInch;
}

TFont::TFont() : m_height(-MulDiv(8, ScreenPixelsPerInch(), 72)), m_pixelsPerInch(ScreenPixelsPerInch()) {}

HFONT TFont::Handle() const
{
    if (!m_handle) {
        LOGFONTA lf = {};
        lf.lfHeight = m_height;
        lf.lfWeight = m_style.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = m_style.Contains(fsItalic);
        lf.lfUnderline = m_style.Contains(fsUnderline);
        lf.lfStrikeOut = m_style.Contains(fsStrikeOut);
        lf.lfCharSet = static_cast<BYTE>(m_charset);
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfPitchAndFamily = m_pitch == fpFixed ? FIXED_PITCH : m_pitch == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
        lstrcpynA(lf.lfFaceName, m_name.c_str(), LF_FACESIZE);
        m_handle.Reset(CreateFontIndirectA(&lf));
    }
    return m_handle.Get();
}

void TFont::Changed()
{
    m_handle.Reset();
    if (OnChange)
        OnChange();
}

void TFont::SetCharset(TFontCharset value)
{
    if (value == m_charset)
        return;
    m_charset = value;
    Changed();
}

void TFont::SetColor(TColor value)
{
    if (value == m_color)
        return;
    m_color = value;
    Changed();
}

void TFont::SetHeight(int32_t value)
{
    if (value == m_height)
        return;
    m_height = value;
    Changed();
}

void TFont::SetName(const std::string& value)
{
    if (value == m_name || value.empty())
        return;
    m_name = value;
    Changed();
}

void TFont::SetPitch(TFontPitch value)
{
    if (value == m_pitch)
        return;
    m_pitch = value;
    Changed();
}

int32_t TFont::Size() const
{
    // Points from pixels, rounded as the platform's MulDiv rounds.
    const int64_t numerator = -static_cast<int64_t>(m_height) * 72;
    const int64_t half = m_pixelsPerInch / 2;
    return static_cast<int32_t>(numerator >= 0 ? (numerator + half) / m_pixelsPerInch : (numerator - half) / m_pixelsPerInch);
}

void TFont::SetSize(int32_t value)
{
    const int64_t numerator = static_cast<int64_t>(value) * m_pixelsPerInch;
    SetHeight(-static_cast<int32_t>(numerator >= 0 ? (numerator + 36) / 72 : (numerator - 36) / 72));
}

void TFont::SetStyle(TFontStyles value)
{
    if (value == m_style)
        return;
    m_style = value;
    Changed();
}

void TFont::Assign(const TFont& other)
{
    if (SameAs(other))
        return;
    m_charset = other.m_charset;
    m_color = other.m_color;
    m_height = other.m_height;
    m_name = other.m_name;
    m_pitch = other.m_pitch;
    m_style = other.m_style;
    Changed();
}

bool TFont::SameAs(const TFont& other) const
{
    return m_charset == other.m_charset && m_color == other.m_color && m_height == other.m_height &&
           m_name == other.m_name && m_pitch == other.m_pitch && m_style == other.m_style;
}

// ---------------------------------------------------------------------------
// Graphics

const TClassInfo& TGraphic::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TGraphic, TPersistent>("TGraphic").Build();
    return info;
}

void TGraphic::DefineProperties(TFiler& filer)
{
    filer.DefineBinaryProperty(
        "Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); }, !Empty());
}

const TClassInfo& TBitmap::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TBitmap, TGraphic>("TBitmap").Build();
    return info;
}

void TBitmap::ReadData(TStream& stream)
{
    uint8_t count[4];
    stream.ReadBuffer(count, 4);
    const uint32_t size = LittleEndian(count, 4);
    if (size > stream.Size() - stream.Position())
        throw EReadError(StrId::SReadError);
    std::vector<uint8_t> file(size);
    stream.ReadBuffer(file.data(), size);
    LoadFromFileData(std::move(file));
}

void TBitmap::WriteData(TStream& stream) const
{
    const uint32_t size = static_cast<uint32_t>(m_file.size());
    const uint8_t count[4] = {static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8),
                              static_cast<uint8_t>(size >> 16), static_cast<uint8_t>(size >> 24)};
    stream.WriteBuffer(count, 4);
    stream.WriteBuffer(m_file.data(), static_cast<int64_t>(m_file.size()));
}

void TBitmap::LoadFromFileData(std::vector<uint8_t> file)
{
    m_handle.Reset();
    if (file.empty()) {
        m_file.clear();
        m_width = m_height = m_bitsPerPixel = 0;
        return;
    }
    // A file header (14 bytes) and at least the old 12-byte info header.
    if (file.size() < 26 || file[0] != 'B' || file[1] != 'M')
        throw EInvalidGraphic(StrId::SInvalidBitmap);
    const uint8_t* info = file.data() + 14;
    const uint32_t headerSize = LittleEndian(info, 4);
    if (headerSize == 12) {
        m_width = static_cast<int32_t>(LittleEndian(info + 4, 2));
        m_height = static_cast<int32_t>(LittleEndian(info + 6, 2));
        m_bitsPerPixel = static_cast<int>(LittleEndian(info + 10, 2));
    } else if (headerSize >= 40 && file.size() >= 14 + 16) {
        m_width = static_cast<int32_t>(LittleEndian(info + 4, 4));
        const int32_t height = static_cast<int32_t>(LittleEndian(info + 8, 4));
        m_height = height < 0 ? -height : height;  // negative: rows stored top-down
        m_bitsPerPixel = static_cast<int>(LittleEndian(info + 14, 2));
    } else {
        throw EInvalidGraphic(StrId::SInvalidBitmap);
    }
    m_file = std::move(file);
}

HBITMAP TBitmap::Handle() const
{
    if (!m_handle && !m_file.empty()) {
        const auto* fileHeader = reinterpret_cast<const BITMAPFILEHEADER*>(m_file.data());
        const auto* info = reinterpret_cast<const BITMAPINFO*>(m_file.data() + sizeof(BITMAPFILEHEADER));
        if (fileHeader->bfOffBits < m_file.size()) {
            ScopedDC screen;
            m_handle.Reset(CreateDIBitmap(screen.Get(), &info->bmiHeader, CBM_INIT, m_file.data() + fileHeader->bfOffBits,
                                          info, DIB_RGB_COLORS));
        }
    }
    return m_handle.Get();
}

COLORREF TBitmap::CornerColor() const
{
    HBITMAP bitmap = Handle();
    if (!bitmap)
        return 0;
    ScopedDC screen;
    MemoryDC dc(screen.Get());
    ScopedSelect select(dc.Get(), bitmap);
    return GetPixel(dc.Get(), 0, m_height - 1);
}

void BrushCopy(HDC dc, int x, int y, const TBitmap& bitmap, COLORREF transparent, HBRUSH brush)
{
    HBITMAP handle = bitmap.Handle();
    if (!handle)
        return;
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    MemoryDC source(dc);
    ScopedSelect selectSource(source.Get(), handle);
    // The mask is white where the glyph has the transparent colour.
    Bitmap mask(CreateBitmap(w, h, 1, 1, nullptr));
    MemoryDC maskDC(dc);
    ScopedSelect selectMask(maskDC.Get(), mask.Get());
    SetBkColor(source.Get(), transparent);
    BitBlt(maskDC.Get(), 0, 0, w, h, source.Get(), 0, 0, SRCCOPY);

    // The brush under the glyph; then glyph XOR brush, cleared where the
    // glyph is opaque, XOR the glyph again: the brush where the mask is
    // white and the glyph elsewhere.
    const RECT area{x, y, x + w, y + h};
    FillRect(dc, &area, brush);
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    BitBlt(dc, x, y, w, h, source.Get(), 0, 0, SRCINVERT);
    BitBlt(dc, x, y, w, h, maskDC.Get(), 0, 0, SRCAND);
    BitBlt(dc, x, y, w, h, source.Get(), 0, 0, SRCINVERT);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
}

// ---------------------------------------------------------------------------
// Bitmap files made in memory

namespace {

// A bitmap file: the file header, which says where the pixels start, in
// front of the bitmap's info header, palette and pixels.
std::vector<uint8_t> WithFileHeader(const uint8_t* bitmap, size_t size, size_t pixelsAt)
{
    std::vector<uint8_t> file(sizeof(BITMAPFILEHEADER) + size);
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;  // "BM"
    header.bfSize = static_cast<DWORD>(file.size());
    header.bfOffBits = static_cast<DWORD>(sizeof header + pixelsAt);
    std::memcpy(file.data(), &header, sizeof header);
    std::memcpy(file.data() + sizeof header, bitmap, size);
    return file;
}

// The program's bitmap resource as a bitmap file: the resource holds the
// bitmap without its 14-byte file header, which is rebuilt in front of it.
std::vector<uint8_t> BitmapResourceFile(const char* name)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, name, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    HGLOBAL block = info ? LoadResource(module, info) : nullptr;
    const auto* data = block ? static_cast<const uint8_t*>(LockResource(block)) : nullptr;
    const DWORD size = info ? SizeofResource(module, info) : 0;
    if (!data || size < 12)
        throw EResNotFound(StrId::SResNotFound, {name});

    const uint32_t headerSize = LittleEndian(data, 4);
    uint32_t paletteBytes = 0;
    if (headerSize == sizeof(BITMAPCOREHEADER)) {
        const uint32_t bits = LittleEndian(data + 10, 2);
        paletteBytes = bits <= 8 ? (1u << bits) * 3 : 0;
    } else if (size >= 36) {
        const uint32_t bits = LittleEndian(data + 14, 2);
        const uint32_t compression = LittleEndian(data + 16, 4);
        const uint32_t used = LittleEndian(data + 32, 4);
        const uint32_t colours = used != 0 ? used : (bits <= 8 ? 1u << bits : 0);
        paletteBytes = colours * 4;
        if (compression == BI_BITFIELDS && headerSize == sizeof(BITMAPINFOHEADER))
            paletteBytes += 12;
    }
    return WithFileHeader(data, size, static_cast<size_t>(headerSize) + paletteBytes);
}

} // namespace

std::vector<uint8_t> BlankBitmapFile(int32_t width, int32_t height)
{
    const uint32_t rowBytes = ((static_cast<uint32_t>(width) * 4 + 31) / 32) * 4;
    const uint32_t pixelsAt = sizeof(BITMAPINFOHEADER) + 16 * 4;
    std::vector<uint8_t> bitmap(pixelsAt + rowBytes * static_cast<uint32_t>(height));
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 4;
    info.biCompression = BI_RGB;
    info.biClrUsed = 16;
    std::memcpy(bitmap.data(), &info, sizeof info);
    return WithFileHeader(bitmap.data(), bitmap.size(), pixelsAt);
}

void LoadBitmapResource(TBitmap& bitmap, const char* name)
{
    bitmap.LoadFromFileData(BitmapResourceFile(name));
}

const TClassInfo& TIcon::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TIcon, TGraphic>("TIcon").Build();
    return info;
}

void TIcon::ReadData(TStream& stream)
{
    m_handle.Reset();
    m_shared = nullptr;
    m_file = ReadRest(stream);
    // The first image of the directory gives the size; 0 in a directory
    // entry stands for 256.
    if (m_file.size() >= 6 + 16) {
        m_width = m_file[6] ? m_file[6] : 256;
        m_height = m_file[7] ? m_file[7] : 256;
    } else {
        m_width = m_height = 0;
    }
}

void TIcon::SetSharedHandle(HICON handle)
{
    m_handle.Reset();
    m_file.clear();
    m_shared = handle;
    m_width = m_height = 0;
    ICONINFO info{};
    if (handle && GetIconInfo(handle, &info)) {
        // The bitmaps the platform made for the answer are ours to delete.
        const Bitmap color(info.hbmColor);
        const Bitmap mask(info.hbmMask);
        // The icon's size is its mask's width; the mask of an icon without
        // colour bitmap holds both halves one above the other.
        BITMAP maskInfo{};
        GetObjectA(mask.Get(), sizeof maskInfo, &maskInfo);
        m_width = maskInfo.bmWidth;
        m_height = color ? maskInfo.bmHeight : maskInfo.bmHeight / 2;
    }
}

HICON TIcon::Handle() const
{
    if (m_shared)
        return m_shared;
    // The directory's first entry tells where its image lies in the file.
    if (!m_handle && m_file.size() >= 6 + 16) {
        const uint8_t* entry = m_file.data() + 6;
        const uint32_t size = LittleEndian(entry + 8, 4);
        const uint32_t offset = LittleEndian(entry + 12, 4);
        if (offset < m_file.size() && size <= m_file.size() - offset)
            m_handle.Reset(CreateIconFromResourceEx(const_cast<uint8_t*>(m_file.data() + offset), size, TRUE,
                                                    0x00030000, m_width, m_height, LR_DEFAULTCOLOR));
    }
    return m_handle.Get();
}

void TIcon::WriteData(TStream& stream) const
{
    stream.WriteBuffer(m_file.data(), static_cast<int64_t>(m_file.size()));
}

const TClassInfo& TPicture::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TPicture, TPersistent>("TPicture").Build();
    return info;
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic)
{
    m_graphic = std::move(graphic);
    if (OnChange)
        OnChange();
}

void TPicture::DefineProperties(TFiler& filer)
{
    filer.DefineBinaryProperty(
        "Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); },
        m_graphic && !m_graphic->Empty());
}

void TPicture::ReadData(TStream& stream)
{
    uint8_t length;
    stream.ReadBuffer(&length, 1);
    std::string className(length, '\0');
    stream.ReadBuffer(className.data(), length);
    std::unique_ptr<TGraphic> graphic;
    if (SameName(className, "TBitmap"))
        graphic = std::make_unique<TBitmap>();
    else if (SameName(className, "TIcon"))
        graphic = std::make_unique<TIcon>();
    else
        return;  // a graphic class this program does not know leaves the picture as it is
    graphic->ReadData(stream);
    SetGraphic(std::move(graphic));
}

void TPicture::WriteData(TStream& stream) const
{
    const std::string_view className = m_graphic->ClassName();
    const uint8_t length = static_cast<uint8_t>(className.size());
    stream.WriteBuffer(&length, 1);
    stream.WriteBuffer(className.data(), length);
    m_graphic->WriteData(stream);
}
