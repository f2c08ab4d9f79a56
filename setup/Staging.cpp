#include "setup/Staging.h"

#include "runtime/Files.h"
#include "runtime/Handles.h"

namespace {

std::optional<FileId> IdentityOfHandle(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return FileId{info.dwVolumeSerialNumber, (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

// Opens the entry itself, not what a link there points to.
FileHandle OpenEntry(const std::string& name, DWORD access)
{
    return FileHandle(CreateFileA(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

// Deletes the file of that name only while it is still the file of that
// identity: a file that has taken its name since is someone else's. The
// deletion goes through the handle that was checked, so nothing can come
// between the check and the deletion.
void DeleteIfStill(const std::string& name, const FileId& id)
{
    const FileHandle handle = OpenEntry(name, DELETE | FILE_READ_ATTRIBUTES);
    if (!handle || IdentityOfHandle(handle.Get()) != id)
        return;
    FILE_DISPOSITION_INFO disposition{TRUE};
    // A failure leaves the staged copy behind, which harms nobody.
    SetFileInformationByHandle(handle.Get(), FileDispositionInfo, &disposition, sizeof disposition);
}

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

std::optional<FileId> IdentityOfFile(const std::string& name)
{
    const FileHandle handle = OpenEntry(name, FILE_READ_ATTRIBUTES);
    return handle ? IdentityOfHandle(handle.Get()) : std::nullopt;
}

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

void RemoveStaging(const Staging& staging, const std::optional<FileId>& staged)
{
    if (staged)
        DeleteIfStill(staging.File, *staged);
    // NOTE: only an empty folder is removed: a file the user has saved into
    // it while the question was open stays, and the folder with it.
    if (!staging.Folder.empty())
        RemoveDirectoryA(staging.Folder.c_str());
}

