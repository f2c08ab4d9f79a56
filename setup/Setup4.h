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

    // The path without its last character when that is a backslash.
    std::string RemoveEnd(const std::string& path) const;
};

extern TForm4* Form4;
