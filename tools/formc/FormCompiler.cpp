// Writes a parsed form source as a component stream, value by value through
// the framework's writer, with the files that file() and bitmap() name.
#include "tools/formc/FormCompiler.h"

#include <limits>
#include <string_view>

#include "framework/Writer.h"
#include "runtime/Stream.h"

namespace formc {

namespace {

constexpr size_t MaxBinary = std::numeric_limits<int32_t>::max();

class Emitter {
public:
    Emitter(TWriter& writer, const FileLoader& loadFile) : m_writer(writer), m_loadFile(loadFile) {}

    void WriteComponent(const Component& c)
    {
        m_writer.WriteStr(c.className);
        m_writer.WriteStr(c.name);
        WriteProperties(c.properties);
        m_writer.WriteListEnd();
        for (const Component& child : c.children)
            WriteComponent(child);
        m_writer.WriteListEnd();
    }

private:
    void WriteProperties(const std::vector<Property>& properties)
    {
        for (const Property& p : properties) {
            m_writer.WritePropName(p.path);
            WriteValue(p.value);
        }
    }

    void WriteValue(const Value& v)
    {
        switch (v.kind) {
        case Value::Kind::Integer:
            m_writer.WriteInteger(v.integer);
            return;
        case Value::Kind::Float:
            m_writer.WriteFloat(v.real);
            return;
        case Value::Kind::String:
            if (v.text.size() > MaxBinary)
                throw FormError(v.line, "the string is too long for the stream");
            m_writer.WriteString(v.text);
            return;
        case Value::Kind::Ident:
            m_writer.WriteIdent(v.text);
            return;
        case Value::Kind::Set: {
            std::vector<std::string_view> names(v.names.begin(), v.names.end());
            m_writer.WriteSet(names);
            return;
        }
        case Value::Kind::List:
            m_writer.WriteListBegin();
            for (const Value& item : v.items)
                WriteValue(item);
            m_writer.WriteListEnd();
            return;
        case Value::Kind::File: {
            const std::vector<uint8_t> bytes = m_loadFile(v.text, v.line);
            if (bytes.size() > MaxBinary)
                throw FormError(v.line, "'" + v.text + "' is too large for a binary value");
            m_writer.WriteBinary(bytes.data(), static_cast<int32_t>(bytes.size()));
            return;
        }
        case Value::Kind::Bitmap: {
            // A picture's data: the graphic class's name, then that class's
            // own data, which for a bitmap is the file's length and the file.
            const std::vector<uint8_t> bytes = m_loadFile(v.text, v.line);
            if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M')
                throw FormError(v.line, "'" + v.text + "' is not a bitmap file (it does not begin with \"BM\")");
            static constexpr std::string_view className = "TBitmap";
            if (bytes.size() > MaxBinary - 1 - className.size() - 4)
                throw FormError(v.line, "'" + v.text + "' is too large for a binary value");
            std::vector<uint8_t> data;
            data.reserve(1 + className.size() + 4 + bytes.size());
            data.push_back(static_cast<uint8_t>(className.size()));
            data.insert(data.end(), className.begin(), className.end());
            const auto length = static_cast<uint32_t>(bytes.size());
            for (int i = 0; i < 4; ++i)
                data.push_back(static_cast<uint8_t>(length >> (8 * i)));
            data.insert(data.end(), bytes.begin(), bytes.end());
            m_writer.WriteBinary(data.data(), static_cast<int32_t>(data.size()));
            return;
        }
        case Value::Kind::Collection:
            m_writer.WriteCollectionBegin();
            for (const CollectionItem& item : v.collection) {
                m_writer.WriteCollectionItem(item.index);
                WriteProperties(item.properties);
                m_writer.WriteListEnd();
            }
            m_writer.WriteListEnd();
            return;
        }
    }

    TWriter& m_writer;
    const FileLoader& m_loadFile;
};

} // namespace

std::vector<uint8_t> CompileForm(const Component& root, const FileLoader& loadFile)
{
    TMemoryStream stream;
    {
        TWriter writer(stream);
        writer.WriteSignature();
        Emitter(writer, loadFile).WriteComponent(root);
        writer.FlushBuffer();
    }
    return stream.Data();
}

} // namespace formc
