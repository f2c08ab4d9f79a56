// What the classes of the stored forms publish, against the list checked in
// as tests/setup/published.txt: a changed class table fails here until the
// list is written again, so that every change to what a form may store is
// seen and reviewed. The reader fuzzer's stand-ins are checked against the
// same list on the build machine.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "controls/DirForm.h"
#include "setup/forms/Setup1.h"
#include "setup/forms/Setup2.h"
#include "setup/forms/Setup3.h"
#include "setup/forms/Setup4.h"
#include "setup/forms/Setup5.h"
#include "setup/forms/Setup6.h"
#include "tools/fuzz/PublishedList.h"
#include "tests/support/ProgramPaths.h"

namespace {

// The default as a design would write the value: by name where the type has
// names for its values.
std::string DefaultText(const TPropInfo& prop)
{
    std::string_view ident;
    if (prop.Kind == TTypeKind::Enumeration)
        return std::string(prop.EnumType->NameOf(static_cast<int>(prop.Default)));
    if (prop.Kind == TTypeKind::Set) {
        std::string text = "[";
        for (size_t i = 0; i < prop.EnumType->Names.size(); ++i)
            if (prop.Default >> i & 1)
                text += (text.size() > 1 ? "," : "") + std::string(prop.EnumType->Names[i]);
        return text + "]";
    }
    if (prop.IntType && prop.IntType->IntToIdent(static_cast<int32_t>(prop.Default), ident))
        return std::string(ident);
    return std::to_string(prop.Default);
}

// Adds a class and every class it can hold: the classes of its published
// fields and of the objects its properties refer to, and so on down.
void Collect(const TClassInfo& info, std::map<std::string_view, const TClassInfo*>& classes)
{
    if (!classes.emplace(info.Name, &info).second)
        return;
    for (const TClassInfo* c = &info; c; c = c->Parent) {
        for (const TFieldInfo& field : c->Fields)
            Collect(*field.FieldClass(), classes);
        for (const TPropInfo& prop : c->Properties)
            if (prop.PropClass)
                Collect(*prop.PropClass(), classes);
    }
}

// One line for each class (its parent, and "abstract" when a reader cannot
// create it), each published property (kind, type, default, and whether it
// is stored only on a condition or cannot be set), each published method and
// each enumeration the properties name (its names in order).
std::string PublishedList()
{
    std::map<std::string_view, const TClassInfo*> classes;
    for (const TClassInfo* form : {&TForm1::StaticClassInfo(), &TForm2::StaticClassInfo(), &TForm3::StaticClassInfo(),
                                   &TForm4::StaticClassInfo(), &TForm5::StaticClassInfo(), &TForm6::StaticClassInfo(),
                                   &TFDIRFORM::StaticClassInfo()})
        Collect(*form, classes);
    std::map<std::string_view, const TEnumTypeInfo*> enumerations;
    std::ostringstream out;
    out << "# What the classes of the stored forms publish; see tests/setup/PublishedTest.cpp.\n";
    for (const auto& [name, info] : classes) {
        out << name << " class: " << (info->Parent ? info->Parent->Name : "-") << (info->Create ? "" : " abstract")
            << '\n';
        for (const TPropInfo* prop : info->AllProperties()) {
            out << name << " property " << prop->Name << ": " << KindAndType(*prop);
            if (prop->HasDefault)
                out << " = " << DefaultText(*prop);
            if (prop->Stored)
                out << " stored-when";
            if (prop->IsReadOnly())
                out << " read-only";
            out << '\n';
            if (prop->EnumType)
                enumerations.emplace(prop->EnumType->Name, prop->EnumType);
        }
        std::vector<const TClassInfo*> chain;
        for (const TClassInfo* c = info; c; c = c->Parent)
            chain.insert(chain.begin(), c);
        for (const TClassInfo* c : chain)
            for (const TMethodInfo& method : c->Methods)
                out << name << " method " << method.Name << ": " << method.Signature->Name << '\n';
    }
    for (const auto& [name, enumeration] : enumerations) {
        out << name << " enumeration:";
        for (std::string_view value : enumeration->Names)
            out << ' ' << value;
        out << '\n';
    }
    return out.str();
}

} // namespace

TEST(FormClasses, PublishWhatTheCheckedInListSays)
{
    const std::string actual = PublishedList();
    // The live list goes into the build folder, whatever the outcome, to be
    // compared with the checked-in copy there and copied over it when a
    // change is meant.
    const std::string written = ThroughDriveZ(PUBLISHED_LIST_BUILT);
    const std::string checkedIn = ThroughDriveZ(PUBLISHED_LIST_COPY);
    ASSERT_FALSE(written.empty()) << "runs only in the test bed";
    std::ofstream(written, std::ios::binary) << actual;
    std::ifstream in(checkedIn, std::ios::binary);
    ASSERT_TRUE(in) << checkedIn;
    const std::string expected{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(actual, expected) << "What the form classes publish has changed. If that is meant, take the new list "
                                   "and review its difference:\n  cp " PUBLISHED_LIST_BUILT " " PUBLISHED_LIST_SOURCE;
}
