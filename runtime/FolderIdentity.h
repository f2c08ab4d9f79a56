// Which folder a name reaches, as the file system sees it, so that every
// spelling of one folder (another drive letter mapped onto it, a network
// name of a local drive, a link, a short name) is recognised as that folder;
// and the plain text rule for a full path that names exactly what it spells.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A folder's identity: the serial number of its volume and its index on that
// volume, taken from the opened folder.
struct FolderId {
    uint32_t Volume = 0;
    uint64_t Index = 0;
    auto operator<=>(const FolderId&) const = default;
};

// The identity of the folder that the name reaches, following links and
// aliases; none when the name reaches no folder or the folder cannot be
// opened.
std::optional<FolderId> FolderIdentity(const std::string& path);

// The names of every folder above the one the name reaches, up to its
// volume's root, nearest first, by two readings: the name as spelled, and the
// name under which the file system knows the opened folder (which sees
// through drive aliases and links). A name that reaches no folder has only
// the first.
std::vector<std::string> FolderParentNames(const std::string& path);
// The identities of every folder above the one the name reaches, up to its
// volume's root, by the two readings of FolderParentNames, each once.
std::vector<FolderId> FolderParents(const std::string& path);

// Whether the way to the folder, from its volume's root down to the folder
// itself, passes through a folder that leads elsewhere: a reparse point (a
// junction, a mounted volume, a symbolic link), a folder on another volume
// than the folder it lies in (a mount point), or a folder that the file
// system shows with another parent than the one its name spells (a link, or
// under Wine a Unix symbolic link); or whether part of the way cannot be
// looked at. Deleting through such a way could reach what the user keeps
// elsewhere. A volume's root itself passes.
bool ReachedThroughLinks(const std::string& folder);
// Whether the folder is reached that way, is a volume's root, or holds a
// folder anywhere below it that leads elsewhere in the same sense. Deleting
// such a tree could reach into another folder or volume.
bool ReachesThroughLinks(const std::string& folder);

// Whether the name is a full path that says plainly what it names: it starts
// with a drive letter, a colon and a backslash, or with \\server\share\; no
// part of it is empty or ".." (nor any other run of dots and blanks, which the
// system reads as it pleases, but for a lone "."), and it holds no second
// colon. The device prefixes \\?\, \\.\ and \??\ are not such paths.
bool IsPlainFullPath(std::string_view path);
