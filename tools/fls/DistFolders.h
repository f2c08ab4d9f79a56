// The folders of a distribution as the setup sees them: the first holds
// setup.exe and setup.fls, and every source file lies at the top of one of
// them (a distribution folder, or the diskettes in order). Names are matched
// ignoring ASCII letter case, as the target file systems do.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct DistFile {
    std::filesystem::path Path;
    uint64_t Size = 0;
    int Disk = 1;  // which folder holds it, counting from 1
};

class DistFolders {
public:
    // Lists the files at the top of each folder; a folder that cannot be
    // read contributes nothing.
    explicit DistFolders(std::vector<std::filesystem::path> folders);

    const std::vector<std::filesystem::path>& Folders() const { return m_folders; }
    // The file of that name in the first folder that holds one.
    std::optional<DistFile> Find(std::string_view name) const;

private:
    std::vector<std::filesystem::path> m_folders;
    std::map<std::string, DistFile> m_files;  // by upper-case name
};

// Reads a whole file's bytes; nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);
