#include "setup/Setup1.h"

#include "framework/Application.h"
#include "framework/Registry.h"
#include "runtime/Paths.h"
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

// NOTE: the splash sequence (directories, setup script, slide-in, start-up
// messages, hand-over to the mode choice) is built on the application's
// message loop and the other forms; until those exist these handlers only
// hold their place in the form's design.
void TForm1::Form1Show(TObject*) {}

void TForm1::Timer1Timer(TObject*) {}

std::string TForm1::CheckPath(const std::string& path) const
{
    if (!path.empty() && path.back() == '\\')
        return path;
    return path + '\\';
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
