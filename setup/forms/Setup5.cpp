// The progress form: the installation run performed on its activation,
// Cancel and the close box, and the take-back of a run that did not
// complete.
#include "setup/forms/Setup5.h"

#include "framework/Application.h"
#include "runtime/ResStrings.h"
#include "runtime/ScopeGuard.h"
#include "setup/forms/ExitQuestions.h"
#include "setup/engine/InstallRun.h"
#include "setup/engine/AnsweringPrompts.h"

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
    m_dialogs = std::make_unique<DialogPrompts>(Gauge1, Label2);
    m_prompts = std::make_unique<AnsweringPrompts>(m_state->Switches, m_state->Log, m_dialogs.get());
    m_run = std::make_unique<InstallRun>(*m_state, *m_prompts);
    {
        // A failure leaves the run standing, reported by the framework,
        // until the user ends the program; an unattended run has been
        // taken back by then.
        m_running = true;
        const ScopeExit stopped([&] { m_running = false; });
        PerformInstall(*m_run, *m_state, *m_prompts);
    }
    // An unattended run ends with its run, however that went: nobody is
    // there to leave the form.
    if (m_state->Outcome == ExitCode::Finished || m_state->Switches.Unattended())
        Application->Terminate();
    else
        TakeBackRun();
}

void TForm5::TakeBackRun()
{
    if (!m_run || m_run->Completed())
        return;
    Label2->SetCaption(LoadResString(StrId::SRestoringPreviousState));
    Repaint();
    // What could not be undone stays in the journal: the run failed.
    if (!m_run->TakeBack())
        m_state->Outcome = ExitCode::Failed;
}

void TForm5::EndRun()
{
    if (!m_running)
        TakeBackRun();
}

void TForm5::Button1Click(TObject*)
{
    // While the run lets messages through, the question is asked from inside
    // this click; a Yes ends the program, and the run sees that as soon as
    // it takes its next step. A run nobody attends asks nothing: Cancel ends
    // it.
    if (m_state->Switches.Unattended()) {
        Application->Terminate();
        EndRun();
    } else if (ConfirmExit(m_state->ProductTitle)) {
        EndRun();
    }
}

void TForm5::Form5Close(TObject*, TCloseAction&)
{
    Application->Terminate();
    EndRun();
}
