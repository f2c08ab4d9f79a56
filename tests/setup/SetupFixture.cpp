#include "tests/setup/SetupFixture.h"

#include <windows.h>

#include "framework/Application.h"
#include "runtime/Files.h"
#include "setup/forms/Setup1.h"
#include "setup/forms/Setup2.h"
#include "setup/forms/Setup3.h"
#include "setup/forms/Setup4.h"
#include "setup/forms/Setup5.h"
#include "setup/forms/SetupForms.h"
#include "tests/setup/EngineFixture.h"
#include "tests/setup/EngineFixture.h"

void StartSetupForms(SetupState& state)
{
    InitializeFramework();
    Application->SetTitle("Brisdane 95 Setup");
    CreateSetupForms(state);
}

void EndSetupForms()
{
    FinalizeFramework();
    Form1 = nullptr;
    Form2 = nullptr;
    Form3 = nullptr;
    Form4 = nullptr;
    Form5 = nullptr;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

void SetupTest::SetUp()
{
    m_savedDir = CurrentDir();
    m_state = SetupState();
    StartSetupForms(m_state);
    m_state.ExeDir = m_dir.Path();
    m_state.Journals = TestJournalPlace(m_dir);
    // A stand-in for the program, which a run copies as the uninstaller,
    // and a place of the tests' own for the registration.
    m_state.ProgramPath = m_dir / "setup.exe";
    m_dir.WriteFile("setup.exe", "MZ the setup program");
    m_state.Registrations = {HKEY_CURRENT_USER, std::string(TestJournalKey) + "\\Uninstall"};
}

void SetupTest::TearDown()
{
    EndSetupForms();
    SetCurrentDirectoryA(m_savedDir.c_str());
}

void SetupTest::WriteScript(const std::string& bytes)
{
    m_dir.WriteFile("setup.fls", bytes);
}

void SetupTest::UseTestFolders()
{
    ::UseTestFolders(m_state, m_dir);
}
