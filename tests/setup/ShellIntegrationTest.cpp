// The splash form's shell integration on the real registry and shell: the
// directories that GetDirectories finds (the Shell Folders key of the current
// user, changed by the tests and restored afterwards), a shortcut written by
// MakeShortcut, and the Program Manager component that the progress form
// carries.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/Application.h"
#include "runtime/Registry.h"
#include "runtime/Paths.h"
#include "setup/forms/Setup1.h"
#include "setup/forms/Setup5.h"
#include "setup/engine/SetupState.h"
#include "tests/support/RegistryKeys.h"
#include "tests/support/ShellLinkFiles.h"
#include "tests/support/TempDir.h"

namespace {

const std::string ShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct FormDeleter {
    void operator()(TComponent* c) const { TComponent::Free(c); }
};
template <typename T>
using FormPtr = std::unique_ptr<T, FormDeleter>;

std::string ProgramPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string ProgramDirectory()
{
    return FileDirPart(ProgramPath());
}

// The setup state's folders as the splash finds them, with the user's Shell
// Folders key saved, to be put back when the test ends.
class SplashDirectories : public testing::Test {
protected:
    void GetDirectories() { ::GetDirectories(State, ProgramPath()); }

    SavedRegistryKey SavedShellFolders{ShellFoldersKey};
    SetupState State;
};

} // namespace

TEST_F(SplashDirectories, TakesTheShellFoldersValuesWithOneBackslashAndTheirCase)
{
    SetRegistryString(ShellFoldersKey, "Startup", "C:\\WINDOWS\\Start Menu\\Programs\\StartUp");
    SetRegistryString(ShellFoldersKey, "Programs", "C:\\WINDOWS\\Start Menu\\Programs");
    GetDirectories();
    EXPECT_EQ(State.StartupDir, "C:\\WINDOWS\\Start Menu\\Programs\\StartUp\\");
    EXPECT_EQ(State.ProgramsDir, "C:\\WINDOWS\\Start Menu\\Programs\\");
    EXPECT_EQ(State.ExeDir, ProgramDirectory());
    // Wine reports its Windows directory as C:\windows.
    EXPECT_EQ(State.WinDir, "C:\\WINDOWS\\");
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(State.SysDir, UpperCaseAscii(system) + "\\");

    {
        SCOPED_TRACE("lower case is kept, and a trailing backslash is not doubled");
        SetRegistryString(ShellFoldersKey, "Startup", "c:\\users\\me\\Start Menu\\Programs\\Startup\\");
        SetRegistryString(ShellFoldersKey, "Programs", "c:\\users\\me\\Start Menu\\Programs");
        GetDirectories();
        EXPECT_EQ(State.StartupDir, "c:\\users\\me\\Start Menu\\Programs\\Startup\\");
        EXPECT_EQ(State.ProgramsDir, "c:\\users\\me\\Start Menu\\Programs\\");
    }
}

TEST_F(SplashDirectories, WithoutTheKeyTheFoldersLieBelowTheWindowsDirectory)
{
    DeleteRegistryKey(ShellFoldersKey);
    GetDirectories();
    EXPECT_EQ(State.WinDir, "C:\\WINDOWS\\");
    EXPECT_EQ(State.StartupDir, "C:\\WINDOWS\\Startm~1\\Programs\\StartUp\\");
    EXPECT_EQ(State.ProgramsDir, "C:\\WINDOWS\\Startm~1\\Programs\\");
    HKEY probe = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, ShellFoldersKey.c_str(), 0, KEY_READ, &probe), ERROR_FILE_NOT_FOUND)
        << "the key must not be created";
}

TEST_F(SplashDirectories, AKeyThatRefusesWritingCountsAsMissing)
{
    SetRegistryString(ShellFoldersKey, "Startup", "C:\\Menu\\StartUp");
    SetRegistryString(ShellFoldersKey, "Programs", "C:\\Menu\\Programs");
    ReadOnlyRegistryKey readOnly(ShellFoldersKey);
    GetDirectories();
    EXPECT_EQ(State.StartupDir, "C:\\WINDOWS\\Startm~1\\Programs\\StartUp\\");
    EXPECT_EQ(State.ProgramsDir, "C:\\WINDOWS\\Startm~1\\Programs\\");
}

TEST_F(SplashDirectories, AMissingValueGivesASingleBackslash)
{
    SetRegistryString(ShellFoldersKey, "Startup", "C:\\Menu\\StartUp");
    DeleteRegistryValue(ShellFoldersKey, "Programs");
    GetDirectories();
    EXPECT_EQ(State.StartupDir, "C:\\Menu\\StartUp\\");
    EXPECT_EQ(State.ProgramsDir, "\\");
}

TEST_F(SplashDirectories, AValueOfTheWrongTypeRaisesItsName)
{
    SetRegistryValue(ShellFoldersKey, "Startup", REG_DWORD, std::string("\x05\x00\x00\x00", 4));
    SetRegistryString(ShellFoldersKey, "Programs", "C:\\Menu\\Programs");
    try {
        GetDirectories();
        ADD_FAILURE() << "no exception";
    } catch (const ERegistryException& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'Startup'");
    }
    // The directories before the Start Menu folders are set by then.
    EXPECT_EQ(State.WinDir, "C:\\WINDOWS\\");

    SetRegistryString(ShellFoldersKey, "Startup", "C:\\Menu\\StartUp");
    SetRegistryValue(ShellFoldersKey, "Programs", REG_BINARY, "xyz");
    try {
        GetDirectories();
        ADD_FAILURE() << "no exception";
    } catch (const ERegistryException& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'Programs'");
    }
}

TEST(SplashShortcut, MakeShortcutWritesTheLinkFile)
{
    FormPtr<TForm1> form(CreateForm<TForm1>(nullptr));
    TempDir dir;
    dir.WriteFile("halvarn95.exe", "MZ");
    const std::string link = dir / "Halvarn 95.lnk";
    form->MakeShortcut((dir / "halvarn95.exe").c_str(), nullptr, nullptr, link, false);
    EXPECT_EQ(ReadLink(link).Path, dir / "halvarn95.exe");
    dir.WriteFile("halvarn95.bat", "@echo");
    form->MakeShortcut((dir / "halvarn95.bat").c_str(), nullptr, nullptr, link, true);
    EXPECT_EQ(ReadLink(link).Path, dir / "halvarn95.bat");
}

TEST(ProgressFormProgMan, LoadsWithItsDefaultsAndNoConversation)
{
    FormPtr<TForm5> form(CreateForm<TForm5>(nullptr));
    TProgMan* progman = form->ProgMan1;
    ASSERT_NE(progman, nullptr);
    EXPECT_EQ(progman->Owner(), form.get());
    EXPECT_EQ(progman->ShowGroup(), activateNormalSize);
    EXPECT_EQ(progman->ProgramGroup(), "");
    EXPECT_EQ(progman->ProgramItems()->Count(), 0);
    EXPECT_EQ(progman->ConnectMode(), ddeAutomatic);
    EXPECT_FALSE(progman->FormatChars());
    EXPECT_EQ(progman->ServiceApplication(), "");
    EXPECT_EQ(progman->DdeService(), "");
    EXPECT_EQ(progman->DdeTopic(), "");
    EXPECT_EQ(progman->Conv(), nullptr);
    EXPECT_FALSE(progman->OnGroupError());
    EXPECT_FALSE(progman->OnItemError());
}
