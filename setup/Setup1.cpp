#include "setup/Setup1.h"

#include "framework/Application.h"
#include "framework/MessageDialogs.h"
#include "framework/Registry.h"
#include "runtime/Exceptions.h"
#include "runtime/Paths.h"
#include "runtime/RecordReader.h"
#include "runtime/ResStrings.h"
#include "runtime/TextFile.h"
#include "setup/ScriptFormat.h"
#include "setup/Setup2.h"
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

void TForm1::Form1Create(TObject*)
{
    FileList = std::make_unique<TStringList>();
    ItemList = std::make_unique<TStringList>();
    UninstallList = std::make_unique<TStringList>();
    OptionList = std::make_unique<TStringList>();
    MessageList = std::make_unique<TStringList>();
    PifList = std::make_unique<TStringList>();
}

void TForm1::Form1Destroy(TObject*)
{
    FileList.reset();
    ItemList.reset();
    UninstallList.reset();
    OptionList.reset();
    MessageList.reset();
    PifList.reset();
}

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
        ReadSetupFile();
        Timer1->SetEnabled(true);
        SourceDir = CheckPath(UpperCaseAscii(FileDirPart(Application->ExecutablePath())));
    } catch (...) {
        // The framework reports the failure; the splash then says how to
        // leave, since it has no frame to close and nothing else follows.
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
    for (int i = 0; i < MessageList->Count(); ++i)
        ShowMessageDialog(MessageList->Get(i), MessageKind::Information, {mbOK}, 0);
    Form2->Show();
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

std::string TForm1::CheckPath(const std::string& path) const
{
    return JoinDir(path, "");
}

// ---------------------------------------------------------------------------
// Special folders and shortcuts

void TForm1::GetDirectories()
{
    ExeDir = FileDirPart(Application->ExecutablePath());
    WinDir = CheckPath(UpperCaseAscii(WindowsDirectory()));
    SysDir = CheckPath(UpperCaseAscii(SystemDirectory()));

    // NOTE: the key is opened with full access although it is only read, so
    // a key that refuses writing leads to the fixed folders below WinDir.
    TRegistry registry;
    if (registry.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders")) {
        StartupDir = CheckPath(registry.ReadString("Startup"));
        ProgramsDir = CheckPath(registry.ReadString("Programs"));
    } else {
        StartupDir = CheckPath(WinDir + "Startm~1\\Programs\\StartUp\\");
        ProgramsDir = CheckPath(WinDir + "Startm~1\\Programs\\");
    }
}

void TForm1::MakeShortcut(const char* Target, const char* Arguments, const char* Description,
                          const std::string& LinkFile, bool LoadFirst)
{
    WriteShellLink(Target, Arguments, Description, LinkFile, LoadFirst);
}

void ReadSetupFile()
{
    TForm1& state = *Form1;
    TTextFile script;
    BindTextFile(script, state.ExeDir + std::string(ScriptFormat::ScriptName));
    OpenTextForReading(script);
    CheckInOut();
    // Every step is checked as it is read, so a read error leaves the
    // records before it in the setup state.
    CheckedTextInput input(script);
    TextRecordReader records(input, ScriptFormat::ThreeLineCommands);
    TextRecord record;
    while (records.Next(record)) {
        // A name that could lead out of its folder stops the start before
        // anything is made: the log would name a file that the uninstaller
        // refuses to touch, so it would stay behind for good.
        if (const auto leaving = ScriptFormat::NameLeavingItsFolder(record))
            throw Exception(StrId::SScriptNameLeavesFolder, {std::string(1, record.Command), leaving->Argument});
        const std::string& argument = record.Argument;
        switch (record.Command) {
        case 'D': {
            const size_t last = argument.find_last_of("\\:");
            state.DestName = last == std::string::npos ? argument : argument.substr(last + 1);
            state.DestDir = state.CheckPath(argument);
            break;
        }
        case 'F':
            state.FileList->Add(argument);
            break;
        case 'G':
            state.GroupName = argument;
            break;
        case 'M':
            state.MessageList->Add(argument);
            break;
        case 'P':
            state.ItemList->Add(argument);
            break;
        case 'Q':
            state.PifList->Add(argument);
            break;
        case 'S':
            state.OptionList->Add(argument);
            state.OptionList->Add(record.Second);
            break;
        case 'T':
            state.ProductTitle = argument;
            state.Label1->SetCaption(argument + " Setup");
            break;
        case 'U':
            state.UninstallList->Add("U");
            state.UninstallList->Add(argument);
            break;
        default:
            // Any other command character: the record is read and ignored.
            break;
        }
    }
    CloseTextFile(script);
    CheckInOut();
}
