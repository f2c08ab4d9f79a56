// The uninstaller on its real form: the log read into list lines, the
// file-open dialog when the log is not beside the program, the removal of
// the selected lines with the question for a directory that still has
// contents, the folders it never removes whatever the log says, and the
// cost of removing many lines.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "runtime/Files.h"
#include "runtime/Paths.h"
#include "setup/Setup1.h"
#include "setup/Setup4.h"
#include "tests/setup/SetupFixture.h"
#include "tests/support/UiDriver.h"

namespace {

using Strings = std::vector<std::string>;

class UninstallTest : public SetupTest {
protected:
    void SetUp() override
    {
        SetupTest::SetUp();
        UseTestFolders();
    }

    // Writes the log beside the program, which runs from the folder (below
    // the test's folder, ending in a backslash; its own folder unless
    // given); records are letter and argument.
    void WriteLog(const Strings& records, const std::string& folder = "")
    {
        std::string text;
        for (const std::string& line : records)
            text += line + "\r\n";
        m_dir.WriteFile(folder + "uninst.fls", text);
        Form1->SourceDir = UpperCaseAscii(m_dir / folder);
    }

    // Shows the form, which reads the log, answering the messages of the
    // reading with OK; returns the messages seen.
    std::vector<MessageDialogAnswerer::Dialog> ShowForm()
    {
        MessageDialogAnswerer answerer([](const std::string&, const std::string&) { return std::string("OK"); });
        Watchdog watchdog(8000);
        Form4->Show();
        PumpFor(100);
        return answerer.Seen;
    }

    Strings ListLines() const
    {
        Strings lines;
        for (int i = 0; i < Form4->ListBox1->Items()->Count(); ++i)
            lines.push_back(Form4->ListBox1->Items()->Get(i));
        return lines;
    }

    // Presses Uninstall, answering its questions as answer says; returns
    // the dialogs seen. The program ends afterwards.
    std::vector<MessageDialogAnswerer::Dialog> Uninstall(const MessageDialogAnswerer::Answer& answer)
    {
        MessageDialogAnswerer answerer(answer);
        Watchdog watchdog(60000);
        Form4->Button1Click(Form4->Button1);
        EXPECT_TRUE(PumpUntil([] { return Application->Terminated(); }));
        return answerer.Seen;
    }

    static std::string Ok(const std::string&, const std::string&) { return "OK"; }
};

TEST_F(UninstallTest, EveryRecordKindIsListedWhenItsItemExists)
{
    m_dir.WriteFile("DEST\\a.TMP", "");
    m_dir.WriteFile("DEST\\b.TMP", "");
    m_dir.WriteFile("DEST\\halvarn95.exe", "x");
    CreateDirectoryA((m_dir / "MENU\\PROGRAMS\\Halvarn 95").c_str(), nullptr);
    // The U record is resolved with the destination the script gave, before
    // the log's own D record changes it.
    WriteLog({"U", "D*.TMP", "F", Form1->DestDir + "halvarn95.exe", "F", Form1->DestDir + "gone.exe",
              "Gextra text on the letter line", "Halvarn 95", "G", "Old Group", "X", "skipped", "D",
              m_dir / "DEST\\"});
    const auto seen = ShowForm();
    const std::string d = m_dir / "DEST\\";
    EXPECT_EQ(ListLines(), (Strings{"File - " + d + "a.TMP", "File - " + d + "b.TMP", "File - " + d + "halvarn95.exe",
                                    "Program Manager Group - Halvarn 95", "Directory - " + d}));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Caption, "Information");
    EXPECT_EQ(seen[0].Text, "Could not find the Old Group Group.\r\rIt may need to be removed manually.");
    EXPECT_EQ(Form1->GroupName, "HALVARN 95");
    EXPECT_EQ(Form1->DestDir, d);
    EXPECT_EQ(UpperCaseAscii(UninstallFileName), UpperCaseAscii(m_dir / "uninst.fls"));

    // Each showing reads the log again.
    WriteLog({"D", d});
    Form4->Hide();
    ShowForm();
    EXPECT_EQ(ListLines(), (Strings{"Directory - " + d}));
}

TEST_F(UninstallTest, SelectAllAndUninstallRemovesEverythingWithoutAQuestion)
{
    const std::string d = m_dir / "DEST\\";
    m_dir.WriteFile("DEST\\halvarn95.exe", "x");
    m_dir.WriteFile("DEST\\readme.txt", "x");
    m_dir.WriteFile("DEST\\old.TMP", "x");
    CreateDirectoryA((m_dir / "MENU\\PROGRAMS\\Halvarn 95").c_str(), nullptr);
    m_dir.WriteFile("MENU\\PROGRAMS\\Halvarn 95\\Halvarn 95.lnk", "link");
    WriteLog({"U", "D*.TMP", "F", d + "halvarn95.exe", "F", d + "readme.txt", "G", "Halvarn 95", "D", d});
    ShowForm();
    ASSERT_EQ(ListLines().size(), 5u);
    Form4->Button4Click(Form4->Button4);
    EXPECT_EQ(Form4->ListBox1->SelCount(), 5);
    const auto seen = Uninstall(Ok);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Text, "Uninstall is Complete");
    EXPECT_FALSE(IsExistingDirectory(d));
    EXPECT_FALSE(IsExistingDirectory(m_dir / "MENU\\PROGRAMS\\Halvarn 95"));
    EXPECT_TRUE(ListLines().empty());
    EXPECT_TRUE(IsExistingDirectory(m_dir / "MENU\\PROGRAMS"));
}

// Only the directory line selected while files remain in it. When the
// directory holds the log: the question; No puts the line back at the end
// and keeps everything, Yes removes the directory with what is in it. When
// the log lies elsewhere: no question, and the directory stays with its
// line. The program ends either way.
TEST_F(UninstallTest, ADirectoryWithContentsIsRemovedOnlyOnYesWhenItHoldsTheLog)
{
    const std::string d = m_dir / "DEST\\";
    for (const std::string answer : {"&No", "&Yes", "none: the log lies beside the program"}) {
        SCOPED_TRACE(answer);
        const bool asked = answer[0] == '&';
        m_dir.WriteFile("DEST\\halvarn95.exe", "x");
        WriteLog({"D", d, "F", d + "halvarn95.exe"}, asked ? "DEST\\" : "");
        ShowForm();
        ASSERT_EQ(ListLines(), (Strings{"Directory - " + d, "File - " + d + "halvarn95.exe"}));
        Form4->ListBox1->SetSelected(0, true);
        const auto seen = Uninstall([&](const std::string&, const std::string& text) {
            return text == "Uninstall is Complete" ? std::string("OK") : answer;
        });
        ASSERT_EQ(seen.size(), asked ? 2u : 1u);
        if (asked) {
            EXPECT_EQ(seen[0].Text, d + " still has files or folders in it.\r\rWould you like to Delete it and its "
                                        "contents, anyway?");
        }
        EXPECT_EQ(seen.back().Text, "Uninstall is Complete");
        const bool yes = answer == "&Yes";
        EXPECT_EQ(IsExistingDirectory(d), !yes);
        if (!yes) {
            EXPECT_EQ(ListLines(), (Strings{"File - " + d + "halvarn95.exe", "Directory - " + d}));
        }
        // A fresh program for the next answer.
        TearDown();
        SetUp();
    }
}

// The log is not beside the program: the file-open dialog asks for it.
// Cancel leaves the list empty, and Uninstall then removes nothing and ends
// the program; a chosen log is read.
TEST_F(UninstallTest, WithoutALogBesideTheProgramTheUserIsAskedForOne)
{
    const std::string elsewhere = m_dir / "DEST\\";
    m_dir.WriteFile("DEST\\uninst.fls", "D\r\n" + elsewhere + "\r\n");
    auto runDialog = [&](bool choose) {
        std::string caption;
        ThreadWindowAction driver("#32770", [&](HWND window) {
            caption = WindowText(window);
            if (!choose) {
                PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
                return;
            }
            HWND edit = FindWindowExA(window, nullptr, "Edit", nullptr);
            SetWindowTextA(edit, (elsewhere + "uninst.fls").c_str());
            PostMessageA(window, WM_COMMAND, IDOK, 0);
        });
        Watchdog watchdog(8000);
        Form4->Show();
        EXPECT_TRUE(driver.Done());
        return caption;
    };
    EXPECT_EQ(runDialog(false), "Could not Find - uninst.fls");
    EXPECT_TRUE(ListLines().empty());
    EXPECT_TRUE(Form4->Visible());
    Form4->Hide();
    EXPECT_EQ(runDialog(true), "Could not Find - uninst.fls");
    EXPECT_EQ(ListLines(), (Strings{"Directory - " + elsewhere}));
    EXPECT_EQ(UpperCaseAscii(UninstallFileName), UpperCaseAscii(elsewhere + "uninst.fls"));

    Form4->ListBox1->Items()->Clear();
    const auto seen = Uninstall(Ok);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Text, "Uninstall is Complete");
    EXPECT_TRUE(IsExistingDirectory(elsewhere));
}

// Whatever the log says, the uninstaller lists and removes nothing that
// would take the searched folder, its parent, the Programs folder or a
// folder the system needs with it.
TEST_F(UninstallTest, TheLogCannotMakeItRemoveVitalFolders)
{
    const std::string d = m_dir / "DEST\\";
    m_dir.WriteFile("DEST\\a.dat", "");
    CreateDirectoryA((d + "sub").c_str(), nullptr);
    CreateDirectoryA((m_dir / "MENU\\PROGRAMS\\Halvarn 95").c_str(), nullptr);
    m_dir.WriteFile("MENU\\PROGRAMS\\other.lnk", "someone else's item");
    m_dir.WriteFile("WIN\\win.ini", "");
    {
        SCOPED_TRACE("U patterns match . and .. of the folder they search, and folders outside the destination");
        WriteLog({"U", "D*", "U", "D.*", "U", "N" + m_dir.Path() + "MENU\\PROGRAMS\\H*", "U", "Nsub\\*"}, "DEST\\");
        ShowForm();
        Strings lines = ListLines();
        std::sort(lines.begin(), lines.end());
        EXPECT_EQ(lines, (Strings{"File - " + d + "a.dat", "File - " + d + "sub", "File - " + d + "uninst.fls"}));
        Form4->Hide();
        // A destination that does not hold the log has none of its folders
        // listed.
        WriteLog({"U", "D*"});
        ShowForm();
        lines = ListLines();
        std::sort(lines.begin(), lines.end());
        EXPECT_EQ(lines, (Strings{"File - " + d + "a.dat", "File - " + d + "uninst.fls"}));
        Form4->Hide();
        DeleteFileA((d + "uninst.fls").c_str());
    }
    {
        SCOPED_TRACE("G records naming no folder below the Programs folder, or one the system needs");
        Strings log{"G", "", "G", "..", "G", "..\\PROGRAMS", "G", "Halvarn 95\\..", "G", ".", "G", "STARTUP", "G",
                    "Halvarn 95"};
        // Nineteen more that are not there: one message names the first 20.
        std::string named = "\r\r\r..\r..\\PROGRAMS\rHalvarn 95\\..\r.\rSTARTUP";
        for (int i = 1; i <= 19; ++i) {
            log.insert(log.end(), {"G", "Gone " + std::to_string(i)});
            if (i <= 14)
                named += "\rGone " + std::to_string(i);
        }
        WriteLog(log);
        const auto seen = ShowForm();
        EXPECT_EQ(ListLines(), (Strings{"Program Manager Group - Halvarn 95"}));
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].Text,
                  "Could not find these Groups:" + named + "\rand 5 more\r\rThey may need to be removed manually.");
        Form4->Hide();
    }
    {
        SCOPED_TRACE("D records naming a root or a folder the system needs");
        WriteLog({"D", "C:\\", "D", "C:", "D", Form1->WinDir, "D", Form1->SysDir, "D", Form1->ProgramsDir, "D",
                  Form1->StartupDir, "D", m_dir / "MENU\\", "D", m_dir.Path(), "D", m_dir / "WIN\\SYSTEM\\..\\",
                  "U", "N" + m_dir.Path() + "MENU", "U", "N" + m_dir.Path() + "W*", "F", m_dir / "WIN\\*", "D", d});
        ShowForm();
        EXPECT_EQ(ListLines(), (Strings{"Directory - " + d}));
    }
    // Asked directly, the delete operation refuses them too.
    for (const std::string& vital : {Form1->WinDir, Form1->SysDir, Form1->ProgramsDir, Form1->StartupDir,
                                     m_dir / "MENU\\", m_dir.Path()})
        Form4->DeletePro(vital);
    EXPECT_TRUE(FileIsPresent(m_dir / "WIN\\win.ini"));
    EXPECT_TRUE(IsExistingDirectory(Form1->SysDir));
    EXPECT_TRUE(IsExistingDirectory(Form1->StartupDir));
    EXPECT_TRUE(FileIsPresent(m_dir / "MENU\\PROGRAMS\\other.lnk"));
    const ProtectedFolders protectedFolders;
    EXPECT_TRUE(protectedFolders.Protects("C:\\"));
    EXPECT_TRUE(protectedFolders.Protects(m_dir / "MENU\\PROGRAMS\\STARTUP\\..\\"));
    EXPECT_TRUE(protectedFolders.Protects(m_dir / "MISSING\\"));
    EXPECT_FALSE(protectedFolders.Protects(d));
    EXPECT_FALSE(protectedFolders.Protects(d + "sub"));

    // A log with only vital records and Select All: nothing goes, as the
    // destination does not hold the log and is not empty.
    Form4->Button4Click(Form4->Button4);
    Uninstall([](const std::string& , const std::string& text) {
        return std::string(text == "Uninstall is Complete" ? "OK" : "&Yes");
    });
    EXPECT_TRUE(FileIsPresent(d + "a.dat"));
    EXPECT_TRUE(IsExistingDirectory(Form1->ProgramsDir));
    EXPECT_TRUE(FileIsPresent(m_dir / "MENU\\PROGRAMS\\other.lnk"));
}

// Each group line removes the folder it names, also when the log names
// further groups after it, and a group in a folder of its own below the
// Programs folder is listed and removed without that folder.
TEST_F(UninstallTest, EachGroupLineRemovesTheGroupItNames)
{
    const std::string programs = m_dir / "MENU\\PROGRAMS\\";
    for (const std::string group : {"Halvarn 95", "Other", "Tools\\Halvarn 95"}) {
        CreateDirectoryPath(programs + group);
        m_dir.WriteFile("MENU\\PROGRAMS\\" + group + "\\Halvarn 95.lnk", "link");
    }
    m_dir.WriteFile("MENU\\PROGRAMS\\Tools\\Editor.lnk", "someone else's item");
    WriteLog({"G", "Halvarn 95", "G", "Tools\\Halvarn 95", "G", "Tools\\..\\Other", "G", "Other"});
    const auto seen = ShowForm();
    EXPECT_EQ(ListLines(), (Strings{"Program Manager Group - Halvarn 95", "Program Manager Group - Tools\\Halvarn 95",
                                    "Program Manager Group - Other"}));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Text, "Could not find the Tools\\..\\Other Group.\r\rIt may need to be removed manually.");
    EXPECT_EQ(Form1->GroupName, "OTHER");
    Form4->ListBox1->SetSelected(0, true);
    Form4->ListBox1->SetSelected(1, true);
    Uninstall(Ok);
    EXPECT_FALSE(IsExistingDirectory(programs + "Halvarn 95"));
    EXPECT_FALSE(IsExistingDirectory(programs + "Tools\\Halvarn 95"));
    EXPECT_TRUE(FileIsPresent(programs + "Tools\\Editor.lnk"));
    EXPECT_TRUE(FileIsPresent(programs + "Other\\Halvarn 95.lnk"));
    EXPECT_EQ(ListLines(), (Strings{"Program Manager Group - Other"}));
}

// A line of an F record removes a file and never a folder, even when a
// folder has taken the file's name since the list was made: that line
// stays. A folder that a U pattern matched inside the destination, which
// holds the log, goes with what it holds.
TEST_F(UninstallTest, AFileLineRemovesAFolderOnlyWhenAPatternMatchedOne)
{
    const std::string d = m_dir / "DEST\\";
    m_dir.WriteFile("DEST\\x", "the installation's");
    m_dir.WriteFile("DEST\\y", "the installation's");
    CreateDirectoryA((d + "sub").c_str(), nullptr);
    m_dir.WriteFile("DEST\\sub\\data.txt", "the installation's");
    WriteLog({"U", "Dsub*", "F", d + "x", "F", d + "y"}, "DEST\\");
    ShowForm();
    ASSERT_EQ(ListLines(), (Strings{"File - " + d + "sub", "File - " + d + "x", "File - " + d + "y"}));
    ASSERT_TRUE(DeleteFileA((d + "x").c_str()));
    CreateDirectoryPath(d + "x\\inner");
    m_dir.WriteFile("DEST\\x\\inner\\data.txt", "the user's");
    Form4->Button4Click(Form4->Button4);
    Uninstall(Ok);
    EXPECT_FALSE(IsExistingDirectory(d + "sub"));
    EXPECT_FALSE(FileIsPresent(d + "y"));
    EXPECT_EQ(m_dir.ReadFile("DEST\\x\\inner\\data.txt"), "the user's");
    EXPECT_EQ(ListLines(), (Strings{"File - " + d + "x"}));
}

TEST_F(UninstallTest, RemoveEndDropsOneBackslash)
{
    EXPECT_EQ(Form4->RemoveEnd("C:\\APP\\\\"), "C:\\APP\\");
    EXPECT_EQ(Form4->RemoveEnd("C:\\APP\\"), "C:\\APP");
    EXPECT_EQ(Form4->RemoveEnd("C:\\APP"), "C:\\APP");
    EXPECT_EQ(Form4->RemoveEnd(""), "");
}

// Counts the list box messages the thread sends to one window.
class ListBoxCalls {
public:
    explicit ListBoxCalls(HWND window)
    {
        s_window = window;
        s_count = 0;
        m_hook = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
    }
    ~ListBoxCalls() { UnhookWindowsHookEx(m_hook); }
    long Count() const { return s_count; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code >= 0 && message->hwnd == s_window && message->message >= LB_ADDSTRING &&
            message->message <= LB_MSGMAX)
            ++s_count;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline HWND s_window = nullptr;
    static inline long s_count = 0;
    HHOOK m_hook = nullptr;
};

// Ten thousand lines selected and removed: the list box is asked a few
// times per line, not once per pair of lines, and every file and then the
// emptied directory go.
TEST_F(UninstallTest, RemovingTenThousandLinesCostsLinearListBoxCalls)
{
    constexpr int count = 10000;
    const std::string d = m_dir / "DEST\\";
    for (int i = 0; i < count; ++i) {
        const std::string name = d + "f" + std::to_string(i) + ".dat";
        HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
    }
    WriteLog({"U", "D*.dat", "D", d});
    ShowForm();
    ASSERT_EQ(ListLines().size(), static_cast<size_t>(count + 1));
    ListBoxCalls calls(Form4->ListBox1->Handle());
    Form4->Button4Click(Form4->Button4);
    EXPECT_LE(calls.Count(), 2L * (count + 1));
    const long selectCalls = calls.Count();
    const auto seen = Uninstall(Ok);
    EXPECT_LE(calls.Count() - selectCalls, 6L * (count + 1));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Text, "Uninstall is Complete");
    EXPECT_FALSE(IsExistingDirectory(d));
    EXPECT_TRUE(ListLines().empty());
}

// The directory removed is the one the selected "Directory - " line names,
// although a later "D" record of the log has changed DestDir to a folder
// that was never listed: one that did not exist while the log was read (and
// has appeared since), or the Windows directory, which is never listed.
TEST_F(UninstallTest, TheDirectoryRemovedIsTheOneTheSelectedLineNames)
{
    const std::string d = m_dir / "DEST\\";
    const std::string later = m_dir / "LATER\\";
    for (const std::string& laterDir : {later, Form1->WinDir}) {
        SCOPED_TRACE(laterDir);
        m_dir.WriteFile("WIN\\win.ini", "");
        CreateDirectoryA(d.c_str(), nullptr);
        RemoveTree(later);
        WriteLog({"D", d, "D", laterDir});
        ShowForm();
        ASSERT_EQ(ListLines(), (Strings{"Directory - " + d}));
        EXPECT_EQ(Form1->DestDir, laterDir);
        // An empty folder under the later name appears before Uninstall is
        // pressed: it is nobody's choice and must stay.
        CreateDirectoryA(later.c_str(), nullptr);
        Form4->Button4Click(Form4->Button4);
        const auto seen = Uninstall(Ok);
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].Text, "Uninstall is Complete");
        EXPECT_FALSE(IsExistingDirectory(d));
        EXPECT_TRUE(IsExistingDirectory(later));
        EXPECT_TRUE(FileIsPresent(m_dir / "WIN\\win.ini"));
        // A fresh program for the next log.
        TearDown();
        SetUp();
    }

    // With contents left in the selected directory, which holds the log,
    // the question names it, and Yes takes it and nothing else.
    m_dir.WriteFile("DEST\\halvarn95.exe", "x");
    RemoveTree(later);
    WriteLog({"D", d, "D", later}, "DEST\\");
    ShowForm();
    ASSERT_EQ(ListLines(), (Strings{"Directory - " + d}));
    CreateDirectoryA(later.c_str(), nullptr);
    m_dir.WriteFile("LATER\\keep.txt", "someone else's");
    Form4->ListBox1->SetSelected(0, true);
    const auto seen = Uninstall([](const std::string&, const std::string& text) {
        return std::string(text == "Uninstall is Complete" ? "OK" : "&Yes");
    });
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].Text,
              d + " still has files or folders in it.\r\rWould you like to Delete it and its contents, anyway?");
    EXPECT_FALSE(IsExistingDirectory(d));
    EXPECT_TRUE(FileIsPresent(later + "keep.txt"));
}

} // namespace
