// The folders the uninstaller never removes, gathered from the system, the
// registry and the setup state, and told apart by their identity.
#include "setup/engine/ProtectedFolders.h"

#include <windows.h>

#include "runtime/Registry.h"
#include "runtime/Files.h"
#include "runtime/Paths.h"

namespace {

// A folder's name as the gathering keeps it: in upper case, without a
// trailing backslash but a root's.
std::string NameKey(const std::string& path)
{
    std::string key = UpperCaseAscii(path);
    while (key.size() > 1 && key.back() == '\\' && key[key.size() - 2] != ':')
        key.pop_back();
    return key;
}

// Every string value of the registry key, or of the named values only.
std::vector<std::string> RegistryFolders(HKEY root, const char* keyPath, std::vector<std::string> names = {})
{
    std::vector<std::string> folders;
    TRegistry registry(root);
    if (!registry.OpenKeyReadOnly(keyPath))
        return folders;
    if (names.empty())
        names = registry.GetValueNames();
    for (const std::string& name : names)
        folders.push_back(registry.ReadExpandedString(name));
    return folders;
}

} // namespace

void ProtectedFolders::Gather() const
{
    if (m_gathered)
        return;
    m_gathered = true;
    for (const std::string& dir : m_bases)
        Add(dir);
    char buffer[MAX_PATH];
    for (UINT(WINAPI * get)(LPSTR, UINT) : {GetWindowsDirectoryA, GetSystemDirectoryA, GetSystemWindowsDirectoryA,
                                     GetSystemWow64DirectoryA}) {
        const UINT length = get(buffer, MAX_PATH);
        if (length > 0 && length < MAX_PATH)
            Add(std::string(buffer, length));
    }
    for (const char* variable : {"USERPROFILE", "ALLUSERSPROFILE", "PUBLIC", "ProgramData", "ProgramFiles",
                                 "ProgramFiles(x86)", "ProgramW6432", "CommonProgramFiles",
                                 "CommonProgramFiles(x86)", "CommonProgramW6432", "SystemRoot", "windir", "APPDATA",
                                 "LOCALAPPDATA", "TEMP", "TMP"}) {
        const DWORD length = GetEnvironmentVariableA(variable, buffer, MAX_PATH);
        if (length > 0 && length < MAX_PATH)
            Add(std::string(buffer, length));
    }
    const char* const shellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    const char* const userShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        for (const char* key : {shellFolders, userShellFolders}) {
            for (const std::string& folder : RegistryFolders(root, key))
                Add(folder);
        }
    }
    for (const std::string& folder :
         RegistryFolders(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                         {"ProgramFilesDir", "CommonFilesDir", "ProgramFilesDir (x86)", "CommonFilesDir (x86)",
                          "ProgramW6432Dir", "CommonW6432Dir"}))
        Add(folder);
    for (const std::string& folder :
         RegistryFolders(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
                         {"ProfilesDirectory", "Default", "Public", "ProgramData"}))
        Add(folder);
    const DWORD drives = GetLogicalDrives();
    for (int drive = 0; drive < 26; ++drive) {
        if ((drives & (1u << drive)) != 0)
            Add(std::string(1, static_cast<char>('A' + drive)) + ":\\");
    }
}

void ProtectedFolders::Add(const std::string& path) const
{
    // Many of the folders are named more than once (the registry keeps most
    // of them under two keys), and many share their parents: each name is
    // opened once.
    if (path.empty() || !m_names.insert(NameKey(path)).second)
        return;
    if (const std::optional<FolderId> id = FolderIdentity(path))
        m_ids.insert(*id);
    for (const std::string& parent : FolderParentNames(path)) {
        if (!m_names.insert(NameKey(parent)).second)
            continue;
        if (const std::optional<FolderId> id = FolderIdentity(parent))
            m_ids.insert(*id);
    }
}

bool ProtectedFolders::Protects(const std::string& folder) const
{
    Gather();
    const std::optional<FolderId> id = FolderIdentity(folder);
    // A folder with no folder above it by any reading of its name is a
    // volume's root, whichever letter, share or mount point reaches it.
    // NOTE: the name counts too, for a protected folder made since the
    // gathering, which a run asks again minutes later.
    return !id || m_ids.count(*id) != 0 || m_names.count(NameKey(folder)) != 0 || FolderParents(folder).empty();
}

bool ProtectedFolders::Keeps(const std::string& folder) const
{
    if (IsExistingDirectory(folder))
        return Protects(folder) || ReachesThroughLinks(folder);
    Gather();
    return m_names.count(NameKey(folder)) != 0;
}

std::shared_ptr<const ProtectedFolders> ProtectedFoldersOf(const SetupState& state)
{
    std::vector<std::string> bases{state.WinDir, state.SysDir, state.ProgramsDir, state.StartupDir};
    if (!state.Protected || state.Protected->Bases() != bases)
        state.Protected = std::make_shared<const ProtectedFolders>(std::move(bases));
    return state.Protected;
}
