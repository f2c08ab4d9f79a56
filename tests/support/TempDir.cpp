#include "tests/support/TempDir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "runtime/FileStream.h"

TempDir::TempDir()
{
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        m_path = std::string(base) + "rt" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter) + "\\";
        if (CreateDirectoryA(m_path.c_str(), nullptr))
            break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            ADD_FAILURE() << "cannot create " << m_path;
            break;
        }
    }
}

TempDir::~TempDir()
{
    RemoveTree(m_path);
}

void TempDir::WriteFile(std::string_view name, std::string_view bytes) const
{
    TFileStream stream(*this / name, FileStreamMode::Create);
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

std::string TempDir::ReadFile(std::string_view name) const
{
    TFileStream stream(*this / name, FileStreamMode::OpenRead);
    std::string bytes(static_cast<size_t>(stream.Size()), '\0');
    stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    return bytes;
}

void RemoveTree(const std::string& dir)
{
    std::string root = dir;
    if (!root.empty() && root.back() != '\\')
        root += '\\';
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((root + "*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = root + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &data));
        FindClose(search);
    }
    RemoveDirectoryA(root.c_str());
}
