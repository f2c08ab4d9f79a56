// The folders an uninstall plan deals with, for its reading and its removal
// alike: the one that holds the log (removed with its contents, the log
// last of all) and those in which files may be deleted (no link or mount
// point on the way).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "runtime/FolderIdentity.h"

// Whether the name holds a wildcard, which no item of a plan may.
bool HasWildcards(const std::string& path);

// The log being read: the folder that holds it, the only one removed with
// its contents, and its name as that folder lists it, as the log is
// removed last of all.
class LogFile {
public:
    explicit LogFile(const std::string& path);

    // Whether the folder is the one that holds the log, under any name.
    bool IsIn(const std::string& folder) const;
    // Whether a file item (one that names a file, not a folder a pattern
    // matched) names the log itself.
    bool IsNamedBy(const std::string& path, bool folderMatch) const;
    // Whether a file item names the uninstaller left beside the log, by its
    // fixed name, in the log's own folder.
    bool IsUninstallerBesideIt(const std::string& path, bool folderMatch) const;
    // The full names of what the folder holds besides the log.
    std::vector<std::string> OthersIn(const std::string& folder) const;

private:
    std::optional<FolderId> m_folder;
    std::string m_name;  // in upper case
};

// The folders in which files may be deleted: those the way to which crosses
// no link or mount point. Each folder is looked at once, as a log names many
// files in few folders.
class FileFolders {
public:
    bool MayDeleteIn(const std::string& folder);

private:
    std::map<std::string, bool> m_known;
};

// Deletes a file the plan lists: the file that the name reaches, and never
// a folder, as the plan was made earlier and a folder may have taken the
// file's name since. A file reached through a link or a mount point is not
// deleted either. Whether the name is gone afterwards.
bool DeleteListedFile(const std::string& path, FileFolders& folders);
