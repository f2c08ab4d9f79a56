// File identities and the deletions that check them.
#include "runtime/FileIdentity.h"

FileHandle OpenEntry(const std::string& name, DWORD access)
{
    return FileHandle(CreateFileA(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

std::optional<FileStamp> StampOfHandle(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    FileStamp stamp;
    stamp.Id = {info.dwVolumeSerialNumber, (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
    stamp.Size = (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    stamp.WriteTime = (uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) | info.ftLastWriteTime.dwLowDateTime;
    stamp.Known = true;
    return stamp;
}

std::optional<FileStamp> StampOfFile(const std::string& name)
{
    const FileHandle handle = OpenEntry(name, FILE_READ_ATTRIBUTES);
    return handle ? StampOfHandle(handle.Get()) : std::nullopt;
}

std::optional<FileId> IdentityOfFile(const std::string& name)
{
    const std::optional<FileStamp> stamp = StampOfFile(name);
    return stamp ? std::optional<FileId>(stamp->Id) : std::nullopt;
}

bool DeleteIfStill(const std::string& name, const FileStamp& stamp)
{
    const FileHandle handle = OpenEntry(name, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES);
    if (!handle)
        return false;
    const std::optional<FileStamp> now = StampOfHandle(handle.Get());
    if (!now || !stamp.Matches(*now))
        return false;
    // A read-only file the program made (a W-coded file copied from a
    // read-only diskette) goes too: its attribute is cleared through the
    // same handle first.
    FILE_BASIC_INFO basic{};
    if (GetFileInformationByHandleEx(handle.Get(), FileBasicInfo, &basic, sizeof basic) &&
        (basic.FileAttributes & FILE_ATTRIBUTE_READONLY)) {
        basic.FileAttributes &= ~FILE_ATTRIBUTE_READONLY;
        basic.FileAttributes |= basic.FileAttributes == 0 ? FILE_ATTRIBUTE_NORMAL : 0;
        SetFileInformationByHandle(handle.Get(), FileBasicInfo, &basic, sizeof basic);
    }
    FILE_DISPOSITION_INFO disposition{TRUE};
    return SetFileInformationByHandle(handle.Get(), FileDispositionInfo, &disposition, sizeof disposition) != 0;
}
