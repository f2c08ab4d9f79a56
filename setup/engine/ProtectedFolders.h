// The folders that the uninstaller never removes, because removing them
// would take what the system or the user keeps there: every drive's root,
// the Windows and System folders, the user's profile, the Start Menu and the
// shell's other special folders of the user and of all users, the program
// files folders, the setup state's base folders, and every folder that holds
// one of them. Folders are told apart by their identity in the file system,
// so that no other name of such a folder slips through.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "runtime/FolderIdentity.h"
#include "setup/engine/SetupState.h"

class ProtectedFolders {
public:
    // bases: the setup state's own folders (Windows, System, Programs,
    // Startup), protected besides the system's.
    explicit ProtectedFolders(std::vector<std::string> bases) : m_bases(std::move(bases)) {}
    // The state's Windows, System, Programs and Startup folders as bases.
    explicit ProtectedFolders(const SetupState& state)
        : ProtectedFolders(std::vector<std::string>{state.WinDir, state.SysDir, state.ProgramsDir, state.StartupDir})
    {
    }

    // Whether the folder that the name reaches is one of them or holds one.
    // The folders are gathered, as the system and the setup state name them
    // then, the first time this is asked: a log that names only files never
    // needs them, and gathering costs a good part of a second.
    // NOTE: a folder that cannot be opened to learn its identity, and a
    // volume's root under any name, count as protected.
    bool Protects(const std::string& folder) const;
    // Whether the uninstaller keeps the folder, whatever a log says: it is
    // protected, or the way to it or to a folder in it leads elsewhere. The
    // installation never puts its destination or its group into a folder
    // kept so, where what it made would stay for good.
    // NOTE: a folder that is not there yet has no identity; it is kept when
    // it is one of the protected folders by name (a StartUp folder that
    // nothing has made yet, as the system and the setup state name it).
    bool Keeps(const std::string& folder) const;

    const std::vector<std::string>& Bases() const { return m_bases; }

private:
    void Gather() const;
    void Add(const std::string& path) const;
    std::vector<std::string> m_bases;
    mutable bool m_gathered = false;
    mutable std::set<FolderId> m_ids;
    // The names already opened while gathering, in upper case.
    mutable std::set<std::string> m_names;
};

// The state's protected folders, gathered at most once while the state's
// folders stay as they are: the destination's check at Next, the group's,
// and the installation's take-back share them, since gathering costs tens
// of milliseconds each time.
std::shared_ptr<const ProtectedFolders> ProtectedFoldersOf(const SetupState& state);
