// Changing the current directory so that its drive remembers it, and the split
// of a typed path that enters each step to learn whether it is a drive, a
// directory or a file.
#include "runtime/DirPaths.h"

#include <windows.h>

#include "runtime/Exceptions.h"
#include "runtime/Files.h"
#include "runtime/Paths.h"
#include "runtime/ScopeGuard.h"

namespace {

// Whether the name (relative to the current directory) is an existing file;
// a directory does not count.
bool IsExistingFile(const std::string& name)
{
    const DWORD attributes = GetFileAttributesA(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

int ChangeDir(const std::string& path)
{
    // An empty name names no directory.
    if (path.empty() || path.find('\0') != std::string::npos)
        return ERROR_PATH_NOT_FOUND;
    if (!SetCurrentDirectoryA(path.c_str())) {
        const int code = static_cast<int>(GetLastError());
        // NOTE: a drive's recorded directory may have been removed since
        // (the system would not have allowed that for the current
        // directory); the drive's root then takes its place, or the drive
        // could never be chosen again.
        if (path.size() != 2 || path[1] != ':')
            return code;
        const std::string name = "=" + UpperCaseAscii(path);
        char recorded[MAX_PATH + 1];
        const DWORD length = GetEnvironmentVariableA(name.c_str(), recorded, sizeof recorded);
        if (length == 0 || length > MAX_PATH || IsExistingDirectory(recorded))
            return code;
        SetEnvironmentVariableA(name.c_str(), nullptr);
        if (!SetCurrentDirectoryA(path.c_str()))
            return static_cast<int>(GetLastError());
    }
    const std::string now = CurrentDir();
    if (now.size() >= 2 && now[1] == ':')
        SetEnvironmentVariableA(("=" + UpperCaseAscii(now.substr(0, 2))).c_str(), now.c_str());
    return 0;
}

void ChDir(const std::string& path)
{
    if (const int code = ChangeDir(path))
        throw EInOutError(code);
}

void ProcessPath(const std::string& path, char& drive, std::string& dirPart, std::string& filePart)
{
    const std::string saved = CurrentDir();
    drive = saved.empty() ? '\0' : saved[0];
    std::string dir = path;
    std::string file;
    std::string drivePart;
    // The current directory is put back on every way out; only a normal
    // return reports that it could not be.
    int restored = 0;
    {
        const ScopeExit restore([&saved, &restored] { restored = ChangeDir(saved); });
        if (dir.size() >= 2 && dir.front() == '[' && dir.back() == ']') {
            dir = dir.substr(1, dir.size() - 2);
        } else {
            drivePart = FileDrivePart(dir);
            if (!drivePart.empty())
                dir.erase(0, drivePart.size());
            else
                drivePart = FileDrivePart(saved);
            drive = drivePart.size() >= 2 && drivePart[1] == ':' ? drivePart[0] : '\0';
        }
        ChDir(drivePart);

        file = dir.substr(FileDirPart(dir).size());
        if (dir.size() == file.size() + 1) {
            dir = "\\";
        } else if (dir.size() > file.size()) {
            dir.resize(dir.size() - file.size() - 1);
        } else {
            // No directory given: the drive's current one.
            dir = CurrentDir();
            dir.erase(0, FileDrivePart(dir).size());
            if (dir.empty())
                dir = "\\";
        }
        if (!dir.empty())
            ChDir(dir);

        // A last component that is a directory belongs to the directory part;
        // a file or a pattern is dropped, and a missing name fails here.
        if (!file.empty() && file.find_first_of("*?") == std::string::npos && !IsExistingFile(file)) {
            ChDir(file);
            dir = dir == "\\" ? "\\" + file : dir + "\\" + file;
            file.clear();
        }
        if (drive == '\0')
            dir = drivePart + dir;
    }
    if (restored)
        throw EInOutError(restored);
    dirPart = dir;
    filePart = file;
}
