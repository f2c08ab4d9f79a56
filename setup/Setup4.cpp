#include "setup/Setup4.h"

#include <windows.h>
#include <shellapi.h>

#include "framework/Application.h"
#include "framework/MessageDialogs.h"
#include "runtime/Files.h"
#include "runtime/Paths.h"
#include "runtime/RecordReader.h"
#include "runtime/Search.h"
#include "runtime/TextFile.h"
#include "setup/Setup1.h"
#include "setup/Setup2.h"
#include "setup/Setup5.h"

TForm4* Form4 = nullptr;
std::string UninstallFileName;

const TClassInfo& TForm4::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TForm4, TForm>("TForm4")
        .Field<&TForm4::Button1>("Button1")
        .Field<&TForm4::Button2>("Button2")
        .Field<&TForm4::Button3>("Button3")
        .Field<&TForm4::Label1>("Label1")
        .Field<&TForm4::ListBox1>("ListBox1")
        .Field<&TForm4::Button4>("Button4")
        .Field<&TForm4::OpenDialog1>("OpenDialog1")
        .Method<TNotifyEvent, &TForm4::Button2Click>("Button2Click")
        .Method<TNotifyEvent, &TForm4::Button3Click>("Button3Click")
        .Method<TNotifyEvent, &TForm4::Button1Click>("Button1Click")
        .Method<TNotifyEvent, &TForm4::Form4Show>("Form4Show")
        .Method<TNotifyEvent, &TForm4::Button4Click>("Button4Click")
        .Method<TCloseEvent, &TForm4::Form4Close>("Form4Close")
        .Build();
    return info;
}

namespace {

// The labels of the list lines; the removal acts on their first character.
const std::string DirectoryLabel = "Directory - ";
const std::string FileLabel = "File - ";
const std::string GroupLabel = "Program Manager Group - ";

bool HasWildcards(const std::string& path)
{
    return path.find_first_of("*?") != std::string::npos;
}

// The folder's full name as the file system knows it, in upper case and
// without a trailing backslash (a drive's root keeps only its drive part):
// "." and ".." are resolved and short names made long, so that one folder
// has one spelling.
std::string CanonicalFolder(const std::string& path)
{
    std::string result = path;
    char buffer[MAX_PATH * 4];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    if (length > 0 && length < sizeof buffer)
        result.assign(buffer, length);
    length = GetLongPathNameA(result.c_str(), buffer, sizeof buffer);
    if (length > 0 && length < sizeof buffer)
        result.assign(buffer, length);
    while (!result.empty() && (result.back() == '\\' || result.back() == '/'))
        result.pop_back();
    return UpperCaseAscii(result);
}

// Whether folder is inner itself or holds it, at any depth.
bool Contains(const std::string& folder, const std::string& inner)
{
    return (inner + "\\").compare(0, folder.size() + 1, folder + "\\") == 0;
}

} // namespace

bool IsVitalFolder(const std::string& path)
{
    // A drive's root as given (C:\, C: or a lone backslash), before any
    // resolving: C: alone would otherwise resolve to the current directory there.
    std::string given = path;
    while (!given.empty() && (given.back() == '\\' || given.back() == '/'))
        given.pop_back();
    if (given.empty() || FileDrivePart(given) == given)
        return true;
    const std::string folder = CanonicalFolder(path);
    if (folder.empty() || FileDrivePart(folder) == folder)
        return true;
    for (const std::string* vital : {&Form1->WinDir, &Form1->SysDir, &Form1->ProgramsDir, &Form1->StartupDir}) {
        if (!vital->empty() && Contains(folder, CanonicalFolder(*vital)))
            return true;
    }
    return false;
}

bool IsSingleGroupFolder(const std::string& name)
{
    if (name.empty() || name.find_first_of("\\/:*?") != std::string::npos)
        return false;
    // The file system's own reading of the name decides: "..", or dots and
    // blanks that it drops, would name the Programs folder or its parent.
    const std::string programs = CanonicalFolder(Form1->ProgramsDir);
    const std::string group = CanonicalFolder(Form1->CheckPath(Form1->ProgramsDir) + name);
    return group.size() > programs.size() + 1 && FileDirPart(group) == programs + "\\";
}

void TForm4::Form4Show(TObject*)
{
    if (FileIsPresent(Form1->SourceDir + "uninst.fls")) {
        UninstallFileName = Form1->SourceDir + "uninst.fls";
    } else {
        OpenDialog1->SetTitle("Could not Find - uninst.fls");
        OpenDialog1->SetFileName("uninst.fls");
        OpenDialog1->SetFilter("Uninstall File (uninst.fls)|uninst.fls");
        if (!OpenDialog1->RunDialog())
            return;
        UninstallFileName = OpenDialog1->FileName();
    }
    TTextFile log;
    BindTextFile(log, UninstallFileName);
    OpenTextForReading(log);
    CheckInOut();
    // The list is drawn once, when the reading ends (also on an error): a
    // long log would otherwise redraw it for every line it adds.
    TStringsUpdate update(*ListBox1->Items());
    ListBox1->Items()->Clear();
    // A record is a letter line, of which only the first character counts,
    // and an argument line; no record of the log has a second argument.
    // Every step is checked as it is read, so a read error keeps the lines
    // of the records before it.
    CheckedTextInput input(log);
    TextRecordReader records(input, std::string_view());
    TextRecord record;
    while (records.Next(record))
        ReadRecord(record.Command, record.Argument);
    CloseTextFile(log);
    CheckInOut();
}

void TForm4::ReadRecord(char letter, const std::string& argument)
{
    TStrings& lines = *ListBox1->Items();
    switch (letter) {
    case 'D':
        Form1->DestDir = argument;
        // NOTE: a log that names a drive's root or a folder the system needs
        // as its destination gets no line for it, so it is never removed.
        if (IsExistingDirectory(argument) && !IsVitalFolder(argument))
            lines.Add(DirectoryLabel + argument);
        break;
    case 'F':
        // A file the installation made has a plain name; a pattern would
        // delete what the log did not name.
        if (!HasWildcards(argument) && FileIsPresent(argument))
            lines.Add(FileLabel + argument);
        break;
    case 'G':
        // NOTE: an empty group name, or one that is not a single folder below
        // the Programs folder, would remove the Programs folder or more: it
        // gets no line and no message.
        if (!IsSingleGroupFolder(argument))
            break;
        if (IsExistingDirectory(Form1->ProgramsDir + argument)) {
            lines.Add(GroupLabel + argument);
            Form1->GroupName = UpperCaseAscii(argument);
        } else {
            ShowMessageDialog("Could not find the " + argument + " Group.\r\rIt may need to be removed manually.",
                              MessageKind::Information, {mbOK}, 0);
        }
        break;
    case 'U':
        AddPatternMatches(ResolvePath(argument));
        break;
    default:
        break;
    }
}

void TForm4::AddPatternMatches(const std::string& pattern)
{
    if (pattern.empty())
        return;
    const std::string dir = FileDirPart(pattern);
    TSearchRec match;
    for (int result = SearchFirst(pattern, faAnyFile, match); result == 0; result = SearchNext(match)) {
        // NOTE: the entries that stand for the searched folder and its parent
        // match most patterns too; removing them would take the whole folder.
        if (match.Name == "." || match.Name == ".." ||
            ((match.Attr & faDirectory) != 0 && IsVitalFolder(dir + match.Name)))
            continue;
        ListBox1->Items()->Add(FileLabel + dir + match.Name);
    }
    SearchEnd(match);
}

void TForm4::Button1Click(TObject*)
{
    TStrings& lines = *ListBox1->Items();
    // One pass from the top: every selected line is acted on and removed in
    // the order the list shows them, and the lines below it move up by one
    // for each line removed above them.
    std::string directoryLine;
    {
        // The list is drawn again once, when the loop is done: nothing is
        // shown between two lines, as no message is handled meanwhile.
        TStringsUpdate update(lines);
        const int count = lines.Count();
        int removed = 0;
        for (int original = 0; original < count; ++original) {
            const int index = original - removed;
            if (!ListBox1->Selected(index))
                continue;
            const std::string line = lines.Get(index);
            switch (line.empty() ? '\0' : line[0]) {
            case 'F':
                DeletePro(line.substr(FileLabel.size()));
                break;
            case 'D':
                directoryLine = line;
                break;
            case 'P':
                try {
                    DeletePro(Form1->ProgramsDir + Form1->GroupName);
                } catch (...) {
                    // Deliberately dropped: the group may have gone already,
                    // and the rest of the uninstallation goes on.
                }
                break;
            default:
                break;
            }
            lines.Delete(index);
            ++removed;
        }
    }
    if (!directoryLine.empty()) {
        // NOTE: the directory removed is the one the selected line names; a
        // later "D" record of the log may have changed DestDir to a folder
        // that was never listed.
        const std::string dir = directoryLine.substr(DirectoryLabel.size());
        if (!RemoveDirectoryA(RemoveEnd(dir).c_str())) {
            const std::string question =
                dir + " still has files or folders in it.\r\rWould you like to Delete it and its contents, anyway?";
            if (ShowMessageDialog(question, MessageKind::Information, {mbYes, mbNo}, 0) == mrYes)
                DeletePro(dir);
            else
                lines.Add(directoryLine);
        }
    }
    ShowMessageDialog("Uninstall is Complete", MessageKind::Information, {mbOK}, 0);
    Application->Terminate();
}

void TForm4::Button2Click(TObject*)
{
    // Hidden, not closed: closing asks whether to leave the program.
    Hide();
    Form2->Show();
}

void TForm4::Form4Close(TObject*, TCloseAction& action)
{
    ConfirmClose(action);
}

void TForm4::Button3Click(TObject*)
{
    ConfirmExit();
}

void TForm4::Button4Click(TObject*)
{
    // Drawn once when every line is selected, as in the removal.
    TStringsUpdate update(*ListBox1->Items());
    const int count = ListBox1->Items()->Count();
    for (int i = 0; i < count; ++i)
        ListBox1->SetSelected(i, true);
}

void TForm4::DeletePro(const std::string& path)
{
    const std::string name = RemoveEnd(path);
    if (name.empty() || HasWildcards(name))
        return;
    // Only a folder can be vital; a plain file is not asked about.
    if (!FileIsPresent(name) && IsVitalFolder(name))
        return;
    // The shell takes a list of names, each ended by a NUL, and one more NUL.
    std::string from = name;
    from.append(2, '\0');
    const char to[2] = {'\0', '\0'};
    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = nullptr;
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.pTo = to;
    // Removed for good, not into the recycle bin, with no progress window
    // and no question. The result is not looked at: a failure is not
    // reported to anyone.
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
    SHFileOperationA(&operation);
}

std::string TForm4::RemoveEnd(const std::string& path) const
{
    if (!path.empty() && path.back() == '\\')
        return path.substr(0, path.size() - 1);
    return path;
}
