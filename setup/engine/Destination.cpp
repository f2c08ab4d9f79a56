// The checks of a destination before anything is made, and the space it
// needs on its drive and on the Windows drive.
#include "setup/engine/Destination.h"

#include <windows.h>

#include <algorithm>

#include "runtime/Files.h"
#include "runtime/Format.h"
#include "runtime/Paths.h"
#include "runtime/ResStrings.h"
#include "runtime/Search.h"
#include "setup/engine/ProtectedFolders.h"
#include "setup/engine/ScriptFormat.h"
#include "setup/engine/UninstallLog.h"

uint8_t DriveNumber(const std::string& drive)
{
    // NOTE: every letter counts, M to Z included, so that those drives show
    // and are checked against their own free space; anything else (a network
    // share, no drive at all) has no number.
    const char letter = drive.empty() ? '\0' : static_cast<char>(drive[0] & ~0x20);
    if (letter < 'A' || letter > 'Z')
        return 0;
    return static_cast<uint8_t>(letter - 'A' + 1);
}

bool IsDestinationFolder(const std::string& dir)
{
    std::string_view rest(dir);
    if (rest.empty() || rest.back() != '\\')
        return false;
    rest.remove_suffix(1);
    return ScriptFormat::IsPlainFullName(rest);
}

std::string FileInTheWay(const std::string& dir)
{
    // The root itself is no file; the folders below it are looked at from
    // the top down.
    for (size_t end = dir.find('\\', FileDrivePart(dir).size() + 1); end != std::string::npos;
         end = dir.find('\\', end + 1)) {
        const std::string folder = dir.substr(0, end);
        if (FileIsPresent(folder))
            return folder;
    }
    return std::string();
}

bool HoldsOtherFiles(const std::string& dir, const std::string& productTitle)
{
    // NOTE: the log of an earlier installation of this product in this very
    // folder makes this a reinstallation: its files are the product's own,
    // and are replaced without a question. A file of the log's name that is
    // no such log is one of the files the folder holds.
    if (EarlierInstallationLog(dir, productTitle))
        return false;
    TSearchRec entry;
    bool found = false;
    for (int result = SearchFirst(dir + "*", faAnyFile, entry); result == 0 && !found; result = SearchNext(entry))
        found = entry.Name != "." && entry.Name != "..";
    SearchEnd(entry);
    return found;
}

size_t LongestDestination(const SetupScript& script)
{
    size_t longestName = ScriptFormat::LogName.size();
    const auto add = [&](const std::string& coded) {
        if (!coded.empty() && coded[0] == 'D')
            longestName = std::max(longestName, coded.size() - 1);
    };
    for (const ScriptFile& file : script.FileList)
        add(file.Path);
    for (const ScriptOption& option : script.OptionList)
        add(option.Path);
    for (const std::string& pif : script.PifList)
        longestName = std::max(longestName, pif.size() + 4);
    // A full file name holds at most MAX_PATH - 1 characters; a directory
    // name must leave room for a short file name in it (MAX_PATH - 12,
    // terminating NUL included), or CreateDirectory refuses it.
    constexpr size_t longestFile = MAX_PATH - 1;
    constexpr size_t longestFolder = MAX_PATH - 12;
    return std::min(longestFile - std::min(longestFile, longestName), longestFolder);
}

int64_t DriveFreeSpace(const std::string& drive, uint8_t number)
{
    // A network share has no drive number: its own root is asked. A path
    // without a drive lies on the current drive, number 0.
    if (number == 0 && !drive.empty())
        return FreeSpaceOfRoot(drive + "\\");
    return FreeSpace(number);
}

SpaceNeeds ReckonSpace(const SetupState& state)
{
    SpaceNeeds needs;
    needs.WinDrive = UpperCaseAscii(FileDrivePart(state.WinDir));
    needs.DestDrive = UpperCaseAscii(FileDrivePart(state.DestDir));
    for (const ScriptFile& file : state.Script.FileList) {
        const int64_t size = file.Size();
        // NOTE: a record without "{" has no path, and its size counts on
        // neither drive.
        switch (file.Path.empty() ? '\0' : file.Path[0]) {
        case 'A':
        case 'D':
        case 'N':
            needs.DestNeed += size;
            break;
        case 'S':
        case 'T':
        case 'W':
            needs.WinNeed += size;
            break;
        default:
            break;
        }
    }
    needs.WinDriveNum = DriveNumber(needs.WinDrive);
    if (needs.OneDrive()) {
        needs.WinNeed += needs.DestNeed;
        needs.DestNeed = 0;
    } else {
        needs.DestDriveNum = DriveNumber(needs.DestDrive);
    }
    return needs;
}

bool SpaceNeeds::Enough() const
{
    bool enough = DriveFreeSpace(WinDrive, WinDriveNum) >= WinNeed;
    if (!OneDrive())
        enough = enough && DriveFreeSpace(DestDrive, DestDriveNum) >= DestNeed;
    return enough;
}

namespace {

// Why dir (ending in a backslash) is no destination folder, naming it: the
// plain request for a full path only when it is not one of the spellings
// that look full but name something else.
std::string NotFullReason(const std::string& dir)
{
    const std::string shown = dir.size() > 1 && dir.back() == '\\' ? dir.substr(0, dir.size() - 1) : dir;
    const std::string_view start = std::string_view(dir).substr(0, 4);
    if (start == "\\\\.\\" || start == "\\\\?\\" || start == "\\??\\")
        return Format(LoadResString(StrId::SDestinationDevicePath), {shown});
    const bool letter = dir.size() == 3 && ((dir[0] >= 'A' && dir[0] <= 'Z') || (dir[0] >= 'a' && dir[0] <= 'z'));
    if (letter && dir[1] == ':' && dir[2] == '\\')
        return Format(LoadResString(StrId::SDestinationIsRoot), {dir});
    for (size_t from = 0; from < shown.size();) {
        const size_t end = std::min(shown.find_first_of("\\/", from), shown.size());
        const std::string part = shown.substr(from, end - from);
        if (ScriptFormat::IsDeviceName(part))
            return Format(LoadResString(StrId::SDestinationIsDevice), {shown, part});
        if (!part.empty() && part != "." && part != ".." && (part.back() == '.' || part.back() == ' '))
            return Format(LoadResString(StrId::SDestinationTrimmed), {shown});
        from = end + 1;
    }
    return LoadResString(StrId::SDestinationNotFull);
}

} // namespace

std::optional<std::string> DestinationRefusal(const std::string& dir, const SetupScript& script)
{
    // NOTE: an empty or relative destination would install into the root or
    // below the current folder of the process, over files of the user and
    // with relative names in the log; a destination too long for its files
    // would leave a chain of empty folders behind when the first copy fails.
    // Both are refused before anything is created.
    if (!IsDestinationFolder(dir))
        return NotFullReason(dir);
    const size_t longest = LongestDestination(script);
    if (dir.size() > longest) {
        // The directory is typed without its trailing backslash.
        const int typed = static_cast<int>(longest) - 1;
        return Format(LoadResString(StrId::SDestinationTooLong), {typed});
    }
    // NOTE: a file where a folder of the destination should be would stop
    // the run at its first copy, with the folders above it already made.
    const std::string file = FileInTheWay(dir);
    if (!file.empty())
        return Format(LoadResString(StrId::SDestinationIsFile), {file});
    return std::nullopt;
}

std::optional<std::string> KeptDestinationRefusal(const std::string& dir, const SetupState& state)
{
    // The uninstaller's own rule decides: the folder the log's D record
    // names is removed only when it would not keep it.
    if (ProtectedFoldersOf(state)->Keeps(dir))
        return Format(LoadResString(StrId::SDestinationKept), {RemoveTrailingBackslash(dir)});
    return std::nullopt;
}

bool IsLocalPlainPath(const std::string& path)
{
    return path.size() > 3 && path[1] == ':' && IsDestinationFolder(CheckPath(path));
}
