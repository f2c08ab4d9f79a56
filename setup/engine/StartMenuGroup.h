// The Start Menu group of the installation: its folder below the Programs
// folder, the links the script's items make in it, and why it may not be
// made where the uninstaller takes it back.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "setup/engine/SetupState.h"

// A link of the Start Menu group: the file it points to, and its full name.
struct GroupLink {
    std::string Target;
    std::string Name;
};

// The group's folder, with its backslash.
std::string GroupFolder(const SetupState& state);
// The links that the script's items make in the group.
std::vector<GroupLink> GroupLinks(const SetupState& state);

// Why the state's Start Menu group cannot be made where the uninstaller
// takes it back: its folder, or the link of one of the script's items, would
// have a longer name than the system allows, or its folder is one that the
// uninstaller keeps (such as the StartUp folder). None when it can be made,
// and when the name is no group path at all (no group is offered then).
std::optional<std::string> GroupRefusal(const SetupState& state);
