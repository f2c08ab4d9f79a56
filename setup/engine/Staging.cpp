// The choice of the staging folder of optional files, and its removal.
#include "setup/engine/Staging.h"

#include "runtime/Files.h"

namespace {

// Makes a folder of the run's own: prefix followed by a number that nothing
// there has, made by a creation that fails when the name is taken. Empty
// when none could be made.
std::string MakeOwnFolder(const std::string& prefix, const std::function<void(const std::string&)>& willMake)
{
    DWORD number = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (int attempt = 0; attempt < 100; ++attempt, number += 7919) {
        char suffix[16];
        wsprintfA(suffix, "%08lX", static_cast<unsigned long>(number));
        const std::string folder = prefix + suffix;
        if (GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES)
            continue;
        willMake(folder);
        if (CreateDirectoryA(folder.c_str(), nullptr))
            return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    return std::string();
}

// Whether nothing at all has the name, neither a file nor a folder.
bool NameIsFree(const std::string& name)
{
    if (GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

} // namespace

Staging ChooseStaging(const std::string& base, const std::string& name,
                      const std::function<void(const std::string&)>& willMake)
{
    const std::string plain = base + "\\" + name;
    // A staging folder that nothing had is the run's own, and removed again
    // once it is empty.
    if (NameIsFree(base)) {
        willMake(base);
        if (CreateDirectoryA(base.c_str(), nullptr))
            return {plain, base};
    }
    if (IsExistingDirectory(base)) {
        if (NameIsFree(plain))
            return {plain, std::string()};
        // NOTE: the staged name is taken by someone's file or folder, which
        // the staging must not touch: a folder of the run's own inside the
        // staging folder holds the copy instead.
        const std::string own = MakeOwnFolder(base + "\\Setup", willMake);
        if (!own.empty())
            return {own + "\\" + name, own};
    } else if (!NameIsFree(base)) {
        // NOTE: a file has the staging folder's name, so nothing can be
        // staged in it; a folder of the run's own beside it, on the same
        // drive, holds the copy instead.
        const std::string own = MakeOwnFolder(base + "-Setup", willMake);
        if (!own.empty())
            return {own + "\\" + name, own};
    }
    // Nothing could be made: the copy meets the creation error and reports
    // it, and nothing is replaced.
    return {plain, std::string()};
}

bool RemoveStaging(const Staging& staging, const std::optional<FileStamp>& staged)
{
    // A failure leaves the staged copy behind, which harms nobody.
    const bool gone = staged && DeleteIfStill(staging.File, *staged);
    // NOTE: only an empty folder is removed: a file the user has saved into
    // it while the question was open stays, and the folder with it.
    if (!staging.Folder.empty())
        RemoveDirectoryA(staging.Folder.c_str());
    return gone;
}

