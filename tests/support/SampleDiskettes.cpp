#include "tests/support/SampleDiskettes.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "runtime/Handles.h"
#include "tests/support/ProgramPaths.h"

namespace {

const std::string RunningSuffix = ".running";

} // namespace

std::string SampleDisketteFolder(int number)
{
    return BuildFolder() + "e2e-diskettes\\drive\\disk" + std::to_string(number) + "\\";
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    SearchHandle search(FindFirstFileA((folder + "*").c_str(), &found));
    if (!search)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(search.Get(), &found));
    return names;
}

void InsertDiskette(int number)
{
    // The setup program that runs from the diskette cannot be deleted while
    // it runs; it is moved aside under a name that nothing looks for, and
    // goes at a later change once it has ended.
    for (const std::string& name : FilesIn("A:\\")) {
        const std::string path = "A:\\" + name;
        if (DeleteFileA(path.c_str()))
            continue;
        if (name.size() > RunningSuffix.size() &&
            name.compare(name.size() - RunningSuffix.size(), RunningSuffix.size(), RunningSuffix) == 0)
            continue;
        EXPECT_TRUE(MoveFileA(path.c_str(), (path + RunningSuffix).c_str())) << name;
    }
    if (number == 0)
        return;
    const std::vector<std::string> names = FilesIn(SampleDisketteFolder(number));
    ASSERT_FALSE(names.empty()) << "diskette " << number << " was not laid out";
    for (const std::string& name : names)
        EXPECT_TRUE(CopyFileA((SampleDisketteFolder(number) + name).c_str(), ("A:\\" + name).c_str(), FALSE))
            << name;
}

