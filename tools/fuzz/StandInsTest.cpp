// The reader fuzzer's stand-ins against tests/setup/published.txt, the list
// of what the program's form classes publish: each property and handler a
// stand-in publishes is published by one of the classes it stands for, with
// the same kind and type (an enumeration with the same names), so that the
// fuzzer reads the forms' values as the program does. Defaults are not
// compared: the reader never uses them.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tools/fuzz/PublishedList.h"
#include "tools/fuzz/StandIns.h"

namespace {

// "TLabel property Align" (or "TForm1 method Button1Click") to the kind and
// type that follow it, without the default and the flags.
std::map<std::string, std::string> ReadPublishedList()
{
    std::map<std::string, std::string> entries;
    std::ifstream in(PUBLISHED_LIST);
    std::string line;
    while (std::getline(in, line)) {
        const size_t colon = line.find(": ");
        if (line.empty() || line[0] == '#' || colon == std::string::npos)
            continue;
        std::string details = line.substr(colon + 2);
        details = details.substr(0, details.find(" ="));
        for (const char* flag : {" stored-when", " read-only"})
            details = details.substr(0, details.find(flag));
        entries[line.substr(0, colon)] = details;
    }
    return entries;
}

// Whether one of the classes publishes the entry as kind and type. A
// reference to a stand-in control stands for a reference to any control.
bool PublishedByOneOf(const std::map<std::string, std::string>& list, const std::vector<std::string>& classes,
                      const std::string& entry, const std::string& details)
{
    const bool anyControl = details.find(" TStandIn") != std::string::npos;
    for (const std::string& name : classes) {
        const auto it = list.find(name + entry);
        if (it != list.end() && (anyControl ? it->second.rfind("Class ", 0) == 0 : it->second == details))
            return true;
    }
    return false;
}

} // namespace

TEST(StandIns, PublishWhatTheClassesTheyStandForPublish)
{
    const std::map<std::string, std::string> list = ReadPublishedList();
    ASSERT_FALSE(list.empty()) << PUBLISHED_LIST;

    // Each stand-in and the names of the classes it is registered as; the
    // stand-ins of sub-objects carry the names of the real classes.
    std::map<const TClassInfo*, std::vector<std::string>> standsFor;
    for (const TClassInfo* alias : StandInClasses())
        standsFor[alias->Parent].emplace_back(alias->Name);
    for (const TClassInfo* sub : {&TStandInFont::StaticClassInfo(), &TStandInScrollBar::StaticClassInfo()})
        standsFor[sub].emplace_back(sub->Name);

    for (const auto& [standIn, classes] : standsFor) {
        for (const TPropInfo& prop : standIn->Properties) {
            const std::string entry = " property " + std::string(prop.Name);
            EXPECT_TRUE(PublishedByOneOf(list, classes, entry, KindAndType(prop)))
                << standIn->Name << entry << ": " << KindAndType(prop);
            if (prop.EnumType) {
                std::string names;
                for (std::string_view value : prop.EnumType->Names)
                    names += (names.empty() ? "" : " ") + std::string(value);
                const auto it = list.find(std::string(prop.EnumType->Name) + " enumeration");
                EXPECT_EQ(it == list.end() ? "(none)" : it->second, names) << prop.EnumType->Name;
            }
        }
        for (const TMethodInfo& method : standIn->Methods) {
            const std::string entry = " method " + std::string(method.Name);
            EXPECT_TRUE(PublishedByOneOf(list, classes, entry, std::string(method.Signature->Name)))
                << standIn->Name << entry << ": " << method.Signature->Name;
        }
    }
}
