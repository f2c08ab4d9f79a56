// The uninstaller on its real form: the plan shown as list lines, the
// file-open dialog when the log is not beside the program, and the cost of
// selecting and removing many lines.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "runtime/Files.h"
#include "runtime/Paths.h"
#include "setup/forms/Setup1.h"
#include "setup/forms/Setup4.h"
#include "setup/forms/UninstallProgress.h"
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

    // Writes the log beside the program; records are letter and argument.
    void WriteLog(const Strings& records)
    {
        std::string text;
        for (const std::string& line : records)
            text += line + "\r\n";
        m_dir.WriteFile("uninst.fls", text);
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

// The form shows the plan line for line, names the groups it could not find
// in one message each before the list is drawn, and from then on the
// settings show the destination and group the log named.
TEST_F(UninstallTest, TheFormListsThePlanAndNamesTheMissingGroups)
{
    const std::string d = m_dir / "DEST\\";
    m_dir.WriteFile("DEST\\halvarn95.exe", "x");
    CreateDirectoryA((m_dir / "MENU\\PROGRAMS\\Halvarn 95").c_str(), nullptr);
    WriteLog({"F", d + "halvarn95.exe", "G", "Halvarn 95", "G", "Old Group", "D", d});
    const auto seen = ShowForm();
    EXPECT_EQ(ListLines(), (Strings{"File - " + d + "halvarn95.exe", "Program Manager Group - Halvarn 95",
                                    "Directory - " + d}));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Caption, "Information");
    EXPECT_EQ(seen[0].Text, "Could not find the Old Group Group.\r\rIt may need to be removed manually.");
    EXPECT_EQ(m_state.GroupName, "HALVARN 95");
    EXPECT_EQ(m_state.DestDir, d);
    EXPECT_EQ(UpperCaseAscii(Form4->UninstallFileName()), UpperCaseAscii(m_dir / "uninst.fls"));

    // Each showing reads the log again; Select All and Uninstall remove it
    // all, and say that the log beside the program, which names no item of
    // its own, is kept.
    WriteLog({"F", d + "halvarn95.exe", "D", d});
    Form4->Hide();
    ShowForm();
    EXPECT_EQ(ListLines(), (Strings{"File - " + d + "halvarn95.exe", "Directory - " + d}));
    Form4->Button4Click(Form4->Button4);
    EXPECT_EQ(Form4->ListBox1->SelCount(), 2);
    const auto removal = Uninstall(Ok);
    ASSERT_EQ(removal.size(), 1u);
    EXPECT_EQ(removal[0].Text, "The uninstall log " + Form4->UninstallFileName() + " is kept, with what stays: Uninstall again with it to remove the rest.");
    EXPECT_FALSE(IsExistingDirectory(d));
    EXPECT_TRUE(ListLines().empty());
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
    EXPECT_EQ(UpperCaseAscii(Form4->UninstallFileName()), UpperCaseAscii(elsewhere + "uninst.fls"));

    Form4->ListBox1->Items()->Clear();
    const auto seen = Uninstall(Ok);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Text, "The uninstall log " + Form4->UninstallFileName() + " is kept, with what stays: Uninstall again with it to remove the rest.");
    EXPECT_TRUE(IsExistingDirectory(elsewhere));
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
    EXPECT_EQ(seen[0].Text, "The uninstall log " + Form4->UninstallFileName() + " is kept, with what stays: Uninstall again with it to remove the rest.");
    EXPECT_FALSE(IsExistingDirectory(d));
    EXPECT_TRUE(ListLines().empty());
}

// The progress of a long reading or removal: nothing for the first moment,
// nor for work that is through by then; then the progress form above the
// uninstaller, which waits meanwhile, naming the work and showing the count
// grouped as the user's settings group digits and the gauge; a count told
// again within a moment is not shown, the last one is; the close box
// changes nothing; and once the work is done the form goes and the
// uninstaller takes input again.
TEST_F(UninstallTest, TheProgressFormComesUpLateAndIsDrawnSeldom)
{
    WriteLog({"F", m_dir / "setup.fls"});
    ShowForm();
    HWND uninstaller = Form4->Handle();
    ASSERT_TRUE(IsWindowEnabled(uninstaller));
    Watchdog watchdog(10000);
    char separator[8] = {};
    ASSERT_NE(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, sizeof separator), 0);
    EXPECT_EQ(GroupedCount(999), "999");
    EXPECT_EQ(GroupedCount(12345), std::string("12") + separator + "345");
    EXPECT_EQ(GroupedCount(100000), std::string("100") + separator + "000");
    {
        SCOPED_TRACE("work through within the moment");
        UninstallProgress quick("Quick");
        quick.Reached(1, 1000);
        EXPECT_EQ(quick.Form(), nullptr);
        Sleep(UninstallProgress::ShowAfter + 50);
        quick.Reached(1000, 1000);
        EXPECT_EQ(quick.Form(), nullptr);
        EXPECT_EQ(FindThreadWindow("TForm6"), nullptr);
    }
    {
        SCOPED_TRACE("long work");
        UninstallProgress progress("Removing the selected items:");
        progress.Reached(1, 2000);
        EXPECT_EQ(progress.Form(), nullptr);
        Sleep(UninstallProgress::ShowAfter + 50);
        progress.Reached(500, 2000);
        TForm6* form = progress.Form();
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(FindThreadWindow("TForm6"), form->Handle());
        EXPECT_EQ(form->Label1->Caption(), "Removing the selected items:");
        EXPECT_EQ(form->Label2->Caption(), "500 of " + GroupedCount(2000));
        EXPECT_EQ(form->Gauge1->MaxValue(), 2000);
        EXPECT_EQ(form->Gauge1->Progress(), 500);
        EXPECT_TRUE(IsWindowEnabled(form->Handle()));
        EXPECT_FALSE(IsWindowEnabled(uninstaller));
        bool above = false;
        for (HWND w = GetWindow(uninstaller, GW_HWNDPREV); w && !above; w = GetWindow(w, GW_HWNDPREV))
            above = w == form->Handle();
        EXPECT_TRUE(above) << "the progress form is below the uninstaller";

        progress.Reached(600, 2000);
        EXPECT_EQ(form->Gauge1->Progress(), 500) << "shown again within the moment";
        SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        PumpFor(50);
        EXPECT_TRUE(IsWindowVisible(form->Handle()));
        EXPECT_FALSE(Application->Terminated());
        Sleep(UninstallProgress::ShowFor + 50);
        progress.Reached(700, 2000);
        EXPECT_EQ(form->Gauge1->Progress(), 700);
        EXPECT_EQ(form->Label2->Caption(), "700 of " + GroupedCount(2000));
        progress.Reached(2000, 2000);
        EXPECT_EQ(form->Gauge1->Progress(), 2000) << "the last count is shown at once";
    }
    EXPECT_EQ(FindThreadWindow("TForm6"), nullptr);
    EXPECT_TRUE(IsWindowEnabled(uninstaller));
    EXPECT_FALSE(watchdog.Fired());
}

} // namespace
