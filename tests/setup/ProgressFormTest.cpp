// The progress form showing the installation run: a later activation starts
// no second run, and a failure of the run is reported by the framework with
// the form left standing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Application.h"
#include "runtime/Files.h"
#include "setup/forms/Setup5.h"
#include "tests/setup/SetupFixture.h"
#include "tests/support/UiDriver.h"

namespace {

class ProgressFormTest : public SetupTest {
protected:
    void SetUp() override
    {
        SetupTest::SetUp();
        UseTestFolders();
    }
};

// Coming back to the progress form from another form of the program during
// the run activates it again; the run goes on once, not twice, and the
// gauge counts the files.
TEST_F(ProgressFormTest, ALaterActivationStartsNoSecondRun)
{
    m_dir.WriteFile("one.txt", "one");
    m_state.GroupName = "Halvarn Group";
    m_state.Script.FileList.push_back(ReadFileArgument("Done.txt{3"));
    int questions = 0;
    MessageDialogAnswerer answerer([&](const std::string&, const std::string&) {
        if (++questions == 1) {
            // The user has clicked the splash and comes back to the
            // progress form: the framework activates it again.
            Form5->Activate();
        }
        return std::string("&No");
    });
    Watchdog watchdog(15000);
    Form5->Show();
    EXPECT_TRUE(PumpUntil([] { return Application->Terminated(); }, 10000));
    EXPECT_EQ(answerer.Seen.size(), 1u);
    EXPECT_TRUE(Form5->RunStarted());
    EXPECT_EQ(Form5->Gauge1->MaxValue(), 1);
    EXPECT_EQ(Form5->Gauge1->Progress(), 1);
    EXPECT_EQ(m_dir.ReadFile("DEST\\uninst.fls"),
              "T\r\nHalvarn 95\r\nF\r\n" + m_state.DestDir + "one.txt\r\nF\r\n" + m_state.DestDir + "uninst.exe\r\nR\r\nHalvarn95\r\nD\r\n" + m_state.DestDir + "\r\n");
}

// A destination folder that does not exist: the stream's error is reported
// by the framework, the run stops there, writes no log and the form stays.
TEST_F(ProgressFormTest, ACopyThatFailsIsReportedAndTheFormStays)
{
    m_dir.WriteFile("data.dat", "data");
    m_state.Script.FileList.push_back(ReadFileArgument("Dmissing\\data.dat{4"));
    MessageBoxCloser closer;
    const std::vector<std::string>& reported = closer.Texts;
    Watchdog watchdog(8000);
    Form5->Show();
    ASSERT_TRUE(PumpUntil([&] { return !reported.empty(); }, 6000));
    EXPECT_EQ(reported[0], "Cannot create file " + m_state.DestDir + "missing\\data.dat.");
    PumpFor(200);
    EXPECT_FALSE(Application->Terminated());
    EXPECT_FALSE(FileIsPresent(m_dir / "DEST\\uninst.fls"));
    EXPECT_TRUE(Form5->Visible());
}

} // namespace
