// Builds a distribution from a manifest and a product folder: writes
// setup.fls with the real sizes and CR LF line ends, copies setup.exe and the
// product's files under the names the setup looks for, and optionally lays
// them out on numbered diskette folders and floppy images.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/fls/Manifest.h"

struct BuildOptions {
    std::filesystem::path SetupExe;
    std::filesystem::path ProductFolder;
    std::filesystem::path Output;
    // 0 for one distribution folder; otherwise the capacity of a diskette,
    // and the files go into Output/disk1, disk2, ...
    uint64_t DiskCapacity = 0;
    // Also make Output/disk1.img, disk2.img, ... (1.44 MB, with mtools).
    bool Images = false;
};

struct BuildResult {
    std::string Script;                            // the bytes of setup.fls
    std::vector<std::filesystem::path> Folders;    // the distribution folder, or the diskettes in order
    std::vector<std::filesystem::path> Images;     // the floppy images, when asked for
};

class BuildError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

BuildResult BuildDistribution(const Manifest& manifest, const BuildOptions& options);
