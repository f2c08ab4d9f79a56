// The splash form: its start-up (the folders and the script, or the title
// of the log the command line names), its animation, a run an earlier start
// left, the script's messages, and the report of a failed start.
#include "setup/forms/Setup1.h"

#include "framework/Application.h"
#include "framework/MessageDialogs.h"
#include "runtime/Format.h"
#include "runtime/Paths.h"
#include "runtime/ResStrings.h"
#include "runtime/ScopeGuard.h"
#include "setup/forms/DialogPrompts.h"
#include "setup/engine/LeftRun.h"
#include "setup/forms/Setup2.h"
#include "setup/forms/Setup4.h"
#include "setup/engine/UninstallLog.h"
#include "setup/engine/UninstallerCopy.h"
#include "setup/engine/AnsweringPrompts.h"
#include "shell/ShellLinks.h"

TForm1* Form1 = nullptr;

const TClassInfo& TForm1::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TForm1, TForm>("TForm1")
        .Field<&TForm1::Image1>("Image1")
        .Field<&TForm1::Timer1>("Timer1")
        .Field<&TForm1::Label1>("Label1")
        .Field<&TForm1::Label2>("Label2")
        .Method<TNotifyEvent, &TForm1::Form1Show>("Form1Show")
        .Method<TNotifyEvent, &TForm1::Timer1Timer>("Timer1Timer")
        .Method<TNotifyEvent, &TForm1::Form1Create>("Form1Create")
        .Method<TNotifyEvent, &TForm1::Form1Destroy>("Form1Destroy")
        .Build();
    return info;
}

// The stored design names both handlers. The setup state they would make
// and free is owned by the program's start, so there is nothing to do here.
void TForm1::Form1Create(TObject*) {}

void TForm1::Form1Destroy(TObject*) {}

void TForm1::Form1Show(TObject*)
{
    // A borderless form's window starts normal whatever its design says, so
    // the splash is maximised here, once its window exists.
    SetWindowState(wsMaximized);
    Image1->SetTop(Height() + 2);
    Label1->SetLeft(Width() + 2);
    Application->PumpMessages();
    try {
        GetDirectories();
        if (RemovesNamedLog())
            ShowLogTitle();
        else
            ReadSetupFile();
        Timer1->SetEnabled(true);
        m_state->SourceDir = CheckPath(UpperCaseAscii(FileDirPart(Application->ExecutablePath())));
    } catch (...) {
        // The framework reports the failure; the splash then says how to
        // leave, since it has no frame to close and nothing else follows.
        // Nothing has been made: the run was refused.
        m_state->Outcome = ExitCode::Refused;
        ShowStartFailure();
        throw;
    }
}

void TForm1::Timer1Timer(TObject*)
{
    if (Image1->Top() > Splash::ImageTop) {
        Image1->SetTop(Image1->Top() - Splash::Step);
        return;
    }
    Image1->SetTop(Splash::ImageTop);
    const int32_t target = Image1->Left() + Image1->Width() + Splash::Gap;
    if (target < Label1->Left()) {
        Label1->SetLeft(Label1->Left() - Splash::Step);
        return;
    }
    Label1->SetLeft(target);
    // Stopped before anything pumps messages, so no tick re-enters while the
    // messages are shown.
    Timer1->SetEnabled(false);
    Application->PumpMessages();
    // A run that an earlier start left unfinished is taken back first, so
    // that the choice that follows meets the machine as it was.
    DialogPrompts dialogs;
    AnsweringPrompts prompts(m_state->Switches, m_state->Log, &dialogs);
    switch (FinishLeftRun(*m_state, prompts)) {
    case LeftRun::None:
    case LeftRun::TakenBack:
        break;
    case LeftRun::Declined:
        m_state->Outcome = ExitCode::EndedByUser;
        Application->Terminate();
        return;
    case LeftRun::Incomplete:
        m_state->Outcome = ExitCode::Failed;
        Application->Terminate();
        return;
    }
    // The removal of a log the command line names goes straight to its
    // items: there is no script, and no mode to choose.
    if (RemovesNamedLog()) {
        Form4->Show();
        return;
    }
    // The log, when there is one, has what the person was shown.
    for (const std::string& message : m_state->Script.MessageList)
        prompts.Tell(message);
    Form2->Show();
}

bool TForm1::RemovesNamedLog() const
{
    return m_state->Switches.UninstallLog.has_value();
}

void TForm1::ShowLogTitle()
{
    // NOTE: a log that cannot be read gives no title here; the uninstaller
    // reports why when it reads it.
    std::optional<std::string> title;
    try {
        title = ReadLogRecords(UninstallLogName(m_state->Switches, m_state->ExeDir)).ProductTitle();
    } catch (const std::exception&) {
        // Deliberately dropped: see above.
    }
    if (!title)
        return;
    m_state->ProductTitle = *title;
    Label1->SetCaption(Format(LoadResString(StrId::SSetupCaption), {*title}));
}

void TForm1::ShowStartFailure()
{
    m_startFailed = true;
    if (m_failureHint)
        return;
    m_failureHint = new TLabel(this);
    m_failureHint->SetParent(this);
    m_failureHint->Font()->SetColor(clWhite);
    m_failureHint->SetCaption(LoadResString(StrId::SSetupStartFailed));
    m_failureHint->SetLeft((ClientWidth() - m_failureHint->Width()) / 2);
    m_failureHint->SetTop(ClientHeight() / 2);
}

void TForm1::WndProc(TMessage& message)
{
    // After a failed start the black splash is all there is: Esc ends the
    // program, as the hint on it says.
    if (m_startFailed && message.Msg == WM_KEYDOWN && message.WParam == VK_ESCAPE) {
        Application->Terminate();
        return;
    }
    TForm::WndProc(message);
}

void TForm1::ReadSetupFile()
{
    const ScopeExit showTitle([&] {
        if (m_state->Script.Title)
            Label1->SetCaption(Format(LoadResString(StrId::SSetupCaption), {*m_state->Script.Title}));
    });
    ::ReadSetupFile(*m_state);
}

std::string TForm1::CheckPath(const std::string& path) const
{
    return ::CheckPath(path);
}

// ---------------------------------------------------------------------------
// Special folders and shortcuts

void TForm1::GetDirectories()
{
    ::GetDirectories(*m_state, Application->ExecutablePath());
}

void TForm1::MakeShortcut(const char* Target, const char* Arguments, const char* Description,
                          const std::string& LinkFile, bool LoadFirst)
{
    WriteShellLink(Target, Arguments, Description, LinkFile, LoadFirst);
}
