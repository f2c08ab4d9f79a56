// Which file a name holds, as the file system knows it: its volume and its
// index there, and with them its size and last write, so that a file the
// program wrote can be told from one that has taken its name or been
// changed since. Deletions that act only on such a known file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "runtime/Handles.h"

// A file's identity: the serial number of its volume and its index there.
struct FileId {
    DWORD Volume = 0;
    uint64_t Index = 0;
    bool operator==(const FileId&) const = default;
};

// A file's index with its size and last write time: the file as someone
// left it, at the name it was stamped under (so on that name's volume; the
// stamp keeps no volume serial). Known is false while only the identity has been taken (the file
// was being written).
struct FileStamp {
    FileId Id;
    uint64_t Size = 0;
    uint64_t WriteTime = 0;
    bool Known = false;

    // Whether now is the file this stamp was taken of, unchanged: the same
    // identity and, when the stamp knows them, the same size and last write.
    bool Matches(const FileStamp& now) const
    {
        return Id == now.Id && (!Known || (Size == now.Size && WriteTime == now.WriteTime));
    }
};

// Opens the entry itself, not what a link there points to, sharing
// everything; an invalid handle when it cannot be opened.
FileHandle OpenEntry(const std::string& name, DWORD access);

// The stamp of the open file, none when it is a folder or cannot be asked.
std::optional<FileStamp> StampOfHandle(HANDLE handle);
// The stamp of the file of that name, none when it is no file.
std::optional<FileStamp> StampOfFile(const std::string& name);
// The identity of the file of that name, its volume's serial with it, none
// when it is no file.
std::optional<FileId> IdentityOfFile(const std::string& name);

// Deletes the file of that name only while it still matches the stamp: a
// file that has taken its name since, or been changed, is someone else's.
// The deletion goes through the handle that was checked, so nothing can
// come between the check and the deletion. Whether it was deleted.
bool DeleteIfStill(const std::string& name, const FileStamp& stamp);
