// The files found at the top of a distribution's folders, looked up by name
// without regard to letter case.
#include "tools/fls/DistFolders.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "runtime/Paths.h"

DistFolders::DistFolders(std::vector<std::filesystem::path> folders)
    : m_folders(std::move(folders))
{
    for (size_t i = 0; i < m_folders.size(); ++i) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(m_folders[i], error)) {
            std::error_code entryError;
            if (!entry.is_regular_file(entryError))
                continue;
            const std::string key = UpperCaseAscii(entry.path().filename().string());
            if (m_files.count(key))
                continue;
            const uint64_t size = entry.file_size(entryError);
            m_files.emplace(key, DistFile{entry.path(), entryError ? 0 : size, static_cast<int>(i) + 1});
        }
    }
}

std::optional<DistFile> DistFolders::Find(std::string_view name) const
{
    const auto found = m_files.find(UpperCaseAscii(name));
    if (found == m_files.end())
        return std::nullopt;
    return found->second;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
