// A fresh folder under the system's temporary directory for one test, removed
// with everything in it when the test ends; and what tests ask of whole files
// and folders by full path.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, ending in a backslash.
    const std::string& Path() const { return m_path; }
    // Path() + name.
    std::string operator/(std::string_view name) const { return m_path + std::string(name); }

    // Writes bytes to a file below the folder, replacing it.
    void WriteFile(std::string_view name, std::string_view bytes) const;
    // Reads a whole file below the folder.
    std::string ReadFile(std::string_view name) const;

private:
    std::string m_path;
};

// Removes a folder and everything below it.
void RemoveTree(const std::string& dir);

// Whether path names an existing file (not a folder), or an existing folder.
bool FileExists(const std::string& path);
bool DirExists(const std::string& path);
// The bytes of a whole file; empty when it cannot be read.
std::string ReadWhole(const std::string& path);
// Writes bytes to path, replacing the file; fails the test when it cannot.
void WriteWhole(const std::string& path, const std::string& bytes);
// The names of the files (not folders) directly in folder, which ends in a
// backslash, in the order the file system gives them.
std::vector<std::string> FilesIn(const std::string& folder);

// What a folder (ending in a backslash) holds, to compare one state of it
// with another: a line for each file and folder below it, in name order,
// with each file's size and a checksum of its bytes; below its subfolders
// too when recursive. Empty when the folder does not exist.
std::string FolderState(const std::string& folder, bool recursive = true);
