#include "tests/setup/EngineFixture.h"

#include <windows.h>

#include "runtime/DirPaths.h"
#include "runtime/Files.h"
#include "runtime/Paths.h"
#include "tests/support/RegistryKeys.h"

void UseTestFolders(SetupState& state, const TempDir& dir)
{
    state.ProductTitle = "Halvarn 95";
    state.ExeDir = dir.Path();
    // The program that an installation copies as the uninstaller.
    state.ProgramPath = dir / "setup.exe";
    dir.WriteFile("setup.exe", "MZ the setup program");
    state.SourceDir = UpperCaseAscii(dir.Path());
    for (const char* folder : {"DEST", "WIN", "WIN\\SYSTEM", "MENU", "MENU\\PROGRAMS", "MENU\\PROGRAMS\\STARTUP"})
        CreateDirectoryA((dir / folder).c_str(), nullptr);
    state.DestDir = dir / "DEST\\";
    state.WinDir = dir / "WIN\\";
    state.SysDir = dir / "WIN\\SYSTEM\\";
    state.ProgramsDir = dir / "MENU\\PROGRAMS\\";
    state.StartupDir = dir / "MENU\\PROGRAMS\\STARTUP\\";
    state.Journals = TestJournalPlace(dir);
    // Below the journal's key of the tests, which each test empties.
    state.Registrations = {HKEY_CURRENT_USER, std::string(TestJournalKey) + "\\Uninstall"};
}

JournalPlace TestJournalPlace(const TempDir& dir)
{
    // A key of the tests' own, emptied for each: the engine's tests run one
    // at a time.
    DeleteRegistryKey(TestJournalKey);
    return {dir / "journals\\", HKEY_CURRENT_USER, TestJournalKey, false};
}

void EngineTest::SetUp()
{
    m_startDir = CurrentDir();
    UseTestFolders(m_state, m_dir);
}

void EngineTest::TearDown()
{
    ChangeDir(m_startDir);
}
