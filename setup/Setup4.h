// The uninstaller: reads the uninstall log, lists what it names and still
// exists, and removes what the user selects.
#pragma once

#include <optional>
#include <set>
#include <string>

#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/ListCtrls.h"
#include "framework/StdCtrls.h"
#include "runtime/FolderIdentity.h"

// The folders that the uninstaller never removes, because removing them
// would take what the system or the user keeps there: every drive's root,
// the Windows and System folders, the user's profile, the Start Menu and the
// shell's other special folders of the user and of all users, the program
// files folders, the setup state's base folders, and every folder that holds
// one of them. Folders are told apart by their identity in the file system,
// so that no other name of such a folder slips through.
class ProtectedFolders {
public:
    // Whether the folder that the name reaches is one of them or holds one.
    // The folders are gathered, as the system and the setup state name them
    // then, the first time this is asked: a log that names only files never
    // needs them, and gathering costs a good part of a second.
    // NOTE: a folder that cannot be opened to learn its identity, and a
    // volume's root under any name, count as protected.
    bool Protects(const std::string& folder) const;

private:
    void Gather() const;
    void Add(const std::string& path) const;
    mutable bool m_gathered = false;
    mutable std::set<FolderId> m_ids;
    // The names already opened while gathering, in upper case.
    mutable std::set<std::string> m_names;
};

class TForm4 : public TForm {
    DECLARE_CLASS_INFO(TForm4)
public:
    explicit TForm4(TComponent* owner) : TForm(owner) {}

    // Published fields
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TButton* Button3 = nullptr;
    TLabel* Label1 = nullptr;
    TListBox* ListBox1 = nullptr;
    TButton* Button4 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;

    // Published methods
    void Button2Click(TObject* sender);
    void Button3Click(TObject* sender);
    void Button1Click(TObject* sender);
    void Form4Show(TObject* sender);
    void Button4Click(TObject* sender);
    void Form4Close(TObject* sender, TCloseAction& action);

    // Deletes a file, or a folder with everything in it, through the shell,
    // without questions and for good. Reports nothing. A protected folder
    // (see ProtectedFolders) and a name with wildcards are never deleted.
    void DeletePro(const std::string& path);
    // The path without its last character when that is a backslash.
    std::string RemoveEnd(const std::string& path) const;

private:
    // The protected folders, made afresh each time the log is read, and
    // gathered at the first folder that a record names or DeletePro is asked
    // to delete.
    const ProtectedFolders& Protected();
    std::optional<ProtectedFolders> m_protected;
};

extern TForm4* Form4;

// The full path of the uninstall log being read.
extern std::string UninstallFileName;
