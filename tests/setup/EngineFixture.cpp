#include "tests/setup/EngineFixture.h"

#include <windows.h>

#include "runtime/DirPaths.h"
#include "runtime/Files.h"
#include "runtime/Paths.h"

void UseTestFolders(SetupState& state, const TempDir& dir)
{
    state.ProductTitle = "Halvarn 95";
    state.ExeDir = dir.Path();
    state.SourceDir = UpperCaseAscii(dir.Path());
    for (const char* folder : {"DEST", "WIN", "WIN\\SYSTEM", "MENU", "MENU\\PROGRAMS", "MENU\\PROGRAMS\\STARTUP"})
        CreateDirectoryA((dir / folder).c_str(), nullptr);
    state.DestDir = dir / "DEST\\";
    state.WinDir = dir / "WIN\\";
    state.SysDir = dir / "WIN\\SYSTEM\\";
    state.ProgramsDir = dir / "MENU\\PROGRAMS\\";
    state.StartupDir = dir / "MENU\\PROGRAMS\\STARTUP\\";
    state.JournalFile = dir / "setuprun.jnl";
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
