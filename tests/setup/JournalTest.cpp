// The installation's journal as a later start meets it: only the journal the
// program wrote and named is carried out, as far as it is whole, each entry
// only within what a run makes and only on files still as the run left
// them, names of a batch that the run never reached included; the person is
// asked first; what cannot be undone stays for the next start; a run waits
// for the disk once per batch of files; and a journal that cannot be made
// refuses the run.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/Files.h"
#include "runtime/Paths.h"
#include "setup/engine/InstallRun.h"
#include "setup/engine/Journal.h"
#include "setup/engine/LeftRun.h"
#include "setup/engine/ProtectedFolders.h"
#include "setup/engine/Registration.h"
#include "tests/setup/EngineFixture.h"
#include "tests/support/TempDir.h"

namespace {

using Question = SetupPrompts::Question;

class JournalTest : public EngineTest {
protected:
    // Appends bytes to the journal's file as a stranger would.
    static void AppendRaw(const std::string& path, const std::string& bytes)
    {
        const HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }

    // A run of two files, a replaced one among them, stopped after them with
    // its journal left, as a killed process leaves it.
    void LeaveStoppedRun()
    {
        m_dir.WriteFile("one.txt", "one");
        m_dir.WriteFile("two.txt", "two");
        m_dir.WriteFile("DEST\\one.txt", "the earlier one");
        m_state.Script.FileList.push_back(ReadFileArgument("Done.txt{0"));
        m_state.Script.FileList.push_back(ReadFileArgument("Dtwo.txt{0"));
        ScriptedPrompts prompts;
        prompts.AfterCopy = [&] { prompts.Stop = prompts.Counted == 2; };
        InstallRun run(m_state, prompts);
        ASSERT_FALSE(run.Execute());
        ASSERT_EQ(m_dir.ReadFile("DEST\\two.txt"), "two");
    }
};

// A journal that a kill cut off in the middle of a record: the person is
// told what will be undone and agrees; the changes of the whole records are
// undone, the cut record's change was never begun. Declined, nothing is
// undone and the journal stays for the next start.
TEST_F(JournalTest, ALeftRunIsTakenBackAsFarAsItsJournalIsWholeOnceThePersonAgrees)
{
    {
        JournalWriter journal(m_state.Journals, "Halvarn 95");
        journal.WillMakeFolder(m_dir / "DEST\\NEW");
        CreateDirectoryA((m_dir / "DEST\\NEW").c_str(), nullptr);
        journal.WillCreate(m_dir / "DEST\\made.txt");
        m_dir.WriteFile("DEST\\made.txt", "made by the run");
        journal.Written(m_dir / "DEST\\made.txt");
        journal.Close();
        m_dir.WriteFile("DEST\\kept.txt", "the user's");
        AppendRaw(journal.Path(), "C\r\n" + m_dir / "DEST\\kept.txt");
    }
    ScriptedPrompts declining;
    EXPECT_EQ(FinishLeftRun(m_state, declining), LeftRun::Declined);
    ASSERT_EQ(declining.Questions.size(), 1u);
    EXPECT_EQ(declining.Questions[0].Kind, Question::TakeBack);
    EXPECT_EQ(declining.Questions[0].Text,
              "The last installation of Halvarn 95 did not finish. These of its changes will now be undone:\rDelete " +
                  m_dir / "DEST\\made.txt" + "\rRemove the folder " + m_dir / "DEST\\NEW" +
                  ", when it is empty\r\rUndo them now? No leaves everything as it is, and Setup ends.");
    EXPECT_EQ(m_dir.ReadFile("DEST\\made.txt"), "made by the run");

    ScriptedPrompts agreeing([](Question, const std::string&) { return true; });
    EXPECT_EQ(FinishLeftRun(m_state, agreeing), LeftRun::TakenBack);
    EXPECT_FALSE(FileIsPresent(m_dir / "DEST\\made.txt"));
    EXPECT_FALSE(IsExistingDirectory(m_dir / "DEST\\NEW"));
    EXPECT_EQ(m_dir.ReadFile("DEST\\kept.txt"), "the user's");
    EXPECT_TRUE(agreeing.Warned.empty());
    EXPECT_FALSE(FindLeftJournal(m_state.Journals));
    EXPECT_FALSE(IsExistingDirectory(m_state.Journals.Folder)) << "the journals' folder is left empty";
    // Nothing left: nothing asked.
    ScriptedPrompts again([](Question, const std::string&) { return true; });
    EXPECT_EQ(FinishLeftRun(m_state, again), LeftRun::None);
    EXPECT_TRUE(again.Questions.empty());
}

// A journal the program did not write is never carried out, whatever it
// names: one that no registry value names (the old fixed name in the
// temporary folder among them), one put in place of the named file, and a
// name that leads out of the journals' folder. The last two are named in a
// warning and forgotten; the files are left as they are.
TEST_F(JournalTest, AJournalThatTheProgramDidNotWriteIsNeverCarriedOut)
{
    m_dir.WriteFile("canary.txt", "the user's thesis");
    const std::string planted = "T\r\nHalvarn 95\r\nC\r\n" + m_dir / "canary.txt" + "\r\n";
    m_dir.WriteFile("setuprun.jnl", planted);
    CreateDirectoryA(m_state.Journals.Folder.c_str(), nullptr);
    m_dir.WriteFile("journals\\run-00000001.jnl", planted);
    ScriptedPrompts prompts([](Question, const std::string&) { return true; });
    EXPECT_EQ(FinishLeftRun(m_state, prompts), LeftRun::None);
    EXPECT_TRUE(prompts.Questions.empty());
    EXPECT_TRUE(prompts.Warned.empty());

    std::string named;
    {
        JournalWriter journal(m_state.Journals, "Halvarn 95");
        named = journal.Path();
    }
    // Swapped for a file of the same name (on a file system that may give
    // the new file the old one's index).
    DeleteFileA(named.c_str());
    Sleep(20);
    m_dir.WriteFile(named.substr(m_dir.Path().size()), planted);
    EXPECT_EQ(FinishLeftRun(m_state, prompts), LeftRun::None);
    ASSERT_EQ(prompts.Warned.size(), 1u);
    EXPECT_EQ(prompts.Warned[0], "The journal " + named +
                                     " is not the one Setup wrote for its last installation (it is not the file Setup "
                                     "wrote). Nothing in it is carried out.");
    EXPECT_TRUE(FileIsPresent(named));
    EXPECT_FALSE(FindLeftJournal(m_state.Journals)) << "the name of it is forgotten";

    // A name outside the folder.
    {
        JournalWriter journal(m_state.Journals, "Halvarn 95");
    }
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, TestJournalKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    const std::string outside = m_dir / "setuprun.jnl";
    RegSetValueExA(key, "Journal", 0, REG_SZ, reinterpret_cast<const BYTE*>(outside.c_str()),
                   static_cast<DWORD>(outside.size() + 1));
    RegCloseKey(key);
    EXPECT_EQ(FinishLeftRun(m_state, prompts), LeftRun::None);
    ASSERT_EQ(prompts.Warned.size(), 2u);
    EXPECT_NE(prompts.Warned[1].find("(it lies outside the journals' folder)"), std::string::npos);
    EXPECT_TRUE(prompts.Questions.empty());
    EXPECT_EQ(m_dir.ReadFile("canary.txt"), "the user's thesis");
    EXPECT_EQ(m_dir.ReadFile("setuprun.jnl"), planted);
}

// Entries that no run makes are left alone and named, even in a journal the
// program wrote: a protected folder as a made folder, a path through "..",
// a device, a copy that is not the run's own beside its file, and a created
// file that has content the run never wrote.
TEST_F(JournalTest, EntriesOutsideWhatARunMakesAreLeftAloneAndNamed)
{
    m_dir.WriteFile("WIN\\win.ini", "the system's");
    m_dir.WriteFile("evil.ini", "planted");
    m_dir.WriteFile("DEST\\thesis.txt", "the user's thesis");
    {
        JournalWriter journal(m_state.Journals, "Halvarn 95");
        journal.WillMakeFolder(RemoveTrailingBackslash(m_state.WinDir));
        journal.WillCreate(m_dir / "nowhere\\..\\WIN\\win.ini");
        journal.WillCreate(m_dir / "DEST\\CON");
        journal.WillReplace(m_dir / "WIN\\win.ini", m_dir / "evil.ini");
        journal.WillCreate(m_dir / "DEST\\thesis.txt");
    }
    ScriptedPrompts prompts([](Question, const std::string&) { return true; });
    EXPECT_EQ(FinishLeftRun(m_state, prompts), LeftRun::TakenBack);
    ASSERT_EQ(prompts.Questions.size(), 1u);
    const std::string& text = prompts.Questions[0].Text;
    EXPECT_NE(text.find("These entries of its journal are left alone:"), std::string::npos) << text;
    for (const std::string& line :
         {RemoveTrailingBackslash(m_state.WinDir) + " (a folder that Setup never removes)",
          m_dir / "WIN\\win.ini (its copy is not one that Setup makes beside it)",
          m_dir / "DEST\\thesis.txt (not known to be the installation's file)"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
    EXPECT_EQ(m_dir.ReadFile("WIN\\win.ini"), "the system's");
    EXPECT_EQ(m_dir.ReadFile("evil.ini"), "planted");
    EXPECT_EQ(m_dir.ReadFile("DEST\\thesis.txt"), "the user's thesis");
    EXPECT_TRUE(IsExistingDirectory(m_state.WinDir));
    EXPECT_FALSE(FindLeftJournal(m_state.Journals));
}

// The product's key in the Uninstall list is a change like any other: a
// left run's take-back puts an earlier installation's key back as it was
// (values it did not have go, the ones it had return) and removes a key
// that was not there before; a journal entry naming any other key (one not
// directly below an Uninstall key, or with a backslash trick in its name)
// leaves it alone, and names it.
TEST_F(JournalTest, ALeftRunsRegistrationIsPutBackAndNoOtherKeyIsTouched)
{
    const std::string place = m_state.Registrations.Key;
    const std::string earlierKey = place + "\\Halvarn95";
    const std::string newKey = place + "\\Tool";
    const std::string canary = std::string(TestJournalKey) + "\\Canary";
    const RegistryValues earlier{StringValue("DisplayName", "Halvarn 95"), StringValue("DisplayVersion", "1.0"),
                                 NumberValue("NoModify", 1)};
    WriteKeyValues(HKEY_CURRENT_USER, earlierKey, earlier);
    WriteKeyValues(HKEY_CURRENT_USER, canary, {StringValue("Keep", "me")});
    {
        JournalWriter journal(m_state.Journals, "Halvarn 95");
        journal.WillWriteKey(KeyText(HKEY_CURRENT_USER, earlierKey),
                             ValuesText(ReadKeyValues(HKEY_CURRENT_USER, earlierKey)));
        WriteKeyValues(HKEY_CURRENT_USER, earlierKey,
                       {StringValue("DisplayName", "Halvarn 95"), StringValue("DisplayVersion", "2.0"),
                        StringValue("InstallLocation", m_state.DestDir)});
        journal.WillWriteKey(KeyText(HKEY_CURRENT_USER, newKey), ValuesText(ReadKeyValues(HKEY_CURRENT_USER, newKey)));
        WriteKeyValues(HKEY_CURRENT_USER, newKey, {StringValue("DisplayName", "Tool")});
        journal.WillWriteKey(KeyText(HKEY_CURRENT_USER, canary), ValuesText(std::nullopt));
        journal.WillWriteKey(KeyText(HKEY_CURRENT_USER, place + "\\..\\Canary"), ValuesText(std::nullopt));
    }
    ScriptedPrompts prompts([](Question, const std::string&) { return true; });
    EXPECT_EQ(FinishLeftRun(m_state, prompts), LeftRun::TakenBack);
    ASSERT_EQ(prompts.Questions.size(), 1u);
    const std::string& text = prompts.Questions[0].Text;
    EXPECT_NE(text.find("Put back the registration HKCU\\" + earlierKey + " as it was"), std::string::npos) << text;
    EXPECT_NE(text.find("HKCU\\" + canary + " (not a product's key of the Uninstall list)"), std::string::npos)
        << text;
    EXPECT_EQ(ReadKeyValues(HKEY_CURRENT_USER, earlierKey), earlier);
    EXPECT_FALSE(ReadKeyValues(HKEY_CURRENT_USER, newKey));
    EXPECT_EQ(ReadKeyValues(HKEY_CURRENT_USER, canary), RegistryValues{StringValue("Keep", "me")});
    EXPECT_FALSE(FindLeftJournal(m_state.Journals));
}

// After a run was stopped, the user edited a file the run created, wrote
// their own version of the file the run replaced, and put a file of their
// own where the run removed one: the take-back keeps all three and names
// them (the earlier version of the replaced file is kept too, as its copy),
// and undoes the rest.
TEST_F(JournalTest, FilesChangedSinceTheRunWroteThemAreKeptAndNamed)
{
    LeaveStoppedRun();
    const std::optional<LeftJournal> left = FindLeftJournal(m_state.Journals);
    ASSERT_TRUE(left);
    std::string backup;
    for (const JournalEntry& entry : left->Journal.Entries) {
        if (entry.Kind == JournalKind::FileReplaced)
            backup = entry.Backup;
    }
    ASSERT_FALSE(backup.empty());
    m_dir.WriteFile("DEST\\two.txt", "edited by the user");
    m_dir.WriteFile("DEST\\one.txt", "the user's setting");

    ScriptedPrompts prompts([](Question, const std::string&) { return true; });
    EXPECT_EQ(FinishLeftRun(m_state, prompts), LeftRun::TakenBack);
    EXPECT_EQ(m_dir.ReadFile("DEST\\two.txt"), "edited by the user");
    EXPECT_EQ(m_dir.ReadFile("DEST\\one.txt"), "the user's setting");
    EXPECT_EQ(ReadWhole(backup), "the earlier one");
    ASSERT_EQ(prompts.Warned.size(), 1u);
    EXPECT_EQ(prompts.Warned[0], "These were left as they are:\r" + m_dir / "DEST\\two.txt" +
                                     " (changed since the installation wrote it)\r" + m_dir / "DEST\\one.txt" +
                                     " (changed since the installation wrote it; the earlier version is kept as " +
                                     backup + ")");
    EXPECT_FALSE(FindLeftJournal(m_state.Journals));
}

// Files held open by another program when the take-back comes: what cannot
// be undone is named, stays in the journal with the copy of the replaced
// file, and the take-back says it did not finish; the next start, once the
// files are free, finishes it and puts the earlier file back byte for byte.
TEST_F(JournalTest, WhatCannotBeUndoneStaysInTheJournalForTheNextStart)
{
    LeaveStoppedRun();
    const auto hold = [](const std::string& path) {
        return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    };
    HANDLE created = hold(m_dir / "DEST\\two.txt");
    HANDLE replaced = hold(m_dir / "DEST\\one.txt");
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    ASSERT_NE(replaced, INVALID_HANDLE_VALUE);
    ScriptedPrompts prompts([](Question, const std::string&) { return true; });
    EXPECT_EQ(FinishLeftRun(m_state, prompts), LeftRun::Incomplete);
    ASSERT_EQ(prompts.Warned.size(), 1u);
    EXPECT_EQ(prompts.Warned[0].rfind("These changes of the installation could not be undone:\r" +
                                          m_dir / "DEST\\two.txt (",
                                      0),
              0u)
        << prompts.Warned[0];
    EXPECT_NE(prompts.Warned[0].find("\r" + m_dir / "DEST\\one.txt ("), std::string::npos) << prompts.Warned[0];
    const std::optional<LeftJournal> left = FindLeftJournal(m_state.Journals);
    ASSERT_TRUE(left);
    EXPECT_TRUE(left->Distrust.empty());
    EXPECT_EQ(left->Journal.Entries.size(), 2u) << "the two files, and nothing else";
    CloseHandle(created);
    CloseHandle(replaced);

    ScriptedPrompts next([](Question, const std::string&) { return true; });
    EXPECT_EQ(FinishLeftRun(m_state, next), LeftRun::TakenBack);
    EXPECT_TRUE(next.Warned.empty()) << next.Warned[0];
    EXPECT_FALSE(FileIsPresent(m_dir / "DEST\\two.txt"));
    EXPECT_EQ(m_dir.ReadFile("DEST\\one.txt"), "the earlier one");
    EXPECT_FALSE(FindLeftJournal(m_state.Journals));
}

// A batch's files are named in the journal before the first of them is
// made, and the run is killed while it makes the second: the user then puts
// files of their own at two of the later names, one with content and one
// empty. The next start deletes the file the run wrote and the empty one it
// was making; the user's two files are left byte for byte and named.
TEST_F(JournalTest, ABatchsNamesThatTheRunNeverMadeAreNotItsToDelete)
{
    const std::string made = m_dir / "DEST\\made.dat";
    const std::string making = m_dir / "DEST\\making.dat";
    const std::string userEmpty = m_dir / "DEST\\later.dat";
    const std::string userFull = m_dir / "DEST\\last.dat";
    {
        JournalWriter journal(m_state.Journals, "Halvarn 95");
        journal.WillCreateEach({made, making, userEmpty, userFull});
        journal.WillCreate(made);
        m_dir.WriteFile("DEST\\made.dat", "made by the run");
        journal.Written(made);
        journal.WillCreate(making);
        m_dir.WriteFile("DEST\\making.dat", "");
        // Killed here: the file is made, its stamp never written.
    }
    m_dir.WriteFile("DEST\\later.dat", "");
    m_dir.WriteFile("DEST\\last.dat", "the user's own");
    const std::optional<LeftJournal> left = FindLeftJournal(m_state.Journals);
    ASSERT_TRUE(left);
    ASSERT_EQ(left->Journal.Entries.size(), 4u) << "the batch's four names are on disk before its first file";

    ScriptedPrompts prompts([](Question, const std::string&) { return true; });
    EXPECT_EQ(FinishLeftRun(m_state, prompts), LeftRun::TakenBack);
    ASSERT_EQ(prompts.Questions.size(), 1u);
    const std::string& text = prompts.Questions[0].Text;
    for (const std::string& line : {"Delete " + made, "Delete " + making,
                                    userEmpty + " (not known to be the installation's file)",
                                    userFull + " (not known to be the installation's file)"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
    EXPECT_FALSE(FileIsPresent(made));
    EXPECT_FALSE(FileIsPresent(making));
    ASSERT_TRUE(FileIsPresent(userEmpty));
    EXPECT_EQ(m_dir.ReadFile("DEST\\later.dat"), "");
    EXPECT_EQ(m_dir.ReadFile("DEST\\last.dat"), "the user's own");
    EXPECT_FALSE(FindLeftJournal(m_state.Journals));
}

// A run waits for the disk once for each batch of its destination's files
// (64 at most), twice for a file outside the destination (its record, and
// its stamp once it is written), and once each for its title, the two
// records of its log and its commit; each batch's names are on disk before
// its first file. A skipped file of a batch is marked as never made.
TEST_F(JournalTest, ARunWaitsForTheDiskOncePerBatch)
{
    std::vector<std::string> destinations;
    const auto add = [&](const std::string& argument, const std::string& name) {
        m_dir.WriteFile(name, "content of " + name);
        m_state.Script.FileList.push_back(ReadFileArgument(argument + "{0"));
    };
    for (int i = 0; i < 130; ++i) {
        char name[16];
        wsprintfA(name, "f%03d.dat", i);
        add(std::string("D") + name, name);
        if (i == 63)
            add("Wwinfile.ini", "winfile.ini");
    }
    // Skipped at the missing-file prompt (answered Ignore).
    m_state.Script.FileList.push_back(ReadFileArgument("Dmissing.dat{0"));
    ScriptedPrompts prompts;
    std::vector<size_t> recordedAhead;
    prompts.AfterCopy = [&] {
        // The next batch's names reach the disk before its first file.
        if (prompts.Counted == 64 + 1 + 1) {
            const std::optional<JournalName> name = NamedJournal(m_state.Journals);
            ASSERT_TRUE(name);
            const std::string bytes = ReadWhole(name->Path);
            size_t named = 0;
            for (size_t at = bytes.find("\r\nC\r\n"); at != std::string::npos; at = bytes.find("\r\nC\r\n", at + 1))
                ++named;
            recordedAhead.push_back(named);
        }
    };
    InstallRun run(m_state, prompts);
    ASSERT_TRUE(run.Execute());
    EXPECT_TRUE(run.FileSkipped());
    EXPECT_EQ(m_dir.ReadFile("DEST\\f129.dat"), "content of f129.dat");
    EXPECT_EQ(ReadWhole(m_state.WinDir + "winfile.ini"), "content of winfile.ini");
    // The first batch, the Windows folder's file, and the second batch of
    // 64 named whole when its first file was made.
    EXPECT_EQ(recordedAhead, std::vector<size_t>{64 + 1 + 64});
    // Title; batch of 64; the Windows folder's file twice; batch of 64;
    // batch of the last two and the skipped one; the uninstaller's copy; the
    // registration; the log's two; the commit.
    EXPECT_EQ(run.JournalFlushes(), 1u + 1 + 2 + 1 + 1 + 1 + 1 + 2 + 1);
    EXPECT_FALSE(FindLeftJournal(m_state.Journals));
}

// A name of a batch that the user takes after the batch was named, before
// the run reaches it, is replaced as a file that was there all along: its
// copy is kept, and a take-back puts the user's file back byte for byte.
TEST_F(JournalTest, ABatchsNameTakenBeforeTheRunReachesItIsPutBackByTheTakeBack)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        m_dir.WriteFile(name, std::string("the product's ") + name);
        m_state.Script.FileList.push_back(ReadFileArgument(std::string("D") + name + "{0"));
    }
    ScriptedPrompts prompts;
    prompts.AfterCopy = [&] {
        if (prompts.Counted == 1)
            m_dir.WriteFile("DEST\\c.txt", "the user's c");
        prompts.Stop = prompts.Counted == 3;
    };
    InstallRun run(m_state, prompts);
    EXPECT_FALSE(run.Execute());
    EXPECT_EQ(m_dir.ReadFile("DEST\\c.txt"), "the product's c.txt");
    EXPECT_TRUE(run.TakeBack());
    EXPECT_EQ(m_dir.ReadFile("DEST\\c.txt"), "the user's c");
    EXPECT_FALSE(FileIsPresent(m_dir / "DEST\\a.txt"));
    EXPECT_FALSE(FileIsPresent(m_dir / "DEST\\b.txt"));
    EXPECT_EQ(FilesIn(m_dir / "DEST\\"), std::vector<std::string>{"c.txt"}) << "no copy is left";
}

// A journal that cannot be made refuses the run before anything is made,
// with a message that names the journal and why.
TEST_F(JournalTest, AJournalThatCannotBeMadeRefusesTheRun)
{
    m_dir.WriteFile("journals", "a file where the journals' folder goes");
    m_state.DestDir = m_dir / "DEST\\NEW\\";
    ScriptedPrompts prompts;
    InstallRun run(m_state, prompts);
    try {
        run.BeginJournal();
        FAIL() << "the journal was made";
    } catch (const EJournalError& e) {
        const std::string message = e.what();
        EXPECT_EQ(message.rfind("The installation's journal " + m_dir / "journals\\run-", 0), 0u) << message;
        EXPECT_NE(message.find(".jnl cannot be made: "), std::string::npos) << message;
    }
    EXPECT_FALSE(IsExistingDirectory(m_state.DestDir));
    EXPECT_FALSE(FindLeftJournal(m_state.Journals));
}

} // namespace
