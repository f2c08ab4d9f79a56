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
#include "runtime/Files.h"
#include "runtime/Paths.h"
#include "setup/UninstallPlan.h"
#include "tests/setup/EngineFixture.h"

namespace {

using Strings = std::vector<std::string>;
using Question = SetupPrompts::Question;

class UninstallPlanTest : public EngineTest {
protected:
    // Writes the log beside the program and reads it; records are letter
    // and argument.
    UninstallPlan Read(const Strings& records)
    {
        std::string text;
        for (const std::string& line : records)
            text += line + "\r\n";
        m_dir.WriteFile("uninst.fls", text);
        return ReadUninstallLog(m_dir / "uninst.fls", m_state, Protected());
    }

    const ProtectedFolders& Protected()
    {
        if (!m_protected)
            m_protected.emplace(Strings{m_state.WinDir, m_state.SysDir, m_state.ProgramsDir, m_state.StartupDir});
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
    // answering the question as answer says; returns the items kept.
    std::vector<PlannedRemoval> Remove(const UninstallPlan& plan, ScriptedPrompts& prompts,
                                       std::vector<size_t> indexes = {})
    {
        std::vector<bool> selected(plan.Items.size(), indexes.empty());
        for (size_t index : indexes)
            selected[index] = true;
        return RemoveSelected(plan.Items, selected, Protected(), prompts);
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
    EXPECT_TRUE(Remove(plan, prompts).empty());
    EXPECT_TRUE(prompts.Questions.empty());
    EXPECT_FALSE(IsExistingDirectory(d));
    EXPECT_FALSE(IsExistingDirectory(m_dir / "MENU\\PROGRAMS\\Halvarn 95"));
    EXPECT_TRUE(IsExistingDirectory(m_dir / "MENU\\PROGRAMS"));
}

// Only the directory selected while files remain in it: the question; No
// keeps the item, now last, and everything in it; Yes removes the
// directory with what is in it.
TEST_F(UninstallPlanTest, ADirectoryWithContentsIsRemovedOnlyOnYes)
{
    const std::string d = m_dir / "DEST\\";
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes);
        m_dir.WriteFile("DEST\\halvarn95.exe", "x");
        const UninstallPlan plan = Read({"D", d, "F", d + "halvarn95.exe"});
        ASSERT_EQ(Lines(plan.Items), (Strings{"Directory - " + d, "File - " + d + "halvarn95.exe"}));
        ScriptedPrompts prompts([&](Question, const std::string&) { return yes; });
        const std::vector<PlannedRemoval> kept = Remove(plan, prompts, {0});
        ASSERT_EQ(prompts.Questions.size(), 1u);
        EXPECT_EQ(prompts.Questions[0].Kind, Question::FolderNotEmpty);
        EXPECT_EQ(prompts.Questions[0].Text,
                  d + " still has files or folders in it.\r\rWould you like to Delete it and its contents, anyway?");
        EXPECT_EQ(IsExistingDirectory(d), !yes);
        EXPECT_EQ(Lines(kept), yes ? Strings{"File - " + d + "halvarn95.exe"}
                                   : (Strings{"File - " + d + "halvarn95.exe", "Directory - " + d}));
    }
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
                                    "Nsub\\*"})
                                  .Items);
        std::sort(lines.begin(), lines.end());
        EXPECT_EQ(lines, (Strings{"File - " + d + "a.dat", "File - " + d + "sub"}));
    }
    {
        SCOPED_TRACE("G records naming no folder below the Programs folder, or one the system needs");
        const UninstallPlan plan = Read({"G", "", "G", "..", "G", "..\\PROGRAMS", "G", "Halvarn 95\\..", "G", ".", "G",
                                         "STARTUP", "G", "Halvarn 95"});
        EXPECT_EQ(Lines(plan.Items), (Strings{"Program Manager Group - Halvarn 95"}));
        EXPECT_EQ(plan.MissingGroups, (Strings{"", "..", "..\\PROGRAMS", "Halvarn 95\\..", ".", "STARTUP"}));
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

    // A log with only vital records and everything removed: nothing but the
    // destination goes.
    ScriptedPrompts yes([](Question, const std::string&) { return true; });
    Remove(plan, yes);
    EXPECT_FALSE(IsExistingDirectory(d));
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
    EXPECT_EQ(Lines(Remove(plan, prompts, {0, 1})), (Strings{"Program Manager Group - Other"}));
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
