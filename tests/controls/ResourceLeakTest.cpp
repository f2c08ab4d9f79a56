// The program's drawing and windowing work gives back everything it takes:
// its GDI objects, USER objects and kernel handles are the same after a
// thousand gauge repaints, a hundred message dialogs and a hundred runs of
// the directory dialog as before them. Each kind of work runs once first, so
// that what the platform and the framework make once and keep (fonts, system
// icons, window classes) is already there when counting starts. Every modal
// run has a watchdog.
#include <windows.h>

#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "controls/DirDlg.h"
#include "controls/DirForm.h"
#include "controls/Gauges.h"
#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/MessageDialogs.h"
#include "framework/Screen.h"
#include "runtime/Files.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/support/FrameworkTest.h"
#include "tests/support/ResourceCounts.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiDriver.h"

namespace {

// Puts the process's current directory back after the test (the directory
// dialog moves it into the test's folder, which can only be removed after).
class ResourceLeak : public FrameworkTest {
protected:
    void SetUp() override
    {
        m_saved = CurrentDir();
        FrameworkTest::SetUp();
    }
    void TearDown() override
    {
        FrameworkTest::TearDown();
        SetCurrentDirectoryA(m_saved.c_str());
    }

    TempDir dir;

private:
    std::string m_saved;
};

// The counts after the work are those before it; both are shown in the log.
void ExpectUnchanged(const ResourceCounts& before, const ResourceCounts& after)
{
    std::cout << "before: " << before << "\nafter:  " << after << std::endl;
    EXPECT_EQ(after, before);
}

} // namespace

// The counting itself sees one more brush, window or handle, and one fewer
// when it is gone: otherwise the tests below could not see a leak.
TEST_F(ResourceLeak, CountsSeeEachKindOfResource)
{
    const ResourceCounts before = CountResources();
    EXPECT_GT(before.GdiObjects, 0u);
    EXPECT_GT(before.Handles, 0u);

    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_NE(brush, nullptr);
    ResourceCounts now = CountResources();
    EXPECT_EQ(now.GdiObjects, before.GdiObjects + 1);
    DeleteObject(brush);

    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    now = CountResources();
    EXPECT_EQ(now.Handles, before.Handles + 1);
    CloseHandle(event);

    HWND window = CreateWindowA("STATIC", "counted", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    HWND child = CreateWindowA("STATIC", "child", WS_CHILD, 0, 0, 5, 5, window, nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    now = CountResources();
    EXPECT_EQ(now.UserObjects, before.UserObjects + 2);
    DestroyWindow(window);

    EXPECT_EQ(CountResources(), before);
}

TEST_F(ResourceLeak, AThousandGaugeRepaintsLeaveNothingBehind)
{
    auto* form = new TForm(Application);
    form->SetBounds(20, 20, 560, 160);
    std::vector<CountingGauge*> gauges;
    const TGaugeKind kinds[] = {gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle};
    for (size_t i = 0; i < std::size(kinds); ++i) {
        auto* gauge = new CountingGauge(form);
        gauge->SetParent(form);
        gauge->SetBounds(10 + static_cast<int>(i) * 105, 10, 100, 100);
        gauge->SetKind(kinds[i]);
        gauges.push_back(gauge);
    }
    form->Show();
    PumpFor(200);

    // Every write moves the gauge by a whole percent, so every write repaints.
    auto step = [&](int i) {
        CountingGauge* gauge = gauges[static_cast<size_t>(i) % gauges.size()];
        gauge->SetProgress(gauge->Progress() == 100 ? 0 : gauge->Progress() + 1);
        // Now and then the form is painted through its paint message too.
        if (i % 50 == 0) {
            InvalidateRect(form->Handle(), nullptr, TRUE);
            Application->PumpMessages();
        }
    };
    for (CountingGauge* gauge : gauges)
        gauge->Repaints = 0;
    for (int i = 0; i < 10; ++i)
        step(i);
    int repaints = 0;
    for (CountingGauge* gauge : gauges) {
        repaints += gauge->Repaints;
        gauge->Repaints = 0;
    }
    ASSERT_EQ(repaints, 10);

    const ResourceCounts before = CountResources();
    for (int i = 0; i < 1000; ++i)
        step(i);
    Application->PumpMessages();
    const ResourceCounts after = CountResources();

    repaints = 0;
    for (CountingGauge* gauge : gauges)
        repaints += gauge->Repaints;
    EXPECT_EQ(repaints, 1000);
    ExpectUnchanged(before, after);
}

TEST_F(ResourceLeak, AHundredMessageDialogsLeaveNothingBehind)
{
    // Enter, as soon as a dialog has the focus, presses its first button.
    ThreadTimer enter(10, [] {
        HWND dialog = FindThreadWindow("TMessageForm");
        if (dialog && GetParent(GetFocus()) == dialog)
            PressKey(VK_RETURN);
    });
    struct Prompt {
        MessageKind kind;
        MessageButtons buttons;
        int result;
    };
    const Prompt prompts[] = {
        {MessageKind::Confirmation, MessageButtons{mbYes, mbNo}, mrYes},
        {MessageKind::Information, MessageButtons{mbOK}, mrOk},
        {MessageKind::Warning, MessageButtons{mbRetry, mbIgnore}, mrRetry},
        {MessageKind::Error, MessageButtons{mbOK, mbCancel}, mrOk},
    };
    auto show = [&](int i) {
        const Prompt& p = prompts[static_cast<size_t>(i) % std::size(prompts)];
        Watchdog watchdog;
        EXPECT_EQ(ShowMessageDialog("Message " + std::to_string(i), p.kind, p.buttons, 0), p.result) << i;
    };
    for (int i = 0; i < 4; ++i)
        show(i);

    const ResourceCounts before = CountResources();
    for (int i = 0; i < 100 && !HasFailure(); ++i)
        show(i);
    const ResourceCounts after = CountResources();
    EXPECT_EQ(FindThreadWindow("TMessageForm"), nullptr);
    ExpectUnchanged(before, after);
}

TEST_F(ResourceLeak, AHundredDirectoryDialogRunsLeaveNothingBehind)
{
    ASSERT_TRUE(CreateDirectoryA((dir / "sub").c_str(), nullptr));
    auto* dialog = new TDirectoryDialog(Application);
    dialog->SetCaption("Select A Directory");

    // Half the runs go down into sub and press OK, the others leave with Esc.
    auto run = [&](int i) {
        dialog->SetPath(dir.Path());
        bool done = false;
        ThreadTimer user(10, [&] {
            auto* form = dynamic_cast<TFDIRFORM*>(TScreen::Instance().FindForm("FDIRFORM"));
            if (done || !form || !form->IsModal() || !form->HandleAllocated() || !IsWindowVisible(form->Handle()))
                return;
            done = true;
            if (i % 2 == 0) {
                TDirectoryListBox* list = form->DirectoryListBox1;
                DoubleClickItem(list->Handle(), list->Items()->IndexOf("sub"));
                SendMessageA(form->BT_OK->Handle(), BM_CLICK, 0, 0);
            } else {
                PressKey(VK_ESCAPE);
            }
        });
        Watchdog watchdog;
        const int32_t result = dialog->RunDialog();
        EXPECT_TRUE(done) << i;
        EXPECT_EQ(result, i % 2 == 0 ? 1 : 2) << i;
        if (i % 2 == 0) {
            EXPECT_EQ(dialog->Path(), dir / "sub") << i;
        }
    };
    for (int i = 0; i < 2; ++i)
        run(i);

    const ResourceCounts before = CountResources();
    for (int i = 0; i < 100 && !HasFailure(); ++i)
        run(i);
    const ResourceCounts after = CountResources();
    EXPECT_EQ(TScreen::Instance().FindForm("FDIRFORM"), nullptr);
    ExpectUnchanged(before, after);
}
