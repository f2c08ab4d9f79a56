// Writing a shell link file through the platform's link object, and fetching
// the Windows and System directories at their full length.
#include "shell/ShellLinks.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <vector>

#include "shell/ComPtr.h"

namespace {

// The link file name in wide characters, converted in the ANSI code page; an
// empty text when it is longer than the platform's path limit, holds a null
// character (the platform would take only the part before it) or cannot be
// converted.
std::wstring WideLinkFileName(const std::string& linkFile)
{
    if (linkFile.empty() || linkFile.find('\0') != std::string::npos)
        return std::wstring();
    const int length = MultiByteToWideChar(CP_ACP, 0, linkFile.data(), static_cast<int>(linkFile.size()), nullptr, 0);
    // NOTE: the limit is checked here rather than left to the save, since
    // Wine saves names beyond it that Windows refuses.
    if (length <= 0 || static_cast<size_t>(length) > MaxLinkFileName)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, linkFile.data(), static_cast<int>(linkFile.size()), wide.data(), length);
    return wide;
}

} // namespace

void WriteShellLink(const char* target, const char* arguments, const char* description,
                    const std::string& linkFile, bool loadFirst)
{
    // NOTE: the library is initialised on every call and never uninitialised:
    // the calls after the first only count, and the thread keeps it until the
    // program ends.
    CoInitialize(nullptr);

    const std::wstring wideName = WideLinkFileName(linkFile);
    if (wideName.empty())
        return;

    ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.Put())))
        return;
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.Put())))
        return;

    // A failed load (no such file yet) leaves the object's defaults, which
    // are then saved; the results of the other calls are deliberately not
    // looked at either, since nothing is reported.
    if (loadFirst)
        file->Load(wideName.c_str(), STGM_READWRITE);
    link->SetPath(target);
    link->SetArguments(arguments);
    link->SetDescription(description);
    file->Save(wideName.c_str(), TRUE);
    // The persistence interface is released before the link interface.
    file.Reset();
    link.Reset();
}

std::string FetchPlatformText(const std::function<UINT(char* buffer, UINT size)>& fetch)
{
    // NOTE: a text of 200 characters or more is fetched again whole, never
    // cut at the first buffer's end. A text that keeps growing between the
    // rounds counts as a failure after a few of them.
    constexpr int Rounds = 4;
    std::vector<char> buffer(200, '\0');
    for (int round = 0; round < Rounds; ++round) {
        const UINT result = fetch(buffer.data(), static_cast<UINT>(buffer.size()));
        if (result == 0)
            return std::string();
        if (result < buffer.size())
            return std::string(buffer.data(), result);
        buffer.assign(static_cast<size_t>(result) + 1, '\0');
    }
    return std::string();
}

std::string WindowsDirectory()
{
    return FetchPlatformText([](char* buffer, UINT size) { return GetWindowsDirectoryA(buffer, size); });
}

std::string SystemDirectory()
{
    return FetchPlatformText([](char* buffer, UINT size) { return GetSystemDirectoryA(buffer, size); });
}
