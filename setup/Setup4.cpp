#include "setup/Setup4.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "framework/Application.h"
#include "framework/MessageDialogs.h"
#include "runtime/Files.h"
#include "runtime/DirPaths.h"
#include "runtime/FolderIdentity.h"
#include "runtime/Paths.h"
#include "runtime/RecordReader.h"
#include "runtime/Search.h"
#include "runtime/TextFile.h"
#include "setup/ScriptFormat.h"
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

// The mark that a "File - " line carries as its list object when a U pattern
// matched a folder: only such a line removes a folder. Any other names a file
// and never removes a folder, whatever has taken the file's name since.
TObject FolderMatchMark;

// The most refused groups that the message after the reading names one by
// one.
constexpr size_t MaxGroupsNamed = 20;

bool HasWildcards(const std::string& path)
{
    return path.find_first_of("*?") != std::string::npos;
}

// The text of a registry string value, with the environment's variables put
// in for a value of the expandable kind; empty when there is none.
std::string ExpandedValue(DWORD type, const std::vector<char>& data, DWORD size)
{
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size == 0)
        return std::string();
    std::string value(data.data(), std::min<size_t>(size, data.size()));
    value.resize(std::strlen(value.c_str()));
    if (type == REG_SZ)
        return value;
    char expanded[MAX_PATH * 4];
    const DWORD length = ExpandEnvironmentStringsA(value.c_str(), expanded, sizeof expanded);
    return length > 0 && length <= sizeof expanded ? std::string(expanded) : std::string();
}

// Every string value of the registry key, or of the named values only.
std::vector<std::string> RegistryFolders(HKEY root, const char* keyPath, std::initializer_list<const char*> names = {})
{
    std::vector<std::string> folders;
    HKEY key;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return folders;
    std::vector<char> data(MAX_PATH * 4);
    if (names.size() == 0) {
        char name[256];
        for (DWORD index = 0;; ++index) {
            DWORD nameSize = sizeof name;
            DWORD type = 0;
            DWORD size = static_cast<DWORD>(data.size());
            const LONG result = RegEnumValueA(key, index, name, &nameSize, nullptr, &type,
                                              reinterpret_cast<BYTE*>(data.data()), &size);
            if (result == ERROR_NO_MORE_ITEMS)
                break;
            if (result == ERROR_SUCCESS)
                folders.push_back(ExpandedValue(type, data, size));
        }
    }
    for (const char* name : names) {
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size());
        if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS)
            folders.push_back(ExpandedValue(type, data, size));
    }
    RegCloseKey(key);
    return folders;
}

// Whether the record names a folder that may be listed and removed with its
// contents: a plain full path of an existing folder that is not protected.
bool IsRemovableFolder(const std::string& folder, const ProtectedFolders& protectedFolders)
{
    return IsPlainFullPath(folder) && IsExistingDirectory(folder) && !protectedFolders.Protects(folder);
}

// Whether the folder is the one that holds the uninstall log being read,
// under any name: the installation wrote the log into its destination, and
// only that folder is removed with what it holds.
bool HoldsTheLog(const std::string& folder)
{
    const std::optional<FolderId> id = FolderIdentity(folder);
    return id && id == FolderIdentity(FileDirPart(UninstallFileName));
}

// The folders in which files may be deleted: those the way to which crosses
// no link or mount point. Each folder is looked at once, as a log names many
// files in few folders.
class FileFolders {
public:
    bool MayDeleteIn(const std::string& folder)
    {
        const auto [known, added] = m_known.emplace(UpperCaseAscii(folder), false);
        if (added)
            known->second = !ReachedThroughLinks(folder);
        return known->second;
    }

private:
    std::map<std::string, bool> m_known;
};

// Deletes the file that the name reaches, and never a folder: the list was
// made earlier, and a folder may have taken the file's name since. A file
// reached through a link or a mount point is not deleted either. Whether
// the name is gone afterwards.
bool DeleteFileOnly(const std::string& path, FileFolders& folders)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || HasWildcards(path) ||
        !folders.MayDeleteIn(FileDirPart(path)))
        return false;
    // A read-only file is deleted too, as the shell's delete did: the
    // installation may have copied it so from its medium.
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0)
        SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    // NOTE: DeleteFileA refuses a folder itself, so a folder that takes the
    // name between the look and the deletion is refused too.
    return DeleteFileA(path.c_str()) || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

// The message for the G records whose groups were not found or were
// refused: one group as it has always been named, several as a list of at
// most MaxGroupsNamed names and a count of the rest.
std::string GroupsNotFoundText(const std::vector<std::string>& groups)
{
    if (groups.size() == 1)
        return "Could not find the " + groups.front() + " Group.\r\rIt may need to be removed manually.";
    std::string text = "Could not find these Groups:\r";
    for (size_t index = 0; index < groups.size() && index < MaxGroupsNamed; ++index)
        text += "\r" + groups[index];
    if (groups.size() > MaxGroupsNamed)
        text += "\rand " + std::to_string(groups.size() - MaxGroupsNamed) + " more";
    return text + "\r\rThey may need to be removed manually.";
}

// What the reading of one log knows besides the record at hand.
struct LogReading {
    // destination is the log's last D record, or the script's destination
    // when the log has none.
    LogReading(TStrings& lines, const ProtectedFolders& protectedFolders, std::string destination)
        : Lines(lines), Protected(protectedFolders), DestinationName(std::move(destination))
    {
    }

    TStrings& Lines;
    const ProtectedFolders& Protected;
    const std::string DestinationName;
    FileFolders Folders;
    // The G records whose groups get no line, in the log's order.
    std::vector<std::string> GroupsNotFound;

    // The destination's identity when it is a folder that may be removed
    // and holds the log: only folders inside it may be removed as the
    // matches of a U record, as only it is removed with its contents.
    // Learnt at the first such match, as most logs have none.
    const std::optional<FolderId>& Destination()
    {
        if (!m_destinationKnown) {
            m_destinationKnown = true;
            if (IsRemovableFolder(DestinationName, Protected) && HoldsTheLog(DestinationName))
                m_destination = FolderIdentity(DestinationName);
        }
        return m_destination;
    }

private:
    bool m_destinationKnown = false;
    std::optional<FolderId> m_destination;
};

void AddPatternMatches(const std::string& pattern, LogReading& reading)
{
    // NOTE: only a plain full path is searched; a relative pattern would
    // match whatever lies in the folder the program happens to run in.
    if (!IsPlainFullPath(pattern))
        return;
    const std::string dir = FileDirPart(pattern);
    if (!reading.Folders.MayDeleteIn(dir))
        return;
    TSearchRec match;
    for (int result = SearchFirst(pattern, faAnyFile, match); result == 0; result = SearchNext(match)) {
        // NOTE: the entries that stand for the searched folder and its parent
        // match most patterns too; removing them would take the whole folder.
        if (match.Name == "." || match.Name == "..")
            continue;
        const std::string path = dir + match.Name;
        if ((match.Attr & faDirectory) != 0) {
            // A folder goes with everything in it: only one that lies inside
            // the destination directory, is not protected and leads nowhere
            // else, is listed.
            const std::optional<FolderId>& destination = reading.Destination();
            if (!destination || reading.Protected.Protects(path))
                continue;
            const std::vector<FolderId> parents = FolderParents(path);
            if (std::find(parents.begin(), parents.end(), *destination) == parents.end() ||
                ReachesThroughLinks(path))
                continue;
            reading.Lines.AddObject(FileLabel + path, &FolderMatchMark);
            continue;
        }
        reading.Lines.Add(FileLabel + path);
    }
    SearchEnd(match);
}

void ReadRecord(char letter, const std::string& argument, LogReading& reading)
{
    switch (letter) {
    case 'D':
        Form1->DestDir = argument;
        // NOTE: a destination that is not a plain full path, or that is a
        // protected folder under any name, gets no line, so it is never removed.
        if (IsRemovableFolder(argument, reading.Protected))
            reading.Lines.Add(DirectoryLabel + argument);
        break;
    case 'F':
        // A file the installation made has a plain full name; a pattern, a
        // relative name or a device name would delete what the log did not
        // name. A folder is not a file and gets no line either, nor does a
        // file reached through a link or a mount point.
        if (IsPlainFullPath(argument) && !HasWildcards(argument) && FileIsPresent(argument) &&
            reading.Folders.MayDeleteIn(FileDirPart(argument)))
            reading.Lines.Add(FileLabel + argument);
        break;
    case 'G': {
        // The group may lie in a folder of its own below the Programs folder
        // ("Tools\Halvarn 95"); only its deepest folder is removed.
        // NOTE: a name that is no such path, and a group that turns out to be
        // a protected folder, a mount point or a link, or to hold one, are
        // reported as not found: the user is told to look at it, and nothing
        // is removed.
        const std::string group = Form1->ProgramsDir + argument;
        if (ScriptFormat::IsGroupPath(argument) && IsRemovableFolder(group, reading.Protected) &&
            !ReachesThroughLinks(group)) {
            reading.Lines.Add(GroupLabel + argument);
            Form1->GroupName = UpperCaseAscii(argument);
        } else {
            reading.GroupsNotFound.push_back(argument);
        }
        break;
    }
    case 'U':
        AddPatternMatches(ResolvePath(argument), reading);
        break;
    default:
        break;
    }
}

} // namespace

void ProtectedFolders::Gather() const
{
    if (m_gathered)
        return;
    m_gathered = true;
    for (const std::string* dir : {&Form1->WinDir, &Form1->SysDir, &Form1->ProgramsDir, &Form1->StartupDir})
        Add(*dir);
    char buffer[MAX_PATH];
    for (UINT(WINAPI * get)(LPSTR, UINT) : {GetWindowsDirectoryA, GetSystemDirectoryA, GetSystemWindowsDirectoryA,
                                     GetSystemWow64DirectoryA}) {
        const UINT length = get(buffer, MAX_PATH);
        if (length > 0 && length < MAX_PATH)
            Add(std::string(buffer, length));
    }
    for (const char* variable : {"USERPROFILE", "ALLUSERSPROFILE", "PUBLIC", "ProgramData", "ProgramFiles",
                                 "ProgramFiles(x86)", "ProgramW6432", "CommonProgramFiles",
                                 "CommonProgramFiles(x86)", "CommonProgramW6432", "SystemRoot", "windir", "APPDATA",
                                 "LOCALAPPDATA", "TEMP", "TMP"}) {
        const DWORD length = GetEnvironmentVariableA(variable, buffer, MAX_PATH);
        if (length > 0 && length < MAX_PATH)
            Add(std::string(buffer, length));
    }
    const char* const shellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    const char* const userShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        for (const char* key : {shellFolders, userShellFolders}) {
            for (const std::string& folder : RegistryFolders(root, key))
                Add(folder);
        }
    }
    for (const std::string& folder :
         RegistryFolders(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                         {"ProgramFilesDir", "CommonFilesDir", "ProgramFilesDir (x86)", "CommonFilesDir (x86)",
                          "ProgramW6432Dir", "CommonW6432Dir"}))
        Add(folder);
    for (const std::string& folder :
         RegistryFolders(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
                         {"ProfilesDirectory", "Default", "Public", "ProgramData"}))
        Add(folder);
    const DWORD drives = GetLogicalDrives();
    for (int drive = 0; drive < 26; ++drive) {
        if ((drives & (1u << drive)) != 0)
            Add(std::string(1, static_cast<char>('A' + drive)) + ":\\");
    }
}

void ProtectedFolders::Add(const std::string& path) const
{
    // Many of the folders are named more than once (the registry keeps most
    // of them under two keys), and many share their parents: each name is
    // opened once.
    std::string key = UpperCaseAscii(path);
    while (key.size() > 1 && key.back() == '\\' && key[key.size() - 2] != ':')
        key.pop_back();
    if (path.empty() || !m_names.insert(key).second)
        return;
    if (const std::optional<FolderId> id = FolderIdentity(path))
        m_ids.insert(*id);
    for (const std::string& parent : FolderParentNames(path)) {
        if (!m_names.insert(UpperCaseAscii(parent)).second)
            continue;
        if (const std::optional<FolderId> id = FolderIdentity(parent))
            m_ids.insert(*id);
    }
}

bool ProtectedFolders::Protects(const std::string& folder) const
{
    Gather();
    const std::optional<FolderId> id = FolderIdentity(folder);
    // A folder with no folder above it by any reading of its name is a
    // volume's root, whichever letter, share or mount point reaches it.
    return !id || m_ids.count(*id) != 0 || FolderParents(folder).empty();
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
    // Every step is checked as it is read. The records are all read before
    // any is acted on, as a U record needs the destination that the log
    // names after it; a read error acts on the records before it and is
    // reported then.
    CheckedTextInput input(log);
    TextRecordReader reader(input, std::string_view());
    std::vector<TextRecord> records;
    std::exception_ptr failure;
    try {
        TextRecord record;
        while (reader.Next(record))
            records.push_back(std::move(record));
    } catch (...) {
        failure = std::current_exception();
    }
    std::string destination = Form1->DestDir;
    for (const TextRecord& record : records) {
        if (record.Command == 'D')
            destination = record.Argument;
    }
    // The protected folders are made afresh for each reading and kept for
    // the removals that follow it.
    m_protected.reset();
    LogReading reading{*ListBox1->Items(), Protected(), destination};
    for (const TextRecord& record : records)
        ReadRecord(record.Command, record.Argument, reading);
    // One message for every group not found, however many a damaged log
    // names.
    if (!reading.GroupsNotFound.empty())
        ShowMessageDialog(GroupsNotFoundText(reading.GroupsNotFound), MessageKind::Information, {mbOK}, 0);
    if (failure)
        std::rethrow_exception(failure);
    CloseTextFile(log);
    CheckInOut();
}

void TForm4::Button1Click(TObject*)
{
    TStrings& lines = *ListBox1->Items();
    // One pass from the top: every selected line is acted on in the order
    // the list shows them; then the list keeps the lines that were not
    // selected, in their order, as removing each selected line in turn
    // would leave it.
    std::string directoryLine;
    {
        // The list is drawn again once, when the loop is done: nothing is
        // shown between two lines, as no message is handled meanwhile.
        TStringsUpdate update(lines);
        const int count = lines.Count();
        // The lines with their list objects, which mark the folder matches.
        std::vector<std::pair<std::string, TObject*>> kept;
        FileFolders folders;
        for (int index = 0; index < count; ++index) {
            std::string line = lines.Get(index);
            TObject* const mark = lines.Objects(index);
            if (!ListBox1->Selected(index)) {
                kept.emplace_back(std::move(line), mark);
                continue;
            }
            switch (line.empty() ? '\0' : line[0]) {
            case 'F': {
                // A line whose name is still there when its removal is done
                // stays in the list.
                const std::string name = line.substr(FileLabel.size());
                if (mark == &FolderMatchMark)
                    DeletePro(name);
                else if (DeleteFileOnly(name, folders))
                    break;
                if (GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES)
                    kept.emplace_back(std::move(line), mark);
                break;
            }
            case 'D':
                directoryLine = line;
                break;
            case 'P':
                try {
                    // The group this line names, not the last one read.
                    DeletePro(Form1->ProgramsDir + line.substr(GroupLabel.size()));
                } catch (...) {
                    // Deliberately dropped: the group may have gone already,
                    // and the rest of the uninstallation goes on.
                }
                break;
            default:
                break;
            }
        }
        // NOTE: the list is made again from the kept lines rather than
        // losing the selected ones one at a time: the platform's list box
        // moves every line below a removed one, which made a hundred
        // thousand lines take minutes.
        if (static_cast<int>(kept.size()) != count) {
            lines.Clear();
            for (const auto& [line, mark] : kept)
                lines.AddObject(line, mark);
        }
    }
    if (!directoryLine.empty()) {
        // NOTE: the directory removed is the one the selected line names; a
        // later "D" record of the log may have changed DestDir to a folder
        // that was never listed.
        // Only the folder that holds the log goes with what is still in it,
        // and only when the user says so; any other folder a log names goes
        // only when it is empty, and otherwise stays with its line.
        const std::string dir = directoryLine.substr(DirectoryLabel.size());
        if (!RemoveDirectoryA(RemoveEnd(dir).c_str())) {
            const std::string question =
                dir + " still has files or folders in it.\r\rWould you like to Delete it and its contents, anyway?";
            if (HoldsTheLog(dir) &&
                ShowMessageDialog(question, MessageKind::Information, {mbYes, mbNo}, 0) == mrYes) {
                // NOTE: the file-open dialog that found the log made its
                // folder the current directory, which the system does not
                // let anyone remove: the current directory moves up first.
                ChangeDir(FileDirPart(RemoveEnd(dir)));
                DeletePro(dir);
            }
            if (IsExistingDirectory(dir))
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
    ListBox1->SelectAll();
}

void TForm4::DeletePro(const std::string& path)
{
    const std::string name = RemoveEnd(path);
    if (name.empty() || HasWildcards(name))
        return;
    // Only a folder can be protected; a file goes wherever it lies.
    const DWORD attributes = GetFileAttributesA(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    // NOTE: a folder that holds a link to a folder elsewhere is not deleted
    // either: the shell might delete what the link points to.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && (Protected().Protects(name) || ReachesThroughLinks(name)))
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

const ProtectedFolders& TForm4::Protected()
{
    if (!m_protected)
        m_protected.emplace();
    return *m_protected;
}

std::string TForm4::RemoveEnd(const std::string& path) const
{
    if (!path.empty() && path.back() == '\\')
        return path.substr(0, path.size() - 1);
    return path;
}
