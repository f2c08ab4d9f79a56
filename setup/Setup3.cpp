#include "setup/Setup3.h"

#include <windows.h>

#include <algorithm>

#include "framework/MessageDialogs.h"
#include "runtime/Convert.h"
#include "runtime/Files.h"
#include "runtime/Format.h"
#include "runtime/Paths.h"
#include "runtime/ResStrings.h"
#include "runtime/Search.h"
#include "setup/ScriptFormat.h"
#include "setup/Setup1.h"
#include "setup/Setup2.h"
#include "setup/Setup4.h"
#include "setup/Setup5.h"

TForm3* Form3 = nullptr;

const TClassInfo& TForm3::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TForm3, TForm>("TForm3")
        .Field<&TForm3::Label1>("Label1")
        .Field<&TForm3::Label3>("Label3")
        .Field<&TForm3::Edit2>("Edit2")
        .Field<&TForm3::Button1>("Button1")
        .Field<&TForm3::Button2>("Button2")
        .Field<&TForm3::Button3>("Button3")
        .Field<&TForm3::Button5>("Button5")
        .Field<&TForm3::Label2>("Label2")
        .Field<&TForm3::GroupBox1>("GroupBox1")
        .Field<&TForm3::Label5>("Label5")
        .Field<&TForm3::Image1>("Image1")
        .Field<&TForm3::Label6>("Label6")
        .Field<&TForm3::Label7>("Label7")
        .Field<&TForm3::OpenDialog1>("OpenDialog1")
        .Method<TNotifyEvent, &TForm3::Button3Click>("Button3Click")
        .Method<TNotifyEvent, &TForm3::Button2Click>("Button2Click")
        .Method<TNotifyEvent, &TForm3::Button1Click>("Button1Click")
        .Method<TNotifyEvent, &TForm3::Form3Activate>("Form3Activate")
        .Method<TNotifyEvent, &TForm3::Button4Click>("Button4Click")
        .Method<TNotifyEvent, &TForm3::Form3Create>("Form3Create")
        .Method<TNotifyEvent, &TForm3::Form3Destroy>("Form3Destroy")
        .Method<TCloseEvent, &TForm3::Form3Close>("Form3Close")
        .Build();
    return info;
}

void TForm3::Form3Create(TObject*)
{
    CopyList = std::make_unique<TStringList>();
}

void TForm3::Form3Destroy(TObject*)
{
    CopyList.reset();
}

void TForm3::Form3Activate(TObject*)
{
    Edit2->SetText(Form1->DestDir);
    Label1->SetCaption(Form1->ProductTitle + " will be installed into the following directory.");
    Form1->SetCaption(Form1->ProductTitle + " Setup");
    CalcSpace();
}

void TForm3::Button1Click(TObject*)
{
    Hide();
    Form2->Show();
}

void TForm3::Button2Click(TObject*)
{
    Form1->DestDir = Form1->CheckPath(Edit2->Text());
    CalcSpace();
    // NOTE: an empty or relative destination would install into the root or
    // below the current folder of the process, over files of the user and
    // with relative names in the log; a destination too long for its files
    // would leave a chain of empty folders behind when the first copy fails.
    // Both are refused before anything is created, and the dialog stays.
    if (!IsDestinationFolder(Form1->DestDir)) {
        ShowMessageDialog(LoadResString(StrId::SDestinationNotFull), MessageKind::Warning, {mbOK}, 0);
        return;
    }
    const size_t longest = LongestDestination();
    if (Form1->DestDir.size() > longest) {
        // The user types the directory without its trailing backslash.
        const int typed = static_cast<int>(longest) - 1;
        ShowMessageDialog(Format(LoadResString(StrId::SDestinationTooLong), {typed}), MessageKind::Warning, {mbOK},
                          0);
        return;
    }
    // NOTE: a file where a folder of the destination should be would stop
    // the run at its first copy, with the folders above it already made.
    const std::string file = FileInTheWay(Form1->DestDir);
    if (!file.empty()) {
        ShowMessageDialog(Format(LoadResString(StrId::SDestinationIsFile), {file}), MessageKind::Warning, {mbOK}, 0);
        return;
    }
    // Asked before the space: a user who answers No chooses another folder,
    // whose drive may have other space, and is not asked about space twice.
    if (HoldsOtherFiles(Form1->DestDir)) {
        const std::string shown = Form1->DestDir.substr(0, Form1->DestDir.size() - 1);
        if (ShowMessageDialog(Format(LoadResString(StrId::SDestinationHoldsFiles), {shown}),
                              MessageKind::Confirmation, {mbYes, mbNo}, 0, mbNo) != mrYes)
            return;
    }
    // The free space is asked again here, not taken from the labels.
    bool enough = DriveFreeSpace(WinDrive, WinDriveNum) >= WinNeed;
    if (DestDrive != WinDrive)
        enough = enough && DriveFreeSpace(DestDrive, DestDriveNum) >= DestNeed;
    if (!enough) {
        const std::string text = "There is not enough space on your Drive.\rContinue Anyway?";
        if (ShowMessageDialog(text, MessageKind::Information, {mbYes, mbNo}, 0) == mrNo)
            return;
    }
    // Failures are met by the installation run, which reports them.
    CreateDirectoryPath(std::string_view(Form1->DestDir).substr(0, Form1->DestDir.size() - 1));
    Hide();
    Form5->Show();
}

void TForm3::Button3Click(TObject*)
{
    ConfirmExit();
}

void TForm3::Form3Close(TObject*, TCloseAction& action)
{
    ConfirmClose(action);
}

void TForm3::Button4Click(TObject*)
{
    OpenDialog1->SetPath(CurrentDir());
    // The result is not looked at: after Cancel, Path is still the current
    // directory.
    OpenDialog1->RunDialog();
    OpenDialog1->SetPath(Form4->RemoveEnd(OpenDialog1->Path()));
    Edit2->SetText(OpenDialog1->Path() + "\\" + Form1->DestName);
    Form1->DestDir = Form1->CheckPath(Edit2->Text());
    CalcSpace();
}

// ---------------------------------------------------------------------------
// The space check

std::string WinDrive;
std::string DestDrive;
uint8_t WinDriveNum = 0;
uint8_t DestDriveNum = 0;

uint8_t DriveNumber(const std::string& drive)
{
    // NOTE: every letter counts, M to Z included, so that those drives show
    // and are checked against their own free space; anything else (a network
    // share, no drive at all) has no number.
    const char letter = drive.empty() ? '\0' : static_cast<char>(drive[0] & ~0x20);
    if (letter < 'A' || letter > 'Z')
        return 0;
    return static_cast<uint8_t>(letter - 'A' + 1);
}

bool IsDestinationFolder(const std::string& dir)
{
    std::string_view rest(dir);
    if (rest.empty() || rest.back() != '\\')
        return false;
    rest.remove_suffix(1);
    const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (rest.size() >= 3 && isLetter(rest[0]) && rest[1] == ':' && rest[2] == '\\') {
        rest.remove_prefix(3);
    } else if (rest.substr(0, 2) == "\\\\") {
        // The server and the share; "\\?\" and "\\.\" name no share.
        rest.remove_prefix(2);
        for (int part = 0; part < 2; ++part) {
            const size_t end = rest.find('\\');
            if (end == std::string_view::npos || !ScriptFormat::IsPlainName(rest.substr(0, end)))
                return false;
            rest.remove_prefix(end + 1);
        }
    } else {
        return false;
    }
    // Below the root the folders follow the rule of a Start Menu group:
    // plain names joined by single backslashes, none of them "." or "..".
    return ScriptFormat::IsGroupPath(rest);
}

std::string FileInTheWay(const std::string& dir)
{
    // The root itself is no file; the folders below it are looked at from
    // the top down.
    for (size_t end = dir.find('\\', FileDrivePart(dir).size() + 1); end != std::string::npos;
         end = dir.find('\\', end + 1)) {
        const std::string folder = dir.substr(0, end);
        if (FileIsPresent(folder))
            return folder;
    }
    return std::string();
}

bool HoldsOtherFiles(const std::string& dir)
{
    // NOTE: an earlier installation's log makes this a reinstallation: its
    // files are the product's own, and are replaced without a question.
    if (FileIsPresent(dir + std::string(ScriptFormat::LogName)))
        return false;
    TSearchRec entry;
    for (int found = SearchFirst(dir + "*", faAnyFile, entry); found == 0; found = SearchNext(entry)) {
        if (entry.Name != "." && entry.Name != "..")
            return true;
    }
    return false;
}

size_t LongestDestination()
{
    size_t longestName = ScriptFormat::LogName.size();
    const auto add = [&](const std::string& coded) {
        if (!coded.empty() && coded[0] == 'D')
            longestName = std::max(longestName, coded.size() - 1);
    };
    for (int i = 0; i < Form3->CopyList->Count(); ++i)
        add(Form3->CopyList->Get(i));
    for (int i = 1; i < Form1->OptionList->Count(); i += 2)
        add(Form1->OptionList->Get(i));
    for (int i = 0; i < Form1->PifList->Count(); ++i)
        longestName = std::max(longestName, Form1->PifList->Get(i).size() + 4);
    // A full file name holds at most MAX_PATH - 1 characters; a directory
    // name must leave room for a short file name in it (MAX_PATH - 12,
    // terminating NUL included), or CreateDirectory refuses it.
    constexpr size_t longestFile = MAX_PATH - 1;
    constexpr size_t longestFolder = MAX_PATH - 12;
    return std::min(longestFile - std::min(longestFile, longestName), longestFolder);
}

int64_t DriveFreeSpace(const std::string& drive, uint8_t number)
{
    // A network share has no drive number: its own root is asked. A path
    // without a drive lies on the current drive, number 0.
    if (number == 0 && !drive.empty())
        return FreeSpaceOfRoot(drive + "\\");
    return FreeSpace(number);
}

namespace {

std::string Kilobytes(int64_t bytes)
{
    // Truncating toward zero: a failed query (-1) shows as 0 kb.
    return std::to_string(bytes / 1024) + " kb";
}

} // namespace

void CalcSpace()
{
    TForm3& form = *Form3;
    form.CopyList->Clear();
    form.WinNeed = 0;
    form.DestNeed = 0;
    WinDrive = UpperCaseAscii(FileDrivePart(Form1->WinDir));
    DestDrive = UpperCaseAscii(FileDrivePart(Form1->DestDir));
    for (int i = 0; i < Form1->FileList->Count(); ++i) {
        const std::string line = Form1->FileList->Get(i);
        const size_t brace = line.find('{');
        const int64_t size =
            ParseInteger(brace == std::string::npos ? std::string_view(line) : std::string_view(line).substr(brace + 1));
        switch (line.empty() ? '\0' : line[0]) {
        case 'A':
        case 'D':
        case 'N':
            form.DestNeed += size;
            break;
        case 'S':
        case 'T':
        case 'W':
            form.WinNeed += size;
            break;
        default:
            break;
        }
        // NOTE: in a line without "{" the whole line is the size text; it
        // passes only when the line is a number, and then lists as empty.
        form.CopyList->Add(brace == std::string::npos ? std::string() : line.substr(0, brace));
    }
    WinDriveNum = DriveNumber(WinDrive);
    if (DestDrive == WinDrive) {
        form.WinNeed += form.DestNeed;
        form.DestNeed = 0;
        form.Label5->SetCaption(WinDrive);
        form.Label6->SetCaption(Kilobytes(form.WinNeed));
        form.Label7->SetCaption(Kilobytes(DriveFreeSpace(WinDrive, WinDriveNum)));
    } else {
        DestDriveNum = DriveNumber(DestDrive);
        form.Label5->SetCaption(DestDrive + "\r" + WinDrive);
        form.Label6->SetCaption(Kilobytes(form.DestNeed) + "\r" + Kilobytes(form.WinNeed));
        form.Label7->SetCaption(Kilobytes(DriveFreeSpace(DestDrive, DestDriveNum)) + "\r" +
                                Kilobytes(DriveFreeSpace(WinDrive, WinDriveNum)));
    }
}
