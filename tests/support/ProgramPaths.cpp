#include "tests/support/ProgramPaths.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

std::string TestProgramFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    folder.erase(folder.find_last_of('\\') + 1);
    return folder;
}

std::string BuildFolder()
{
    std::string folder = TestProgramFolder();
    folder.pop_back();
    folder.erase(folder.find_last_of('\\') + 1);
    return folder;
}

std::string ThroughDriveZ(std::string unixPath)
{
    const char* driveZ = std::getenv("WINEBED_DRIVE_Z");
    if (!driveZ || !*driveZ)
        return std::string();
    std::string root = driveZ;
    while (!root.empty() && root.back() == '/')
        root.pop_back();
    if (unixPath != root && unixPath.compare(0, root.size() + 1, root + "/") != 0)
        return std::string();
    std::string path = "Z:\\" + unixPath.substr(std::min(unixPath.size(), root.size() + 1));
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}
