// The real setup.exe uninstalling from a long log, driven from outside: the
// uninstallation's progress form comes up while the log is read and while
// the selection is removed, its gauge advances on the screen, the
// uninstaller waits meanwhile, the progress form's close box changes
// nothing, and everything the log names is removed as from a short log.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/GdiHandles.h"
#include "tests/e2e/InstallFixture.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/SetupSession.h"
#include "tests/support/TempDir.h"

namespace {

// Waits long enough for the reading or the removal of tens of thousands of
// records on a loaded machine.
constexpr DWORD LongWait = 180000;

// How much of the progress form's gauge is filled, as its user sees it: the
// black pixels along a row of the bar above its percentage text, read from
// the screen. The gauge lies at (9, 41), 241 by 23 pixels with a border of
// one, in the form's client area on the test bed's screen of 96 pixels per
// inch.
int GaugeFilled(HWND progress)
{
    constexpr int inside = 239;
    POINT origin{10, 44};
    if (!ClientToScreen(progress, &origin))
        return -1;
    ScopedDC screen;
    MemoryDC memory(screen.Get());
    Bitmap row(CreateCompatibleBitmap(screen.Get(), inside, 1));
    ScopedSelect select(memory.Get(), row.Get());
    if (!BitBlt(memory.Get(), 0, 0, inside, 1, screen.Get(), origin.x, origin.y, SRCCOPY))
        return -1;
    int filled = 0;
    for (int x = 0; x < inside; ++x)
        if (GetPixel(memory.Get(), x, 0) == RGB(0, 0, 0))
            ++filled;
    return filled;
}

class UninstallProgressTest : public InstallTest {
protected:
    // Empty files in folders of 1,000 below the destination (under Wine a
    // new file costs more the more files its folder holds), and the log
    // that an installation of them would have written there: each file,
    // each folder, then the destination.
    void LayInstallation(int count)
    {
        ASSERT_TRUE(CreateDirectoryA(m_dest.c_str(), nullptr));
        Strings records{"T", "Halvarn 95"};
        Strings folders;
        for (int i = 0; i < count; ++i) {
            const std::string folder = m_dest + "part" + std::to_string(i / 1000) + "\\";
            if (i % 1000 == 0) {
                ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
                folders.insert(folders.end(), {"D", folder.substr(0, folder.size() - 1)});
            }
            const std::string file = folder + "item" + std::to_string(i) + ".dat";
            const HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
            ASSERT_NE(h, INVALID_HANDLE_VALUE) << file;
            CloseHandle(h);
            records.insert(records.end(), {"F", file});
        }
        records.insert(records.end(), folders.begin(), folders.end());
        records.insert(records.end(), {"D", m_dest.substr(0, m_dest.size() - 1)});
        WriteWhole(m_dest + "uninst.fls", Records(records));
    }

    TempDir m_dist;
};

// 20,000 files: the progress form comes up over the reading and goes before
// the list shows; on Uninstall it comes up again, stays above the
// uninstaller, which takes no input meanwhile, keeps on through a press of
// its close box, and its gauge fills further between two looks. Then the
// uninstallation completes as a short one does: every file, folder and the
// log gone, and the canaries beside the destination untouched.
TEST_F(UninstallProgressTest, ALongUninstallationShowsItsProgress)
{
    constexpr int count = 20000;
    WriteProduct(m_dist.Path());
    WriteWhole(m_dist.Path() + "setup.fls", Script({"Dreadme.txt"}));
    LayInstallation(count);
    const std::string canary = m_target.Path() + "keep.txt";
    const std::string neighbour = m_target.Path() + "HALVARN2\\item0.dat";
    WriteWhole(canary, "not the installation's\r\n");
    ASSERT_TRUE(CreateDirectoryA((m_target.Path() + "HALVARN2").c_str(), nullptr));
    WriteWhole(neighbour, "another folder's file of the same name");

    SetupSession setup(m_dist.Path());
    DrivenProcess& process = setup.Process();
    setup.Choose(false);
    setup.PickLog(m_dest + "uninst.fls");
    {
        SCOPED_TRACE("the reading");
        HWND reading = process.WaitForWindow("TForm6", "Uninstalling", LongWait);
        ASSERT_NE(reading, nullptr);
        ASSERT_TRUE(process.WaitUntilGone(reading, LongWait));
    }
    HWND form = process.WaitForWindow("TForm4", "Select Items to Uninstall", LongWait);
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(process.WaitForFocusIn(form, LongWait));
    DWORD_PTR lines = 0;
    SendMessageTimeoutA(SetupSession::List(form), LB_GETCOUNT, 0, 0, SMTO_NORMAL, LongWait, &lines);
    // Every file, each of the 20 folders and the destination.
    EXPECT_EQ(lines, static_cast<DWORD_PTR>(count + count / 1000 + 1));
    EXPECT_EQ(process.FindWindowWithin("TForm6", nullptr, 0), nullptr);

    ASSERT_TRUE(ClickButton(form, "Select All"));
    ASSERT_TRUE(ClickButton(form, "Uninstall"));
    {
        SCOPED_TRACE("the removal");
        HWND removing = process.WaitForWindow("TForm6", "Uninstalling", LongWait);
        ASSERT_NE(removing, nullptr);
        // Drawn at once, then on the screen a few times a second.
        Sleep(150);
        const int first = GaugeFilled(removing);
        EXPECT_GE(first, 0);
        EXPECT_LT(first, 239) << "the gauge was full at the first look";
        EXPECT_FALSE(IsWindowEnabled(form)) << "the uninstaller takes input during its removal";
        // The close box is pressed: the form stays and the removal goes on.
        PostMessageA(removing, WM_SYSCOMMAND, SC_CLOSE, 0);
        int later = first;
        const DWORD start = GetTickCount();
        while (later <= first && IsWindowVisible(removing) && GetTickCount() - start < LongWait) {
            Sleep(250);
            if (IsWindowVisible(removing))
                later = GaugeFilled(removing);
        }
        EXPECT_GT(later, first) << "the gauge did not advance while the form was up";
        ASSERT_TRUE(process.WaitUntilGone(removing, LongWait));
    }
    HWND complete = process.WaitForWindow("TMessageForm", "Information", LongWait);
    ASSERT_NE(complete, nullptr);
    EXPECT_EQ(process.FindWindowWithin("TForm6", nullptr, 0), nullptr);
    ASSERT_TRUE(ClickButton(complete, "OK"));
    EXPECT_EQ(process.WaitForExit(LongWait), 0u);

    EXPECT_FALSE(DirExists(m_dest));
    EXPECT_EQ(ReadWhole(canary), "not the installation's\r\n");
    EXPECT_EQ(ReadWhole(neighbour), "another folder's file of the same name");
}

} // namespace
