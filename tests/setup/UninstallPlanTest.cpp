// The uninstall log read into a plan and the removal of what is selected
// from it, without a window: which records are listed, which are refused,
// the question for a directory that still has contents, and the folders
// never removed whatever the log says.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/Exceptions.h"
#include "runtime/DirPaths.h"
#include "runtime/Files.h"
#include "runtime/Paths.h"
#include "setup/engine/Removal.h"
#include "setup/engine/UninstallPlan.h"
#include "tests/setup/EngineFixture.h"

namespace {

using Strings = std::vector<std::string>;
using Question = SetupPrompts::Question;

class UninstallPlanTest : public EngineTest {
protected:
    // Writes the log into the folder (below the test's folder, ending in a
    // backslash; the program's own unless given) and reads it; records are
    // letter and argument.
    UninstallPlan Read(const Strings& records, const std::string& folder = "")
    {
        std::string text;
        for (const std::string& line : records)
            text += line + "\r\n";
        m_dir.WriteFile(folder + "uninst.fls", text);
        return ReadUninstallLog(m_dir / (folder + "uninst.fls"), m_state, Protected());
    }

    const ProtectedFolders& Protected()
    {
        if (!m_protected)
            m_protected.emplace(m_state);
        return *m_protected;
    }

    static Strings Lines(const std::vector<PlannedRemoval>& items)
    {
        Strings lines;
        for (const PlannedRemoval& item : items)
            lines.push_back(item.Line());
        return lines;
    }

    // Removes the items whose indexes are given (all when none are),
    // answering the question as answer says.
    RemovalResult Remove(const UninstallPlan& plan, ScriptedPrompts& prompts, std::vector<size_t> indexes = {})
    {
        std::vector<bool> selected(plan.Items.size(), indexes.empty());
        for (size_t index : indexes)
            selected[index] = true;
        return RemoveSelected(plan, selected, m_state, Protected(), prompts);
    }

    std::optional<ProtectedFolders> m_protected;
};

TEST_F(UninstallPlanTest, EveryRecordKindIsListedWhenItsItemExists)
{
    m_dir.WriteFile("DEST\\a.TMP", "");
    m_dir.WriteFile("DEST\\b.TMP", "");
    m_dir.WriteFile("DEST\\halvarn95.exe", "x");
    CreateDirectoryA((m_dir / "MENU\\PROGRAMS\\Halvarn 95").c_str(), nullptr);
    const std::string d = m_dir / "DEST\\";
    // The U record is resolved with the destination the script gave, before
    // the log's own D record names it.
    const UninstallPlan plan =
        Read({"U", "D*.TMP", "F", d + "halvarn95.exe", "F", d + "gone.exe", "Gextra text on the letter line",
              "Halvarn 95", "G", "Old Group", "X", "skipped", "D", d});
    EXPECT_EQ(Lines(plan.Items), (Strings{"File - " + d + "a.TMP", "File - " + d + "b.TMP",
                                          "File - " + d + "halvarn95.exe", "Program Manager Group - Halvarn 95",
                                          "Directory - " + d}));
    EXPECT_EQ(plan.MissingGroups, (Strings{"Old Group"}));
    ASSERT_EQ(plan.Refused.size(), 2u);
    EXPECT_EQ(plan.Refused[0].Argument, d + "gone.exe");
    EXPECT_EQ(plan.Refused[1].Argument, "Old Group");
    EXPECT_EQ(plan.GroupName, "HALVARN 95");
    EXPECT_EQ(plan.Destination, d);
    EXPECT_FALSE(plan.ReadFailure);
    // The reading changes nothing of the state.
    EXPECT_EQ(m_state.GroupName, "");
}

TEST_F(UninstallPlanTest, RemovingEverythingAsksNothing)
{
    const std::string d = m_dir / "DEST\\";
    m_dir.WriteFile("DEST\\halvarn95.exe", "x");
    m_dir.WriteFile("DEST\\readme.txt", "x");
    m_dir.WriteFile("DEST\\old.TMP", "x");
    CreateDirectoryA((m_dir / "MENU\\PROGRAMS\\Halvarn 95").c_str(), nullptr);
    m_dir.WriteFile("MENU\\PROGRAMS\\Halvarn 95\\Halvarn 95.lnk", "link");
    const UninstallPlan plan = Read({"U", "D*.TMP", "F", d + "halvarn95.exe", "F", d + "readme.txt", "G", "Halvarn 95",
                                     "D", d});
    ASSERT_EQ(plan.Items.size(), 5u);
    ScriptedPrompts prompts;
    EXPECT_TRUE(Remove(plan, prompts).Kept.empty());
    EXPECT_TRUE(prompts.Questions.empty());
    EXPECT_FALSE(IsExistingDirectory(d));
    EXPECT_FALSE(IsExistingDirectory(m_dir / "MENU\\PROGRAMS\\Halvarn 95"));
    EXPECT_TRUE(IsExistingDirectory(m_dir / "MENU\\PROGRAMS"));
}

// What a listener of the engine's progress hears: each count in order.
class HeardProgress : public WorkProgress {
public:
    void Reached(size_t done, size_t total) override { Heard.push_back({done, total}); }
    std::vector<std::pair<size_t, size_t>> Heard;
};

// The reading tells of every record of the log, an unlisted one too, and
// the removal of every selected item once it is through with it (the
// directory, put off to the end, counted in its turn), never of one that is
// not selected; the progress changes nothing of what is listed or removed.
TEST_F(UninstallPlanTest, TheReadingAndTheRemovalTellTheirProgress)
{
    const std::string d = m_dir / "DEST\\";
    m_dir.WriteFile("DEST\\halvarn95.exe", "x");
    m_dir.WriteFile("DEST\\readme.txt", "x");
    m_dir.WriteFile("DEST\\uninst.fls", "T\r\nHalvarn 95\r\nF\r\n" + d + "halvarn95.exe\r\nF\r\n" + d +
                                            "missing.txt\r\nF\r\n" + d + "readme.txt\r\nD\r\n" + d + "\r\n");
    HeardProgress reading;
    const UninstallPlan plan =
        ReadUninstallLog(d + "uninst.fls", m_state, Protected(), PatternFolder::ScriptDestination, &reading);
    using Heard = std::vector<std::pair<size_t, size_t>>;
    EXPECT_EQ(reading.Heard, (Heard{{1, 5}, {2, 5}, {3, 5}, {4, 5}, {5, 5}}));
    ASSERT_EQ(Lines(plan.Items), (Strings{"File - " + d + "halvarn95.exe", "File - " + d + "readme.txt",
                                          "Directory - " + d}));

    ScriptedPrompts prompts;
    HeardProgress removal;
    const RemovalResult result =
        RemoveSelected(plan, {true, false, true}, m_state, Protected(), prompts, &removal);
    EXPECT_EQ(removal.Heard, (Heard{{1, 2}, {2, 2}}));
    // The folder still holds the file not selected: the question is asked,
    // and answered No.
    EXPECT_EQ(prompts.Questions.size(), 1u);
    EXPECT_EQ(Lines(result.Kept), (Strings{"File - " + d + "readme.txt", "Directory - " + d}));
    EXPECT_FALSE(FileIsPresent(d + "halvarn95.exe"));
    EXPECT_TRUE(FileIsPresent(d + "readme.txt"));
}

// Only the directory selected while files remain in it. When the directory
// holds the log: the question; No keeps the item, now last, and everything
// in it; Yes removes the directory with what is in it. When the log lies
// elsewhere: no question, and the directory stays with its item.
TEST_F(UninstallPlanTest, ADirectoryWithContentsIsRemovedOnlyOnYesWhenItHoldsTheLog)
{
    const std::string d = m_dir / "DEST\\";
    for (const std::string answer : {"No", "Yes", "none: the log lies beside the program"}) {
        SCOPED_TRACE(answer);
        const bool asked = answer.size() <= 3;
        const bool yes = answer == "Yes";
        CreateDirectoryA(d.c_str(), nullptr);
        m_dir.WriteFile("DEST\\halvarn95.exe", "x");
        const UninstallPlan plan = Read({"D", d, "F", d + "halvarn95.exe"}, asked ? "DEST\\" : "");
        ASSERT_EQ(Lines(plan.Items), (Strings{"Directory - " + d, "File - " + d + "halvarn95.exe"}));
        ScriptedPrompts prompts([&](Question, const std::string&) { return yes; });
        const std::vector<PlannedRemoval> kept = Remove(plan, prompts, {0}).Kept;
        ASSERT_EQ(prompts.Questions.size(), asked ? 1u : 0u);
        if (asked) {
            EXPECT_EQ(prompts.Questions[0].Kind, Question::FolderNotEmpty);
            EXPECT_EQ(prompts.Questions[0].Text,
                      d + " still has files or folders in it.\r\rWould you like to Delete it and its contents, anyway?");
        }
        EXPECT_EQ(IsExistingDirectory(d), !yes);
        EXPECT_EQ(Lines(kept), yes ? Strings{"File - " + d + "halvarn95.exe"}
                                   : (Strings{"File - " + d + "halvarn95.exe", "Directory - " + d}));
        DeleteFileA((d + "uninst.fls").c_str());
    }
}

// An item of an F record removes a file and never a folder, even when a
// folder has taken the file's name since the plan was made: that item
// stays. A folder that a U pattern matched inside the destination, which
// holds the log, goes with what it holds.
TEST_F(UninstallPlanTest, AFileItemRemovesAFolderOnlyWhenAPatternMatchedOne)
{
    const std::string d = m_dir / "DEST\\";
    m_dir.WriteFile("DEST\\x", "the installation's");
    m_dir.WriteFile("DEST\\y", "the installation's");
    CreateDirectoryA((d + "sub").c_str(), nullptr);
    m_dir.WriteFile("DEST\\sub\\data.txt", "the installation's");
    const UninstallPlan plan = Read({"U", "Dsub*", "F", d + "x", "F", d + "y"}, "DEST\\");
    ASSERT_EQ(Lines(plan.Items), (Strings{"File - " + d + "sub", "File - " + d + "x", "File - " + d + "y"}));
    ASSERT_TRUE(DeleteFileA((d + "x").c_str()));
    CreateDirectoryPath(d + "x\\inner");
    m_dir.WriteFile("DEST\\x\\inner\\data.txt", "the user's");
    ScriptedPrompts prompts;
    EXPECT_EQ(Lines(Remove(plan, prompts).Kept), (Strings{"File - " + d + "x"}));
    EXPECT_FALSE(IsExistingDirectory(d + "sub"));
    EXPECT_FALSE(FileIsPresent(d + "y"));
    EXPECT_EQ(m_dir.ReadFile("DEST\\x\\inner\\data.txt"), "the user's");
}

// Whatever the log says, the plan lists and the removal takes nothing that
// would take the searched folder, its parent, the Programs folder or a
// folder the system needs with it.
TEST_F(UninstallPlanTest, TheLogCannotMakeItRemoveVitalFolders)
{
    const std::string d = m_dir / "DEST\\";
    m_dir.WriteFile("DEST\\a.dat", "");
    CreateDirectoryA((d + "sub").c_str(), nullptr);
    CreateDirectoryA((m_dir / "MENU\\PROGRAMS\\Halvarn 95").c_str(), nullptr);
    m_dir.WriteFile("MENU\\PROGRAMS\\other.lnk", "someone else's item");
    m_dir.WriteFile("WIN\\win.ini", "");
    {
        SCOPED_TRACE("U patterns match . and .. of the folder they search, and folders outside the destination");
        Strings lines = Lines(Read({"U", "D*", "U", "D.*", "U", "N" + m_dir.Path() + "MENU\\PROGRAMS\\H*", "U",
                                    "Nsub\\*"},
                                   "DEST\\")
                                  .Items);
        std::sort(lines.begin(), lines.end());
        EXPECT_EQ(lines, (Strings{"File - " + d + "a.dat", "File - " + d + "sub", "File - " + d + "uninst.fls"}));
        // A destination that does not hold the log has none of its folders
        // listed.
        lines = Lines(Read({"U", "D*"}).Items);
        std::sort(lines.begin(), lines.end());
        EXPECT_EQ(lines, (Strings{"File - " + d + "a.dat", "File - " + d + "uninst.fls"}));
        DeleteFileA((d + "uninst.fls").c_str());
    }
    {
        SCOPED_TRACE("G records naming no folder below the Programs folder, or one the system needs");
        Strings log{"G", "", "G", "..", "G", "..\\PROGRAMS", "G", "Halvarn 95\\..", "G", ".", "G", "STARTUP", "G",
                    "Halvarn 95"};
        // Nineteen more that are not there: the message names the first 20.
        std::string named = "\r\r\r..\r..\\PROGRAMS\rHalvarn 95\\..\r.\rSTARTUP";
        for (int i = 1; i <= 19; ++i) {
            log.insert(log.end(), {"G", "Gone " + std::to_string(i)});
            if (i <= 14)
                named += "\rGone " + std::to_string(i);
        }
        const UninstallPlan plan = Read(log);
        EXPECT_EQ(Lines(plan.Items), (Strings{"Program Manager Group - Halvarn 95"}));
        ASSERT_EQ(plan.MissingGroups.size(), 25u);
        EXPECT_EQ(GroupsNotFoundText(plan.MissingGroups),
                  "Could not find these Groups:" + named + "\rand 5 more\r\rThey may need to be removed manually.");
        EXPECT_EQ(GroupsNotFoundText({"Old"}), "Could not find the Old Group.\r\rIt may need to be removed manually.");
    }
    const UninstallPlan plan =
        Read({"D", "C:\\", "D", "C:", "D", m_state.WinDir, "D", m_state.SysDir, "D", m_state.ProgramsDir, "D",
              m_state.StartupDir, "D", m_dir / "MENU\\", "D", m_dir.Path(), "D", m_dir / "WIN\\SYSTEM\\..\\", "U",
              "N" + m_dir.Path() + "MENU", "U", "N" + m_dir.Path() + "W*", "F", m_dir / "WIN\\*", "D", d});
    EXPECT_EQ(Lines(plan.Items), (Strings{"Directory - " + d}));
    // Asked directly, the delete operation refuses them too.
    for (const std::string& vital : {m_state.WinDir, m_state.SysDir, m_state.ProgramsDir, m_state.StartupDir,
                                     m_dir / "MENU\\", m_dir.Path()})
        DeletePath(vital, Protected());
    EXPECT_TRUE(FileIsPresent(m_dir / "WIN\\win.ini"));
    EXPECT_TRUE(IsExistingDirectory(m_state.SysDir));
    EXPECT_TRUE(IsExistingDirectory(m_state.StartupDir));
    EXPECT_TRUE(FileIsPresent(m_dir / "MENU\\PROGRAMS\\other.lnk"));
    EXPECT_TRUE(Protected().Protects("C:\\"));
    EXPECT_TRUE(Protected().Protects(m_dir / "MENU\\PROGRAMS\\STARTUP\\..\\"));
    EXPECT_TRUE(Protected().Protects(m_dir / "MISSING\\"));
    EXPECT_FALSE(Protected().Protects(d));
    EXPECT_FALSE(Protected().Protects(d + "sub"));

    // A log with only vital records and everything removed: nothing goes, as
    // the destination does not hold the log and is not empty.
    ScriptedPrompts yes([](Question, const std::string&) { return true; });
    Remove(plan, yes);
    EXPECT_TRUE(FileIsPresent(d + "a.dat"));
    EXPECT_TRUE(IsExistingDirectory(m_state.ProgramsDir));
    EXPECT_TRUE(FileIsPresent(m_dir / "MENU\\PROGRAMS\\other.lnk"));
}

// Each group item removes the folder it names, also when the log names
// further groups after it, and a group in a folder of its own below the
// Programs folder is listed and removed without that folder.
TEST_F(UninstallPlanTest, EachGroupRemovesTheGroupItNames)
{
    const std::string programs = m_dir / "MENU\\PROGRAMS\\";
    for (const std::string group : {"Halvarn 95", "Other", "Tools\\Halvarn 95"}) {
        CreateDirectoryPath(programs + group);
        m_dir.WriteFile("MENU\\PROGRAMS\\" + group + "\\Halvarn 95.lnk", "link");
    }
    m_dir.WriteFile("MENU\\PROGRAMS\\Tools\\Editor.lnk", "someone else's item");
    const UninstallPlan plan = Read({"G", "Halvarn 95", "G", "Tools\\Halvarn 95", "G", "Tools\\..\\Other", "G", "Other"});
    EXPECT_EQ(Lines(plan.Items), (Strings{"Program Manager Group - Halvarn 95",
                                          "Program Manager Group - Tools\\Halvarn 95", "Program Manager Group - Other"}));
    EXPECT_EQ(plan.MissingGroups, (Strings{"Tools\\..\\Other"}));
    EXPECT_EQ(plan.GroupName, "OTHER");
    ScriptedPrompts prompts;
    EXPECT_EQ(Lines(Remove(plan, prompts, {0, 1}).Kept), (Strings{"Program Manager Group - Other"}));
    EXPECT_FALSE(IsExistingDirectory(programs + "Halvarn 95"));
    EXPECT_FALSE(IsExistingDirectory(programs + "Tools\\Halvarn 95"));
    EXPECT_TRUE(FileIsPresent(programs + "Tools\\Editor.lnk"));
    EXPECT_TRUE(FileIsPresent(programs + "Other\\Halvarn 95.lnk"));
}

// The directory removed is the one the selected item names, although a
// later "D" record of the log names a folder that was never listed: one
// that did not exist while the log was read (and has appeared since), or
// the Windows directory, which is never listed.
TEST_F(UninstallPlanTest, TheDirectoryRemovedIsTheOneTheSelectedItemNames)
{
    const std::string d = m_dir / "DEST\\";
    const std::string later = m_dir / "LATER\\";
    for (const std::string& laterDir : {later, m_state.WinDir}) {
        SCOPED_TRACE(laterDir);
        m_dir.WriteFile("WIN\\win.ini", "");
        CreateDirectoryA(d.c_str(), nullptr);
        RemoveTree(later);
        const UninstallPlan plan = Read({"D", d, "D", laterDir});
        ASSERT_EQ(Lines(plan.Items), (Strings{"Directory - " + d}));
        EXPECT_EQ(plan.Destination, laterDir);
        // An empty folder under the later name appears before the removal:
        // it is nobody's choice and must stay.
        CreateDirectoryA(later.c_str(), nullptr);
        ScriptedPrompts prompts;
        Remove(plan, prompts);
        EXPECT_TRUE(prompts.Questions.empty());
        EXPECT_FALSE(IsExistingDirectory(d));
        EXPECT_TRUE(IsExistingDirectory(later));
        EXPECT_TRUE(FileIsPresent(m_dir / "WIN\\win.ini"));
    }

    // With contents left in the selected directory, which holds the log,
    // the question names it, and Yes takes it and nothing else.
    CreateDirectoryA(d.c_str(), nullptr);
    m_dir.WriteFile("DEST\\halvarn95.exe", "x");
    RemoveTree(later);
    const UninstallPlan plan = Read({"D", d, "D", later}, "DEST\\");
    ASSERT_EQ(Lines(plan.Items), (Strings{"Directory - " + d}));
    CreateDirectoryA(later.c_str(), nullptr);
    m_dir.WriteFile("LATER\\keep.txt", "someone else's");
    ScriptedPrompts yes([](Question, const std::string&) { return true; });
    Remove(plan, yes);
    ASSERT_EQ(yes.Questions.size(), 1u);
    EXPECT_EQ(yes.Questions[0].Text,
              d + " still has files or folders in it.\r\rWould you like to Delete it and its contents, anyway?");
    EXPECT_FALSE(IsExistingDirectory(d));
    EXPECT_TRUE(FileIsPresent(later + "keep.txt"));
}

// A log cut off inside its last record, as a run stopped while writing it
// leaves it, is read as far as it is whole: the cut record is dropped, even
// when what it names is there, and the plan says the log is damaged.
TEST_F(UninstallPlanTest, ALogCutInsideARecordIsReadAsFarAsItIsWhole)
{
    const std::string a = m_dir / "DEST\\a.txt";
    const std::string b = m_dir / "DEST\\b.txt";
    m_dir.WriteFile("DEST\\a.txt", "");
    m_dir.WriteFile("DEST\\b.txt", "");
    const std::string first = "F\r\n" + a + "\r\n";
    struct Case {
        const char* Name;
        std::string Log;
        bool Damaged;
    };
    const Case cases[] = {
        {"whole", first + "F\r\n" + b + "\r\n", false},
        {"whole, cut inside its last line end", first + "F\r\n" + b + "\r", false},
        {"whole, with a blank line an editor left", first + "F\r\n" + b + "\r\n\r\n", false},
        {"cut at the end of an argument", first + "F\r\n" + b, true},
        {"cut after a letter line", first + "F\r\n", true},
        {"cut inside a letter line", first + "F", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        m_dir.WriteFile("uninst.fls", c.Log);
        const UninstallPlan plan = ReadUninstallLog(m_dir / "uninst.fls", m_state, Protected());
        EXPECT_EQ(plan.Damaged, c.Damaged);
        EXPECT_EQ(Lines(plan.Items), c.Damaged ? Strings{"File - " + a} : (Strings{"File - " + a, "File - " + b}));
        EXPECT_FALSE(plan.ReadFailure);
    }
}

// The log goes last of all, and only once everything else selected has
// gone, whatever the order of the names in the log and in its folder: a
// file that another program holds open stays and is named, and the log and
// the folder stay with it, so that a second uninstallation finishes the job.
// Neither keeps the current directory inside the folder from being removed.
TEST_F(UninstallPlanTest, TheLogGoesLastAndStaysWhileAnythingElseDoes)
{
    const std::string d = m_dir / "DEST\\";
    const std::string log = d + "uninst.fls";
    for (const std::string held : {"a-held.txt", "z-held.txt"}) {
        SCOPED_TRACE(held);
        CreateDirectoryA(d.c_str(), nullptr);
        for (const std::string& name : {std::string("b.txt"), std::string("contents.txt"), held})
            m_dir.WriteFile("DEST\\" + name, name);
        const UninstallPlan plan = Read({"F", log, "F", d + "b.txt", "F", d + held, "D", d}, "DEST\\");
        ASSERT_EQ(Lines(plan.Items),
                  (Strings{"File - " + log, "File - " + d + "b.txt", "File - " + d + held, "Directory - " + d}));
        HANDLE lock = CreateFileA((d + held).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        ScriptedPrompts yes([](Question, const std::string&) { return true; });
        const RemovalResult result = Remove(plan, yes);
        CloseHandle(lock);
        EXPECT_EQ(yes.Questions.size(), 1u) << "contents.txt is no item of the log";
        EXPECT_EQ(Lines(result.NotRemoved), (Strings{"File - " + d + held, "Directory - " + d}));
        EXPECT_EQ(Lines(result.Kept), (Strings{"File - " + d + held, "File - " + log, "Directory - " + d}));
        EXPECT_EQ(NotRemovedText(result.NotRemoved),
                  "These items could not be removed:\r\rFile - " + d + held + "\rDirectory - " + d +
                      "\r\rThe uninstall log is kept: close any program that uses them, and Uninstall again.");
        EXPECT_FALSE(FileIsPresent(d + "b.txt"));
        EXPECT_FALSE(FileIsPresent(d + "contents.txt"));
        EXPECT_TRUE(FileIsPresent(d + held));
        ASSERT_TRUE(FileIsPresent(log));

        // The second uninstallation, from inside the folder, asks nothing:
        // the log is all that is left besides its items.
        const UninstallPlan again = ReadUninstallLog(log, m_state, Protected());
        EXPECT_EQ(Lines(again.Items), (Strings{"File - " + log, "File - " + d + held, "Directory - " + d}));
        ASSERT_EQ(ChangeDir(d), 0);
        ScriptedPrompts none;
        const RemovalResult finished = Remove(again, none);
        EXPECT_TRUE(none.Questions.empty());
        EXPECT_TRUE(finished.NotRemoved.empty());
        EXPECT_TRUE(finished.Kept.empty());
        EXPECT_FALSE(IsExistingDirectory(d));
    }
}

// The log's R record names the product's key in the Uninstall list: it goes
// with the log once everything else has gone, and stays with a log that
// stays; a key of that name whose InstallLocation is another folder is
// another installation's, and no log removes it.
TEST_F(UninstallPlanTest, TheRegistrationGoesWithTheLogAndOnlyForTheLogsOwnFolder)
{
    const std::string d = m_dir / "DEST\\";
    const std::string other = m_dir / "OTHER\\";
    const std::string key = m_state.Registrations.Key + "\\Halvarn95";
    const std::string elsewhere = m_state.Registrations.Key + "\\Tool";
    CreateDirectoryA(other.c_str(), nullptr);
    WriteKeyValues(HKEY_CURRENT_USER, elsewhere, {StringValue("InstallLocation", other)});
    for (const bool held : {true, false}) {
        SCOPED_TRACE(held ? "a file in use" : "nothing in use");
        CreateDirectoryA(d.c_str(), nullptr);
        m_dir.WriteFile("DEST\\a.txt", "a");
        // The key is named by another spelling of the folder: the same
        // folder all the same.
        WriteKeyValues(HKEY_CURRENT_USER, key, {StringValue("InstallLocation", UpperCaseAscii(d) + ".\\")});
        const UninstallPlan plan = Read({"T", "Halvarn 95", "F", d + "a.txt", "R", "Halvarn95", "R", "Tool", "R",
                                         "..\\Canary", "D", d},
                                        "DEST\\");
        ASSERT_EQ(plan.Registrations.size(), 1u);
        EXPECT_EQ(Lines(plan.Items), (Strings{"File - " + d + "a.txt", "Directory - " + d}));
        HANDLE lock = held ? CreateFileA((d + "a.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                           : INVALID_HANDLE_VALUE;
        ScriptedPrompts yes([](Question, const std::string&) { return true; });
        const RemovalResult result = Remove(plan, yes);
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);
        EXPECT_EQ(result.LogKept, held);
        EXPECT_EQ(ReadKeyValues(HKEY_CURRENT_USER, key).has_value(), held);
        EXPECT_EQ(result.RegistrationsRemoved, held ? Strings{} : Strings{"HKCU\\" + key});
        EXPECT_TRUE(ReadKeyValues(HKEY_CURRENT_USER, elsewhere));
    }
}

// The folder that holds the log kept, on No, for the user's own file: when
// nothing the log lists is left, nothing of the installation is, and the
// log and the registration go while the folder stays with the user's file;
// when an item was left unselected, the log and the key stay for it.
TEST_F(UninstallPlanTest, AFolderKeptForTheUsersFilesEndsTheRemovalOnlyWhenNothingOfTheLogIsLeft)
{
    const std::string d = m_dir / "DEST\\";
    const std::string key = m_state.Registrations.Key + "\\Halvarn95";
    for (const bool everything : {false, true}) {
        SCOPED_TRACE(everything ? "everything selected" : "a file left unselected");
        CreateDirectoryA(d.c_str(), nullptr);
        m_dir.WriteFile("DEST\\a.txt", "a");
        m_dir.WriteFile("DEST\\b.txt", "b");
        m_dir.WriteFile("DEST\\mine.txt", "the user's");
        WriteKeyValues(HKEY_CURRENT_USER, key, {StringValue("InstallLocation", d)});
        const UninstallPlan plan = Read({"F", d + "a.txt", "F", d + "b.txt", "R", "Halvarn95", "D", d}, "DEST\\");
        ScriptedPrompts no([](Question, const std::string&) { return false; });
        const RemovalResult result = Remove(plan, no, everything ? std::vector<size_t>{} : std::vector<size_t>{0, 2});
        EXPECT_EQ(no.Questions.size(), 1u);
        EXPECT_TRUE(result.NotRemoved.empty());
        EXPECT_EQ(result.LogKept, !everything);
        EXPECT_EQ(FileIsPresent(d + "uninst.fls"), !everything);
        EXPECT_EQ(ReadKeyValues(HKEY_CURRENT_USER, key).has_value(), !everything);
        EXPECT_EQ(m_dir.ReadFile("DEST\\mine.txt"), "the user's");
        EXPECT_EQ(Lines(result.Kept), everything ? Strings{"Directory - " + d}
                                                  : (Strings{"File - " + d + "b.txt", "Directory - " + d}));
    }
}

// The title record lists nothing. Whether a D record names the folder that
// holds the log is known, under any spelling of that folder. The code D of
// a U pattern is the script's destination, or, when asked for, the folder
// that holds the log.
TEST_F(UninstallPlanTest, TheLogsOwnFolderIsKnownAndCanBeWhatPatternsSearch)
{
    const std::string d = m_dir / "DEST\\";
    const std::string other = m_dir / "OTHER\\";
    CreateDirectoryA(other.c_str(), nullptr);
    m_dir.WriteFile("DEST\\y.TMP", "");
    m_dir.WriteFile("OTHER\\x.TMP", "");
    const std::string log = other + "uninst.fls";
    m_dir.WriteFile("OTHER\\uninst.fls", "T\r\nHalvarn 95\r\nU\r\nD*.TMP\r\nD\r\n" + other + "\r\n");
    UninstallPlan plan = ReadUninstallLog(log, m_state, Protected());
    EXPECT_EQ(Lines(plan.Items), (Strings{"File - " + d + "y.TMP", "Directory - " + other}));
    EXPECT_TRUE(plan.Refused.empty());
    EXPECT_TRUE(plan.NamesItsFolder);
    plan = ReadUninstallLog(log, m_state, Protected(), PatternFolder::LogFolder);
    EXPECT_EQ(Lines(plan.Items), (Strings{"File - " + other + "x.TMP", "Directory - " + other}));
    // Another spelling of the folder: other letters, and a lone "." in it.
    m_dir.WriteFile("OTHER\\uninst.fls", "D\r\n" + m_dir.Path() + "other\\.\\\r\n");
    EXPECT_TRUE(ReadUninstallLog(log, m_state, Protected()).NamesItsFolder);
    for (const std::string& text : Strings{"", "some text\r\nwith lines\r\n", "F\r\n" + d + "y.TMP\r\n",
                                    "D\r\n" + d + "\r\n", "D\r\nOTHER\\\r\n", "D\r\n" + other}) {
        SCOPED_TRACE(text);
        m_dir.WriteFile("OTHER\\uninst.fls", text);
        EXPECT_FALSE(ReadUninstallLog(log, m_state, Protected()).NamesItsFolder);
    }
}

// The folder that holds the log goes with it without a question when the
// log is all it holds once every other selected item has gone. A second
// directory that is not empty stays, with its contents, and is named with
// the log's folder, which keeps the log. (A folder kept after No: below.)
TEST_F(UninstallPlanTest, AFolderHoldingOnlyItsLogGoesAndASecondDirectoryThatStaysIsNamed)
{
    const std::string d = m_dir / "DEST\\";
    const std::string later = m_dir / "LATER\\";
    const std::string log = d + "uninst.fls";
    const auto makeFolders = [&] {
        CreateDirectoryA(d.c_str(), nullptr);
        CreateDirectoryA(later.c_str(), nullptr);
    };
    {
        SCOPED_TRACE("the log is all that is left");
        makeFolders();
        m_dir.WriteFile("DEST\\a.dat", "");
        const UninstallPlan plan = Read({"T", "Halvarn 95", "F", d + "a.dat", "D", d}, "DEST\\");
        ScriptedPrompts prompts;
        const RemovalResult result = Remove(plan, prompts);
        EXPECT_TRUE(prompts.Questions.empty());
        EXPECT_TRUE(result.NotRemoved.empty());
        EXPECT_FALSE(result.LogKept);
        EXPECT_FALSE(IsExistingDirectory(d));
    }
    {
        SCOPED_TRACE("a second directory with contents");
        makeFolders();
        m_dir.WriteFile("DEST\\a.dat", "");
        m_dir.WriteFile("LATER\\keep.txt", "the user's");
        const UninstallPlan plan = Read({"F", d + "a.dat", "D", later, "D", d}, "DEST\\");
        ASSERT_EQ(Lines(plan.Items), (Strings{"File - " + d + "a.dat", "Directory - " + later, "Directory - " + d}));
        ScriptedPrompts prompts;
        const RemovalResult result = Remove(plan, prompts);
        EXPECT_TRUE(prompts.Questions.empty());
        EXPECT_EQ(Lines(result.NotRemoved), (Strings{"Directory - " + later, "Directory - " + d}));
        EXPECT_TRUE(result.LogKept);
        EXPECT_EQ(m_dir.ReadFile("LATER\\keep.txt"), "the user's");
        EXPECT_FALSE(FileIsPresent(d + "a.dat"));
        EXPECT_TRUE(FileIsPresent(log));
        // Empty now, the second directory goes with the rest.
        ASSERT_TRUE(DeleteFileA((later + "keep.txt").c_str()));
        const UninstallPlan again = ReadUninstallLog(log, m_state, Protected());
        const RemovalResult finished = Remove(again, prompts);
        EXPECT_TRUE(finished.NotRemoved.empty());
        EXPECT_FALSE(finished.LogKept);
        EXPECT_FALSE(IsExistingDirectory(later));
        EXPECT_FALSE(IsExistingDirectory(d));
    }
}

// A log that cannot be opened raises its error before anything is planned.
TEST_F(UninstallPlanTest, ALogThatCannotBeOpenedRaisesItsError)
{
    const std::string d = m_dir / "DEST\\";
    EXPECT_THROW(ReadUninstallLog(m_dir / "missing.fls", m_state, Protected()), EInOutError);
    // A folder cannot be read as a file: the open fails the same way.
    EXPECT_THROW(ReadUninstallLog(d, m_state, Protected()), EInOutError);
}

} // namespace
