// How tests/setup/published.txt writes a published property's kind and type,
// shared by the test that writes the list from the program's classes and the
// build machine's check of the reader fuzzer's stand-ins against it.
#pragma once

#include <string>

#include "framework/TypeInfo.h"

inline const char* KindName(TTypeKind kind)
{
    switch (kind) {
    case TTypeKind::Integer: return "Integer";
    case TTypeKind::Char: return "Char";
    case TTypeKind::Enumeration: return "Enumeration";
    case TTypeKind::Float: return "Float";
    case TTypeKind::String: return "String";
    case TTypeKind::Set: return "Set";
    case TTypeKind::Class: return "Class";
    case TTypeKind::Method: return "Method";
    }
    return "?";
}

// The kind, then the type the property's details name (the enumeration, the
// integer type with identifiers, the class held or the event signature), if
// any: "Enumeration TAlign", "String".
inline std::string KindAndType(const TPropInfo& prop)
{
    std::string text = KindName(prop.Kind);
    if (prop.EnumType)
        text += " " + std::string(prop.EnumType->Name);
    else if (prop.IntType)
        text += " " + std::string(prop.IntType->Name);
    else if (prop.PropClass)
        text += " " + std::string(prop.PropClass()->Name);
    else if (prop.EventType)
        text += " " + std::string(prop.EventType->Name);
    return text;
}
