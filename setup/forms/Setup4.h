// The uninstaller: reads the uninstall log, lists what it names and still
// exists, and removes what the user selects.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/ListCtrls.h"
#include "framework/StdCtrls.h"
#include "setup/engine/ProtectedFolders.h"
#include "setup/engine/SetupState.h"
#include "setup/engine/UninstallPlan.h"

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

    // The setup state this form reads its folders from; set by the
    // program's start.
    void UseState(SetupState& state) { m_state = &state; }
    // The mode choice that Back returns to; set by the forms' creation, and
    // none (Back disabled) when the command line names the log to remove.
    void UseModeChoice(TForm* modeChoice) { m_modeChoice = modeChoice; }

    // Deletes a file, or a folder with everything in it, through the shell,
    // without questions and for good. Reports nothing. A protected folder
    // (see ProtectedFolders) and a name with wildcards are never deleted.
    void DeletePro(const std::string& path);
    // The path without its last character when that is a backslash.
    std::string RemoveEnd(const std::string& path) const;

    // The full path of the uninstall log last read.
    const std::string& UninstallFileName() const { return m_plan.LogPath; }

private:
    // The protected folders, made afresh each time the log is read, and
    // gathered at the first folder that a record names or DeletePro is asked
    // to delete.
    const ProtectedFolders& Protected();
    // Reads the log the command line names, or refuses it and ends the
    // program.
    void ReadNamedLog();
    // Reads the log, showing the reading's progress when it is long.
    UninstallPlan ReadLog(const std::string& logPath, PatternFolder patternFolder);
    // Takes the plan read, lists it, and reports what its reading met.
    void ShowLog(UninstallPlan plan);
    void ShowPlan();

    SetupState* m_state = nullptr;  // not owned: the program's start owns it and outlives the forms
    // Not owned: the application owns every form and frees them together.
    TForm* m_modeChoice = nullptr;
    std::optional<ProtectedFolders> m_protected;
    // The plan of the log last read; the list shows its items line for line.
    UninstallPlan m_plan;
};

extern TForm4* Form4;
