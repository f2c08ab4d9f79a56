// The folders an uninstall plan deals with.
#include "setup/engine/PlanFolders.h"

#include <windows.h>

#include "runtime/Files.h"
#include "runtime/Paths.h"
#include "runtime/Search.h"
#include "setup/engine/ScriptFormat.h"

bool HasWildcards(const std::string& path)
{
    return path.find_first_of("*?") != std::string::npos;
}

LogFile::LogFile(const std::string& path) : m_folder(FolderIdentity(FileDirPart(path)))
{
    char longName[MAX_PATH];
    const DWORD length = GetLongPathNameA(path.c_str(), longName, sizeof longName);
    m_name = UpperCaseAscii(FileNamePart(length > 0 && length < sizeof longName ? std::string(longName, length) : path));
}

bool LogFile::IsIn(const std::string& folder) const
{
    return m_folder && FolderIdentity(folder) == m_folder;
}

bool LogFile::IsNamedBy(const std::string& path, bool folderMatch) const
{
    return !folderMatch && UpperCaseAscii(FileNamePart(path)) == m_name && IsIn(FileDirPart(path));
}

bool LogFile::IsUninstallerBesideIt(const std::string& path, bool folderMatch) const
{
    return !folderMatch && UpperCaseAscii(FileNamePart(path)) == UpperCaseAscii(ScriptFormat::UninstallerName) &&
           IsIn(FileDirPart(path));
}

std::vector<std::string> LogFile::OthersIn(const std::string& folder) const
{
    const std::string dir = RemoveTrailingBackslash(folder) + "\\";
    std::vector<std::string> others;
    TSearchRec match;
    for (int result = SearchFirst(dir + "*", faAnyFile, match); result == 0; result = SearchNext(match)) {
        if (match.Name != "." && match.Name != ".." && UpperCaseAscii(match.Name) != m_name)
            others.push_back(dir + match.Name);
    }
    SearchEnd(match);
    return others;
}

bool FileFolders::MayDeleteIn(const std::string& folder)
{
    const auto [known, added] = m_known.emplace(UpperCaseAscii(folder), false);
    if (added)
        known->second = !ReachedThroughLinks(folder);
    return known->second;
}

bool DeleteListedFile(const std::string& path, FileFolders& folders)
{
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return true;
    if (HasWildcards(path) || !folders.MayDeleteIn(FileDirPart(path)))
        return false;
    // A read-only file is deleted too, as the shell's delete did: the
    // installation may have copied it so from its medium.
    return DeleteOnlyFile(path);
}
