#include "tests/support/SampleInstall.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "runtime/FileStream.h"
#include "runtime/Files.h"
#include "runtime/Handles.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/ProgramPaths.h"

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
    for (const std::string& name : FilesIn("A:\\"))
        EXPECT_TRUE(DeleteFileA(("A:\\" + name).c_str())) << name;
    if (number == 0)
        return;
    const std::vector<std::string> names = FilesIn(SampleDisketteFolder(number));
    ASSERT_FALSE(names.empty()) << "diskette " << number << " was not laid out";
    for (const std::string& name : names)
        EXPECT_TRUE(CopyFileA((SampleDisketteFolder(number) + name).c_str(), ("A:\\" + name).c_str(), FALSE))
            << name;
}

HWND AnswerMessage(DrivenProcess& setup, const char* caption, const std::vector<std::string>& buttons,
                   const std::string& answer)
{
    SCOPED_TRACE(std::string(caption) + " answered with " + answer);
    HWND box = setup.WaitForWindow("TMessageForm", caption);
    if (!box)
        return nullptr;
    std::vector<std::string> offered;
    for (HWND button : ChildWindowsOfClass(box, "TButton"))
        offered.push_back(TextOf(button));
    std::sort(offered.begin(), offered.end());
    std::vector<std::string> expected = buttons;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(offered, expected);
    if (ClickButton(box, answer))
        setup.WaitUntilGone(box);
    return box;
}

void CloseStartedProduct()
{
    HWND box = nullptr;
    for (int i = 0; i < 300 && !box; ++i) {
        box = FindWindowA("#32770", "Halvarn 95");
        if (!box)
            Sleep(50);
    }
    ASSERT_NE(box, nullptr) << "the installed product was not started";
    PostMessageA(box, WM_CLOSE, 0, 0);
}

std::string FileBytes(const std::string& path)
{
    if (!FileIsPresent(path))
        return "<missing>";
    TFileStream stream(path, FileStreamMode::OpenRead);
    std::string bytes(static_cast<size_t>(stream.Size()), '\0');
    stream.ReadBuffer(bytes.data(), stream.Size());
    return bytes;
}
