// The Start Menu group of the installation: its folder, its links, and
// whether it may be made.
#include "setup/engine/StartMenuGroup.h"

#include "runtime/Format.h"
#include "runtime/Paths.h"
#include "runtime/ResStrings.h"
#include "setup/engine/ProtectedFolders.h"
#include "setup/engine/ScriptFormat.h"
#include "shell/ShellLinks.h"

std::string GroupFolder(const SetupState& state)
{
    return CheckPath(state.ProgramsDir + state.GroupName);
}

std::vector<GroupLink> GroupLinks(const SetupState& state)
{
    const std::string folder = GroupFolder(state);
    std::vector<GroupLink> links;
    for (const ScriptFormat::ItemArgument& item : state.Script.ItemList) {
        // NOTE: an item without a comma names no link, one whose target has
        // no path code names no target, and one whose name is not a plain
        // file name would put its link outside the group, where the
        // uninstaller never looks; none of them makes a link.
        if (!item.HasComma || !ScriptFormat::IsPlainName(item.Name))
            continue;
        std::string target = ResolvePath(state, item.Target);
        if (!target.empty())
            links.push_back({std::move(target), folder + item.Name + ".lnk"});
    }
    return links;
}

std::optional<std::string> GroupRefusal(const SetupState& state)
{
    if (!ScriptFormat::IsGroupPath(state.GroupName))
        return std::nullopt;
    const auto tooLong = [&](const std::string& name, size_t longest) {
        return Format(LoadResString(StrId::SGroupTooLong),
                      {state.GroupName, name, static_cast<int>(name.size()), static_cast<int>(longest)});
    };
    // NOTE: CreateDirectory refuses a folder name that leaves no room for a
    // short file name in it: with its backslash and the terminating NUL it
    // may take MAX_PATH - 12 characters. No link is written under a name
    // longer than MaxLinkFileName. The folder and links would be missing,
    // with folders above them made for nothing.
    const std::string folder = RemoveTrailingBackslash(GroupFolder(state));
    constexpr size_t longestFolder = MAX_PATH - 13;
    if (folder.size() > longestFolder)
        return tooLong(folder, longestFolder);
    for (const GroupLink& link : GroupLinks(state)) {
        if (link.Name.size() > MaxLinkFileName)
            return tooLong(link.Name, MaxLinkFileName);
    }
    // The uninstaller's own rule decides: a group it keeps would stay, with
    // the product's links in it, for good.
    if (ProtectedFoldersOf(state)->Keeps(folder))
        return Format(LoadResString(StrId::SGroupKept), {state.GroupName});
    return std::nullopt;
}
