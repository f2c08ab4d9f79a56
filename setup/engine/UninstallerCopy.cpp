// The uninstaller in place: its log, its temporary copy, and the move of its
// own file out of the folder it removes.
#include "setup/engine/UninstallerCopy.h"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "runtime/FolderIdentity.h"
#include "runtime/Handles.h"
#include "runtime/Paths.h"
#include "setup/engine/ScriptFormat.h"
#include "shell/ShellLinks.h"

namespace {

// The environment variable through which an uninstaller in place tells its
// copy the folder it made for it.
constexpr wchar_t CopyMark[] = L"BRISDANE95SETUP_UNINSTALLER_COPY";
// The copy's folder: the prefix, the starting process's id and a number.
constexpr char CopyFolderPrefix[] = "Brisdane95Uninstall.";

std::wstring Wide(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

// The arguments of the program's command line, with the blanks before them,
// as the system splits off the program's name: up to the closing quote
// when it begins with one, else up to the first blank or tab.
std::wstring ArgumentsOf(const std::wstring& commandLine)
{
    size_t end = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        end = commandLine.find(L'"', 1);
        end = end == std::wstring::npos ? commandLine.size() : end + 1;
    } else {
        end = std::min(commandLine.find_first_of(L" \t"), commandLine.size());
    }
    return commandLine.substr(end);
}

// A new folder in the system's temporary folder, made here and now: a name
// that is taken, by a folder or a file, is never used. Empty when none
// could be made.
std::string MakeCopyFolder()
{
    char temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length > MAX_PATH)
        return std::string();
    const std::string base = JoinDir(std::string(temp, length), CopyFolderPrefix) +
                             std::to_string(GetCurrentProcessId()) + ".";
    for (int number = 0; number < 1000; ++number) {
        const std::string folder = base + std::to_string(number);
        if (CreateDirectoryA(folder.c_str(), nullptr))
            return folder + "\\";
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return std::string();
    }
    return std::string();
}

// Deletes the copy that has just ended: the system may release its file a
// moment after the process has ended.
void DeleteEndedCopy(const std::string& copy)
{
    for (int attempt = 0; attempt < 100 && !DeleteFileA(copy.c_str()); ++attempt) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND)
            break;
        Sleep(50);
    }
}

} // namespace

std::string UninstallLogName(const CommandLine& switches, const std::string& programDir)
{
    if (!switches.UninstallLog)
        return programDir + std::string(ScriptFormat::LogName);
    // The folder that holds the log is the one folder the removal may take
    // with its contents: it is named in full, whatever the current folder.
    char full[MAX_PATH + 1] = {};
    const DWORD size = GetFullPathNameA(switches.UninstallLog->c_str(), MAX_PATH, full, nullptr);
    return size == 0 || size > MAX_PATH ? *switches.UninstallLog : std::string(full);
}

bool RunsBesideLog(const std::string& program, const std::string& logPath)
{
    const std::optional<FolderId> logFolder = FolderIdentity(FileDirPart(logPath));
    return logFolder && FolderIdentity(FileDirPart(program)) == logFolder;
}

std::optional<DWORD> RunFromTemporaryCopy(const std::string& program)
{
    const std::string folder = MakeCopyFolder();
    if (folder.empty())
        return std::nullopt;
    // Named as the distribution names the setup program, so that the
    // uninstaller's own file can join it in its folder under its own name.
    const std::string copy = folder + std::string(ScriptFormat::ProgramName);
    const auto removeFolder = [&] { RemoveDirectoryA(RemoveTrailingBackslash(folder).c_str()); };
    if (!CopyFileA(program.c_str(), copy.c_str(), TRUE)) {
        removeFolder();
        return std::nullopt;
    }
    std::wstring commandLine = L"\"" + Wide(copy) + L"\"" + ArgumentsOf(GetCommandLineW());
    // The copy writes to the standard handles this process was given.
    STARTUPINFOW given{};
    GetStartupInfoW(&given);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = given.dwFlags & (STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES);
    startup.wShowWindow = given.wShowWindow;
    const bool handles = (startup.dwFlags & STARTF_USESTDHANDLES) != 0;
    if (handles) {
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    SetEnvironmentVariableW(CopyMark, Wide(folder).c_str());
    PROCESS_INFORMATION started{};
    const BOOL made = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, handles, CREATE_SUSPENDED,
                                     nullptr, nullptr, &startup, &started);
    SetEnvironmentVariableW(CopyMark, nullptr);
    if (!made) {
        DeleteFileA(copy.c_str());
        removeFolder();
        return std::nullopt;
    }
    const KernelHandle process(started.hProcess);
    const KernelHandle thread(started.hThread);
    // NOTE: the copy started in this process's current folder, which may be
    // the one it is to remove; this process leaves it before the copy runs.
    // The Windows folder is never removed.
    SetCurrentDirectoryA(WindowsDirectory().c_str());
    // The person who started the uninstaller works in the copy's windows.
    AllowSetForegroundWindow(started.dwProcessId);
    ResumeThread(thread.Get());
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = 0;
    if (!GetExitCodeProcess(process.Get(), &code))
        code = 6;
    DeleteEndedCopy(copy);
    removeFolder();
    return code;
}

std::string TemporaryCopyFolder(const std::string& program)
{
    std::vector<wchar_t> value(MAX_PATH + 1);
    const DWORD length = GetEnvironmentVariableW(CopyMark, value.data(), static_cast<DWORD>(value.size()));
    if (length == 0 || length >= value.size())
        return std::string();
    SetEnvironmentVariableW(CopyMark, nullptr);
    char folder[MAX_PATH * 2] = {};
    WideCharToMultiByte(CP_ACP, 0, value.data(), static_cast<int>(length), folder, sizeof folder - 1, nullptr,
                        nullptr);
    // A mark that names another folder than the program's own (one left in
    // an environment that started a program by other ways) is no mark.
    const std::optional<FolderId> own = FolderIdentity(FileDirPart(program));
    return own && FolderIdentity(folder) == own ? JoinDir(folder, "") : std::string();
}

bool MoveRunningUninstaller(const std::string& path, const std::string& copyFolder)
{
    // NOTE: a copy's folder that is the uninstaller's own (a mark set by
    // someone else for the uninstaller itself) is no place to move it to.
    const std::optional<FolderId> target = FolderIdentity(copyFolder);
    if (copyFolder.empty() || !target || target == FolderIdentity(FileDirPart(path)))
        return false;
    const std::string moved = copyFolder + std::string(ScriptFormat::UninstallerName);
    // NOTE: neither copied to another volume nor replacing anything: a file
    // that cannot be moved as it is stays where it is, and the removal says
    // so.
    if (!MoveFileExA(path.c_str(), moved.c_str(), 0))
        return false;
    MoveFileExA(moved.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExA(RemoveTrailingBackslash(copyFolder).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return true;
}
