// The diskette layout: how many clusters and directory entries each file
// takes, the files placed in the setup's reading order, and floppy images made
// and unpacked with mtools.
#include "tools/fls/Diskettes.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>

extern char** environ;

namespace {

uint64_t Clusters(uint64_t size, uint32_t clusterBytes)
{
    return (size + clusterBytes - 1) / clusterBytes;
}

// Root directory entries a name takes: one for the short name, and long-name
// entries of 13 characters each unless the name is a plain upper-case 8.3 name.
uint32_t DirectoryEntries(const std::string& name)
{
    const size_t dot = name.find('.');
    const size_t baseLength = dot == std::string::npos ? name.size() : dot;
    const size_t extLength = dot == std::string::npos ? 0 : name.size() - dot - 1;
    bool plain = baseLength >= 1 && baseLength <= 8 && extLength <= 3 &&
                 name.find('.', dot == std::string::npos ? name.size() : dot + 1) == std::string::npos;
    for (char c : name)
        plain = plain && ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-');
    return plain ? 1 : 1 + static_cast<uint32_t>((name.size() + 12) / 13);
}

// Runs a program found on PATH with its arguments; returns its exit status,
// or -1 when it could not be started.
int Run(const std::vector<std::string>& command)
{
    std::vector<char*> argv;
    for (const std::string& arg : command)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) < 0 || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

void RunMtools(const std::vector<std::string>& command)
{
    // mtools refuse an image whose geometry their configuration does not
    // list; the images made here are standard, so the check is not needed.
    setenv("MTOOLS_SKIP_CHECK", "1", 1);
    const int status = Run(command);
    if (status == -1)
        throw LayoutError(command[0] + " could not be started: floppy images need mtools (apt-get install mtools).");
    if (status != 0)
        throw LayoutError(command[0] + " failed with exit status " + std::to_string(status) + ".");
}

} // namespace

DiskGeometry FolderOfCapacity(uint64_t bytes)
{
    return DiskGeometry{bytes / 512 * 512, 512, 0};
}

std::vector<int> LayOutDiskettes(const std::vector<DiskFile>& files, const DiskGeometry& disk)
{
    std::vector<int> where;
    int current = 1;
    uint64_t used = 0;
    uint32_t entries = 1;  // the volume label
    for (const DiskFile& file : files) {
        const uint64_t bytes = Clusters(file.Size, disk.ClusterBytes) * disk.ClusterBytes;
        const uint32_t needEntries = DirectoryEntries(file.Name);
        if (bytes > disk.DataBytes)
            throw LayoutError(file.Name + " (" + std::to_string(file.Size) + " bytes) is larger than a whole diskette (" +
                              std::to_string(disk.DataBytes) + " bytes); the setup cannot split a file.");
        const bool fits = used + bytes <= disk.DataBytes &&
                          (disk.RootEntries == 0 || entries + needEntries <= disk.RootEntries);
        if (!fits) {
            ++current;
            used = 0;
            entries = 1;
        }
        used += bytes;
        entries += needEntries;
        where.push_back(current);
    }
    return where;
}

void MakeFloppyImage(const std::filesystem::path& image, const std::string& label,
                     const std::filesystem::path& folder)
{
    std::filesystem::remove(image);
    RunMtools({"mformat", "-i", image.string(), "-C", "-f", "1440", "-v", label, "::"});
    std::vector<std::string> copy{"mcopy", "-i", image.string(), "-Q"};
    std::vector<std::filesystem::path> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file())
            names.push_back(entry.path());
    if (names.empty())
        return;
    std::sort(names.begin(), names.end());
    for (const auto& name : names)
        copy.push_back(name.string());
    copy.push_back("::/");
    RunMtools(copy);
}

void ExtractFloppyImage(const std::filesystem::path& image, const std::filesystem::path& folder)
{
    std::filesystem::create_directories(folder);
    RunMtools({"mcopy", "-i", image.string(), "-n", "-Q", "::/*", folder.string()});
}
