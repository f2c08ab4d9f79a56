// The window of the directory selection dialog: a path edit box, a drive
// combo box linked to a directory list, and OK and Cancel buttons, all read
// from the form's stored design.
#pragma once

#include <string>

#include "controls/FileCtrl.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

class TFDIRFORM : public TForm {
    DECLARE_CLASS_INFO(TFDIRFORM)
public:
    explicit TFDIRFORM(TComponent* owner) : TForm(owner) {}

    // Published fields
    TButton* BT_Cancel = nullptr;
    TButton* BT_OK = nullptr;
    TDirectoryListBox* DirectoryListBox1 = nullptr;
    TDriveComboBox* DriveComboBox1 = nullptr;
    TLabel* Label2 = nullptr;
    TEdit* Edit1 = nullptr;

    // Published methods
    // The directory list moved: the edit box shows where it stands now.
    void DirectoryChange(TObject* sender);

    // Moves the directory list to a non-empty starting path, then shows the
    // path in the edit box exactly as given, also when the list could not
    // move (whose error then passes on).
    void SetStartPath(const std::string& path);
    // The path the user chose: the edit box's text, unchecked.
    std::string ChosenPath() const;
};
