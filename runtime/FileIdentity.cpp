// File identities and the deletions that check them.
#include "runtime/FileIdentity.h"

FileHandle OpenEntry(const std::string& name, DWORD access)
{
    return FileHandle(CreateFileA(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

namespace {

// The file's index on its volume, asked of the system directly.
// NOTE: GetFileInformationByHandle also asks for the volume's serial number,
// which Wine answers through its mount manager at a cost near that of a
// small file's whole copy; a stamp, which is taken of every file a run
// writes, asks only for what it keeps.
struct FileInternalInformation {
    LARGE_INTEGER IndexNumber;
};
struct IoStatus {
    union {
        LONG Status;
        PVOID Pointer;
    };
    ULONG_PTR Information;
};
constexpr int FileInternalInformationClass = 6;
extern "C" LONG NTAPI NtQueryInformationFile(HANDLE, IoStatus*, PVOID, ULONG, int);

} // namespace

std::optional<FileStamp> StampOfHandle(HANDLE handle)
{
    FILE_STANDARD_INFO standard;
    FILE_BASIC_INFO basic;
    FileInternalInformation internal{};
    IoStatus status{};
    if (!GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof standard) || standard.Directory ||
        !GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) ||
        NtQueryInformationFile(handle, &status, &internal, sizeof internal, FileInternalInformationClass) < 0)
        return std::nullopt;
    FileStamp stamp;
    // The volume is the one the name leads to; the stamp keeps no serial.
    stamp.Id = {0, static_cast<uint64_t>(internal.IndexNumber.QuadPart)};
    stamp.Size = static_cast<uint64_t>(standard.EndOfFile.QuadPart);
    stamp.WriteTime = static_cast<uint64_t>(basic.LastWriteTime.QuadPart);
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
    const FileHandle handle = OpenEntry(name, FILE_READ_ATTRIBUTES);
    BY_HANDLE_FILE_INFORMATION info;
    if (!handle || !GetFileInformationByHandle(handle.Get(), &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return FileId{info.dwVolumeSerialNumber, (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
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
