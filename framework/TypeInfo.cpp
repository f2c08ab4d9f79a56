// Lookups in the run-time type information: names of enumeration values and
// integer identifiers, and a class's properties, fields and methods found by
// name through its ancestors.
#include "framework/TypeInfo.h"

#include <stdexcept>

#include "framework/Component.h"

namespace {

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}

int TEnumTypeInfo::ValueOf(std::string_view name) const
{
    for (size_t i = 0; i < Names.size(); ++i)
        if (SameName(Names[i], name))
            return static_cast<int>(i);
    return -1;
}

std::string_view TEnumTypeInfo::NameOf(int value) const
{
    return value >= 0 && static_cast<size_t>(value) < Names.size() ? Names[static_cast<size_t>(value)] : std::string_view();
}

bool TIntTypeInfo::IdentToInt(std::string_view ident, int32_t& value) const
{
    for (const TIdentEntry& entry : Idents)
        if (SameName(entry.Name, ident)) {
            value = entry.Value;
            return true;
        }
    return false;
}

bool TIntTypeInfo::IntToIdent(int32_t value, std::string_view& ident) const
{
    for (const TIdentEntry& entry : Idents)
        if (entry.Value == value) {
            ident = entry.Name;
            return true;
        }
    return false;
}

template <>
const TEnumTypeInfo& EnumTypeOf<bool>()
{
    static const TEnumTypeInfo info = EnumType<true>("Boolean", {"False", "True"});
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TCloseAction>()
{
    static const TEnumTypeInfo info =
        EnumType<caMinimize>("TCloseAction", {"caNone", "caHide", "caFree", "caMinimize"});
    return info;
}

const TEventTypeInfo NotifyEventType{"TNotifyEvent"};
const TEventTypeInfo CloseEventType{"TCloseEvent"};
const TEventTypeInfo CloseQueryEventType{"TCloseQueryEvent"};

bool TClassInfo::InheritsFrom(const TClassInfo& other) const
{
    for (const TClassInfo* c = this; c; c = c->Parent)
        if (c == &other)
            return true;
    return false;
}

namespace {

// The entry named name in one list of a class or of its ancestors, the
// nearest class's first.
template <typename Entry>
const Entry* FindInherited(const TClassInfo* info, std::vector<Entry> TClassInfo::*list, std::string_view name)
{
    for (const TClassInfo* c = info; c; c = c->Parent)
        for (const Entry& entry : c->*list)
            if (SameName(entry.Name, name))
                return &entry;
    return nullptr;
}

} // namespace

const TPropInfo* TClassInfo::FindProperty(std::string_view name) const
{
    return FindInherited(this, &TClassInfo::Properties, name);
}

const TFieldInfo* TClassInfo::FindField(std::string_view name) const
{
    return FindInherited(this, &TClassInfo::Fields, name);
}

const TMethodInfo* TClassInfo::FindMethod(std::string_view name) const
{
    return FindInherited(this, &TClassInfo::Methods, name);
}

const TClassInfo* TClassInfo::FindFieldClass(std::string_view name) const
{
    for (const TClassInfo* c = this; c; c = c->Parent)
        for (const TFieldInfo& f : c->Fields) {
            const TClassInfo* fieldClass = f.FieldClass();
            if (SameName(fieldClass->Name, name))
                return fieldClass;
        }
    return nullptr;
}

std::vector<const TPropInfo*> TClassInfo::AllProperties() const
{
    std::vector<const TClassInfo*> chain;
    for (const TClassInfo* c = this; c; c = c->Parent)
        chain.push_back(c);
    std::vector<const TPropInfo*> result;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (const TPropInfo& p : (*it)->Properties)
            result.push_back(&p);
    return result;
}

const TPropInfo& TClassInfo::DeclaredProperty(std::string_view name) const
{
    for (const TClassInfo* c = this; c; c = c->Parent)
        for (const std::vector<TPropInfo>* list : {&c->Properties, &c->Unpublished})
            for (const TPropInfo& p : *list)
                if (SameName(p.Name, name))
                    return p;
    // A misspelt name in a class's table: every table is built by the tests.
    throw std::logic_error(std::string(Name) + " has no property " + std::string(name) + " to publish");
}
