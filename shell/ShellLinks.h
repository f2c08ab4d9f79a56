// Shell links and the platform's directories: writing a link file through
// the platform's shell link object and its persistence interface, and
// fetching the Windows and System directories whatever their length.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

// The longest link file name written, in characters: the platform's path
// limit less the terminator. A longer name, or one with a null character in
// it, writes no link at all; it is never shortened into another path.
constexpr size_t MaxLinkFileName = MAX_PATH - 1;

// Creates the link file (or updates it, when loadFirst is set and the file
// can be loaded, so that its other settings survive) pointing to target, with
// the arguments and the description; either may be null. The component
// object library is initialised for the calling thread and left so. Nothing
// is reported: a link that cannot be loaded is set up from the shell's
// defaults, and one that cannot be made or saved is not written.
void WriteShellLink(const char* target, const char* arguments, const char* description,
                    const std::string& linkFile, bool loadFirst);

// The text that a platform function of the GetWindowsDirectory kind gives:
// fetch fills the buffer of the given size (terminator included) and returns
// the text's length, or the size it needs when the buffer is too small, or
// zero on failure (an empty text). The first buffer holds 200 characters; a
// longer text is fetched again into a buffer of the size it needs.
std::string FetchPlatformText(const std::function<UINT(char* buffer, UINT size)>& fetch);

// The Windows and the System directory as the platform reports them.
std::string WindowsDirectory();
std::string SystemDirectory();
