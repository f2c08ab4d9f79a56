// The mode choice: install or uninstall the product, or leave.
#pragma once

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "setup/engine/SetupState.h"

class TForm2 : public TForm {
    DECLARE_CLASS_INFO(TForm2)
public:
    explicit TForm2(TComponent* owner) : TForm(owner) {}

    // Published fields
    TRadioButton* RadioButton1 = nullptr;
    TRadioButton* RadioButton2 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TImage* Image1 = nullptr;

    // Published methods
    void Button1Click(TObject* sender);
    void Button2Click(TObject* sender);
    void Form2Show(TObject* sender);
    void Form2Close(TObject* sender, TCloseAction& action);

    // The setup state this form shows; set by the program's start.
    void UseState(const SetupState& state) { m_state = &state; }

private:
    const SetupState* m_state = nullptr;  // not owned: the program's start owns it and outlives the forms
};

extern TForm2* Form2;
