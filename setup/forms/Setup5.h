// The progress form: it shows the installation run (copies, optional files,
// the Start Menu group, the uninstall log, the product started) as the run
// goes, asks its questions, and offers Cancel.
#pragma once

#include <memory>

#include "controls/Gauges.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "setup/forms/DialogPrompts.h"
#include "setup/engine/InstallRun.h"
#include "setup/engine/SetupState.h"
#include "setup/engine/AnsweringPrompts.h"
#include "shell/Progman.h"

class TForm5 : public TForm {
    DECLARE_CLASS_INFO(TForm5)
public:
    explicit TForm5(TComponent* owner) : TForm(owner) {}

    // Published fields
    TGauge* Gauge1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TButton* Button1 = nullptr;
    TProgMan* ProgMan1 = nullptr;

    // Published methods
    void Form5Activate(TObject* sender);
    void Button1Click(TObject* sender);
    void Form5Close(TObject* sender, TCloseAction& action);

    // The setup state the run installs from, and whose outcome it sets; set
    // by the program's start.
    void UseState(SetupState& state) { m_state = &state; }

    // Whether the run has begun; it begins on the first activation only.
    bool RunStarted() const { return m_runStarted; }

private:
    // Takes back a run that has not completed, saying so on the form.
    void TakeBackRun();
    // Once the user has asked to end the program: a run that is not going
    // on (it failed, and its failure has been reported) is taken back now;
    // one that is going on sees the stop at its next step and is taken back
    // then.
    void EndRun();

    SetupState* m_state = nullptr;  // not owned: the program's start owns it and outlives the forms
    bool m_runStarted = false;
    bool m_running = false;
    std::unique_ptr<DialogPrompts> m_dialogs;
    std::unique_ptr<AnsweringPrompts> m_prompts;
    std::unique_ptr<InstallRun> m_run;
};

extern TForm5* Form5;
