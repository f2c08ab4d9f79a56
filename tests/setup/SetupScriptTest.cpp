// The setup script read into the setup state, without a window: every
// command and what it fills, the version and publisher beside what a reader
// without them reads, the line rules of the record reader as the
// script meets them, a missing script, the sample distribution's script,
// and a size that is no number.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/Exceptions.h"
#include "runtime/FileStream.h"
#include "runtime/Files.h"
#include "runtime/Paths.h"
#include "setup/engine/ScriptFormat.h"
#include "setup/engine/SetupState.h"
#include "tests/support/ProgramPaths.h"
#include "tests/support/TempDir.h"

namespace {

using Strings = std::vector<std::string>;

class SetupScriptTest : public testing::Test {
protected:
    void SetUp() override { m_state.ExeDir = m_dir.Path(); }
    void WriteScript(const std::string& bytes) { m_dir.WriteFile("setup.fls", bytes); }
    // Reads the script into a fresh state, as a new start of the program would.
    void ReadAfresh(const std::string& bytes)
    {
        m_state = SetupState();
        m_state.ExeDir = m_dir.Path();
        WriteScript(bytes);
        ReadSetupFile(m_state);
    }

    // The script's lists, spelled as their records were.
    Strings Files() const
    {
        Strings lines;
        for (const ScriptFile& file : m_state.Script.FileList)
            lines.push_back(file.Path + "{" + std::to_string(file.Size()));
        return lines;
    }
    Strings Items() const
    {
        Strings lines;
        for (const ScriptFormat::ItemArgument& item : m_state.Script.ItemList)
            lines.push_back(item.Target + "," + item.Name);
        return lines;
    }
    Strings Options() const
    {
        Strings lines;
        for (const ScriptOption& option : m_state.Script.OptionList)
            lines.insert(lines.end(), {option.Question, option.Path});
        return lines;
    }

    TempDir m_dir;
    SetupState m_state;
};

TEST_F(SetupScriptTest, EveryCommandFillsItsPartOfTheState)
{
    WriteScript("T\r\nHalvarn 95\r\n"
                "D\r\nC:\\HALVARN\r\n"
                "G\r\nHalvarn Group\r\n"
                "F\r\nDhalvarn95.exe{1234\r\n"
                "F\r\nWsys.dll{10\r\n"
                "P\r\nDhalvarn95.exe,Halvarn 95, the program\r\n"
                "Q\r\nHALVARN\r\n"
                "S\r\nInstall the letters?\r\nDletters.txt\r\n"
                "M\r\nFirst message\r\n"
                "M\r\nSecond message\r\n"
                "U\r\nD*.TMP\r\n"
                "X\r\nan unknown command and its argument\r\n"
                "U\r\nDold.log\r\n");
    ReadSetupFile(m_state);
    EXPECT_EQ(m_state.ProductTitle, "Halvarn 95");
    EXPECT_EQ(m_state.DestDir, "C:\\HALVARN\\");
    EXPECT_EQ(m_state.DestName, "HALVARN");
    EXPECT_EQ(m_state.GroupName, "Halvarn Group");
    EXPECT_EQ(Files(), (Strings{"Dhalvarn95.exe{1234", "Wsys.dll{10"}));
    EXPECT_EQ(Items(), (Strings{"Dhalvarn95.exe,Halvarn 95, the program"}));
    EXPECT_EQ(m_state.Script.PifList, (Strings{"HALVARN"}));
    EXPECT_EQ(Options(), (Strings{"Install the letters?", "Dletters.txt"}));
    EXPECT_EQ(m_state.Script.MessageList, (Strings{"First message", "Second message"}));
    EXPECT_EQ(m_state.Script.UninstallList, (Strings{"D*.TMP", "Dold.log"}));
    // The script is read before SourceDir is known.
    EXPECT_EQ(m_state.SourceDir, "");
}

TEST_F(SetupScriptTest, OnlyATitleChangesTheTitleAndNothingElse)
{
    WriteScript("T\r\nOnly Title\r\n");
    ReadSetupFile(m_state);
    EXPECT_EQ(m_state.ProductTitle, "Only Title");
    EXPECT_EQ(m_state.DestDir, "");
    EXPECT_EQ(m_state.GroupName, "");
    const SetupScript& script = m_state.Script;
    EXPECT_TRUE(script.FileList.empty() && script.ItemList.empty() && script.UninstallList.empty() &&
                script.OptionList.empty() && script.MessageList.empty() && script.PifList.empty());
}

TEST_F(SetupScriptTest, TheLastTitleDestinationAndGroupWin)
{
    WriteScript("T\r\nFirst\r\nD\r\nC:\\ONE\r\nG\r\nOne\r\nT\r\nSecond\r\nD\r\nD:\\TWO\r\nG\r\nTwo\r\n");
    ReadSetupFile(m_state);
    EXPECT_EQ(m_state.ProductTitle, "Second");
    EXPECT_EQ(m_state.DestDir, "D:\\TWO\\");
    EXPECT_EQ(m_state.DestName, "TWO");
    EXPECT_EQ(m_state.GroupName, "Two");
}

TEST_F(SetupScriptTest, TheVersionAndPublisherAreTheLastRecordsAndEmptyWithoutOne)
{
    {
        SCOPED_TRACE("one of each, taken as they stand");
        ReadAfresh("T\r\nHalvarn 95\r\nV\r\n1.0\r\nC\r\n Halvarn Software \r\n");
        EXPECT_EQ(m_state.ProductVersion, "1.0");
        EXPECT_EQ(m_state.Publisher, " Halvarn Software ");
    }
    {
        SCOPED_TRACE("the last one wins");
        ReadAfresh("V\r\n1.0\r\nC\r\nFirst\r\nVersion\r\n2.5.1\r\nC\r\nSecond\r\n");
        EXPECT_EQ(m_state.ProductVersion, "2.5.1");
        EXPECT_EQ(m_state.Publisher, "Second");
        EXPECT_EQ(m_state.Script.Version, "2.5.1");
        EXPECT_EQ(m_state.Script.Publisher, "Second");
    }
    {
        SCOPED_TRACE("none: empty, and lower-case letters are no records of them");
        ReadAfresh("T\r\nHalvarn 95\r\nv\r\n1.0\r\nc\r\nHalvarn Software\r\n");
        EXPECT_EQ(m_state.ProductTitle, "Halvarn 95");
        EXPECT_EQ(m_state.ProductVersion, "");
        EXPECT_EQ(m_state.Publisher, "");
        EXPECT_FALSE(m_state.Script.Version.has_value());
        EXPECT_FALSE(m_state.Script.Publisher.has_value());
    }
}

// A reader that knows neither V nor C reads both as two-line records that it
// ignores; here the records around them come out as they do without them,
// also when a V or C argument reads like a command of its own.
TEST_F(SetupScriptTest, VersionAndPublisherRecordsLeaveEveryOtherRecordAsItWas)
{
    const std::string plain = "T\r\nHalvarn 95\r\n"
                              "D\r\nC:\\HALVARN\r\n"
                              "F\r\nDhalvarn95.exe{1234\r\n"
                              "S\r\nInstall the letters?\r\nDletters.txt\r\n"
                              "G\r\nHalvarn Group\r\n"
                              "P\r\nDhalvarn95.exe,Halvarn 95\r\n"
                              "M\r\nWelcome\r\n"
                              "U\r\nD*.TMP\r\n";
    const std::string mixed = "V\r\n1.0\r\n"
                              "T\r\nHalvarn 95\r\n"
                              "C\r\nT\r\n"
                              "D\r\nC:\\HALVARN\r\n"
                              "F\r\nDhalvarn95.exe{1234\r\n"
                              "V\r\nS\r\n"
                              "S\r\nInstall the letters?\r\nDletters.txt\r\n"
                              "G\r\nHalvarn Group\r\n"
                              "C\r\nHalvarn Software\r\n"
                              "P\r\nDhalvarn95.exe,Halvarn 95\r\n"
                              "M\r\nWelcome\r\n"
                              "V\r\n2.0\r\n"
                              "U\r\nD*.TMP\r\n";
    // Everything the script fills but the version and the publisher.
    const auto read = [this](const std::string& script) {
        ReadAfresh(script);
        Strings all{m_state.ProductTitle, m_state.DestDir, m_state.GroupName};
        for (const Strings& part : {Files(), Items(), Options(), m_state.Script.MessageList,
                                    m_state.Script.UninstallList, m_state.Script.PifList})
            all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    const Strings withoutThem = read(plain);
    EXPECT_EQ(withoutThem, (Strings{"Halvarn 95", "C:\\HALVARN\\", "Halvarn Group", "Dhalvarn95.exe{1234",
                                    "Dhalvarn95.exe,Halvarn 95", "Install the letters?", "Dletters.txt", "Welcome",
                                    "D*.TMP"}));
    EXPECT_EQ(m_state.ProductVersion, "");
    EXPECT_EQ(m_state.Publisher, "");
    EXPECT_EQ(read(mixed), withoutThem);
    EXPECT_EQ(m_state.ProductVersion, "2.0");
    EXPECT_EQ(m_state.Publisher, "Halvarn Software");
}

TEST_F(SetupScriptTest, CommandLettersAreUpperCaseAndOnlyTheFirstCharacterCounts)
{
    {
        SCOPED_TRACE("a lower-case t is skipped with its argument");
        WriteScript("t\r\nLower\r\nT\r\nUpper\r\n");
        ReadSetupFile(m_state);
        EXPECT_EQ(m_state.ProductTitle, "Upper");
    }
    {
        SCOPED_TRACE("the rest of the command line is ignored");
        WriteScript("Title follows\r\nFrom a long command line\r\n");
        ReadSetupFile(m_state);
        EXPECT_EQ(m_state.ProductTitle, "From a long command line");
    }
    {
        SCOPED_TRACE("an argument is taken as it stands");
        WriteScript("G\r\n  Spaced  Group \r\n");
        ReadSetupFile(m_state);
        EXPECT_EQ(m_state.GroupName, "  Spaced  Group ");
    }
}

TEST_F(SetupScriptTest, AnEmptyLineWhereACommandIsExpectedSwallowsTheNextTwoLines)
{
    // The empty line's carriage return is the command; the skip to the next
    // line eats "T", and "Swallowed" is its argument.
    WriteScript("\r\nT\r\nSwallowed\r\nG\r\nGroup\r\n");
    ReadSetupFile(m_state);
    EXPECT_EQ(m_state.ProductTitle, "");
    EXPECT_EQ(m_state.GroupName, "Group");
}

TEST_F(SetupScriptTest, LineFeedsAloneDoNotEndLines)
{
    // The whole file is one line: T is the only command, and the file ends
    // before its argument.
    WriteScript("T\nTitle\nG\nGroup\n");
    ReadSetupFile(m_state);
    EXPECT_EQ(m_state.ProductTitle, "");
    EXPECT_EQ(m_state.GroupName, "");
}

TEST_F(SetupScriptTest, CarriageReturnsAloneEndLinesToo)
{
    WriteScript("T\rTitle\rG\rGroup");
    ReadSetupFile(m_state);
    EXPECT_EQ(m_state.ProductTitle, "Title");
    EXPECT_EQ(m_state.GroupName, "Group");
}

TEST_F(SetupScriptTest, CtrlZEndsTheScript)
{
    WriteScript(std::string("T\r\nBefore\r\n\x1A") + "T\r\nAfter\r\nM\r\nNever read\r\n");
    ReadSetupFile(m_state);
    EXPECT_EQ(m_state.ProductTitle, "Before");
    EXPECT_TRUE(m_state.Script.MessageList.empty());
}

TEST_F(SetupScriptTest, DestinationNameIsTheLastPartOfTheDestination)
{
    WriteScript("D\r\nC:\\APPS\\\r\n");
    ReadSetupFile(m_state);
    EXPECT_EQ(m_state.DestName, "");
    EXPECT_EQ(m_state.DestDir, "C:\\APPS\\");

    WriteScript("D\r\nA:APP\r\n");
    ReadSetupFile(m_state);
    EXPECT_EQ(m_state.DestName, "APP");
    EXPECT_EQ(m_state.DestDir, "A:APP\\");
}

TEST_F(SetupScriptTest, RecordsCutShortByTheEndOfTheFileGetEmptyArguments)
{
    WriteScript("S\r\nA question without its file");
    ReadSetupFile(m_state);
    EXPECT_EQ(Options(), (Strings{"A question without its file", ""}));

    WriteScript("T\r\n");
    ReadSetupFile(m_state);
    EXPECT_EQ(m_state.ProductTitle, "");
}

TEST_F(SetupScriptTest, AMissingScriptRaisesFileNotFoundAndReadsNothing)
{
    EXPECT_THROW(
        {
            try {
                ReadSetupFile(m_state);
            } catch (const EInOutError& e) {
                EXPECT_STREQ(e.what(), "File not found");
                EXPECT_EQ(e.ErrorCode, 2);
                throw;
            }
        },
        EInOutError);
    EXPECT_EQ(m_state.ProductTitle, "");
}

// A name that could lead out of its folder stops the start at its record, as
// an unreadable script does, before the run could write there; a full path
// with a drive, under the code N, is read as before.
TEST_F(SetupScriptTest, ANameThatCouldLeadOutOfItsFolderStopsTheStart)
{
    const struct {
        std::string Records;
        std::string Named;
    } cases[] = {
        {"F\r\nD..\\readme.txt{299\r\n", "F record 'D..\\readme.txt{299'"},
        {"Q\r\n..\\qescape\r\n", "Q record '..\\qescape'"},
        {"S\r\nWant it?\r\nDC:\\letters.txt\r\n", "S record 'DC:\\letters.txt'"},
        {"F\r\nNC:\\x\\.\\a.txt{1\r\n", "F record 'NC:\\x\\.\\a.txt{1'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Records);
        WriteScript("T\r\nBefore\r\nF\r\nNC:\\full\\a.txt{1\r\n" + c.Records + "T\r\nAfter\r\n");
        m_state = SetupState();
        m_state.ExeDir = m_dir.Path();
        try {
            ReadSetupFile(m_state);
            ADD_FAILURE() << "the script was read";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "The " + c.Named + " of the setup script names its file through an empty, "
                                   "'.' or '..' part or a drive, which could place the file outside its folder");
        }
        EXPECT_EQ(Files(), (Strings{"NC:\\full\\a.txt{1"}));
        EXPECT_EQ(m_state.ProductTitle, "Before");
    }
}

// The sample distribution that flsmake builds: every record arrives in the
// setup state, each size is the real size of the file shipped beside the
// script, and every source lies under the name the installation run looks for.
TEST_F(SetupScriptTest, TheSampleDistributionsScriptReadsBackWithTheRealSizes)
{
    const std::string dist = BuildFolder() + "sample\\";
    // The script is read where the test's program folder is, as it stands.
    TFileStream script(dist + "setup.fls", FileStreamMode::OpenRead);
    std::string bytes(static_cast<size_t>(script.Size()), '\0');
    script.ReadBuffer(bytes.data(), script.Size());
    WriteScript(bytes);

    ReadSetupFile(m_state);
    EXPECT_EQ(m_state.ProductTitle, "Halvarn 95");
    EXPECT_EQ(m_state.ProductVersion, "1.0");
    EXPECT_EQ(m_state.Publisher, "Halvarn Software");
    EXPECT_EQ(m_state.DestDir, "C:\\HALVARN\\");
    EXPECT_EQ(m_state.GroupName, "Halvarn 95");
    EXPECT_EQ(Items(), (Strings{"Dhalvarn95.exe,Halvarn 95", "Dreadme.txt,Read Me"}));
    EXPECT_EQ(m_state.Script.MessageList,
              (Strings{"Welcome to Halvarn 95.  This program installs Halvarn 95 on your computer."}));
    EXPECT_EQ(m_state.Script.UninstallList, (Strings{"D*.TMP"}));

    ASSERT_EQ(m_state.Script.FileList.size(), 3u);
    for (const ScriptFile& file : m_state.Script.FileList) {
        SCOPED_TRACE(file.Path);
        const std::string source = dist + ScriptFormat::MandatorySourceName(file.Path);
        ASSERT_TRUE(FileIsPresent(source));
        TFileStream shipped(source, FileStreamMode::OpenRead);
        EXPECT_EQ(file.Size(), shipped.Size());
    }
    const std::vector<std::string> options = Options();
    ASSERT_EQ(options.size(), 2u);
    EXPECT_EQ(options[0], "Would you like to install the Halvarn 95 sample letters?");
    EXPECT_TRUE(FileIsPresent(dist + FileNamePart(options[1]))) << options[1];
}

TEST_F(SetupScriptTest, CheckPathAddsOneBackslashWhereThereIsNone)
{
    EXPECT_EQ(CheckPath(""), "\\");
    EXPECT_EQ(CheckPath("C:\\"), "C:\\");
    EXPECT_EQ(CheckPath("C:\\APPS"), "C:\\APPS\\");
    EXPECT_EQ(CheckPath("C:\\APPS\\"), "C:\\APPS\\");
    EXPECT_EQ(CheckPath("C:"), "C:\\");
    EXPECT_EQ(CheckPath("C:\\APPS/"), "C:\\APPS/\\");
}

// A size that is no number does not stop the reading: the file is read with
// its path, and its size raises the conversion error where it is asked for.
TEST_F(SetupScriptTest, ASizeThatIsNoNumberRaisesWhereItIsAskedFor)
{
    WriteScript("F\r\nDgood.exe{10\r\nF\r\nDbad.exe{12x\r\nF\r\n2048\r\nT\r\nAfter\r\n");
    ReadSetupFile(m_state);
    EXPECT_EQ(m_state.ProductTitle, "After");
    const std::vector<ScriptFile>& files = m_state.Script.FileList;
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].Size(), 10);
    EXPECT_EQ(files[1].Path, "Dbad.exe");
    try {
        files[1].Size();
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'12x' is not a valid integer value");
    }
    // Without "{" the whole text is the size, and the file has no path.
    EXPECT_EQ(files[2].Path, "");
    EXPECT_EQ(files[2].Size(), 2048);
}

} // namespace
