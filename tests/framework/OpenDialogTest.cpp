// The file-open dialog component: its properties, the pieces of a run (the
// platform flags, the filter, the parsing of a multiple selection, the
// placement and the task-modal run) and real runs of the platform's dialog,
// driven from a timer that types into it and presses its buttons. Every run
// has a watchdog that fails the test instead of waiting for ever.
#include <windows.h>

#include <commdlg.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "tests/support/TempDir.h"
#include "tests/support/FrameworkTest.h"
#include "tests/support/UiDriver.h"

namespace {

std::string Upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

struct ChildSearch {
    const char* ClassName;
    HWND Found = nullptr;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<ChildSearch*>(data);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpiA(className, search->ClassName) == 0 && IsWindowVisible(window)) {
        search->Found = window;
        return FALSE;
    }
    return TRUE;
}

// The file name box of the open dialog: its first visible edit control.
HWND FileNameEdit(HWND dialog)
{
    ChildSearch search{"Edit"};
    EnumChildWindows(dialog, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// The entries of the dialog's file type box.
std::vector<std::string> FilterNames(HWND dialog)
{
    std::vector<std::string> names;
    HWND typeBox = GetDlgItem(dialog, cmb1);
    const int count = static_cast<int>(SendMessageA(typeBox, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        SendMessageA(typeBox, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        names.emplace_back(text);
    }
    return names;
}

// ---------------------------------------------------------------------------
// Properties and the pieces of a run

TEST(OpenDialog, PublishedPropertiesAndTheirDefaults)
{
    TOpenDialog dialog(nullptr);
    std::vector<std::string> names;
    for (const TPropInfo* p : dialog.ClassInfo().AllProperties())
        names.emplace_back(p->Name);
    const std::vector<std::string> expected = {"Name",        "Tag",        "Ctl3D",     "HelpContext",
                                               "DefaultExt",  "FileEditStyle", "FileName", "Filter",
                                               "FilterIndex", "HistoryList", "InitialDir", "Options",
                                               "Title"};
    EXPECT_EQ(names, expected);
    EXPECT_TRUE(dialog.Ctl3D());
    EXPECT_EQ(dialog.HelpContext(), 0);
    EXPECT_EQ(dialog.DefaultExt(), "");
    EXPECT_EQ(dialog.FileEditStyle(), fsEdit);
    EXPECT_EQ(dialog.FileName(), "");
    EXPECT_EQ(dialog.Filter(), "");
    EXPECT_EQ(dialog.FilterIndex(), 1);
    EXPECT_EQ(dialog.HistoryList()->Count(), 0);
    EXPECT_EQ(dialog.InitialDir(), "");
    EXPECT_EQ(dialog.Options().Bits(), 0u);
    EXPECT_EQ(dialog.Title(), "");
    EXPECT_EQ(dialog.Files()->Count(), 0);
}

TEST(OpenDialog, InitialDirDropsOneTrailingBackslashExceptARoot)
{
    TOpenDialog dialog(nullptr);
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\", "C:\\"},           {"C:\\SETUP\\", "C:\\SETUP"}, {"C:\\DATA", "C:\\DATA"},
        {"C:\\A\\\\", "C:\\A\\"},   {"\\", "\\"},                 {"", ""},
    };
    for (const auto& [written, kept] : cases) {
        SCOPED_TRACE(written);
        dialog.SetInitialDir(written);
        EXPECT_EQ(dialog.InitialDir(), kept);
    }
}

TEST(OpenDialog, EachOptionSetsItsFlagAndTheExplorerFlagIsToggled)
{
    const DWORD flags[] = {
        OFN_READONLY,         OFN_OVERWRITEPROMPT,    OFN_HIDEREADONLY,     OFN_NOCHANGEDIR,
        OFN_SHOWHELP,         OFN_NOVALIDATE,         OFN_ALLOWMULTISELECT, OFN_EXTENSIONDIFFERENT,
        OFN_PATHMUSTEXIST,    OFN_FILEMUSTEXIST,      OFN_CREATEPROMPT,     OFN_SHAREAWARE,
        OFN_NOREADONLYRETURN, OFN_NOTESTFILECREATE,   OFN_NONETWORKBUTTON,  OFN_NOLONGNAMES,
        OFN_EXPLORER,         OFN_NODEREFERENCELINKS,
    };
    for (int o = ofReadOnly; o <= ofNoDereferenceLinks; ++o) {
        SCOPED_TRACE(o);
        const TOpenOptions options{static_cast<TOpenOption>(o)};
        // On a platform of version 3 the explorer flag is always cleared.
        EXPECT_EQ(OpenDialogFlags(options, 3), (OFN_ENABLEHOOK | flags[o]) & ~static_cast<DWORD>(OFN_EXPLORER));
        EXPECT_EQ(OpenDialogFlags(options, 4), (OFN_ENABLEHOOK | flags[o]) ^ OFN_EXPLORER);
    }
    EXPECT_EQ(OpenDialogFlags({}, 4), static_cast<DWORD>(OFN_ENABLEHOOK | OFN_EXPLORER));
    EXPECT_EQ(OpenDialogFlags({ofOldStyleDialog}, 10), static_cast<DWORD>(OFN_ENABLEHOOK));
    EXPECT_EQ(OpenDialogFlags({ofFileMustExist, ofHideReadOnly}, 4),
              static_cast<DWORD>(OFN_ENABLEHOOK | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY));
}

TEST(OpenDialog, FilterBarsBecomeNulsWithADoubleNulAtTheEnd)
{
    const std::string log = PlatformFilter("Uninstall File (uninst.fls)|uninst.fls");
    EXPECT_EQ(log, std::string("Uninstall File (uninst.fls)\0uninst.fls\0", 39));
    EXPECT_EQ(log.c_str()[log.size()], '\0');
    // An odd number of parts passes the last description without a pattern.
    EXPECT_EQ(PlatformFilter("Text|*.txt|Orphan"), std::string("Text\0*.txt\0Orphan\0", 18));
    EXPECT_EQ(PlatformFilter(""), "");
}

TEST(OpenDialog, MultipleSelectionsOfBothStyles)
{
    using Files = std::vector<std::string>;
    auto parse = [](const std::string& buffer, bool explorer) {
        std::string padded = buffer + std::string(4, '\0');
        return ParseMultiSelection(padded.data(), padded.size(), explorer);
    };
    {
        SCOPED_TRACE("explorer style: NUL separated, a double NUL at the end");
        EXPECT_EQ(parse(std::string("C:\\SETUP\0a.txt\0b.txt\0", 21), true),
                  (Files{"C:\\SETUP\\a.txt", "C:\\SETUP\\b.txt"}));
        EXPECT_EQ(parse(std::string("C:\\SETUP\\one.txt\0", 17), true), (Files{"C:\\SETUP\\one.txt"}));
        EXPECT_EQ(parse(std::string("C:\\SETUP\0D:\\x.txt\0\\y.txt\0z.txt\0", 31), true),
                  (Files{"D:\\x.txt", "\\y.txt", "C:\\SETUP\\z.txt"}));
        // Files in a drive's root: the directory already ends in a backslash.
        EXPECT_EQ(parse(std::string("C:\\\0a.txt\0b.txt\0", 16), true), (Files{"C:\\a.txt", "C:\\b.txt"}));
        EXPECT_EQ(parse("", true), Files{});
    }
    {
        SCOPED_TRACE("old style: blank separated");
        EXPECT_EQ(parse("C:\\SETUP a.txt b.txt", false), (Files{"C:\\SETUP\\a.txt", "C:\\SETUP\\b.txt"}));
        EXPECT_EQ(parse("C:\\SETUP\\ONE.TXT", false), (Files{"C:\\SETUP\\ONE.TXT"}));
        EXPECT_EQ(parse("C:\\SETUP A:\\X.TXT", false), (Files{"A:\\X.TXT"}));
    }
    {
        SCOPED_TRACE("a full buffer without its own end stops at the buffer's size");
        const char full[] = {'C', ':', '\\', 'a'};
        EXPECT_EQ(ParseMultiSelection(full, sizeof full, true), (Files{"C:\\a"}));
        EXPECT_EQ(ParseMultiSelection(full, sizeof full, false), (Files{"C:\\a"}));
    }
}

TEST(OpenDialog, PlacedCentredWithAThirdOfTheSpareHeightAbove)
{
    const POINT p = OpenDialogPosition(RECT{5, 7, 5 + 100, 7 + 60}, 640, 480);
    EXPECT_EQ(p.x, 270);
    EXPECT_EQ(p.y, 140);
    const POINT odd = OpenDialogPosition(RECT{0, 0, 101, 61}, 640, 480);
    EXPECT_EQ(odd.x, 269);
    EXPECT_EQ(odd.y, 139);
}

// ---------------------------------------------------------------------------
// Real runs

class OpenDialogRun : public FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        form = new TForm(Application);
        form->SetBounds(20, 20, 200, 120);
        form->Show();
        dialog = new TOpenDialog(form);
        // The uninstaller's settings.
        dialog->SetTitle("Could not Find - uninst.fls");
        dialog->SetFileName("uninst.fls");
        dialog->SetFilter("Uninstall File (uninst.fls)|uninst.fls");
        dir.WriteFile("uninst.fls", "log");
        dialog->SetInitialDir(dir.Path());
    }
    // Runs the dialog; while it is up, whileShown runs once with its window.
    bool Run(const std::function<void(HWND)>& whileShown)
    {
        ThreadWindowAction driver("#32770", whileShown);
        Watchdog watchdog(8000);
        const bool result = dialog->RunDialog();
        EXPECT_TRUE(driver.Done()) << "the dialog was never seen";
        return result;
    }

    TempDir dir;
    TForm* form = nullptr;
    TOpenDialog* dialog = nullptr;
};

TEST_F(OpenDialogRun, OkReturnsTheFullPathOfTheLog)
{
    bool formEnabled = true;
    bool appEnabled = true;
    std::string caption;
    std::string typed;
    std::vector<std::string> types;
    RECT shown{};
    SetActiveWindow(form->Handle());
    const bool chosen = Run([&](HWND window) {
        formEnabled = IsWindowEnabled(form->Handle());
        appEnabled = IsWindowEnabled(Application->Handle());
        caption = WindowText(window);
        typed = WindowText(FileNameEdit(window));
        GetWindowRect(window, &shown);
        types = FilterNames(window);
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(chosen);
    EXPECT_EQ(caption, "Could not Find - uninst.fls");
    EXPECT_EQ(typed, "uninst.fls");
    EXPECT_EQ(types, std::vector<std::string>{"Uninstall File (uninst.fls)"});
    // Task-modal: the program's other windows were disabled meanwhile and
    // are enabled again, with the active window back.
    EXPECT_FALSE(formEnabled);
    EXPECT_FALSE(appEnabled);
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
    EXPECT_TRUE(IsWindowEnabled(Application->Handle()));
    EXPECT_EQ(GetActiveWindow(), form->Handle());
    // Placed by the hook: centred, a third of the spare height above.
    const POINT expected = OpenDialogPosition(shown, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(shown.left, expected.x);
    EXPECT_EQ(shown.top, expected.y);

    EXPECT_EQ(Upper(dialog->FileName()), Upper(dir / "uninst.fls"));
    ASSERT_EQ(dialog->Files()->Count(), 1);
    EXPECT_EQ(dialog->Files()->Get(0), dialog->FileName());
    EXPECT_EQ(dialog->FilterIndex(), 1);
    EXPECT_FALSE(dialog->Options().Contains(ofReadOnly));
    EXPECT_FALSE(dialog->Options().Contains(ofExtensionDifferent));
}

TEST_F(OpenDialogRun, CancelKeepsTheFileNameAndFilterIndex)
{
    dialog->Files()->Add("stale");
    const bool chosen = Run([&](HWND window) { PostMessageA(window, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_FALSE(chosen);
    EXPECT_EQ(dialog->FileName(), "uninst.fls");
    EXPECT_EQ(dialog->FilterIndex(), 1);
    // The list of chosen files is cleared at the start of every run.
    EXPECT_EQ(dialog->Files()->Count(), 0);
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
}

TEST_F(OpenDialogRun, ChosenFilterIndexAndReadOnlyBoxAreReadBack)
{
    dir.WriteFile("notes.txt", "text");
    dialog->SetFilter("Uninstall File (uninst.fls)|uninst.fls|Text|*.txt|Orphan");
    dialog->SetFilterIndex(1);
    dialog->SetFileName("notes.txt");
    dialog->SetDefaultExt("txtx");
    std::vector<std::string> types;
    const bool chosen = Run([&](HWND window) {
        types = FilterNames(window);
        HWND typeBox = GetDlgItem(window, cmb1);
        // The user picks the second filter, as the list box closing on a
        // choice notifies it, and ticks "read-only".
        SendMessageA(typeBox, CB_SETCURSEL, 1, 0);
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(typeBox));
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(typeBox));
        CheckDlgButton(window, chx1, BST_CHECKED);
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(chosen);
    ASSERT_GE(types.size(), 2u);
    EXPECT_EQ(types[0], "Uninstall File (uninst.fls)");
    EXPECT_EQ(types[1], "Text");
    EXPECT_EQ(dialog->FilterIndex(), 2);
    EXPECT_EQ(Upper(dialog->FileName()), Upper(dir / "notes.txt"));
    EXPECT_TRUE(dialog->Options().Contains(ofReadOnly));

    // Started read-only, the box unticked: the option is cleared.
    const bool again = Run([&](HWND window) {
        EXPECT_EQ(IsDlgButtonChecked(window, chx1), BST_CHECKED);
        CheckDlgButton(window, chx1, BST_UNCHECKED);
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(again);
    EXPECT_FALSE(dialog->Options().Contains(ofReadOnly));
}

TEST(OpenDialog, ReadBackTakesTwoOptionsFromTheReturnedFlags)
{
    const TOpenOptions before{ofReadOnly, ofFileMustExist, ofHideReadOnly};
    EXPECT_EQ(ReadBackOptions(before, OFN_EXTENSIONDIFFERENT | OFN_FILEMUSTEXIST).Bits(),
              (TOpenOptions{ofExtensionDifferent, ofFileMustExist, ofHideReadOnly}.Bits()));
    EXPECT_EQ(ReadBackOptions(TOpenOptions{ofExtensionDifferent}, OFN_READONLY).Bits(),
              (TOpenOptions{ofReadOnly}.Bits()));
    // Flags the options do not read back leave them alone.
    EXPECT_EQ(ReadBackOptions(TOpenOptions{}, OFN_NOCHANGEDIR | OFN_EXPLORER).Bits(), 0u);
}

TEST_F(OpenDialogRun, TypedNameTakesTheFirstThreeCharactersOfTheDefaultExtension)
{
    dialog->SetDefaultExt("flsx");
    dialog->SetFilter("All|*.*");
    std::string shownCaption;
    dialog->SetTitle("");
    const bool chosen = Run([&](HWND window) {
        shownCaption = WindowText(window);
        SetWindowTextA(FileNameEdit(window), "uninst");
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(chosen);
    EXPECT_EQ(Upper(dialog->FileName()), Upper(dir / "uninst.fls"));
    // Without a title the platform's own caption shows.
    EXPECT_FALSE(shownCaption.empty());
}

TEST_F(OpenDialogRun, MultipleSelectionListsEveryChosenFile)
{
    dir.WriteFile("a.txt", "a");
    dir.WriteFile("b.txt", "b");
    dialog->SetOptions(TOpenOptions{ofAllowMultiSelect});
    dialog->SetFilter("All|*.*");
    const bool chosen = Run([&](HWND window) {
        SetWindowTextA(FileNameEdit(window), "\"a.txt\" \"b.txt\"");
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(chosen);
    ASSERT_EQ(dialog->Files()->Count(), 2);
    EXPECT_EQ(Upper(dialog->Files()->Get(0)), Upper(dir / "a.txt"));
    EXPECT_EQ(Upper(dialog->Files()->Get(1)), Upper(dir / "b.txt"));
    EXPECT_EQ(dialog->FileName(), dialog->Files()->Get(0));
}

TEST_F(OpenDialogRun, OldStyleDialogIsPlacedByItsHookToo)
{
    dialog->SetOptions(TOpenOptions{ofOldStyleDialog});
    RECT shown{};
    const bool chosen = Run([&](HWND window) {
        GetWindowRect(window, &shown);
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(chosen);
    const POINT expected = OpenDialogPosition(shown, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(shown.left, expected.x);
    EXPECT_EQ(shown.top, expected.y);
    EXPECT_EQ(Upper(dialog->FileName()), Upper(dir / "uninst.fls"));
}

TEST_F(OpenDialogRun, TaskModalRunRestoresTheWindowsAlsoOnAnException)
{
    SetActiveWindow(form->Handle());
    bool enabledMeanwhile = true;
    EXPECT_EQ(RunTaskModal([&] {
                  enabledMeanwhile = IsWindowEnabled(form->Handle());
                  return 7;
              }),
              7);
    EXPECT_FALSE(enabledMeanwhile);
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));

    auto* other = new TForm(Application);
    other->SetBounds(250, 20, 150, 100);
    other->Show();
    SetActiveWindow(form->Handle());
    std::string error;
    try {
        RunTaskModal([&]() -> int {
            enabledMeanwhile = IsWindowEnabled(form->Handle()) || IsWindowEnabled(other->Handle());
            throw std::runtime_error("dialog failed");
        });
    } catch (const std::runtime_error& e) {
        error = e.what();
    }
    EXPECT_EQ(error, "dialog failed");
    EXPECT_FALSE(enabledMeanwhile);
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
    EXPECT_TRUE(IsWindowEnabled(other->Handle()));
    EXPECT_TRUE(IsWindowEnabled(Application->Handle()));
    EXPECT_EQ(GetActiveWindow(), form->Handle());
}

} // namespace
