// A fresh folder under the system's temporary directory for one test, removed
// with everything in it when the test ends.
#pragma once

#include <string>
#include <string_view>

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
