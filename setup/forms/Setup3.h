// The installation settings: the destination directory and the disk space
// needed and free on the destination and Windows drives.
#pragma once

#include <string>

#include "controls/DirDlg.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "setup/engine/Destination.h"
#include "setup/engine/SetupState.h"

class TForm3 : public TForm {
    DECLARE_CLASS_INFO(TForm3)
public:
    explicit TForm3(TComponent* owner) : TForm(owner) {}

    // Published fields
    TLabel* Label1 = nullptr;
    TLabel* Label3 = nullptr;
    TEdit* Edit2 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TButton* Button3 = nullptr;
    TButton* Button5 = nullptr;
    TLabel* Label2 = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TLabel* Label5 = nullptr;
    TImage* Image1 = nullptr;
    TLabel* Label6 = nullptr;
    TLabel* Label7 = nullptr;
    TDirectoryDialog* OpenDialog1 = nullptr;

    // Published methods
    void Button3Click(TObject* sender);
    void Button2Click(TObject* sender);
    void Button1Click(TObject* sender);
    void Form3Activate(TObject* sender);
    void Button4Click(TObject* sender);
    void Form3Create(TObject* sender);
    void Form3Destroy(TObject* sender);
    void Form3Close(TObject* sender, TCloseAction& action);

    // The setup state this form shows and commits; set by the program's start.
    void UseState(SetupState& state) { m_state = &state; }
    // The splash behind it, whose caption names the product, and the mode
    // choice that Back returns to; set by the forms' creation.
    void UseForms(TForm* splash, TForm* modeChoice)
    {
        m_splash = splash;
        m_modeChoice = modeChoice;
    }

    // The drives and the bytes needed, as the last CalcSpace found them.
    SpaceNeeds Space;

private:
    friend void CalcSpace();
    SetupState* m_state = nullptr;  // not owned: the program's start owns it and outlives the forms
    // Not owned: the application owns every form and frees them together.
    TForm* m_splash = nullptr;
    TForm* m_modeChoice = nullptr;
};

extern TForm3* Form3;

// Rebuilds the needs, the drives and the three space labels of Form3 from
// its setup state. A bad size raises the conversion error.
void CalcSpace();
