// Building component streams from pieces: a root, child records and
// properties, each written with the framework's writer.
#include "tools/fuzz/StreamBuilder.h"

#include "runtime/Stream.h"

namespace {

void RecordBody(TWriter& writer, const WriteFn& properties, const WriteFn& children)
{
    if (properties)
        properties(writer);
    writer.WriteListEnd();
    if (children)
        children(writer);
    writer.WriteListEnd();
}

} // namespace

Bytes WriteBytes(const WriteFn& write)
{
    TMemoryStream stream;
    {
        TWriter writer(stream);
        write(writer);
        writer.FlushBuffer();
    }
    return stream.Data();
}

void Prop(TWriter& writer, std::string_view path, const WriteFn& value)
{
    writer.WriteStr(path);
    value(writer);
}

void ChildRecord(TWriter& writer, std::string_view className, std::string_view name, const WriteFn& properties,
                 const WriteFn& children, uint8_t flags, int childPos)
{
    writer.WritePrefix(flags, childPos);
    writer.WriteStr(className);
    writer.WriteStr(name);
    RecordBody(writer, properties, children);
}

Bytes RootStream(std::string_view className, std::string_view name, const WriteFn& properties, const WriteFn& children)
{
    return WriteBytes([&](TWriter& w) {
        w.WriteSignature();
        w.WriteStr(className);
        w.WriteStr(name);
        RecordBody(w, properties, children);
    });
}
