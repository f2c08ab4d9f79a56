// The uninstaller: reads the uninstall log, lists what it names and still
// exists, and removes what the user selects.
#pragma once

#include <string>

#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

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
    // without questions and for good. Reports nothing. A vital folder (see
    // IsVitalFolder) and a name with wildcards are never deleted.
    void DeletePro(const std::string& path);
    // The path without its last character when that is a backslash.
    std::string RemoveEnd(const std::string& path) const;

private:
    void ReadRecord(char letter, const std::string& argument);
    void AddPatternMatches(const std::string& pattern);
};

extern TForm4* Form4;

// The full path of the uninstall log being read.
extern std::string UninstallFileName;

// Whether removing the folder would take something the system needs with
// it: a drive's root, the Windows or System directory, the Start Menu's
// Programs or Startup folder, or a folder that holds one of them. Names are
// compared in their full, long form, ignoring letter case.
bool IsVitalFolder(const std::string& path);

// Whether a Start Menu group name names exactly one folder directly below
// the Programs folder.
bool IsSingleGroupFolder(const std::string& name);
