// What the setup script's arguments mean, in plain text rules shared by the
// setup program and the vendor's tools: the name of the script, the command
// that takes a second argument line, the path codes, and how F, P and S
// arguments split and name their source on the distribution medium. Nothing
// here knows windows or the file system.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "runtime/RecordReader.h"

namespace ScriptFormat {

// The script's name beside the setup program, and the uninstall log's name in
// the destination directory.
constexpr std::string_view ScriptName = "setup.fls";
constexpr std::string_view LogName = "uninst.fls";
// The setup program's copy beside the log, which uninstalls the product
// without its distribution.
constexpr std::string_view UninstallerName = "uninst.exe";
// The setup program's own name, looked for on the first diskette, and the
// product's program in the destination, started when the run completes.
constexpr std::string_view ProgramName = "setup.exe";
constexpr std::string_view ProductProgram = "halvarn95.exe";
// Commands whose record has a second argument line.
constexpr std::string_view ThreeLineCommands = "S";
// The first character of every path argument names its base directory:
// A source, D destination, N none (a full path), S system, T startup,
// W Windows directory.
constexpr std::string_view PathCodes = "ADNSTW";

// True when the path argument begins with one of the six codes.
bool HasPathCode(std::string_view path);

// An F argument split at its first "{": the path-coded destination before
// it, the size text after it.
struct FileArgument {
    std::string Path;
    std::string SizeText;
    bool HasBrace = false;
};
FileArgument SplitFileArgument(std::string_view argument);

// A P argument split at its first ",": the path-coded target, then the item
// name, which may hold further commas.
struct ItemArgument {
    std::string Target;
    std::string Name;
    bool HasComma = false;
};
ItemArgument SplitItemArgument(std::string_view argument);

// The name under which a mandatory file (an F path without its size) lies on
// the distribution medium: the text after the path's last "\", or, without
// a backslash, the path without its code letter.
std::string MandatorySourceName(std::string_view path);
// The name under which an optional file (an S record's path) lies on the
// distribution medium: what follows the path's last "\" or ":".
// NOTE: without a backslash or colon that is the whole argument, code letter
// included, unlike a mandatory file's.
std::string OptionalSourceName(std::string_view path);

// Whether the name stands for a device in every folder: CON, PRN, AUX, NUL,
// CONIN$, CONOUT$, COM0 to COM9 or LPT0 to LPT9 (the superscript digits one,
// two and three of the Latin-1 code page count as digits too), in any case,
// with any extension, and with blanks between the device and the extension,
// which the system drops ("CON .txt" is the console).
bool IsDeviceName(std::string_view name);
// Whether the text is one plain file or folder name that names exactly what
// it says: not empty, not "." or "..", no path separator, drive colon,
// wildcard or other character a file name cannot hold, no trailing dot or
// blank (which the file system drops, so that "Tools." would name "Tools"),
// and no device name such as CON, CONIN$ or LPT1, whatever extension follows
// it and whatever blanks come before that ("CON .txt"). A Start Menu item's
// name must be one.
bool IsPlainName(std::string_view name);
// Whether a Start Menu group name is a relative path of plain names joined by
// single backslashes ("Halvarn 95", "Tools\Halvarn 95"): a folder strictly
// below the Programs folder, whatever the Programs folder is. Empty names,
// absolute paths and paths through ".." are not group names.
bool IsGroupPath(std::string_view name);
// Whether a full name is the root of a drive ("C:\") or of a network share
// ("\\SERVER\SHARE\") followed by a group path: the one spelling of a file
// or folder below a root that names exactly what it says. Device names,
// the device forms "\\.\" and "\\?\", and names the system would trim
// are not.
bool IsPlainFullName(std::string_view path);

// Whether a name that the run joins to a base folder names a file inside that
// folder by one plain spelling. The name is split at "\" and "/"; no part may
// be empty (a leading separator would start again at the drive's root, a
// doubled one or a trailing one names no file) or made of dots and blanks
// alone ("." and "..", and "..." or ". " that the file system trims or once
// read as a folder further up), and no part may hold a colon (a drive, or
// another stream of a file). Where the name is a complete path (fullPath, the
// path code N) its first part may be a drive: one letter and a colon.
bool StaysInItsFolder(std::string_view name, bool fullPath);

// The argument of an F, S or Q record that names a file the run writes (an S
// record's second line, the first argument of the others), with its line.
struct WrittenName {
    std::string_view Argument;
    int Line = 0;
};
// The written name of an F, S or Q record when it does not stay in its folder:
// an F path before its "{" and an S path, each after its code letter, below
// the folder that the code names; a Q name below the destination directory,
// where the run makes the name with ".pif" and ".bat" added. Nothing for the
// other records, and for an empty path, which has no code and names no file.
// The setup refuses to start with such a record, and the checker reports it.
std::optional<WrittenName> NameLeavingItsFolder(const TextRecord& record);

} // namespace ScriptFormat
