// The script checker as the Windows console program a vendor runs: real
// distribution folders, its printed findings and its exit status.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "runtime/Files.h"
#include "runtime/Handles.h"
#include "tests/support/ProgramPaths.h"
#include "tests/support/TempDir.h"

namespace {

struct ConsoleRun {
    DWORD ExitCode = STILL_ACTIVE;
    std::string Output;
};

// Runs flscheck.exe with the folders as its arguments and collects what it
// prints.
ConsoleRun RunFlsCheck(const std::string& arguments)
{
    ConsoleRun run;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readHandle = nullptr;
    HANDLE writeHandle = nullptr;
    if (!CreatePipe(&readHandle, &writeHandle, &inherit, 0)) {
        ADD_FAILURE() << "no pipe";
        return run;
    }
    FileHandle readEnd(readHandle);
    FileHandle writeEnd(writeHandle);
    SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = writeEnd.Get();
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + BuildFolder() + "flscheck.exe\" " + arguments;
    const bool started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                        nullptr, nullptr, &startup, &info);
    // Only the child holds the write end now, so the pipe ends with it.
    writeEnd.Reset();
    if (!started) {
        ADD_FAILURE() << "cannot start " << commandLine;
        return run;
    }
    FileHandle process(info.hProcess);
    FileHandle thread(info.hThread);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        run.Output.append(buffer, got);
    if (WaitForSingleObject(process.Get(), 30000) != WAIT_OBJECT_0)
        TerminateProcess(process.Get(), 99);
    GetExitCodeProcess(process.Get(), &run.ExitCode);
    return run;
}

std::string Quoted(const std::string& folder)
{
    // A trailing backslash before the closing quote would escape it.
    return "\"" + folder.substr(0, folder.size() - 1) + "\"";
}

const std::string Head = "T\r\nProduct\r\nD\r\nC:\\PRODUCT\r\nG\r\nProduct\r\n";

TEST(FlsCheckProgram, ExitsWithZeroOneOrTwoAsTheScriptIsCleanWarnedOrWrong)
{
    TempDir dir;
    dir.WriteFile("setup.exe", "MZ");
    dir.WriteFile("a.txt", "abc");
    {
        SCOPED_TRACE("clean");
        dir.WriteFile("setup.fls", Head + "F\r\nDa.txt{3\r\n");
        const ConsoleRun run = RunFlsCheck(Quoted(dir.Path()));
        EXPECT_EQ(run.ExitCode, 0u) << run.Output;
        EXPECT_NE(run.Output.find("0 errors, 0 warnings"), std::string::npos) << run.Output;
    }
    {
        SCOPED_TRACE("warnings only");
        dir.WriteFile("setup.fls", "D\r\nC:\\PRODUCT\r\nG\r\nProduct\r\nX\r\nunknown\r\n");
        const ConsoleRun run = RunFlsCheck(Quoted(dir.Path()));
        EXPECT_EQ(run.ExitCode, 1u) << run.Output;
        EXPECT_NE(run.Output.find("setup.fls:5: warning: unknown command \"X\""), std::string::npos) << run.Output;
        EXPECT_NE(run.Output.find("setup.fls: warning: no T record"), std::string::npos) << run.Output;
    }
    {
        SCOPED_TRACE("errors, with the runtime's own message from the string table");
        dir.WriteFile("setup.fls", Head + "F\r\nDa.txt{three\r\nF\r\nDb.txt{1\r\n");
        const ConsoleRun run = RunFlsCheck(Quoted(dir.Path()));
        EXPECT_EQ(run.ExitCode, 2u) << run.Output;
        EXPECT_NE(run.Output.find("setup.fls:8: error: F record \"Da.txt{three\": the size is not a valid integer, "
                                  "so the installation settings stop with \"'three' is not a valid integer value\""),
                  std::string::npos)
            << run.Output;
        EXPECT_NE(run.Output.find("setup.fls:10: error: F record \"Db.txt{1\": the file \"b.txt\" is not in the "
                                  "distribution folder"),
                  std::string::npos)
            << run.Output;
        EXPECT_NE(run.Output.find("2 errors, 0 warnings"), std::string::npos) << run.Output;
    }
    {
        SCOPED_TRACE("no script");
        TempDir empty;
        const ConsoleRun run = RunFlsCheck(Quoted(empty.Path()));
        EXPECT_EQ(run.ExitCode, 2u) << run.Output;
        EXPECT_NE(run.Output.find("there is no setup script here"), std::string::npos) << run.Output;
    }
}

TEST(FlsCheckProgram, FindsTheFilesOfLaterDiskettes)
{
    TempDir first;
    TempDir second;
    first.WriteFile("setup.exe", "MZ");
    first.WriteFile("setup.fls", Head + "F\r\nDa.txt{3\r\n");
    second.WriteFile("a.txt", "abc");
    EXPECT_EQ(RunFlsCheck(Quoted(first.Path())).ExitCode, 2u);
    const ConsoleRun run = RunFlsCheck(Quoted(first.Path()) + " " + Quoted(second.Path()));
    EXPECT_EQ(run.ExitCode, 0u) << run.Output;
}

TEST(FlsCheckProgram, TheSampleDistributionsAreClean)
{
    for (const char* folder : {"sample\\", "sample-diskettes\\disk1\\"}) {
        SCOPED_TRACE(folder);
        ASSERT_TRUE(FileIsPresent(BuildFolder() + folder + "setup.fls"));
        const ConsoleRun run = RunFlsCheck(Quoted(BuildFolder() + folder));
        EXPECT_EQ(run.ExitCode, 0u) << run.Output;
    }
}

} // namespace
