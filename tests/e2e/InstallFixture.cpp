#include "tests/e2e/InstallFixture.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "tests/support/ProgramPaths.h"
#include "tests/support/ShellLinkFiles.h"

std::string SmallDrive()
{
    const char* drive = std::getenv("WINEBED_SMALL_DRIVE");
    return drive && *drive ? std::string(drive) + "\\" : std::string();
}

void InstallTest::SetUp()
{
    // A run that an earlier test ended by force is not this test's to take
    // back: its journal would only put a message in the way.
    ForgetLeftRun();
    // Nor is a registration it left: the system's list of programs would
    // find it.
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, ProductKey);
    RegDeleteTreeA(HKEY_CURRENT_USER, ProductKey);
    m_group = "Halvarn Test " + std::to_string(GetCurrentProcessId());
    m_programs = ProgramsFolder();
    ASSERT_FALSE(m_programs.empty());
    m_dest = m_target.Path() + "HALVARN\\";
    m_productLog = m_target.Path() + "starts.log";
    SetEnvironmentVariableA("HALVARN95_LOG", m_productLog.c_str());
}

void InstallTest::TearDown()
{
    SetEnvironmentVariableA("HALVARN95_LOG", nullptr);
    RemoveTree(m_programs + m_group);
    // The product's key in the Uninstall list goes with the test's folder.
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, ProductKey);
    RegDeleteTreeA(HKEY_CURRENT_USER, ProductKey);
}

std::string InstallTest::Registration()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ProductKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::string();
    std::string values;
    for (DWORD index = 0;; ++index) {
        char name[256];
        BYTE data[4096];
        DWORD nameSize = sizeof name;
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        values += std::string(name, nameSize) + "=" +
                  (type == REG_DWORD ? std::to_string(*reinterpret_cast<DWORD*>(data))
                                     : std::string(reinterpret_cast<char*>(data), dataSize ? dataSize - 1 : 0)) +
                  "\n";
    }
    RegCloseKey(key);
    return values.empty() ? "(no values)\n" : values;
}

void InstallTest::WriteProduct(const std::string& folder)
{
    EXPECT_TRUE(CopyFileA((BuildFolder() + "setup.exe").c_str(), (folder + "setup.exe").c_str(), FALSE));
    EXPECT_TRUE(CopyFileA(ProductProgram().c_str(), (folder + "halvarn95.exe").c_str(), FALSE));
    WriteWhole(folder + "readme.txt", "Read me first.\r\n");
    WriteWhole(folder + "empty.dat", "");
    WriteWhole(folder + "HALVARN.bat", "@echo off\r\nhalvarn95.exe\r\n");
    WriteWhole(folder + "letters.txt", "Dear reader,\r\n");
    // The optional files lie on the medium under their whole path argument,
    // code letter included, as flsmake ships them.
    WriteWhole(folder + "Dletters.txt", "Dear reader,\r\n");
    WriteWhole(folder + "Dextra.txt", "more\r\n");
    // A program information link as the product ships it: it points at an
    // old place and carries a working folder the update must keep.
    LinkSettings pif;
    pif.Path = "C:\\OLD\\HALVARN.bat";
    pif.WorkingDirectory = "C:\\HALVARN";
    WriteLinkWithSettings(folder + "HALVARN.pif", pif);
}

std::string InstallTest::Script(const Strings& files) const
{
    Strings lines{"T", "Halvarn 95", "D", m_dest.substr(0, m_dest.size() - 1), "G", m_group};
    for (const std::string& file : files)
        lines.insert(lines.end(), {"F", file + "{1"});
    lines.insert(lines.end(), {"P", "Dhalvarn95.exe,Halvarn 95", "P", "Dreadme.txt,Read Me", "S",
                               "Would you like the sample letters?", "Dletters.txt", "S",
                               "Would you like the extra file?", "Dextra.txt", "Q", "HALVARN", "U", "D*.TMP"});
    return Records(lines);
}

void InstallTest::WriteLongDistribution(const std::string& folder, int count, Strings files)
{
    WriteProduct(folder);
    const std::string block(4096, 'x');
    for (int i = 0; i < count; ++i) {
        char name[16];
        wsprintfA(name, "f%04d.dat", i);
        WriteWhole(folder + name, block);
        files.push_back(std::string("D") + name);
    }
    WriteWhole(folder + "setup.fls", Script(files));
}

void InstallTest::WriteTakeBackDistribution(const std::string& folder, int count)
{
    WriteLongDistribution(folder, count, {"Wtakeback.ini", "Dreadme.txt"});
    WriteWhole(folder + "takeback.ini", "[takeback]\r\n");
    CreateDirectoryA(m_dest.c_str(), nullptr);
    WriteWhole(m_dest + "readme.txt", "the earlier version's readme");
    WriteWhole(m_dest + "uninst.fls", Records({"F", m_dest + "readme.txt", "R", "Halvarn95", "D", m_dest}));
    // The earlier installation's registration, which a run taken back
    // leaves as it was.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, ProductKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (const auto& [name, text] : {std::pair<const char*, std::string>{"DisplayName", "Halvarn 95"},
                                     {"DisplayVersion", "0.9"}, {"InstallLocation", m_dest}})
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

std::string InstallTest::MachineState() const
{
    return "destination:\n" + FolderState(m_target.Path()) + "Windows:\n" + FolderState(WindowsFolder() + "\\", false) +
           "Programs:\n" + FolderState(m_programs) + "temp:\n" + FolderState("C:\\temp\\") +
           "registration:\n" + Registration();
}

HWND InstallTest::StartInstalling(SetupSession& setup) const
{
    setup.Choose(true);
    setup.Settle(m_dest);
    return setup.Process().WaitForWindow("TForm5", "Installing");
}

int InstallTest::FileCount(const std::string& folder)
{
    return static_cast<int>(FilesIn(folder).size());
}

bool InstallTest::WaitForFiles(int count) const
{
    const DWORD until = GetTickCount() + 30000;
    while (FileCount(m_dest) < count && GetTickCount() < until)
        Sleep(10);
    return FileCount(m_dest) >= count;
}
