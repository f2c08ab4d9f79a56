// Where an optional file waits while its question is open: a staging
// folder on the destination's drive that touches nothing the run did not
// make, whatever already has the names it would use.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <windows.h>

// A file's identity: the serial number of its volume and its index there.
struct FileId {
    DWORD Volume = 0;
    uint64_t Index = 0;
    bool operator==(const FileId&) const = default;
};

// The identity of the file of that name, none when it is no file.
std::optional<FileId> IdentityOfFile(const std::string& name);

// The staged file, and the folder that the run made for it, if it made one.
struct Staging {
    std::string File;
    std::string Folder;
};

// Where to stage the file of that name, given the staging folder base (which
// may not exist, or be a file): base\name while nothing has that name;
// otherwise in a folder of the run's own. willMake is told of each folder
// before it is made.
Staging ChooseStaging(const std::string& base, const std::string& name,
                      const std::function<void(const std::string&)>& willMake);

// Removes what the staging made: the staged file, when it is still the file
// of that identity, and the run's own folder, when it is empty.
void RemoveStaging(const Staging& staging, const std::optional<FileId>& staged);
