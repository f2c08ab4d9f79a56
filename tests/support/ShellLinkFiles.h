// Link files as the tests see them: read and written through the platform's
// shell link object and its persistence interface, independently of the
// program's own writing.
#pragma once

#include <string>

// What a link file holds, as the shell link object reads it.
struct LinkSettings {
    bool Loaded = false;
    std::string Path;
    std::string Arguments;
    std::string Description;
    std::string WorkingDirectory;
    std::string IconPath;
    int IconIndex = 0;
};

// Loads the link file; Loaded is false when it cannot be loaded.
LinkSettings ReadLink(const std::string& linkFile);

// Writes a link file with the settings (Loaded is not looked at).
// NOTE: the show command is not among them, since Wine's link files do not
// keep it.
void WriteLinkWithSettings(const std::string& linkFile, const LinkSettings& settings);
