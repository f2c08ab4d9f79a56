// The component stream writer: values in their smallest encoding, component
// records with their properties, defined values and children, written through
// a buffer.
#include "framework/Writer.h"

#include <cstring>
#include <limits>
#include <utility>

#include "framework/Collection.h"
#include "framework/Component.h"
#include "runtime/Stream.h"

static_assert(std::numeric_limits<long double>::digits == 64, "floats are stored as 80-bit extended values");

namespace {

constexpr size_t BufferSize = 4096;

} // namespace

TWriter::TWriter(TStream& stream) : m_stream(stream)
{
    m_buffer.reserve(BufferSize);
}

TWriter::~TWriter()
{
    // NOTE: a destructor cannot report a failed write; callers that care call
    // FlushBuffer themselves first, as WriteRootComponent does.
    try {
        FlushBuffer();
    } catch (...) {
    }
}

void TWriter::FlushBuffer()
{
    if (m_buffer.empty())
        return;
    std::vector<uint8_t> pending;
    pending.swap(m_buffer);
    m_buffer.reserve(BufferSize);
    m_stream.WriteBuffer(pending.data(), static_cast<int64_t>(pending.size()));
}

void TWriter::Write(const void* data, size_t size)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    m_buffer.insert(m_buffer.end(), bytes, bytes + size);
    if (m_buffer.size() >= BufferSize)
        FlushBuffer();
}

void TWriter::WriteValue(TValueType type)
{
    const uint8_t byte = type;
    Write(&byte, 1);
}

void TWriter::WriteRawInteger(int32_t value)
{
    uint8_t bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
    Write(bytes, 4);
}

void TWriter::WriteSignature()
{
    Write(FilerSignature, sizeof FilerSignature);
}

void TWriter::WritePrefix(uint8_t flags, int childPos)
{
    if (flags == 0)
        return;
    const uint8_t prefix = static_cast<uint8_t>(0xF0 | (flags & 0x0F));
    Write(&prefix, 1);
    if (flags & ffChildPos)
        WriteInteger(childPos);
}

void TWriter::WriteStr(std::string_view text)
{
    if (text.size() > 255)
        text = text.substr(0, 255);
    const uint8_t length = static_cast<uint8_t>(text.size());
    Write(&length, 1);
    Write(text.data(), text.size());
}

void TWriter::WritePropName(std::string_view name)
{
    WriteStr(m_propPath + std::string(name));
}

void TWriter::WriteInteger(int64_t value)
{
    if (value >= -128 && value <= 127) {
        WriteValue(vaInt8);
        const int8_t v = static_cast<int8_t>(value);
        Write(&v, 1);
    } else if (value >= -32768 && value <= 32767) {
        WriteValue(vaInt16);
        const uint16_t v = static_cast<uint16_t>(value);
        const uint8_t bytes[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
        Write(bytes, 2);
    } else {
        WriteValue(vaInt32);
        WriteRawInteger(static_cast<int32_t>(value));
    }
}

void TWriter::WriteString(std::string_view value)
{
    if (value.size() < 256) {
        WriteValue(vaString);
        WriteStr(value);
    } else {
        WriteValue(vaLString);
        WriteRawInteger(static_cast<int32_t>(value.size()));
        Write(value.data(), value.size());
    }
}

void TWriter::WriteIdent(std::string_view ident)
{
    if (SameName(ident, "False")) {
        WriteValue(vaFalse);
    } else if (SameName(ident, "True")) {
        WriteValue(vaTrue);
    } else if (SameName(ident, "nil")) {
        WriteValue(vaNil);
    } else {
        WriteValue(vaIdent);
        WriteStr(ident);
    }
}

void TWriter::WriteBoolean(bool value)
{
    WriteValue(value ? vaTrue : vaFalse);
}

void TWriter::WriteChar(char value)
{
    WriteString(std::string_view(&value, 1));
}

void TWriter::WriteFloat(long double value)
{
    WriteValue(vaExtended);
    uint8_t bytes[sizeof(long double)];
    std::memcpy(bytes, &value, sizeof value);
    Write(bytes, 10);
}

void TWriter::WriteSet(const std::vector<std::string_view>& names)
{
    WriteValue(vaSet);
    for (std::string_view name : names)
        WriteStr(name);
    WriteStr("");
}

void TWriter::WriteBinary(const void* data, int32_t size)
{
    WriteValue(vaBinary);
    WriteRawInteger(size);
    Write(data, static_cast<size_t>(size));
}

void TWriter::WriteListBegin()
{
    WriteValue(vaList);
}

void TWriter::WriteListEnd()
{
    WriteValue(vaNull);
}

void TWriter::WriteCollectionBegin()
{
    WriteValue(vaCollection);
}

void TWriter::WriteCollectionItem(int index)
{
    if (index >= 0)
        WriteInteger(index);
    WriteListBegin();
}

void TWriter::DefineProperty(std::string_view name, const ReaderProc&, const WriterProc& writeData, bool hasData)
{
    if (!hasData || !writeData)
        return;
    WritePropName(name);
    writeData(*this);
}

void TWriter::DefineBinaryProperty(std::string_view name, const StreamProc&, const StreamProc& writeData, bool hasData)
{
    if (!hasData || !writeData)
        return;
    TMemoryStream data;
    writeData(data);
    WritePropName(name);
    WriteBinary(data.Data().data(), static_cast<int32_t>(data.Data().size()));
}

void TWriter::WriteRootComponent(TComponent* root)
{
    m_root = m_lookupRoot = root;
    WriteSignature();
    WriteComponent(root);
    FlushBuffer();
}

void TWriter::WriteComponent(TComponent* component)
{
    WriteStr(component->ClassName());
    WriteStr(component->Name());
    component->WriteState(*this);
}

void TWriter::WriteData(TComponent* component)
{
    WriteProperties(component);
    WriteListEnd();
    for (TComponent* child : component->GetChildren(m_lookupRoot))
        WriteComponent(child);
    WriteListEnd();
}

void TWriter::WriteProperties(TPersistent* instance)
{
    for (const TPropInfo* prop : instance->ClassInfo().AllProperties())
        WriteProperty(instance, *prop);
    instance->DefineProperties(*this);
}

void TWriter::WriteProperty(TPersistent* instance, const TPropInfo& prop)
{
    // The reader refuses a value for a property without a setter; such a
    // property is stored only as the path to an object it holds.
    if (prop.IsReadOnly() && prop.Kind != TTypeKind::Class)
        return;
    if (prop.Stored && !prop.Stored(instance))
        return;
    switch (prop.Kind) {
    case TTypeKind::Integer:
    case TTypeKind::Char:
    case TTypeKind::Enumeration:
    case TTypeKind::Set: {
        const int64_t value = prop.GetOrd(instance);
        if (prop.HasDefault && value == prop.Default)
            return;
        WritePropName(prop.Name);
        if (prop.Kind == TTypeKind::Integer) {
            std::string_view ident;
            if (prop.IntType && prop.IntType->IntToIdent(static_cast<int32_t>(value), ident))
                WriteIdent(ident);
            else
                WriteInteger(value);
        } else if (prop.Kind == TTypeKind::Char) {
            WriteChar(static_cast<char>(value));
        } else if (prop.Kind == TTypeKind::Enumeration) {
            WriteIdent(prop.EnumType->NameOf(static_cast<int>(value)));
        } else {
            std::vector<std::string_view> names;
            for (size_t i = 0; i < prop.EnumType->Names.size() && i < 32; ++i)
                if (value >> i & 1)
                    names.push_back(prop.EnumType->Names[i]);
            WriteSet(names);
        }
        return;
    }
    case TTypeKind::Float:
        WritePropName(prop.Name);
        WriteFloat(prop.GetFloat(instance));
        return;
    case TTypeKind::String: {
        const std::string value = prop.GetStr(instance);
        if (value.empty())
            return;
        WritePropName(prop.Name);
        WriteString(value);
        return;
    }
    case TTypeKind::Class: {
        TObject* object = prop.GetObj(instance);
        if (!object)
            return;
        if (auto* component = dynamic_cast<TComponent*>(object)) {
            // A reference to another component: its name, with the name of
            // its root when that is not the stream's root.
            if (component->Name().empty() || prop.IsReadOnly())
                return;
            std::string ident = component->Name();
            if (component->Owner() && component->Owner() != m_lookupRoot)
                ident = component->Owner()->Name() + "." + ident;
            WritePropName(prop.Name);
            WriteIdent(ident);
        } else if (auto* collection = dynamic_cast<TCollection*>(object)) {
            if (prop.IsReadOnly())
                return;
            WritePropName(prop.Name);
            WriteCollectionBegin();
            const std::string savedPath = std::exchange(m_propPath, std::string());
            for (int i = 0; i < collection->Count(); ++i) {
                WriteCollectionItem();
                WriteProperties(collection->Items(i));
                WriteListEnd();
            }
            m_propPath = savedPath;
            WriteListEnd();
        } else if (auto* persistent = dynamic_cast<TPersistent*>(object)) {
            // An owned object (a font, a string list): its own properties,
            // each under the path "Property.Sub".
            const std::string savedPath = m_propPath;
            m_propPath += std::string(prop.Name) + ".";
            WriteProperties(persistent);
            m_propPath = savedPath;
        }
        return;
    }
    case TTypeKind::Method: {
        const TMethod method = prop.GetMethod(instance);
        if (!method || method.Code->Name.empty())
            return;
        WritePropName(prop.Name);
        WriteIdent(method.Code->Name);
        return;
    }
    }
}
