// Where an optional file waits while its question is open: a staging
// folder on the destination's drive, chosen so that the staged copy takes
// no name that something else already has.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "runtime/FileIdentity.h"

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
// of that stamp, and the run's own folder, when it is empty. Whether the
// staged file is gone.
bool RemoveStaging(const Staging& staging, const std::optional<FileStamp>& staged);
