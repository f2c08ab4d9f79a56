#include "setup/Setup5.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <optional>

#include "framework/Application.h"
#include "framework/MessageDialogs.h"
#include "runtime/FileStream.h"
#include "runtime/Handles.h"
#include "runtime/Files.h"
#include "runtime/Paths.h"
#include "runtime/TextFile.h"
#include "setup/Setup1.h"
#include "setup/Setup2.h"
#include "setup/Setup3.h"
#include "setup/ScriptFormat.h"

TForm5* Form5 = nullptr;
bool FileSkipped = false;

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

namespace {

// Once the user has asked to end the program (Cancel confirmed, or the form
// closed, while the run let messages through), the run takes no further step.
bool Stopped()
{
    return Application->Terminated();
}

void AddRecord(const char* letter, const std::string& argument)
{
    Form1->UninstallList->Add(letter);
    Form1->UninstallList->Add(argument);
}

} // namespace

std::string ResolvePath(const std::string& arg)
{
    if (arg.empty())
        return std::string();
    const std::string rest = arg.substr(1);
    switch (arg[0]) {
    case 'A': return Form1->SourceDir + rest;
    case 'D': return Form1->DestDir + rest;
    case 'N': return rest;
    case 'S': return Form1->SysDir + rest;
    case 'T': return Form1->StartupDir + rest;
    case 'W': return Form1->WinDir + rest;
    default:
        // NOTE: not a path code: the result names no file, so nothing is
        // copied to or searched in a place the argument did not name.
        return std::string();
    }
}

bool SourceIsRemovable()
{
    // The drive's root is asked, so that a setup program in a folder of a
    // diskette counts as being on a diskette too.
    const std::string drive = FileDrivePart(Form1->SourceDir);
    if (drive.empty())
        return false;
    return GetDriveTypeA((drive + "\\").c_str()) == DRIVE_REMOVABLE;
}

namespace {

// A file's identity: the serial number of its volume and its index there.
struct FileId {
    DWORD Volume = 0;
    uint64_t Index = 0;
    bool operator==(const FileId&) const = default;
};

std::optional<FileId> IdentityOfHandle(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return FileId{info.dwVolumeSerialNumber, (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

// Opens the entry itself, not what a link there points to.
FileHandle OpenEntry(const std::string& name, DWORD access)
{
    return FileHandle(CreateFileA(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

// The identity of the file of that name, none when it is no file.
std::optional<FileId> IdentityOfFile(const std::string& name)
{
    const FileHandle handle = OpenEntry(name, FILE_READ_ATTRIBUTES);
    return handle ? IdentityOfHandle(handle.Get()) : std::nullopt;
}

// Deletes the file of that name only while it is still the file of that
// identity: a file that has taken its name since is someone else's. The
// deletion goes through the handle that was checked, so nothing can come
// between the check and the deletion.
void DeleteIfStill(const std::string& name, const FileId& id)
{
    const FileHandle handle = OpenEntry(name, DELETE | FILE_READ_ATTRIBUTES);
    if (!handle || IdentityOfHandle(handle.Get()) != id)
        return;
    FILE_DISPOSITION_INFO disposition{TRUE};
    // A failure leaves the staged copy behind, which harms nobody.
    SetFileInformationByHandle(handle.Get(), FileDispositionInfo, &disposition, sizeof disposition);
}

// Makes a folder of the run's own: prefix followed by a number that nothing
// there has, made by a creation that fails when the name is taken. Empty
// when none could be made.
std::string MakeOwnFolder(const std::string& prefix)
{
    DWORD number = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (int attempt = 0; attempt < 100; ++attempt, number += 7919) {
        char suffix[16];
        wsprintfA(suffix, "%08lX", static_cast<unsigned long>(number));
        const std::string folder = prefix + suffix;
        if (CreateDirectoryA(folder.c_str(), nullptr))
            return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    return std::string();
}

// Whether nothing at all has the name, neither a file nor a folder.
bool NameIsFree(const std::string& name)
{
    if (GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Where one optional file waits while its question is open: the staged
// file, and the folder that the run made for it, if it made one.
struct Staging {
    std::string File;
    std::string Folder;
};

// Where to stage the file of that name, given the staging folder base (which
// may not exist, or be a file): base\name while nothing has that name;
// otherwise in a folder of the run's own.
Staging ChooseStaging(const std::string& base, const std::string& name)
{
    const std::string plain = base + "\\" + name;
    // A staging folder that nothing had is the run's own, and removed again
    // once it is empty.
    if (NameIsFree(base) && CreateDirectoryA(base.c_str(), nullptr))
        return {plain, base};
    if (IsExistingDirectory(base)) {
        if (NameIsFree(plain))
            return {plain, std::string()};
        // NOTE: the staged name is taken by someone's file or folder, which
        // the staging must not touch: a folder of the run's own inside the
        // staging folder holds the copy instead.
        const std::string own = MakeOwnFolder(base + "\\Setup");
        if (!own.empty())
            return {own + "\\" + name, own};
    } else if (!NameIsFree(base)) {
        // NOTE: a file has the staging folder's name, so nothing can be
        // staged in it; a folder of the run's own beside it, on the same
        // drive, holds the copy instead.
        const std::string own = MakeOwnFolder(base + "-Setup");
        if (!own.empty())
            return {own + "\\" + name, own};
    }
    // Nothing could be made: the copy meets the creation error and reports
    // it, and nothing is replaced.
    return {plain, std::string()};
}

// Removes what the staging made: the staged file, when it is still the file
// of that identity, and the run's own folder, when it is empty.
void RemoveStaging(const Staging& staging, const std::optional<FileId>& staged)
{
    if (staged)
        DeleteIfStill(staging.File, *staged);
    // NOTE: only an empty folder is removed: a file the user has saved into
    // it while the question was open stays, and the folder with it.
    if (!staging.Folder.empty())
        RemoveDirectoryA(staging.Folder.c_str());
}

} // namespace

bool CopyOneFile(const std::string& Source, const std::string& Dest, FileStreamMode mode)
{
    while (!FileIsPresent(Source)) {
        std::string text = "I cannot find the file - " + FileNamePart(Source) + "\r\r";
        if (SourceIsRemovable())
            text += "Please insert the other diskette in the " + FileDirPart(Source) + " Drive.";
        else
            text += "Please make sure it is in the " + FileDirPart(Source) + " Directory.";
        if (ShowMessageDialog(text, MessageKind::Warning, {mbRetry, mbIgnore}, 0) != mrRetry) {
            FileSkipped = true;
            return false;
        }
    }
    bool created = false;
    try {
        // Both files are closed when the copy ends, also when it fails.
        TFileStream source(Source, FileStreamMode::OpenRead);
        TFileStream destination(Dest, mode);
        created = true;
        // NOTE: a source of zero bytes copies nothing and is still a file of
        // the product: it is created empty and logged like any other.
        CopyStreamData(destination, source, 0);
    } catch (...) {
        // NOTE: a copy that failed part way (a full drive, a failing read)
        // would leave a cut-off file under the product's name that no log
        // names; it is deleted before the error reaches the user. A
        // destination that could not be created is not ours to delete.
        if (created)
            DeleteFileA(Dest.c_str());
        throw;
    }
    AddRecord("F", Dest);
    return true;
}

void TForm5::Form5Activate(TObject*)
{
    // The framework activates the form again when the user comes back to it
    // from another form of the program during the run; the run happens once.
    if (m_runStarted)
        return;
    m_runStarted = true;
    Repaint();
    FileSkipped = false;
    const TStringList& copyList = *Form3->CopyList;
    Gauge1->SetMaxValue(copyList.Count());
    for (int i = 0; i < copyList.Count(); ++i) {
        if (Stopped())
            return;
        const std::string entry = copyList.Get(i);
        const std::string destination = ResolvePath(entry);
        Label2->SetCaption(destination);
        CopyOneFile(Form1->ExeDir + ScriptFormat::MandatorySourceName(entry), destination);
        Gauge1->SetProgress(Gauge1->Progress() + 1);
        Application->PumpMessages();
    }
    if (Stopped())
        return;
    InstallOptionalFiles();
    if (Stopped())
        return;
    MakeStartMenuGroup();
    if (Stopped())
        return;
    UpdatePifFiles();
    AddRecord("D", Form1->DestDir);
    if (SourceIsRemovable() && !FileIsPresent(Form1->SourceDir + "setup.exe")) {
        ShowMessageDialog("Please Insert the First Diskette.", MessageKind::Information, {mbOK}, 0);
        if (Stopped())
            return;
    }
    WriteUninstallLog();
    StartProduct();
    Application->Terminate();
}

void TForm5::InstallOptionalFiles()
{
    const TStringList& options = *Form1->OptionList;
    for (int k = 0; 2 * k + 1 < options.Count(); ++k) {
        if (Stopped())
            return;
        const std::string question = options.Get(2 * k);
        const std::string coded = options.Get(2 * k + 1);

        // Staged in \temp of the destination drive, or in \temp1 when the
        // setup program itself runs from \temp there.
        const std::string drive = FileDrivePart(Form1->DestDir);
        const bool runsFromTemp = UpperCaseAscii(Form1->ExeDir) == UpperCaseAscii(drive + "\\temp\\");
        const std::string name = ScriptFormat::OptionalSourceName(coded);
        const Staging staging = ChooseStaging(drive + (runsFromTemp ? "\\temp1" : "\\temp"), name);
        std::optional<FileId> staged;
        // What was staged is removed also when the run is ending, and before
        // a failed copy is reported: it is nobody's file.
        try {
            // NOTE: the staged copy never replaces a file: the name was free
            // when it was chosen, and one that has been taken since stops
            // the run with the creation error.
            const bool stagedNow = CopyOneFile(Form1->ExeDir + name, staging.File, FileStreamMode::CreateNew);
            if (stagedNow)
                staged = IdentityOfFile(staging.File);
            // NOTE: a file the user skipped is not offered: there is nothing
            // to install, and the copy would only ask again for the staged
            // file.
            if (stagedNow && !Stopped() &&
                ShowMessageDialog(question, MessageKind::Information, {mbYes, mbNo}, 0) == mrYes && !Stopped()) {
                const std::string destination = ResolvePath(coded);
                Label2->SetCaption(destination);
                CopyOneFile(staging.File, destination);
                Application->PumpMessages();
            }
        } catch (...) {
            RemoveStaging(staging, staged);
            throw;
        }
        RemoveStaging(staging, staged);
    }
}

void TForm5::MakeStartMenuGroup()
{
    // NOTE: a group name that is empty, absolute or leads out through ".."
    // names no folder of its own below the Programs folder, and the
    // uninstaller would take the wrong folder back; nothing can be made, so
    // the question is not asked.
    if (!ScriptFormat::IsGroupPath(Form1->GroupName))
        return;
    const std::string question = "Would you like to put a " + Form1->ProductTitle + " item on the Start Menu?";
    if (ShowMessageDialog(question, MessageKind::Information, {mbYes, mbNo}, 0) != mrYes || Stopped())
        return;
    const std::string group = Form1->CheckPath(Form1->ProgramsDir + Form1->GroupName);
    CreateDirectoryPath(group);
    const TStringList& items = *Form1->ItemList;
    for (int i = 0; i < items.Count(); ++i) {
        const ScriptFormat::ItemArgument item = ScriptFormat::SplitItemArgument(items.Get(i));
        // NOTE: an item without a comma names no link, one whose target has
        // no path code names no target, and one whose name is not a plain
        // file name would put its link outside the group, where the
        // uninstaller never looks; none of them makes a link.
        if (!item.HasComma || !ScriptFormat::IsPlainName(item.Name))
            continue;
        const std::string target = ResolvePath(item.Target);
        if (target.empty())
            continue;
        Form1->MakeShortcut(target.c_str(), nullptr, nullptr, group + item.Name + ".lnk", false);
    }
    AddRecord("G", Form1->GroupName);
}

void TForm5::UpdatePifFiles()
{
    const TStringList& pifs = *Form1->PifList;
    for (int i = 0; i < pifs.Count(); ++i) {
        const std::string base = Form1->DestDir + pifs.Get(i);
        Form1->MakeShortcut((base + ".bat").c_str(), nullptr, nullptr, base + ".pif", true);
        AddRecord("F", base + ".pif");
    }
}

void TForm5::WriteUninstallLog()
{
    const std::string name = Form1->DestDir + "uninst.fls";
    bool opened = false;
    try {
        TTextFile log;
        BindTextFile(log, name);
        OpenTextForWriting(log);
        CheckInOut();
        opened = true;
        const TStringList& lines = *Form1->UninstallList;
        for (int i = 0; i < lines.Count(); ++i) {
            WriteText(log, lines.Get(i));
            CheckInOut();
            WriteTextLineEnd(log);
            CheckInOut();
        }
        CloseTextFile(log);
        CheckInOut();
    } catch (...) {
        // NOTE: a log cut off by a failed write (a full drive) would have
        // the uninstaller trust a partial list; the file is deleted (it is
        // closed by now) before the error reaches the user.
        if (opened)
            DeleteFileA(name.c_str());
        throw;
    }
}

void TForm5::StartProduct()
{
    const std::string parameters = "copy \"" + Application->ExecutablePath() + "\" \"" + Form1->ProgramsDir + "\" " +
                                   (FileSkipped ? "" : "False");
    // The shell reports nothing back that the run could act on.
    ShellExecuteA(nullptr, nullptr, (Form1->DestDir + "halvarn95.exe").c_str(), parameters.c_str(), nullptr,
                  SW_SHOWNORMAL);
}

void TForm5::Button1Click(TObject*)
{
    // While the run lets messages through, the question is asked from inside
    // this click; a Yes ends the program, and the run sees that as soon as
    // it takes its next step.
    ConfirmExit();
}

void TForm5::Form5Close(TObject*, TCloseAction&)
{
    Application->Terminate();
}
