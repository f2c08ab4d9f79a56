// Writes component streams: the signature, component records with their
// published properties, defined values and children. The program only reads
// streams; the writer serves the build-time form compiler and the tests, and
// is the exact mirror of the reader.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Filer.h"

class TPersistent;
class TComponent;
struct TPropInfo;

class TWriter : public TFiler {
public:
    explicit TWriter(TStream& stream);
    // Writes out what is still buffered.
    ~TWriter() override;

    // Whole components
    void WriteRootComponent(TComponent* root);
    void WriteComponent(TComponent* component);
    // A component's properties, defined values, end marker, children, end marker.
    void WriteData(TComponent* component);
    // Published properties that are stored and differ from their defaults,
    // then the defined values.
    void WriteProperties(TPersistent* instance);

    // Values, each with its type byte
    void WriteInteger(int64_t value);  // the smallest of codes 2, 3, 4 that holds it
    void WriteString(std::string_view value);  // code 6 below 256 characters, else 12
    void WriteIdent(std::string_view ident);   // False, True, nil: codes 8, 9, 13
    void WriteBoolean(bool value);
    void WriteChar(char value);
    void WriteFloat(long double value);
    void WriteSet(const std::vector<std::string_view>& names);
    void WriteBinary(const void* data, int32_t size);
    void WriteListBegin();
    void WriteListEnd();
    void WriteCollectionBegin();  // then items (WriteCollectionItem...) and WriteListEnd
    // An item of a collection: an optional index, then its property list
    // begins; end it with WriteListEnd.
    void WriteCollectionItem(int index = -1);

    // Raw pieces of the format
    void WriteSignature();
    void WritePrefix(uint8_t flags, int childPos);
    void WriteValue(TValueType type);
    // A short string without type byte, cut to 255 characters.
    void WriteStr(std::string_view text);
    void WritePropName(std::string_view name);
    void Write(const void* data, size_t size);
    void FlushBuffer();

    // TFiler
    void DefineProperty(std::string_view name, const ReaderProc& readData, const WriterProc& writeData,
                        bool hasData) override;
    void DefineBinaryProperty(std::string_view name, const StreamProc& readData, const StreamProc& writeData,
                              bool hasData) override;

private:
    void WriteProperty(TPersistent* instance, const TPropInfo& prop);
    void WriteRawInteger(int32_t value);

    TStream& m_stream;
    std::vector<uint8_t> m_buffer;
    std::string m_propPath;  // the path prefix of the object whose properties are written
    TComponent* m_lookupRoot = nullptr;  // not owned: the root of the stream being written
};
