#include "setup/Setup5.h"

#include "framework/Application.h"
#include "setup/DialogPrompts.h"
#include "setup/InstallRun.h"
#include "setup/Setup2.h"
#include "setup/Unattended.h"
#include "setup/UnattendedPrompts.h"

TForm5* Form5 = nullptr;

const TClassInfo& TForm5::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TForm5, TForm>("TForm5")
        .Field<&TForm5::Gauge1>("Gauge1")
        .Field<&TForm5::Label1>("Label1")
        .Field<&TForm5::Label2>("Label2")
        .Field<&TForm5::Button1>("Button1")
        .Field<&TForm5::ProgMan1>("ProgMan1")
        .Method<TNotifyEvent, &TForm5::Form5Activate>("Form5Activate")
        .Method<TNotifyEvent, &TForm5::Button1Click>("Button1Click")
        .Method<TCloseEvent, &TForm5::Form5Close>("Form5Close")
        .Build();
    return info;
}

void TForm5::Form5Activate(TObject*)
{
    // The framework activates the form again when the user comes back to it
    // from another form of the program during the run; the run happens once.
    if (m_runStarted)
        return;
    m_runStarted = true;
    Repaint();
    // The switches answer what they name, and the log hears of everything.
    DialogPrompts dialogs(Gauge1, Label2);
    UnattendedPrompts prompts(m_state->Switches, m_state->Log, &dialogs);
    InstallRun run(*m_state, prompts);
    PerformInstall(run, *m_state);
    // An unattended run ends with its run, however that went: nobody is
    // there to leave the form.
    if (m_state->Outcome == ExitCode::Finished || m_state->Switches.Unattended())
        Application->Terminate();
}

void TForm5::Button1Click(TObject*)
{
    // While the run lets messages through, the question is asked from inside
    // this click; a Yes ends the program, and the run sees that as soon as
    // it takes its next step. A run nobody attends asks nothing: Cancel ends
    // it.
    if (m_state->Switches.Unattended())
        Application->Terminate();
    else
        ConfirmExit(m_state->ProductTitle);
}

void TForm5::Form5Close(TObject*, TCloseAction&)
{
    Application->Terminate();
}
