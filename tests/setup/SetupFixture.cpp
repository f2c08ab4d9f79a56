#include "tests/setup/SetupFixture.h"

#include <windows.h>

#include "framework/Application.h"
#include "runtime/Files.h"
#include "runtime/Paths.h"
#include "setup/Setup1.h"
#include "setup/Setup2.h"
#include "setup/Setup3.h"
#include "setup/Setup4.h"
#include "setup/Setup5.h"

void StartSetupForms()
{
    InitializeFramework();
    Application->SetTitle("Brisdane 95 Setup");
    Application->CreateAppForm(Form1);
    Application->CreateAppForm(Form2);
    Application->CreateAppForm(Form3);
    Application->CreateAppForm(Form4);
    Application->CreateAppForm(Form5);
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
    StartSetupForms();
    Form1->ExeDir = m_dir.Path();
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
    Form1->ProductTitle = "Halvarn 95";
    Form1->SourceDir = UpperCaseAscii(m_dir.Path());
    for (const char* dir : {"DEST", "WIN", "WIN\\SYSTEM", "MENU", "MENU\\PROGRAMS", "MENU\\PROGRAMS\\STARTUP"})
        CreateDirectoryA((m_dir / dir).c_str(), nullptr);
    Form1->DestDir = m_dir / "DEST\\";
    Form1->WinDir = m_dir / "WIN\\";
    Form1->SysDir = m_dir / "WIN\\SYSTEM\\";
    Form1->ProgramsDir = m_dir / "MENU\\PROGRAMS\\";
    Form1->StartupDir = m_dir / "MENU\\PROGRAMS\\STARTUP\\";
}
