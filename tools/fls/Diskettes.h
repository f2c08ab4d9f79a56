// Laying a distribution out on diskettes: which file goes on which diskette,
// in the order the setup reads them, and the 1.44 MB floppy images made with
// mtools from the diskettes' folders.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

struct DiskGeometry {
    uint64_t DataBytes = 0;     // room for file data
    uint32_t ClusterBytes = 512;  // every file takes whole clusters
    uint32_t RootEntries = 0;   // directory entries of the root; 0 for no limit
};

// A 3.5" high-density diskette as mformat makes it: 2,847 data clusters of
// one 512-byte sector, and 224 root directory entries (one is the label).
constexpr DiskGeometry Floppy144{2847ull * 512, 512, 224};
// A folder of the given capacity, counted in 512-byte clusters.
DiskGeometry FolderOfCapacity(uint64_t bytes);

struct DiskFile {
    std::string Name;
    uint64_t Size = 0;
};

class LayoutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The diskette (counting from 1) of each file, filled in order: a file goes
// on the current diskette while it has room, else it starts the next one, so
// that the setup asks for each diskette once and never asks back. Raises
// LayoutError for a file larger than a whole diskette.
std::vector<int> LayOutDiskettes(const std::vector<DiskFile>& files, const DiskGeometry& disk);

// Makes a formatted 1.44 MB image at image with the volume label label and
// copies every file of folder onto it, with mformat and mcopy. Raises
// LayoutError when mtools are missing or fail.
void MakeFloppyImage(const std::filesystem::path& image, const std::string& label,
                     const std::filesystem::path& folder);

// Copies every file of a floppy image into folder, with mcopy.
void ExtractFloppyImage(const std::filesystem::path& image, const std::filesystem::path& folder);
