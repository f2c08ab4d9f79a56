#include "tests/support/ProgramPaths.h"

#include <windows.h>

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
