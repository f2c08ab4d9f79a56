// The file system's answers: whether a file or a directory is there, free
// space, the current directory, deleting one file, creating a directory path,
// and the system's words for an error code.
#include "runtime/Files.h"

#include <windows.h>

#include "runtime/Paths.h"
#include "runtime/Search.h"

namespace {

// A name with a NUL byte would reach the system cut short, naming something
// else; such a name names nothing.
bool IsUsableName(std::string_view name)
{
    return name.find('\0') == std::string_view::npos;
}

} // namespace

bool FileIsPresent(std::string_view name)
{
    // Every entry the search finds counts, hidden and system files included;
    // directories ("." and ".." among them) do not.
    // NOTE: a file whose time cannot be expressed as a DOS date (before 1980)
    // is present all the same: a distribution unpacked with such dates must
    // still install.
    TSearchRec record;
    for (int result = SearchFirst(name, faAnyFile, record); result == 0; result = SearchNext(record)) {
        if ((record.Attr & faDirectory) == 0)
            return true;
    }
    return false;
}

bool IsExistingDirectory(std::string_view name)
{
    if (!IsUsableName(name))
        return false;
    const DWORD attributes = GetFileAttributesA(std::string(name).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void CreateDirectoryPath(std::string_view dir)
{
    if (dir.empty() || !IsUsableName(dir))
        return;
    if (dir.back() == '\\')
        dir.remove_suffix(1);
    if (dir.size() <= 2 || IsExistingDirectory(dir))
        return;
    // The parent is made first. It is always shorter than dir, which ends the
    // recursion also for names that end in ":" (whose directory part would be
    // the name itself).
    const std::string parent = FileDirPart(dir);
    if (!parent.empty() && parent.size() < dir.size())
        CreateDirectoryPath(parent);
    // A failure here is not reported: the first file operation in the missing
    // directory reports it.
    CreateDirectoryA(std::string(dir).c_str(), nullptr);
}

int64_t FreeSpace(int driveNumber)
{
    if (driveNumber < 0 || driveNumber > 26)
        return -1;
    if (driveNumber == 0)
        return FreeSpaceOfRoot("");
    char root[] = "?:\\";
    root[0] = static_cast<char>('A' + driveNumber - 1);
    return FreeSpaceOfRoot(root);
}

int64_t FreeSpaceOfRoot(const std::string& root)
{
    // NOTE: the count is 64 bits wide so that drives with 2 GiB or more free
    // are reported as they are; the settings dialog shows kilobytes. The bytes
    // available to the calling user are reported, which respects disk quotas.
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExA(root.empty() ? nullptr : root.c_str(), &available, nullptr, nullptr))
        return -1;
    return static_cast<int64_t>(available.QuadPart);
}

std::string CurrentDir()
{
    std::string dir(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(dir.size()), dir.data());
        if (length == 0)
            return std::string();
        if (length < dir.size()) {
            dir.resize(length);
            return dir;
        }
        dir.resize(length);  // too small: length is the size needed, with the NUL
    }
}

bool DeleteOnlyFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return false;
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0)
        SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return DeleteFileA(path.c_str()) || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

std::string SystemErrorText(unsigned long code)
{
    char buffer[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                                  sizeof buffer, nullptr);
    while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n' || buffer[length - 1] == ' ' ||
                          buffer[length - 1] == '.'))
        --length;
    if (length == 0)
        return "error " + std::to_string(code);
    return std::string(buffer, length);
}
