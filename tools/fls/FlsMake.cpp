// flsmake: turns a product folder and a manifest into a distribution.
//
//   flsmake --setup SETUP.EXE [--diskettes SIZE] [--images] MANIFEST PRODUCT OUTPUT
//
// Writes OUTPUT/setup.fls and copies setup.exe and the product's files beside
// it. With --diskettes the files are laid out on OUTPUT/disk1, disk2, ... of
// SIZE bytes each ("1.44M" for high-density diskettes); with --images each
// diskette is also made into a 1.44 MB image OUTPUT/diskN.img. The result is
// then checked as flscheck would; exit status 0 when clean, 1 for warnings, 2
// for errors.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/fls/DistBuilder.h"
#include "tools/fls/DistFolders.h"
#include "tools/fls/Diskettes.h"
#include "tools/fls/Manifest.h"
#include "tools/fls/ScriptChecker.h"

namespace {

int Usage()
{
    std::fputs("usage: flsmake --setup SETUP.EXE [--diskettes SIZE] [--images] MANIFEST PRODUCT OUTPUT\n"
               "SIZE is a number of bytes, or 1.44M for high-density diskettes.\n",
               stderr);
    return 2;
}

bool ParseCapacity(const std::string& text, uint64_t& bytes)
{
    if (text == "1.44M" || text == "1.44m") {
        bytes = Floppy144.DataBytes;
        return true;
    }
    char* end = nullptr;
    bytes = std::strtoull(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0' && bytes >= 4096;
}

} // namespace

int main(int argc, char** argv)
{
    BuildOptions options;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--setup" && i + 1 < argc) {
            options.SetupExe = argv[++i];
        } else if (arg == "--diskettes" && i + 1 < argc) {
            if (!ParseCapacity(argv[++i], options.DiskCapacity)) {
                std::fprintf(stderr, "flsmake: %s is not a diskette size (bytes, at least 4096, or 1.44M)\n", argv[i]);
                return 2;
            }
        } else if (arg == "--images") {
            options.Images = true;
        } else if (arg.rfind("--", 0) == 0) {
            return Usage();
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 3 || options.SetupExe.empty())
        return Usage();
    options.ProductFolder = positional[1];
    options.Output = positional[2];

    try {
        const auto text = ReadWholeFile(positional[0]);
        if (!text) {
            std::fprintf(stderr, "flsmake: cannot read the manifest %s\n", positional[0].c_str());
            return 2;
        }
        const Manifest manifest = ParseManifest(*text);
        const BuildResult result = BuildDistribution(manifest, options);

        const DistFolders folders(result.Folders);
        const std::vector<Finding> findings = CheckScript(result.Script, folders);
        const std::string scriptPath = (result.Folders.front() / "setup.fls").string();
        for (const Finding& finding : findings)
            std::printf("%s\n", FormatFinding(scriptPath, finding).c_str());
        std::printf("flsmake: wrote %s", scriptPath.c_str());
        if (result.Folders.size() > 1 || options.DiskCapacity > 0 || options.Images)
            std::printf(" on %zu diskette%s", result.Folders.size(), result.Folders.size() == 1 ? "" : "s");
        std::printf("\n");
        for (const auto& image : result.Images)
            std::printf("flsmake: made %s\n", image.string().c_str());
        return CheckExitStatus(findings);
    } catch (const ManifestError& e) {
        std::fprintf(stderr, "%s:%d: error: %s\n", positional[0].c_str(), e.Line, e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "flsmake: %s\n", e.what());
        return 2;
    }
}
