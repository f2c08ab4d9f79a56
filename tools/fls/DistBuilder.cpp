// flsmake's work: the output folder prepared, the product's files copied under
// the setup's names, setup.fls written with their sizes, and the diskettes
// laid out when asked.
#include "tools/fls/DistBuilder.h"

#include <fstream>
#include <map>
#include <system_error>

#include "runtime/Paths.h"
#include "setup/engine/ScriptFormat.h"
#include "tools/fls/Diskettes.h"

namespace fs = std::filesystem;

namespace {

// One file of the distribution: its name there and where it comes from.
struct Shipped {
    std::string Name;
    fs::path From;
    uint64_t Size = 0;
};

fs::path ProductPath(const fs::path& folder, const std::string& relative)
{
    std::string portable = relative;
    for (char& c : portable)
        if (c == '\\')
            c = '/';
    return folder / portable;
}

uint64_t SizeOf(const fs::path& path, int line)
{
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        throw BuildError("manifest line " + std::to_string(line) + ": the product file " + path.string() +
                         " does not exist.");
    return fs::file_size(path);
}

// Adds a file under the name the setup will look for; the same name may be
// shipped twice only for the same product file.
void Ship(std::vector<Shipped>& shipped, std::map<std::string, fs::path>& byName, const std::string& name,
          const fs::path& from, uint64_t size, int line)
{
    const std::string key = UpperCaseAscii(name);
    const auto earlier = byName.find(key);
    if (earlier != byName.end()) {
        if (fs::equivalent(earlier->second, from))
            return;
        throw BuildError("manifest line " + std::to_string(line) + ": " + from.string() + " and " +
                         earlier->second.string() + " would both lie on the distribution as " + name +
                         "; the setup takes every file from one folder, so give them different names.");
    }
    byName.emplace(key, from);
    shipped.push_back(Shipped{name, from, size});
}

// True for what flsmake writes into an output folder: files, the diskette
// folders disk1, disk2, ... with files only, and their images.
bool WrittenByFlsmake(const fs::directory_entry& entry)
{
    if (entry.is_regular_file())
        return true;
    const std::string name = entry.path().filename().string();
    if (!entry.is_directory() || name.rfind("disk", 0) != 0)
        return false;
    for (const auto& inner : fs::directory_iterator(entry.path()))
        if (!inner.is_regular_file())
            return false;
    return true;
}

// Replaces an earlier distribution whole; refuses a folder that holds no
// distribution, or more than one, so that a wrong argument cannot empty a
// folder of the vendor's.
void PrepareOutput(const fs::path& output)
{
    if (fs::exists(output)) {
        const std::string script(ScriptFormat::ScriptName);
        bool earlier = fs::is_empty(output) || fs::exists(output / script) || fs::exists(output / "disk1" / script);
        for (const auto& entry : fs::directory_iterator(output))
            earlier = earlier && WrittenByFlsmake(entry);
        if (!earlier)
            throw BuildError(output.string() + " is not empty and holds no distribution; choose an empty "
                             "or new folder.");
        fs::remove_all(output);
    }
    fs::create_directories(output);
}

void WriteBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw BuildError("cannot write " + path.string() + ".");
}

} // namespace

BuildResult BuildDistribution(const Manifest& manifest, const BuildOptions& options)
{
    std::vector<Shipped> shipped;
    std::map<std::string, fs::path> byName;

    std::vector<unsigned long long> fileSizes;
    for (const ManifestFile& file : manifest.Files) {
        const fs::path from = ProductPath(options.ProductFolder, file.Source);
        const uint64_t size = SizeOf(from, file.Line);
        if (size > 0x7FFFFFFF)
            throw BuildError("manifest line " + std::to_string(file.Line) + ": " + from.string() +
                             " is larger than the setup can count (2 GB).");
        fileSizes.push_back(size);
        Ship(shipped, byName, ScriptFormat::MandatorySourceName(file.Destination), from, size, file.Line);
    }
    for (const ManifestFile& option : manifest.Options) {
        const fs::path from = ProductPath(options.ProductFolder, option.Source);
        Ship(shipped, byName, ScriptFormat::OptionalSourceName(option.Destination), from, SizeOf(from, option.Line),
             option.Line);
    }

    BuildResult result;
    result.Script = WriteScript(manifest, fileSizes);
    if (!fs::is_regular_file(options.SetupExe))
        throw BuildError("the setup program " + options.SetupExe.string() + " does not exist.");

    // setup.exe and setup.fls come first, so that they are on the first diskette.
    std::vector<DiskFile> order{{"setup.exe", fs::file_size(options.SetupExe)},
                                {std::string(ScriptFormat::ScriptName), result.Script.size()}};
    for (const Shipped& file : shipped)
        order.push_back(DiskFile{file.Name, file.Size});

    const bool diskettes = options.DiskCapacity > 0 || options.Images;
    std::vector<int> disks(order.size(), 1);
    if (diskettes) {
        // A smaller capacity may be asked for on images too, to leave room.
        DiskGeometry geometry = Floppy144;
        if (options.DiskCapacity > 0) {
            if (options.Images && options.DiskCapacity > Floppy144.DataBytes)
                throw BuildError("a floppy image holds at most " + std::to_string(Floppy144.DataBytes) + " bytes.");
            geometry = FolderOfCapacity(options.DiskCapacity);
            if (options.Images)
                geometry.RootEntries = Floppy144.RootEntries;
        }
        try {
            disks = LayOutDiskettes(order, geometry);
        } catch (const LayoutError& e) {
            throw BuildError(e.what());
        }
        // The setup reads its script from its own diskette.
        if (disks[1] != 1)
            throw BuildError("setup.exe and setup.fls do not fit together on the first diskette.");
    }

    PrepareOutput(options.Output);
    const int diskCount = disks.back();
    for (int disk = 1; disk <= diskCount; ++disk) {
        const fs::path folder = diskettes ? options.Output / ("disk" + std::to_string(disk)) : options.Output;
        fs::create_directories(folder);
        result.Folders.push_back(folder);
    }
    fs::copy_file(options.SetupExe, result.Folders[disks[0] - 1] / "setup.exe");
    WriteBytes(result.Folders[disks[1] - 1] / std::string(ScriptFormat::ScriptName), result.Script);
    for (size_t i = 0; i < shipped.size(); ++i)
        fs::copy_file(shipped[i].From, result.Folders[disks[i + 2] - 1] / shipped[i].Name);

    if (options.Images) {
        for (int disk = 1; disk <= diskCount; ++disk) {
            const fs::path image = options.Output / ("disk" + std::to_string(disk) + ".img");
            try {
                MakeFloppyImage(image, "DISK" + std::to_string(disk), result.Folders[disk - 1]);
            } catch (const LayoutError& e) {
                throw BuildError(e.what());
            }
            result.Images.push_back(image);
        }
    }
    return result;
}
