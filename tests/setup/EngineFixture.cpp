#include "tests/setup/EngineFixture.h"

#include <windows.h>

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
