#include "tests/support/TempDir.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include <gtest/gtest.h>

#include "runtime/FileStream.h"
#include "runtime/Handles.h"

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

bool FileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadWhole(const std::string& path)
{
    std::string bytes;
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    if (!file)
        return bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

void WriteWhole(const std::string& path, const std::string& bytes)
{
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file) << path;
    DWORD wrote = 0;
    EXPECT_TRUE(WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr)) << path;
    EXPECT_EQ(wrote, bytes.size()) << path;
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    SearchHandle search(FindFirstFileA((folder + "*").c_str(), &found));
    if (!search)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(search.Get(), &found));
    return names;
}

std::string FolderState(const std::string& folder, bool recursive)
{
    std::vector<std::string> lines;
    std::vector<std::string> pending{""};
    while (!pending.empty()) {
        const std::string relative = pending.back();
        pending.pop_back();
        WIN32_FIND_DATAA found;
        SearchHandle search(FindFirstFileA((folder + relative + "*").c_str(), &found));
        if (!search)
            continue;
        do {
            const std::string name = relative + found.cFileName;
            if (std::string(found.cFileName) == "." || std::string(found.cFileName) == "..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                lines.push_back(name + "\\");
                if (recursive)
                    pending.push_back(name + "\\");
                continue;
            }
            // FNV-1a over the bytes: enough to tell a changed file.
            uint32_t sum = 2166136261u;
            for (const unsigned char c : ReadWhole(folder + name))
                sum = (sum ^ c) * 16777619u;
            lines.push_back(name + " " + std::to_string(found.nFileSizeLow) + " " + std::to_string(sum));
        } while (FindNextFileA(search.Get(), &found));
    }
    std::sort(lines.begin(), lines.end());
    std::string state;
    for (const std::string& line : lines)
        state += line + "\n";
    return state;
}
