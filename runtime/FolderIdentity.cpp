// Folders told apart by what the file system knows of them, not by their
// spelling, and the search for links and mount points on the way to a folder
// or below it, so that a deletion cannot wander out of the folder it meant.
#include "runtime/FolderIdentity.h"

#include <windows.h>

#include <set>
#include <utility>

#include "runtime/Handles.h"

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool IsDriveLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The length of the path's root: "X:\", "\\server\share\", or the same
// behind one of the prefixes \\?\ and \\?\UNC\ that the system puts before
// the name of an opened folder. Zero for a name without such a root.
size_t RootLength(std::string_view path)
{
    size_t start = 0;
    bool unc = false;
    if (path.size() >= 8 && path.substr(0, 4) == "\\\\?\\" &&
        (path.substr(4, 4) == "UNC\\" || path.substr(4, 4) == "unc\\")) {
        start = 8;
        unc = true;
    } else if (path.size() >= 4 && path.substr(0, 4) == "\\\\?\\") {
        start = 4;
    } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        start = 2;
        unc = true;
    }
    if (!unc) {
        if (path.size() >= start + 3 && IsDriveLetter(path[start]) && path[start + 1] == ':' &&
            IsSeparator(path[start + 2]))
            return start + 3;
        return 0;
    }
    // Server and share, each followed by a separator (or the end).
    size_t end = start;
    for (int part = 0; part < 2; ++part) {
        const size_t from = end;
        while (end < path.size() && !IsSeparator(path[end]))
            ++end;
        if (end == from)
            return 0;
        if (end < path.size())
            ++end;
    }
    return end;
}

// The names of the folders above the path, nearest first, by its text; the
// root is the last. None for a path without a root.
std::vector<std::string> ParentNames(std::string path)
{
    std::vector<std::string> names;
    const size_t root = RootLength(path);
    if (root == 0)
        return names;
    while (path.size() > root && IsSeparator(path.back()))
        path.pop_back();
    while (path.size() > root) {
        size_t cut = path.size();
        while (cut > root && !IsSeparator(path[cut - 1]))
            --cut;
        path.resize(cut);
        while (path.size() > root && IsSeparator(path.back()))
            path.pop_back();
        names.push_back(path);
    }
    return names;
}

// The opened folder, or no handle when the name reaches no folder. The
// folder is opened for no access at all, only to ask about it.
FileHandle OpenFolder(const std::string& path)
{
    if (path.empty() || path.find('\0') != std::string::npos)
        return FileHandle();
    // A removable drive without a medium must not bring up the system's
    // "insert a disk" box.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    FileHandle folder(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    SetErrorMode(oldMode);
    return folder;
}

std::optional<FolderId> IdentityOf(const FileHandle& folder)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!folder || !GetFileInformationByHandle(folder.Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return std::nullopt;
    // NOTE: the 64-bit index is unique on the file systems a Windows drive
    // carries here (FAT, NTFS, and Wine's mapping of Unix inodes); volumes
    // with 128-bit identities would need the extended query.
    return FolderId{info.dwVolumeSerialNumber, (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// The name under which the file system knows the opened folder, with the
// drive letter it chooses ("\\?\C:\..." or "\\?\UNC\server\share\...").
std::string FinalName(const FileHandle& folder)
{
    std::string name(MAX_PATH, '\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length =
            GetFinalPathNameByHandleA(folder.Get(), name.data(), static_cast<DWORD>(name.size()), VOLUME_NAME_DOS);
        if (length == 0)
            return std::string();
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        name.assign(length + 1, '\0');
    }
    return std::string();
}

} // namespace

std::optional<FolderId> FolderIdentity(const std::string& path)
{
    return IdentityOf(OpenFolder(path));
}

std::vector<std::string> FolderParentNames(const std::string& path)
{
    std::vector<std::string> names = ParentNames(path);
    const FileHandle folder = OpenFolder(path);
    if (folder) {
        const std::vector<std::string> final = ParentNames(FinalName(folder));
        names.insert(names.end(), final.begin(), final.end());
    }
    return names;
}

std::vector<FolderId> FolderParents(const std::string& path)
{
    std::set<FolderId> seen;
    std::vector<FolderId> parents;
    for (const std::string& name : FolderParentNames(path)) {
        const std::optional<FolderId> id = FolderIdentity(name);
        if (id && seen.insert(*id).second)
            parents.push_back(*id);
    }
    return parents;
}

namespace {

// The identity of the folder that the file system shows as the parent of the
// opened folder, from the name it knows the folder by.
std::optional<FolderId> RealParent(const std::string& path)
{
    const std::vector<std::string> parents = ParentNames(FinalName(OpenFolder(path)));
    return parents.empty() ? std::nullopt : FolderIdentity(parents.front());
}

// Whether the folder, found by its name in the folder parent, leads
// somewhere else: it is a reparse point (a junction, a mounted volume or a
// symbolic link), lies on another volume than the folder it was found in, or
// the file system shows it with another parent (a link).
// NOTE: Windows marks a junction, a link and a volume's mount point as a
// reparse point. Wine marks a Unix mount point so only when asked by name
// (not through the opened folder, which shows plain folder attributes), and
// gives a file system that no drive letter maps the volume serial number 0;
// a Unix link to a folder it shows as a plain folder. The volume and the
// real parent find those. A bind mount of a folder of the same file system
// looks, under Wine, exactly like the folder it shows.
bool LeadsElsewhere(const std::string& folder, DWORD attributes, const FolderId& id, const FolderId& parent)
{
    return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
           id.Volume != parent.Volume || RealParent(folder) != parent;
}

} // namespace

bool ReachedThroughLinks(const std::string& folder)
{
    // A lone "." part names the folder it stands in: the way is taken
    // without it, or that folder would seem to have itself as a parent.
    std::string path = folder;
    if (IsPlainFullPath(folder)) {
        char full[MAX_PATH * 2];
        const DWORD length = GetFullPathNameA(folder.c_str(), sizeof full, full, nullptr);
        if (length == 0 || length >= sizeof full)
            return true;
        path.assign(full, length);
    }
    std::optional<FolderId> id = FolderIdentity(path);
    if (!id || RootLength(path) == 0)
        return true;
    for (const std::string& parent : ParentNames(path)) {
        const std::optional<FolderId> parentId = FolderIdentity(parent);
        if (!parentId || LeadsElsewhere(path, GetFileAttributesA(path.c_str()), *id, *parentId))
            return true;
        path = parent;
        id = parentId;
    }
    return false;
}

bool ReachesThroughLinks(const std::string& folder)
{
    // The folder itself must not be a volume's root, and the way to it must
    // cross no link; below it, every folder's real parent must be the folder
    // it was found in.
    const std::optional<FolderId> top = FolderIdentity(folder);
    if (!top || ParentNames(folder).empty() || ReachedThroughLinks(folder))
        return true;
    std::vector<std::pair<std::string, FolderId>> pending{{folder, *top}};
    while (!pending.empty()) {
        std::string dir = pending.back().first;
        const FolderId dirId = pending.back().second;
        pending.pop_back();
        if (!dir.empty() && !IsSeparator(dir.back()))
            dir += '\\';
        WIN32_FIND_DATAA entry;
        SearchHandle search(FindFirstFileA((dir + "*").c_str(), &entry));
        if (!search)
            return true;
        do {
            const std::string name = entry.cFileName;
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || name == "." || name == "..")
                continue;
            const std::string child = dir + name;
            const std::optional<FolderId> childId = FolderIdentity(child);
            if (!childId || LeadsElsewhere(child, entry.dwFileAttributes, *childId, dirId))
                return true;
            pending.emplace_back(child, *childId);
        } while (FindNextFileA(search.Get(), &entry));
    }
    return false;
}

bool IsPlainFullPath(std::string_view path)
{
    size_t start = 0;
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && path[2] == '\\') {
        start = 3;
    } else if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        // Server and share must both be there; the server names "?" and "."
        // are the system's device prefixes, not servers.
        start = RootLength(path);
        if (start == 0 || path[start - 1] != '\\')
            return false;
        const std::string_view server = path.substr(2, path.find_first_of("\\/", 2) - 2);
        if (server == "?" || server == ".")
            return false;
    } else {
        return false;
    }
    // Every part after the root names something: a trailing separator may
    // end the path, but no part is empty or only dots and blanks.
    // NOTE: a lone "." is the one exception: it names the folder it stands
    // in and cannot climb out of it, and the installation itself logs the
    // optional files that a script names as "D.\name" with it.
    size_t from = start;
    while (from < path.size()) {
        size_t end = from;
        while (end < path.size() && !IsSeparator(path[end]))
            ++end;
        const std::string_view part = path.substr(from, end - from);
        if (part.empty() || (part != "." && part.find_first_not_of(". ") == std::string_view::npos) ||
            part.find(':') != std::string_view::npos || part.find('\0') != std::string_view::npos)
            return false;
        if (end == path.size() - 1)
            break;
        from = end + 1;
    }
    return true;
}
