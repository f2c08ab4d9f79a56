// The installation run without a window: path codes, the copy of mandatory
// and optional files with the uninstall log they leave, the missing-file
// prompt with its two wordings, a failed copy, optional files declined by the
// switches, and the Start Menu group and items made only where the
// uninstaller can take them back, and only reported made when they are there.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/Exceptions.h"
#include "runtime/Files.h"
#include "runtime/Paths.h"
#include "setup/engine/Destination.h"
#include "setup/engine/InstallRun.h"
#include "setup/engine/StartMenuGroup.h"
#include "setup/engine/ProtectedFolders.h"
#include "setup/engine/Registration.h"
#include "setup/engine/AnsweringPrompts.h"
#include "tests/setup/EngineFixture.h"
#include "tests/support/ShellLinkFiles.h"
#include "tests/support/TempDir.h"

namespace {

using Question = SetupPrompts::Question;

class InstallRunTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_state.GroupName = "Halvarn Group";
    }

    void AddFiles(std::initializer_list<const char*> paths)
    {
        for (const char* path : paths)
            m_state.Script.FileList.push_back(ReadFileArgument(std::string(path) + "{0"));
    }

    std::string Log() const { return ReadWhole(m_state.DestDir + "uninst.fls"); }

    // The staging folder of optional files, \temp on the destination's drive.
    std::string Temp() const { return FileDrivePart(m_state.DestDir) + "\\temp"; }
};

TEST_F(InstallRunTest, PathCodesAreTheSixUpperCaseLetters)
{
    m_state.SourceDir = "A:\\";
    m_state.DestDir = "C:\\HALVARN\\";
    m_state.SysDir = "C:\\WINDOWS\\SYSTEM\\";
    m_state.StartupDir = "C:\\START\\";
    m_state.WinDir = "C:\\WINDOWS\\";
    EXPECT_EQ(ResolvePath(m_state, "Asetup.exe"), "A:\\setup.exe");
    EXPECT_EQ(ResolvePath(m_state, "Dsub\\data.dat"), "C:\\HALVARN\\sub\\data.dat");
    EXPECT_EQ(ResolvePath(m_state, "ND:\\OTHER\\x.txt"), "D:\\OTHER\\x.txt");
    EXPECT_EQ(ResolvePath(m_state, "Ssys.dll"), "C:\\WINDOWS\\SYSTEM\\sys.dll");
    EXPECT_EQ(ResolvePath(m_state, "Tstart.lnk"), "C:\\START\\start.lnk");
    EXPECT_EQ(ResolvePath(m_state, "Wwin.ini"), "C:\\WINDOWS\\win.ini");
    // Lower case and other letters are no codes: they name no file at all.
    EXPECT_EQ(ResolvePath(m_state, "dsub\\data.dat"), "");
    EXPECT_EQ(ResolvePath(m_state, "Xfoo"), "");
    EXPECT_EQ(ResolvePath(m_state, ""), "");
}

// A whole run: mandatory files (one of zero bytes, one into a folder of the
// destination, one into the Windows directory), one optional file accepted
// and one declined, the Start Menu group with its links, a program
// information link, and the log in the order the run made things; the
// destination's missing folders are made first and recorded.
TEST_F(InstallRunTest, AWholeRunCopiesLinksAndLogsInOrder)
{
    m_dir.WriteFile("halvarn95.exe", std::string(70000, 'h'));
    m_dir.WriteFile("empty.dat", "");
    m_dir.WriteFile("data.dat", "data");
    m_dir.WriteFile("foo.ini", "[foo]");
    m_dir.WriteFile("letters.txt", "letters");
    // An optional entry without a backslash keeps its code letter in the
    // name of its source.
    m_dir.WriteFile("Dextra.txt", "extra");
    m_state.DestDir = m_dir / "NEW\\DEST\\";
    AddFiles({"Dhalvarn95.exe", "Dempty.dat", "Wfoo.ini"});
    m_state.Script.UninstallList.push_back("D*.TMP");
    m_state.Script.OptionList = {{"Install the letters?", "D.\\letters.txt"}, {"Install the extra?", "Dextra.txt"}};
    for (const char* item : {"Dhalvarn95.exe,Halvarn 95", "Dempty.dat,The Data"})
        m_state.Script.ItemList.push_back(ScriptFormat::SplitItemArgument(item));
    m_state.Script.PifList.push_back("HALVARN");
    const bool tempExisted = IsExistingDirectory(Temp());

    ScriptedPrompts prompts([](Question, const std::string& text) { return text != "Install the extra?"; });
    InstallRun run(m_state, prompts);
    ASSERT_TRUE(run.Execute());
    ASSERT_EQ(prompts.Questions.size(), 3u);
    EXPECT_EQ(prompts.Questions[0].Kind, Question::OptionalFile);
    EXPECT_EQ(prompts.Questions[0].Text, "Install the letters?");
    EXPECT_EQ(prompts.Questions[1].Text, "Install the extra?");
    EXPECT_EQ(prompts.Questions[2].Kind, Question::StartMenu);
    EXPECT_EQ(prompts.Questions[2].Text, "Would you like to put a Halvarn 95 item on the Start Menu?");
    EXPECT_EQ(prompts.Total, 3);
    EXPECT_EQ(prompts.Counted, 3);
    EXPECT_FALSE(run.FileSkipped());

    const std::string d = m_state.DestDir;
    EXPECT_EQ(ReadWhole(d + "halvarn95.exe"), std::string(70000, 'h'));
    EXPECT_TRUE(FileIsPresent(d + "empty.dat"));
    EXPECT_EQ(m_dir.ReadFile("WIN\\foo.ini"), "[foo]");
    EXPECT_EQ(ReadWhole(d + "letters.txt"), "letters");
    EXPECT_FALSE(FileIsPresent(d + "extra.txt"));
    EXPECT_FALSE(FileIsPresent(Temp() + "\\letters.txt"));
    EXPECT_FALSE(FileIsPresent(Temp() + "\\Dextra.txt"));
    EXPECT_EQ(IsExistingDirectory(Temp()), tempExisted);

    const std::string group = m_dir / "MENU\\PROGRAMS\\Halvarn Group\\";
    EXPECT_EQ(ReadLink(group + "Halvarn 95.lnk").Path, d + "halvarn95.exe");
    EXPECT_EQ(ReadLink(group + "The Data.lnk").Path, d + "empty.dat");
    EXPECT_EQ(ReadLink(d + "HALVARN.pif").Path, d + "HALVARN.bat");

    const std::string temp = Temp();
    const std::string expected = "T\r\nHalvarn 95\r\n"
                                 "U\r\nD*.TMP\r\n"
                                 "F\r\n" + d + "halvarn95.exe\r\n"
                                 "F\r\n" + d + "empty.dat\r\n"
                                 "F\r\n" + m_dir.Path() + "WIN\\foo.ini\r\n"
                                 "F\r\n" + temp + "\\letters.txt\r\n"
                                 "F\r\n" + d + ".\\letters.txt\r\n"
                                 "F\r\n" + temp + "\\Dextra.txt\r\n"
                                 "G\r\nHalvarn Group\r\n"
                                 "F\r\n" + d + "HALVARN.pif\r\n"
                                 "F\r\n" + d + "uninst.exe\r\n"
                                 "R\r\nHalvarn95\r\n"
                                 "D\r\n" + d + "\r\n";
    EXPECT_EQ(Log(), expected);

    // The actions begin with the folders made and end with the log and the
    // product's start.
    const std::vector<InstallAction>& actions = run.Actions();
    ASSERT_GE(actions.size(), 4u);
    EXPECT_EQ(actions[0].Kind, ActionKind::FolderMade);
    EXPECT_EQ(actions[0].Path, m_dir / "NEW");
    EXPECT_EQ(actions[1].Path, m_dir / "NEW\\DEST");
    EXPECT_EQ(actions[actions.size() - 2].Kind, ActionKind::LogWritten);
    EXPECT_EQ(actions.back().Kind, ActionKind::ProductStarted);
    EXPECT_EQ(std::count_if(actions.begin(), actions.end(),
                            [](const InstallAction& a) { return a.Kind == ActionKind::LinkMade; }),
              2);
}

// A completed run registers the product in the Uninstall list: one key
// named from the title with the values the Apps list and deployment tools
// read, named in the log by an R record before the D record; a second run
// of the same product rewrites that key and adds none.
TEST_F(InstallRunTest, ACompletedRunRegistersTheProductOnceUnderItsOwnKey)
{
    m_dir.WriteFile("halvarn95.exe", std::string(5000, 'h'));
    m_dir.WriteFile("data.dat", std::string(3000, 'd'));
    AddFiles({"Dhalvarn95.exe", "Ddata.dat"});
    m_state.Script.ItemList.push_back(ScriptFormat::SplitItemArgument("Dhalvarn95.exe,Halvarn 95"));
    m_state.ProductVersion = "1.0";
    m_state.Publisher = "Halvarn Software";
    const std::string place = m_state.Registrations.Key;
    const std::string d = m_state.DestDir;
    for (const char* version : {"1.0", "1.1"}) {
        m_state.ProductVersion = version;
        ScriptedPrompts prompts([](Question, const std::string&) { return false; });
        InstallRun run(m_state, prompts);
        ASSERT_TRUE(run.Execute());
        const std::optional<RegistryValues> values = ReadKeyValues(HKEY_CURRENT_USER, place + "\\Halvarn95");
        ASSERT_TRUE(values);
        EXPECT_EQ(ValueText(*values, "DisplayName"), "Halvarn 95");
        EXPECT_EQ(ValueText(*values, "DisplayVersion"), version);
        EXPECT_EQ(ValueText(*values, "Publisher"), "Halvarn Software");
        EXPECT_EQ(ValueText(*values, "InstallLocation"), d);
        EXPECT_EQ(ValueText(*values, "InstallDate").size(), 8u);
        EXPECT_EQ(ValueText(*values, "DisplayIcon"), d + "halvarn95.exe");
        EXPECT_EQ(ValueText(*values, "UninstallString"), "\"" + d + "uninst.exe\" /uninstall=\"" + d + "uninst.fls\"");
        EXPECT_EQ(ValueText(*values, "QuietUninstallString"),
                  "\"" + d + "uninst.exe\" /uninstall=\"" + d + "uninst.fls\" /quiet");
        for (const RegistryValue& number :
             {NumberValue("EstimatedSize", 8), NumberValue("NoModify", 1), NumberValue("NoRepair", 1)})
            EXPECT_NE(std::find(values->begin(), values->end(), number), values->end()) << number.Name;
        const std::string log = Log();
        EXPECT_NE(log.find("R\r\nHalvarn95\r\nD\r\n" + d + "\r\n"), std::string::npos) << log;
        EXPECT_EQ(log.find("R\r\n"), log.rfind("R\r\n")) << "the key is named twice:\n" << log;
    }
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, place.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD subkeys = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    EXPECT_EQ(subkeys, 1u);
}

// A run that fails after it has registered the product leaves no key in the
// Uninstall list once it is taken back, or an earlier installation's key
// with the values it had.
TEST_F(InstallRunTest, ARunTakenBackLeavesNoRegistrationOrTheEarlierOne)
{
    m_dir.WriteFile("one.txt", "one");
    AddFiles({"Done.txt"});
    const std::string key = m_state.Registrations.Key + "\\Halvarn95";
    const RegistryValues earlier{StringValue("DisplayName", "Halvarn 95"), StringValue("DisplayVersion", "0.9")};
    for (const bool hadKey : {false, true}) {
        SCOPED_TRACE(hadKey ? "an earlier key" : "no key");
        if (hadKey)
            WriteKeyValues(HKEY_CURRENT_USER, key, earlier);
        ScriptedPrompts prompts([](Question, const std::string&) { return true; });
        // The key is written after the files, before the log: a failure of
        // the log's writing comes after it.
        CreateDirectoryA((m_state.DestDir + "uninst.fls").c_str(), nullptr);
        InstallRun run(m_state, prompts);
        EXPECT_ANY_THROW(run.Execute());
        EXPECT_NE(ReadKeyValues(HKEY_CURRENT_USER, key), hadKey ? std::optional(earlier) : std::nullopt);
        EXPECT_TRUE(run.TakeBack());
        EXPECT_EQ(ReadKeyValues(HKEY_CURRENT_USER, key), hadKey ? std::optional(earlier) : std::nullopt);
        RemoveDirectoryA((m_state.DestDir + "uninst.fls").c_str());
    }
}

// The prompt for a missing source file: Retry looks again, Ignore skips the
// file without a record and the count still moves; the wording names a
// directory, or a diskette when the setup program runs from one.
TEST_F(InstallRunTest, MissingFilePromptRetryIgnoreAndDisketteWording)
{
    m_dir.WriteFile("first.txt", "first");
    AddFiles({"Dlate.txt", "Dgone.txt", "Dfirst.txt"});
    int retries = 0;
    ScriptedPrompts prompts([&](Question question, const std::string& text) {
        if (question != Question::MissingFile)
            return false;
        if (text.rfind("I cannot find the file - late.txt", 0) == 0) {
            // The user finds the file and puts it in place, then retries.
            if (++retries == 2)
                m_dir.WriteFile("late.txt", "late");
            return true;
        }
        return false;
    });
    InstallRun run(m_state, prompts);
    ASSERT_TRUE(run.Execute());
    ASSERT_GE(prompts.Questions.size(), 3u);
    EXPECT_EQ(prompts.Questions[0].Text,
              "I cannot find the file - late.txt\r\rPlease make sure it is in the " + m_dir.Path() + " Directory.");
    EXPECT_EQ(prompts.Questions[1].Text, prompts.Questions[0].Text);
    EXPECT_EQ(prompts.Questions[2].Text,
              "I cannot find the file - gone.txt\r\rPlease make sure it is in the " + m_dir.Path() + " Directory.");
    EXPECT_EQ(m_dir.ReadFile("DEST\\late.txt"), "late");
    EXPECT_FALSE(FileIsPresent(m_dir / "DEST\\gone.txt"));
    EXPECT_EQ(m_dir.ReadFile("DEST\\first.txt"), "first");
    EXPECT_TRUE(run.FileSkipped());
    EXPECT_EQ(prompts.Counted, 3);
    const std::string log = Log();
    EXPECT_NE(log.find("F\r\n" + m_state.DestDir + "late.txt\r\n"), std::string::npos);
    EXPECT_EQ(log.find("gone.txt"), std::string::npos);

    // From drive A:, the test bed's diskette drive, the prompt asks for the
    // other diskette in the source's drive.
    m_state.SourceDir = "A:\\";
    ScriptedPrompts diskette;
    InstallRun fromDiskette(m_state, diskette);
    ASSERT_TRUE(fromDiskette.SourceIsRemovable());
    EXPECT_FALSE(fromDiskette.CopyOneFile(m_dir / "gone.txt", m_dir / "DEST\\gone.txt"));
    ASSERT_EQ(diskette.Questions.size(), 1u);
    EXPECT_EQ(diskette.Questions[0].Text,
              "I cannot find the file - gone.txt\r\rPlease insert the other diskette in the " + m_dir.Path() + " Drive.");
    EXPECT_TRUE(fromDiskette.FileSkipped());
}

// A stop asked for between two files ends the run there: nothing more is
// copied, asked or written. Taken back, the run leaves the folders as they
// were: the destination's new folder goes, the file it replaced is back,
// and so is the earlier log; its journal goes.
TEST_F(InstallRunTest, AStopBetweenTwoFilesEndsTheRunAndItIsTakenBack)
{
    m_dir.WriteFile("one.txt", "one");
    m_dir.WriteFile("two.txt", "two");
    m_dir.WriteFile("DEST\\one.txt", "the earlier one");
    m_dir.WriteFile("DEST\\uninst.fls", "F\r\nearlier\r\n");
    AddFiles({"Done.txt", "Dnew\\two.txt", "Dtwo.txt"});
    const std::string before = FolderState(m_dir.Path());
    ScriptedPrompts prompts([](Question, const std::string&) { return true; });
    prompts.AfterCopy = [&] { prompts.Stop = true; };
    InstallRun run(m_state, prompts);
    EXPECT_FALSE(run.Execute());
    EXPECT_EQ(m_dir.ReadFile("DEST\\one.txt"), "one");
    EXPECT_FALSE(FileIsPresent(m_dir / "DEST\\two.txt"));
    EXPECT_TRUE(prompts.Questions.empty());
    EXPECT_TRUE(FindLeftJournal(m_state.Journals));
    EXPECT_TRUE(run.TakeBack());
    EXPECT_EQ(FolderState(m_dir.Path()), before);
    run.TakeBack();
    EXPECT_EQ(FolderState(m_dir.Path()), before);
}

// An optional file that is on neither medium and that the user skipped at
// the missing-file prompt is not offered: no question is asked for it,
// nothing of it is staged or logged, and the optional file after it is
// still offered as usual.
TEST_F(InstallRunTest, AnOptionalFileSkippedAtThePromptIsNotOffered)
{
    // Entries without a backslash keep their code letter in the source name.
    m_dir.WriteFile("Dletters.txt", "letters");
    m_state.Script.OptionList = {{"Install the gone file?", "Dgone.txt"}, {"Install the letters?", "Dletters.txt"}};
    const bool tempExisted = IsExistingDirectory(Temp());
    ScriptedPrompts prompts([](Question question, const std::string&) { return question != Question::MissingFile; });
    InstallRun run(m_state, prompts);
    ASSERT_TRUE(run.Execute());
    ASSERT_EQ(prompts.Questions.size(), 3u);
    EXPECT_EQ(prompts.Questions[0].Kind, Question::MissingFile);
    EXPECT_EQ(prompts.Questions[0].Text, "I cannot find the file - Dgone.txt\r\rPlease make sure it is in the " +
                                             m_dir.Path() + " Directory.");
    EXPECT_EQ(prompts.Questions[1].Text, "Install the letters?");
    EXPECT_EQ(prompts.Questions[2].Text, "Would you like to put a Halvarn 95 item on the Start Menu?");
    EXPECT_TRUE(run.FileSkipped());

    const std::string temp = Temp();
    EXPECT_FALSE(FileIsPresent(temp + "\\Dgone.txt"));
    EXPECT_FALSE(FileIsPresent(m_dir / "DEST\\gone.txt"));
    EXPECT_EQ(m_dir.ReadFile("DEST\\letters.txt"), "letters");
    EXPECT_EQ(IsExistingDirectory(temp), tempExisted);
    const std::string d = m_state.DestDir;
    EXPECT_EQ(Log(), "T\r\nHalvarn 95\r\n"
                     "F\r\n" + temp + "\\Dletters.txt\r\n"
                     "F\r\n" + d + "letters.txt\r\n"
                     "G\r\nHalvarn Group\r\n"
                     "F\r\n" + d + "uninst.exe\r\n"
                     "R\r\nHalvarn95\r\n"
                     "D\r\n" + d + "\r\n");
}

// The .lnk files anywhere below folder.
std::vector<std::string> LinksBelow(const std::string& folder)
{
    std::vector<std::string> links;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        const std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            for (const std::string& inner : LinksBelow(folder + name + "\\"))
                links.push_back(name + "\\" + inner);
        } else if (name.size() > 4 && name.substr(name.size() - 4) == ".lnk") {
            links.push_back(name);
        }
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    std::sort(links.begin(), links.end());
    return links;
}

// A group in a folder of the Programs folder is made and logged as it is
// named. Start Menu items that name no link (no comma), no target (no path
// code before the comma) or a link outside the group (a name with a path in
// it) make no link; the items around them do. A group name that is no
// folder below the Programs folder makes nothing and asks nothing.
TEST_F(InstallRunTest, StartMenuItemsMakeLinksOnlyInsideTheGroup)
{
    m_state.GroupName = "Tools\\Halvarn Group";
    for (const char* item : {"Dhalvarn95.exe,Halvarn 95", "Dreadme.txt", "Xbad.exe,Unknown Code",
                             "dlower.exe,Lower Case Code", ",Empty Target", "Dreadme.txt,..\\..\\..\\Escaped",
                             "Dreadme.txt,Sub\\Item", "Dreadme.txt,Read Me"})
        m_state.Script.ItemList.push_back(ScriptFormat::SplitItemArgument(item));
    ScriptedPrompts prompts([](Question, const std::string&) { return true; });
    ASSERT_TRUE(InstallRun(m_state, prompts).Execute());
    ASSERT_EQ(prompts.Questions.size(), 1u);
    EXPECT_EQ(prompts.Questions[0].Text, "Would you like to put a Halvarn 95 item on the Start Menu?");

    const std::string group = m_dir / "MENU\\PROGRAMS\\Tools\\Halvarn Group\\";
    EXPECT_EQ(LinksBelow(m_dir.Path()), (std::vector<std::string>{"MENU\\PROGRAMS\\Tools\\Halvarn Group\\Halvarn 95.lnk",
                                                                   "MENU\\PROGRAMS\\Tools\\Halvarn Group\\Read Me.lnk"}));
    EXPECT_EQ(ReadLink(group + "Halvarn 95.lnk").Path, m_dir / "DEST\\halvarn95.exe");
    EXPECT_EQ(ReadLink(group + "Read Me.lnk").Path, m_dir / "DEST\\readme.txt");
    const std::string d = m_state.DestDir;
    EXPECT_EQ(Log(), "T\r\nHalvarn 95\r\nG\r\nTools\\Halvarn Group\r\nF\r\n" + d + "uninst.exe\r\nR\r\nHalvarn95\r\nD\r\n" + d + "\r\n");

    RemoveTree(m_dir / "MENU\\PROGRAMS\\Tools");
    DeleteFileA((d + "uninst.fls").c_str());
    m_state.GroupName = "..\\Outside";
    ScriptedPrompts outside([](Question, const std::string&) { return true; });
    ASSERT_TRUE(InstallRun(m_state, outside).Execute());
    EXPECT_TRUE(outside.Questions.empty());
    EXPECT_FALSE(IsExistingDirectory(m_dir / "MENU\\Outside"));
    EXPECT_TRUE(LinksBelow(m_dir.Path()).empty());
    EXPECT_EQ(Log(), "T\r\nHalvarn 95\r\nF\r\n" + d + "uninst.exe\r\nR\r\nHalvarn95\r\nD\r\n" + d + "\r\n");
}

// A reinstallation merges the earlier log only when it proves an earlier
// installation of this product in this very folder: read whole, its last D
// record naming the folder, and its title, when it has one, the product's.
// Any other file of the log's name is merged in nothing, and makes the
// folder one that holds other files.
TEST_F(InstallRunTest, OnlyThisProductsWholeLogInItsOwnFolderIsMerged)
{
    const std::string d = m_state.DestDir;
    const std::string whole = "F\r\n" + d + "old.dll\r\nD\r\n" + d + "\r\n";
    struct Case {
        const char* Name;
        std::string Log;
        bool Merged;
    };
    const Case cases[] = {
        {"this product's", "T\r\nHalvarn 95\r\n" + whole, true},
        {"the title in other letters", "T\r\nHALVARN 95\r\n" + whole, true},
        {"an older log without a title", whole, true},
        {"cut inside its last record", "T\r\nHalvarn 95\r\n" + whole + "G\r\nTools", false},
        {"another product's", "T\r\nBrisdane 95\r\n" + whole, false},
        {"empty", "", false},
        {"naming another folder", "F\r\n" + d + "old.dll\r\nD\r\n" + m_dir.Path() + "ELSE\\\r\n", false},
        {"without a D record", "F\r\n" + d + "old.dll\r\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        m_dir.WriteFile("DEST\\uninst.fls", c.Log);
        // The uninstaller the case before left is no file of this log.
        DeleteFileA((d + "uninst.exe").c_str());
        EXPECT_EQ(HoldsOtherFiles(d, m_state.ProductTitle), !c.Merged);
        ScriptedPrompts prompts;
        InstallRun run(m_state, prompts);
        ASSERT_TRUE(run.Execute());
        EXPECT_EQ(Log(), "T\r\nHalvarn 95\r\n" + std::string(c.Merged ? "F\r\n" + d + "old.dll\r\n" : "") + "F\r\n" +
                             d + "uninst.exe\r\nR\r\nHalvarn95\r\nD\r\n" + d + "\r\n");
    }
    // A folder that holds nothing holds no other files either.
    DeleteFileA((d + "uninst.fls").c_str());
    DeleteFileA((d + "uninst.exe").c_str());
    EXPECT_FALSE(HoldsOtherFiles(d, m_state.ProductTitle));
}

// A copy that fails (its folder below the destination does not exist) raises
// the stream's error at that step and writes no log; an optional file's
// failed copy leaves neither the staged copy nor a staging folder the run
// made behind.
TEST_F(InstallRunTest, AFailedCopyStopsTheRunWithoutALogOrStagedFiles)
{
    m_dir.WriteFile("data.dat", "data");
    m_dir.WriteFile("letters.txt", "letters");
    {
        SCOPED_TRACE("mandatory");
        AddFiles({"Dmissing\\data.dat"});
        ScriptedPrompts prompts;
        InstallRun run(m_state, prompts);
        try {
            run.Execute();
            ADD_FAILURE() << "no error";
        } catch (const EFCreateError& e) {
            EXPECT_STREQ(e.what(), ("Cannot create file " + m_state.DestDir + "missing\\data.dat").c_str());
        }
        EXPECT_FALSE(FileIsPresent(m_dir / "DEST\\uninst.fls"));
        m_state.Script.FileList.clear();
    }
    {
        SCOPED_TRACE("optional");
        m_state.Script.OptionList = {{"Install the letters?", "Dmissing\\letters.txt"}};
        const bool tempExisted = IsExistingDirectory(Temp());
        ASSERT_FALSE(FileIsPresent(Temp() + "\\letters.txt"));
        ScriptedPrompts prompts([](Question, const std::string&) { return true; });
        InstallRun run(m_state, prompts);
        EXPECT_THROW(run.Execute(), EFCreateError);
        ASSERT_EQ(prompts.Questions.size(), 1u);
        EXPECT_EQ(prompts.Questions[0].Text, "Install the letters?");
        EXPECT_FALSE(FileIsPresent(Temp() + "\\letters.txt"));
        EXPECT_EQ(IsExistingDirectory(Temp()), tempExisted);
        EXPECT_FALSE(FileIsPresent(m_dir / "DEST\\uninst.fls"));
    }
}

// A group that cannot be made where the uninstaller takes it back is not
// offered: a name too long for its folder (one of 300 characters, or four
// levels of 60), one whose folder fits but whose links do not, and the
// StartUp folder, which the uninstaller keeps whether it is there or not yet
// made. The person is told why; nothing is made below the Programs folder,
// and the log has no group. The uninstaller's rule is the one asked.
TEST_F(InstallRunTest, AGroupThatCannotBeMadeOrThatTheUninstallerKeepsIsNotOffered)
{
    m_dir.WriteFile("DEST\\halvarn95.exe", "program");
    m_dir.WriteFile("MENU\\PROGRAMS\\STARTUP\\keep.txt", "the user's");
    m_state.Script.ItemList.push_back(ScriptFormat::SplitItemArgument("Dhalvarn95.exe,Halvarn 95"));
    const std::string programs = m_state.ProgramsDir;
    const std::string level(60, 'L');
    // The folder's name has 247 characters, the most the system makes; the
    // link in it would have 262.
    const std::string fitsAlone(247 - programs.size(), 'F');
    struct Case {
        std::string Group;
        std::string Reason;
    };
    const std::string longest = "more than the 247 the system allows";
    const std::vector<Case> cases{
        {std::string(300, 'x'), "The Start Menu group " + std::string(300, 'x') + " is too long: " + programs +
                                    std::string(300, 'x') + " would have " +
                                    std::to_string(programs.size() + 300) + " characters, " + longest},
        {level + "\\" + level + "\\" + level + "\\" + level,
         "The Start Menu group " + level + "\\" + level + "\\" + level + "\\" + level + " is too long: " + programs +
             level + "\\" + level + "\\" + level + "\\" + level + " would have " +
             std::to_string(programs.size() + 243) + " characters, " + longest},
        {fitsAlone, "The Start Menu group " + fitsAlone + " is too long: " + programs + fitsAlone +
                        "\\Halvarn 95.lnk would have 262 characters, more than the 259 the system allows"},
        {"StartUp", "The Start Menu group StartUp is a folder that the uninstaller never removes (such as the "
                    "StartUp folder): its links would stay for good"},
    };
    const auto runWith = [&](const Case& c) {
        SCOPED_TRACE(c.Group);
        m_state.GroupName = c.Group;
        ASSERT_EQ(GroupRefusal(m_state), c.Reason);
        ScriptedPrompts prompts([](Question, const std::string&) { return true; });
        InstallRun run(m_state, prompts);
        ASSERT_TRUE(run.Execute());
        EXPECT_TRUE(prompts.Questions.empty());
        EXPECT_EQ(prompts.Warned, (std::vector<std::string>{"No Start Menu group is made. " + c.Reason + "."}));
        for (const InstallAction& action : run.Actions()) {
            EXPECT_NE(action.Kind, ActionKind::GroupMade);
            EXPECT_NE(action.Kind, ActionKind::LinkMade) << action.Path;
            EXPECT_NE(action.Kind, ActionKind::FolderMade) << action.Path;
        }
        EXPECT_EQ(Log(), "T\r\nHalvarn 95\r\nF\r\n" + m_state.DestDir + "uninst.exe\r\nR\r\nHalvarn95\r\nD\r\n" + m_state.DestDir + "\r\n");
        DeleteFileA((m_state.DestDir + "uninst.fls").c_str());
    };
    for (const Case& c : cases)
        runWith(c);
    EXPECT_EQ(LinksBelow(m_dir.Path()), std::vector<std::string>{});
    EXPECT_EQ(m_dir.ReadFile("MENU\\PROGRAMS\\STARTUP\\keep.txt"), "the user's");
    EXPECT_FALSE(IsExistingDirectory(programs + level));

    // The StartUp folder that nothing has made yet is kept by its name.
    RemoveTree(m_dir / "MENU\\PROGRAMS\\STARTUP");
    runWith(cases.back());
    EXPECT_FALSE(IsExistingDirectory(m_dir / "MENU\\PROGRAMS\\STARTUP"));

    // The uninstaller's rule: the StartUp folder is kept, there or not, and
    // so is the Programs folder that holds it; a new folder below is not.
    const ProtectedFolders protectedFolders(m_state);
    EXPECT_TRUE(protectedFolders.Keeps(m_state.StartupDir));
    EXPECT_TRUE(protectedFolders.Keeps(programs));
    EXPECT_FALSE(protectedFolders.Keeps(programs + "Halvarn Group"));
    m_state.GroupName = "Halvarn Group";
    EXPECT_EQ(GroupRefusal(m_state), std::nullopt);
}

// What the run reports made is there: a group folder that the system does
// not make (a file has its name), and a group's or program information link
// that the shell does not write (a folder has its name), fail the run at that
// step, with no log, and the run taken back leaves what was there before as
// it was, and no folder or link of its own.
TEST_F(InstallRunTest, AGroupFolderOrLinkThatIsNotThereAfterItsMakingFailsTheRun)
{
    m_dir.WriteFile("DEST\\halvarn95.exe", "program");
    for (const char* item : {"Dhalvarn95.exe,Read Me", "Dhalvarn95.exe,Halvarn 95"})
        m_state.Script.ItemList.push_back(ScriptFormat::SplitItemArgument(item));
    const std::string group = m_dir / "MENU\\PROGRAMS\\Halvarn Group";
    const auto expectFailure = [&](const std::string& message, bool groupMade = false) {
        ScriptedPrompts prompts([](Question, const std::string&) { return true; });
        InstallRun run(m_state, prompts);
        try {
            run.Execute();
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), message);
        }
        EXPECT_EQ(std::count_if(run.Actions().begin(), run.Actions().end(),
                                [](const InstallAction& a) { return a.Kind == ActionKind::GroupMade; }),
                  groupMade ? 1 : 0);
        EXPECT_FALSE(FileIsPresent(m_state.DestDir + "uninst.fls"));
        run.TakeBack();
    };
    {
        SCOPED_TRACE("a file where the group's folder would be");
        m_dir.WriteFile("MENU\\PROGRAMS\\Halvarn Group", "a file of the user's");
        expectFailure("The Start Menu group's folder " + group + " could not be made");
        EXPECT_EQ(m_dir.ReadFile("MENU\\PROGRAMS\\Halvarn Group"), "a file of the user's");
        DeleteFileA(group.c_str());
    }
    {
        SCOPED_TRACE("a folder where a link would be");
        ASSERT_TRUE(CreateDirectoryA(group.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA((group + "\\Halvarn 95.lnk").c_str(), nullptr));
        expectFailure("The link " + group + "\\Halvarn 95.lnk could not be made");
        EXPECT_FALSE(FileIsPresent(group + "\\Read Me.lnk"));
        EXPECT_TRUE(IsExistingDirectory(group + "\\Halvarn 95.lnk"));
    }
    {
        SCOPED_TRACE("a folder where the program information link would be");
        RemoveTree(group);
        m_state.Script.PifList.push_back("HALVARN");
        ASSERT_TRUE(CreateDirectoryA((m_state.DestDir + "HALVARN.pif").c_str(), nullptr));
        expectFailure("The link " + m_state.DestDir + "HALVARN.pif could not be made", true);
        EXPECT_FALSE(IsExistingDirectory(group));
        EXPECT_TRUE(IsExistingDirectory(m_state.DestDir + "HALVARN.pif"));
    }
}

// Optional files that the switches decline are not read: their sources may
// be missing, and nothing is staged for them. Taken, a missing source stops
// an unattended run as a missing mandatory file does. A group that /nogroup
// declines is only declined, even one that could not be made.
TEST_F(InstallRunTest, OptionalFilesDeclinedByTheSwitchesNeedNoSource)
{
    m_dir.WriteFile("data.dat", "data");
    AddFiles({"Ddata.dat"});
    m_state.Script.OptionList = {{"Install the letters?", "Dletters.txt"}, {"Install the extra?", "D.\\extra.txt"}};
    const bool tempExisted = IsExistingDirectory(Temp());
    m_state.Switches.Mode = RunMode::Quiet;
    m_state.Switches.Optional = OptionalAnswer::None;
    m_state.Switches.NoGroup = true;
    m_state.Switches.NoLaunch = true;
    m_state.GroupName = "StartUp";
    ASSERT_EQ(m_state.Log.Open(m_dir / "run.log"), "");
    {
        AnsweringPrompts prompts(m_state.Switches, m_state.Log, nullptr);
        EXPECT_TRUE(prompts.AnswersNo(Question::OptionalFile));
        ASSERT_TRUE(InstallRun(m_state, prompts).Execute());
    }
    EXPECT_EQ(ReadWhole(m_dir / "run.log"),
              "Brisdane 95 Setup run log\r\n"
              "File copied: " + m_state.DestDir + "data.dat (4 bytes)\r\n"
              "Optional file declined: Install the letters?\r\n"
              "Optional file declined: Install the extra?\r\n"
              "Question: Would you like to put a Halvarn 95 item on the Start Menu? Answer: No\r\n"
              "File copied: " + m_state.DestDir + "uninst.exe (20 bytes)\r\n"
              "Registered with Windows: HKCU\\" + m_state.Registrations.Key + "\\Halvarn95\r\n"
              "Uninstall log written: " + m_state.DestDir + "uninst.fls\r\n");
    EXPECT_EQ(ReadWhole(m_state.DestDir + "data.dat"), "data");
    EXPECT_EQ(IsExistingDirectory(Temp()), tempExisted);
    EXPECT_EQ(Log(), "T\r\nHalvarn 95\r\nF\r\n" + m_state.DestDir + "data.dat\r\nF\r\n" + m_state.DestDir + "uninst.exe\r\nR\r\nHalvarn95\r\nD\r\n" + m_state.DestDir + "\r\n");

    DeleteFileA((m_state.DestDir + "uninst.fls").c_str());
    m_state.Switches.Optional = OptionalAnswer::All;
    AnsweringPrompts prompts(m_state.Switches, m_state.Log, nullptr);
    EXPECT_FALSE(prompts.AnswersNo(Question::OptionalFile));
    InstallRun run(m_state, prompts);
    EXPECT_THROW(run.Execute(), EUnattendedStop);
    run.TakeBack();
    EXPECT_FALSE(FileIsPresent(m_state.DestDir + "uninst.fls"));
}

} // namespace
