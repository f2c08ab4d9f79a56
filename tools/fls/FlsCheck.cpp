// flscheck: checks the setup script of a distribution before it ships.
//
//   flscheck [FOLDER [MORE_FOLDERS...]]
//
// FOLDER (the current folder by default) holds setup.exe and setup.fls; the
// folders after it are the further diskettes, in order. Every finding is
// printed as "file:line: error|warning: sentence". Exit status: 0 clean, 1
// warnings only, 2 errors (or no script to check).
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "setup/engine/ScriptFormat.h"
#include "tools/fls/DistFolders.h"
#include "tools/fls/ScriptChecker.h"

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> folders;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::puts("usage: flscheck [FOLDER [MORE_FOLDERS...]]\n"
                      "Checks FOLDER/setup.fls against the files of FOLDER and of the further diskettes.\n"
                      "Exit status: 0 clean, 1 warnings only, 2 errors.");
            return 0;
        }
        folders.emplace_back(arg);
    }
    if (folders.empty())
        folders.emplace_back(".");

    const DistFolders dist(folders);
    const auto script = dist.Find(ScriptFormat::ScriptName);
    const std::string scriptPath = (folders.front() / std::string(ScriptFormat::ScriptName)).string();
    if (!script || script->Disk != 1) {
        std::printf("%s: error: there is no setup script here. The setup reads setup.fls from its own "
                    "folder; write it beside setup.exe.\n", scriptPath.c_str());
        return 2;
    }
    const auto bytes = ReadWholeFile(script->Path);
    if (!bytes) {
        std::printf("%s: error: the script cannot be read.\n", scriptPath.c_str());
        return 2;
    }

    std::vector<Finding> findings = CheckScript(*bytes, dist);
    const auto setupExe = dist.Find("setup.exe");
    if (!setupExe || setupExe->Disk != 1)
        findings.push_back(Finding{Finding::Severity::Warning, 0,
                                   "setup.exe is not beside the script: the setup reads the script from its own "
                                   "folder, so copy setup.exe next to setup.fls."});

    int errors = 0;
    int warnings = 0;
    for (const Finding& finding : findings) {
        std::printf("%s\n", FormatFinding(script->Path.string(), finding).c_str());
        ++(finding.Level == Finding::Severity::Error ? errors : warnings);
    }
    std::printf("%s: %d error%s, %d warning%s\n", script->Path.string().c_str(), errors, errors == 1 ? "" : "s",
                warnings, warnings == 1 ? "" : "s");
    return CheckExitStatus(findings);
}
