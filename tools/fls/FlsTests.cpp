// Tests of the vendor's tools on the build machine: the line rules across
// buffer boundaries, the record reader's line numbers, the checker on a
// corpus of broken scripts (each finding asserted with its line), the
// manifest, and flsmake's output read back by the setup's own reader, laid
// out on diskettes and floppy images.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "runtime/RecordReader.h"
#include "runtime/TextBuffer.h"
#include "runtime/TextRules.h"
#include "setup/engine/ScriptFormat.h"
#include "tools/fls/DistBuilder.h"
#include "tools/fls/DistFolders.h"
#include "tools/fls/Diskettes.h"
#include "tools/fls/Manifest.h"
#include "tools/fls/ScriptChecker.h"

namespace fs = std::filesystem;

namespace {

// A fresh folder for one test, removed with its contents at the end.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "flstest-XXXXXX").string();
        m_path = mkdtemp(pattern.data());
    }
    ~TempFolder() { fs::remove_all(m_path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& Path() const { return m_path; }
    fs::path operator/(const std::string& name) const { return m_path / name; }
    void Write(const std::string& name, const std::string& bytes) const
    {
        fs::create_directories((m_path / name).parent_path());
        std::ofstream(m_path / name, std::ios::binary) << bytes;
    }

private:
    fs::path m_path;
};

std::string Read(const fs::path& path)
{
    return ReadWholeFile(path).value_or("<missing>");
}

std::vector<TextRecord> Records(const std::string& bytes)
{
    TextBuffer buffer(bytes);
    TextRecordReader reader(buffer, ScriptFormat::ThreeLineCommands);
    std::vector<TextRecord> records;
    TextRecord record;
    while (reader.Next(record) && records.size() < 100)
        records.push_back(record);
    return records;
}

// ---------------------------------------------------------------------------
// Line rules and records

TEST(TextRules, ALineEndSplitAcrossChunksIsSkippedWhole)
{
    {
        SCOPED_TRACE("CR at the end of one chunk, LF at the start of the next");
        TextRules::LineSkipper skipper;
        EXPECT_EQ(skipper.Consume("abc\r"), 4u);
        EXPECT_FALSE(skipper.Done());
        EXPECT_EQ(skipper.Consume("\nnext"), 1u);
        EXPECT_TRUE(skipper.Done());
    }
    {
        SCOPED_TRACE("CR at the end of a chunk, the next line right after");
        TextRules::LineSkipper skipper;
        EXPECT_EQ(skipper.Consume("abc\r"), 4u);
        EXPECT_EQ(skipper.Consume("next"), 0u);
        EXPECT_TRUE(skipper.Done());
    }
    {
        SCOPED_TRACE("a lone LF is text, a Ctrl-Z stops without being consumed");
        TextRules::LineSkipper skipper;
        EXPECT_EQ(skipper.Consume("a\nb\x1A" "c"), 3u);
        EXPECT_TRUE(skipper.Done());
    }
    EXPECT_EQ(TextRules::LineTextLength("line\r\n"), 4u);
    EXPECT_EQ(TextRules::LineTextLength("a\nb\x1Arest"), 3u);
    EXPECT_EQ(TextRules::LineTextLength("no end"), 6u);
}

TEST(RecordReader, RecordsCarryTheirLinesAsTheSetupCountsThem)
{
    const auto records = Records("T\r\nTitle\r\nS\r\nQuestion?\r\nDfile.txt\r\nG\r\nGroup\r\n");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].Command, 'T');
    EXPECT_EQ(records[0].Argument, "Title");
    EXPECT_EQ(records[0].CommandLine, 1);
    EXPECT_EQ(records[0].ArgumentLine, 2);
    EXPECT_EQ(records[1].Command, 'S');
    EXPECT_EQ(records[1].Second, "Dfile.txt");
    EXPECT_EQ(records[1].SecondLine, 5);
    EXPECT_EQ(records[2].CommandLine, 6);
    EXPECT_EQ(records[2].Argument, "Group");
}

TEST(RecordReader, ReadsMisshapenScriptsExactlyAsTheSetupDoes)
{
    {
        SCOPED_TRACE("an empty line swallows the two lines after it");
        const auto records = Records("\r\nT\r\nSwallowed\r\nG\r\nGroup\r\n");
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[0].Command, '\r');
        EXPECT_EQ(records[0].Argument, "Swallowed");
        EXPECT_EQ(records[0].ArgumentLine, 3);
        EXPECT_EQ(records[1].Command, 'G');
        EXPECT_EQ(records[1].CommandLine, 4);
    }
    {
        SCOPED_TRACE("line feeds alone: one line, one command, no argument");
        const auto records = Records("T\nTitle\nG\nGroup\n");
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].Command, 'T');
        EXPECT_EQ(records[0].Argument, "");
        EXPECT_FALSE(records[0].HasArgument);
    }
    {
        SCOPED_TRACE("a Ctrl-Z ends the data");
        const auto records = Records("T\r\nBefore\r\n\x1AT\r\nAfter\r\n");
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].Argument, "Before");
    }
    {
        SCOPED_TRACE("an S record at the very end gets an empty second argument");
        const auto records = Records("S\r\nA question");
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].Argument, "A question");
        EXPECT_TRUE(records[0].HasArgument);
        EXPECT_EQ(records[0].Second, "");
        EXPECT_FALSE(records[0].HasSecond);
    }
    {
        SCOPED_TRACE("carriage returns alone end lines");
        const auto records = Records("T\rTitle\rG\rGroup");
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[1].Argument, "Group");
        EXPECT_EQ(records[1].ArgumentLine, 4);
    }
}

// ---------------------------------------------------------------------------
// The checker on a corpus of broken scripts

struct Expected {
    int Line;
    Finding::Severity Level;
    std::string Fragment;  // a piece of the sentence that must be there
};

struct Case {
    std::string Name;
    std::string Script;
    std::map<std::string, std::string> Files;  // name -> contents, beside the script
    std::vector<Expected> Findings;
};

constexpr auto E = Finding::Severity::Error;
constexpr auto W = Finding::Severity::Warning;

// The records every case starts from unless it is about them: a title, a
// destination and a group, on lines 1 to 6.
const std::string Head = "T\r\nProduct\r\nD\r\nC:\\PRODUCT\r\nG\r\nProduct\r\n";

std::vector<Case> Corpus()
{
    const std::string longName(250, 'x');
    return {
        {"a clean script", Head + "F\r\nDa.txt{3\r\nP\r\nDa.txt,A\r\nS\r\nMore?\r\nDb.txt\r\nU\r\nD*.TMP\r\n",
         {{"a.txt", "abc"}, {"Db.txt", "b"}}, {}},
        {"lines ending in LF only", "T\nProduct\nD\nC:\\PRODUCT\nG\nProduct\n", {},
         {{1, E, "line feed only"}, {1, E, "ends before its argument"}, {0, W, "no D record"},
          {0, W, "no G record"}}},
        {"one line ending in LF only", Head + "M\r\nHello\nF\r\nDa.txt{3\r\n", {{"a.txt", "abc"}},
         // The setup then reads "Da.txt{3" as a D record whose argument is missing.
         {{8, E, "line feed only"}, {9, E, "D record: the script ends before its argument"},
          {10, W, "not a full path"}}},
        {"a Ctrl-Z before the end", Head + "\x1A" "F\r\nDa.txt{3\r\n", {{"a.txt", "abc"}},
         {{7, E, "Ctrl-Z"}}},
        {"a Ctrl-Z as the very last byte", Head + "\x1A", {}, {}},
        {"an empty line where a command is expected", Head + "\r\nM\r\nSwallowed\r\n", {},
         {{7, E, "lines 8 and 9"}}},
        {"a lower-case command", Head + "f\r\nDa.txt{3\r\n", {{"a.txt", "abc"}}, {{7, E, "\"f\" is lower case"}}},
        {"an unknown command", Head + "X\r\nsomething\r\n", {}, {{7, W, "unknown command \"X\""}}},
        {"a digit as command", Head + "1\r\nsomething\r\n", {}, {{7, W, "unknown command \"1\""}}},
        {"a path without a code", Head + "F\r\nCa.txt{3\r\n", {{"a.txt", "abc"}},
         {{8, E, "does not begin with a path code"}}},
        {"a lower-case path code", Head + "U\r\nd*.tmp\r\n", {}, {{8, E, "does not begin with a path code"}}},
        {"an empty path", Head + "F\r\n{3\r\n", {}, {{8, E, "the path is empty"}}},
        {"an empty uninstall pattern", Head + "U\r\n\r\n", {}, {{8, E, "the pattern is empty"}}},
        {"an F record without a brace", Head + "F\r\nDa.txt\r\n", {{"a.txt", "abc"}},
         {{8, E, "'Da.txt' is not a valid integer value"}}},
        {"a size that is not an integer", Head + "F\r\nDa.txt{3 \r\n", {{"a.txt", "abc"}},
         {{8, E, "'3 ' is not a valid integer value"}}},
        {"a size beyond 32 bits", Head + "F\r\nDa.txt{4294967296\r\n", {{"a.txt", "abc"}},
         {{8, E, "not a valid integer"}}},
        {"a size that differs", Head + "F\r\nDa.txt{4\r\n", {{"a.txt", "abc"}}, {{8, E, "Write {3"}}},
        {"a hexadecimal size that matches", Head + "F\r\nDa.txt{$3\r\n", {{"a.txt", "abc"}}, {}},
        {"a missing file", Head + "F\r\nWsys.ini{3\r\n", {}, {{8, E, "I cannot find the file - sys.ini"}}},
        {"file names match ignoring case", Head + "F\r\nDREADME.TXT{2\r\n", {{"readme.txt", "hi"}}, {}},
        {"an optional file whose code stays in its name", Head + "S\r\nWant it?\r\nDb.txt\r\n", {{"b.txt", "b"}},
         {{9, E, "looks for \"Db.txt\""}}},
        {"a missing optional file", Head + "S\r\nWant it?\r\nDsub\\c.txt\r\n", {},
         {{9, E, "creates no folders"}, {9, E, "\"c.txt\" is not in the distribution folder"}}},
        {"an optional record cut short", Head + "S\r\nWant it?", {}, {{7, E, "ends before the optional file"}}},
        {"a record cut short", Head + "M\r\n", {}, {{7, E, "ends before its argument"}}},
        {"a P record without a comma", Head + "P\r\nDa.exe\r\n", {}, {{8, E, "has no comma"}}},
        {"a P record without a name", Head + "P\r\nDa.exe,\r\n", {}, {{8, E, "item name after the comma is empty"}}},
        {"a P target without a code", Head + "P\r\na.exe,A\r\n", {}, {{8, E, "does not begin with a path code"}}},
        {"two records with the same destination",
         Head + "F\r\nDa.txt{3\r\nS\r\nAgain?\r\nDA.TXT\r\n", {{"a.txt", "abc"}, {"DA.TXT", "x"}},
         {{11, E, "already written by the F record at line 8"}}},
        {"a destination in a folder below the destination directory", Head + "F\r\nDsub\\a.txt{3\r\n",
         {{"a.txt", "abc"}}, {{8, E, "creates no folders"}}},
        {"a destination that is too long", Head + "F\r\nD" + longName + "{3\r\n", {{longName, "abc"}},
         {{8, E, "261 characters long"}}},
        {"a full path that is too long", Head + "F\r\nNC:\\" + longName + "\\" + longName + "{3\r\n",
         {{longName, "abc"}}, {{8, E, "504 characters long"}}},
        {"a file that leads out of the destination", Head + "F\r\nD..\\readme.txt{3\r\n", {{"readme.txt", "abc"}},
         {{8, E, "could lead out of its folder"}}},
        {"an optional file on another drive", Head + "S\r\nWant it?\r\nDC:\\b.txt\r\n", {{"b.txt", "b"}},
         {{9, E, "the name \"DC:\\b.txt\" has an empty"}}},
        {"full paths begin with a drive but do not go up", Head + "F\r\nNC:\\a.txt{3\r\nF\r\nNC:\\x\\..\\b.txt{1\r\n",
         {{"a.txt", "abc"}, {"b.txt", "b"}}, {{10, E, "could lead out of its folder"}}},
        {"program-information names in and out of the destination", Head + "Q\r\nHALVARN\r\nQ\r\n..\\qescape\r\n",
         {}, {{10, E, "Q record \"..\\qescape\""}}},
        {"a version and a publisher", Head + "V\r\n1.0\r\nC\r\nHalvarn Software\r\n", {}, {}},
        {"versions of one to four numbers up to 65535", Head + "V\r\n65535.0.00001.7\r\n", {}, {}},
        {"a version that is not numbers", Head + "V\r\n1.0 beta\r\n", {}, {{8, W, "not numbers joined by dots"}}},
        {"versions of five numbers, beyond 65535 and with an empty part",
         Head + "V\r\n1.2.3.4.5\r\nV\r\n65536\r\nV\r\n1..2\r\n", {},
         {{8, W, "not numbers joined by dots"}, {9, W, "already named by the V record at line 7"},
          {10, W, "not numbers joined by dots"}, {11, W, "already named by the V record at line 7"},
          {12, W, "not numbers joined by dots"}}},
        {"a second version", Head + "V\r\n1.0\r\nV\r\n1.1\r\n", {},
         {{9, W, "version is already named by the V record at line 7"}}},
        {"a second publisher", Head + "C\r\nOne\r\nM\r\nHello\r\nC\r\nTwo\r\n", {},
         {{11, W, "publisher is already named by the C record at line 7"}}},
        {"an empty version and an empty publisher", Head + "V\r\n\r\nC\r\n\r\n", {},
         {{8, W, "empty version"}, {10, W, "empty publisher"}}},
        {"a publisher of 64 characters", Head + "C\r\n" + std::string(64, 'p') + "\r\n", {}, {}},
        {"a publisher and a version too long", Head + "C\r\n" + std::string(65, 'p') + "\r\nV\r\n" +
             std::string(65, '1') + "\r\n", {},
         {{8, E, "the publisher is 65 characters long"}, {10, E, "the version is 65 characters long"}}},
        {"a control character in the publisher", Head + "C\r\nHalvarn\tSoftware\r\n", {},
         {{8, E, "control character (byte 9)"}}},
        {"a lower-case v", Head + "v\r\n1.0\r\n", {}, {{7, E, "\"v\" is lower case"}}},
        {"no title", "D\r\nC:\\PRODUCT\r\nG\r\nProduct\r\n", {}, {{0, W, "no T record"}}},
        {"no destination", "T\r\nProduct\r\nG\r\nProduct\r\n", {}, {{0, W, "no D record"}}},
        {"no group and no items", "T\r\nProduct\r\nD\r\nC:\\PRODUCT\r\n", {}, {{0, W, "no G record"}}},
        {"items without a group", "T\r\nProduct\r\nD\r\nC:\\PRODUCT\r\nP\r\nDa.exe,A\r\n", {},
         {{0, E, "none of the 1 items is made"}}},
        {"an empty group", "T\r\nProduct\r\nD\r\nC:\\PRODUCT\r\nG\r\n\r\n", {}, {{6, E, "empty group name"}}},
        {"a group in a folder of the Programs folder", "T\r\nProduct\r\nD\r\nC:\\PRODUCT\r\nG\r\nTools\\Product\r\n",
         {}, {}},
        {"a group that leads out of the Programs folder",
         "T\r\nProduct\r\nD\r\nC:\\PRODUCT\r\nG\r\n..\\Desktop\r\n", {},
         {{6, E, "not a folder below the Programs folder"}}},
        {"a group that is a full path", "T\r\nProduct\r\nD\r\nC:\\PRODUCT\r\nG\r\nC:\\Start\r\n", {},
         {{6, E, "not a folder below the Programs folder"}}},
        {"an item name that leads out of the group", Head + "P\r\nDa.exe,..\\..\\..\\Desktop\\Escaped\r\n", {},
         {{8, E, "is not a plain file name"}}},
        {"an item name with a folder", Head + "P\r\nDa.exe,Sub\\Item\r\n", {}, {{8, E, "is not a plain file name"}}},
        {"a destination that is not a full path", "T\r\nProduct\r\nD\r\nPRODUCT\r\nG\r\nProduct\r\n", {},
         {{4, W, "not a full path"}}},
        {"a destination ending in a backslash", "T\r\nProduct\r\nD\r\nC:\\PRODUCT\\\r\nG\r\nProduct\r\n", {},
         {{4, W, "ends in a backslash"}}},
    };
}

// The names that the setup makes in the Start Menu and that the uninstaller
// takes back: anything that could lead out of the Programs folder, or name
// another folder than it spells, is refused.
TEST(ScriptFormat, GroupAndItemNamesStayBelowTheProgramsFolder)
{
    for (const char* name : {"Halvarn 95", "Read me", "a.b", "Tools\\Halvarn 95", "x\\y\\z"})
        EXPECT_TRUE(ScriptFormat::IsGroupPath(name)) << name;
    for (const char* name : {"", ".", "..", "..\\Desktop", "Tools\\..\\..", "\\Tools", "Tools\\", "Tools\\\\x",
                             "C:\\Tools", "C:Tools", "\\\\server\\share", "Tools/x", "Tools.", "Tools ", "...",
                             "a*b", "CON", "nul.txt", "LPT1", "Tools\\com9", "CONIN$", "conout$.log", "CON .x",
                             "Aux  .txt.bak", "COM0", "LPT\xB9", "com\xB2.txt", "LPT\xB3"})
        EXPECT_FALSE(ScriptFormat::IsGroupPath(name)) << name;
    EXPECT_TRUE(ScriptFormat::IsPlainName("Halvarn 95"));
    for (const char* name : {"COM10", "CONSOLE", "CONIN", "LPT\xB4", "NULL.txt"})
        EXPECT_TRUE(ScriptFormat::IsPlainName(name)) << name;
    EXPECT_FALSE(ScriptFormat::IsPlainName("Tools\\Halvarn 95"));
    EXPECT_FALSE(ScriptFormat::IsPlainName("..\\..\\..\\Desktop\\Escaped"));
}

// The names under which the run writes files below a folder: a name that
// could climb out of it, start again at a root or a drive, or name the folder
// itself is refused; a full path (the code N) may begin with a drive.
TEST(ScriptFormat, WrittenNamesStayInTheirFolder)
{
    for (const char* name : {"a.txt", "sub\\a.txt", "sub/a.txt", "a..b", ".hidden", "x\\y\\z.dat"})
        EXPECT_TRUE(ScriptFormat::StaysInItsFolder(name, false)) << name;
    for (const char* name : {"", ".", "..", "...", ". .", " ", "..\\a", "sub\\..\\..\\a", ".\\a", "a/../b", "\\a",
                             "/a", "a\\", "a\\\\b", "C:\\a", "C:a", "a:stream", "\\\\server\\share\\a"})
        EXPECT_FALSE(ScriptFormat::StaysInItsFolder(name, false)) << name;
    for (const char* name : {"C:\\a.txt", "c:/dir/a", "sub\\a.txt"})
        EXPECT_TRUE(ScriptFormat::StaysInItsFolder(name, true)) << name;
    for (const char* name : {"C:", "C:\\", "C:\\..\\a", "C:\\.\\a", "C:a", "1:\\a", "C:\\a:b", "\\\\?\\C:\\a",
                             "\\\\server\\share\\a", "sub\\C:\\a"})
        EXPECT_FALSE(ScriptFormat::StaysInItsFolder(name, true)) << name;
}

TEST(ScriptChecker, ReportsEachFaultOfTheCorpusOnItsLine)
{
    auto check = [](const Case& c) {
        TempFolder folder;
        for (const auto& [name, contents] : c.Files)
            folder.Write(name, contents);
        const auto findings = CheckScript(c.Script, DistFolders({folder.Path()}));
        std::string all;
        for (const Finding& f : findings)
            all += FormatFinding("setup.fls", f) + "\n";
        SCOPED_TRACE(all);
        ASSERT_EQ(findings.size(), c.Findings.size());
        for (size_t i = 0; i < findings.size(); ++i) {
            EXPECT_EQ(findings[i].Line, c.Findings[i].Line);
            EXPECT_EQ(findings[i].Level, c.Findings[i].Level);
            EXPECT_NE(findings[i].Text.find(c.Findings[i].Fragment), std::string::npos)
                << "expected \"" << c.Findings[i].Fragment << "\"";
        }
        int expectedStatus = 0;
        for (const Expected& e : c.Findings)
            expectedStatus = std::max(expectedStatus, e.Level == E ? 2 : 1);
        EXPECT_EQ(CheckExitStatus(findings), expectedStatus);
    };
    for (const Case& c : Corpus()) {
        SCOPED_TRACE(c.Name);
        check(c);
    }
}

// NOTE: only the mark's own finding is asserted: what the records after it
// yield depends on the shared reader skipping the mark, which is not this
// check's business.
TEST(ScriptChecker, WarnsOfAUtf8ByteOrderMark)
{
    TempFolder folder;
    const auto findings = CheckScript("\xEF\xBB\xBF" + Head, DistFolders({folder.Path()}));
    const auto mark = std::find_if(findings.begin(), findings.end(), [](const Finding& f) {
        return f.Text.find("byte-order mark") != std::string::npos;
    });
    ASSERT_NE(mark, findings.end());
    EXPECT_EQ(mark->Line, 1);
    EXPECT_EQ(mark->Level, W);
    EXPECT_EQ(CheckExitStatus(findings), 1);
    for (const Finding& f : CheckScript(Head + "M\r\n\xEF\xBB\xBF\r\n", DistFolders({folder.Path()})))
        EXPECT_EQ(f.Text.find("byte-order mark"), std::string::npos) << "only a mark at the start is one";
}

TEST(ScriptChecker, FindsSourcesOnAnyDiskette)
{
    TempFolder first;
    TempFolder second;
    second.Write("a.txt", "abc");
    const std::string script = Head + "F\r\nDa.txt{3\r\n";
    EXPECT_TRUE(CheckScript(script, DistFolders({first.Path(), second.Path()})).empty());
    ASSERT_EQ(CheckScript(script, DistFolders({first.Path()})).size(), 1u);
}

TEST(ScriptChecker, FindingsReadAsFileLineAndSeverity)
{
    EXPECT_EQ(FormatFinding("d/setup.fls", Finding{E, 12, "text"}), "d/setup.fls:12: error: text");
    EXPECT_EQ(FormatFinding("setup.fls", Finding{W, 0, "text"}), "setup.fls: warning: text");
}

// ---------------------------------------------------------------------------
// The manifest

TEST(Manifest, ReadsEveryKeywordIntoItsPlace)
{
    const Manifest m = ParseManifest("# Halvarn\n"
                                     "title Halvarn 95\r\n"
                                     "version 1.0\n"
                                     "Publisher   Halvarn Software, Inc.\n"
                                     "DESTINATION   C:\\HALVARN\n"
                                     "group\tHalvarn Group\n"
                                     "\n"
                                     "file halvarn95.exe\n"
                                     "file lib/sys.dll -> Ssys.dll\n"
                                     "option letters.txt | Install the letters?\n"
                                     "item Dhalvarn95.exe | Halvarn 95, the program\n"
                                     "pif HALVARN\n"
                                     "message Welcome.\n"
                                     "uninstall D*.TMP\n");
    EXPECT_EQ(m.Title, "Halvarn 95");
    EXPECT_EQ(m.Version, "1.0");
    EXPECT_EQ(m.Publisher, "Halvarn Software, Inc.");
    EXPECT_EQ(m.Destination, "C:\\HALVARN");
    EXPECT_EQ(m.Group, "Halvarn Group");
    ASSERT_EQ(m.Files.size(), 2u);
    EXPECT_EQ(m.Files[0].Destination, "Dhalvarn95.exe");
    EXPECT_EQ(m.Files[1].Source, "lib/sys.dll");
    EXPECT_EQ(m.Files[1].Destination, "Ssys.dll");
    ASSERT_EQ(m.Options.size(), 1u);
    EXPECT_EQ(m.Options[0].Destination, "Dletters.txt");
    EXPECT_EQ(m.Options[0].Question, "Install the letters?");
    ASSERT_EQ(m.Items.size(), 1u);
    EXPECT_EQ(m.Items[0].Name, "Halvarn 95, the program");
    EXPECT_EQ(m.Pifs, std::vector<std::string>{"HALVARN"});
    EXPECT_EQ(m.Messages, std::vector<std::string>{"Welcome."});
    EXPECT_EQ(m.Uninstall, std::vector<std::string>{"D*.TMP"});
}

TEST(Manifest, ReportsAMistakeWithItsLine)
{
    const std::string head = "title T\ndestination C:\\T\ngroup G\n";
    const std::vector<std::pair<std::string, int>> cases{
        {head + "colour blue\n", 4},
        {head + "file a.txt -> a.txt\n", 4},
        {head + "\noption a.txt\n", 5},
        {head + "item Da.exe\n", 4},
        {head + "item Da,b.exe | A\n", 4},
        {head + "uninstall *.TMP\n", 4},
        {head + "message\n", 4},
        {head + "version\n", 4},
        {head + "publisher  \n", 4},
        {"title T\ngroup G\n", 2},
    };
    for (const auto& [text, line] : cases) {
        SCOPED_TRACE(text);
        try {
            ParseManifest(text);
            ADD_FAILURE() << "no error";
        } catch (const ManifestError& e) {
            EXPECT_EQ(e.Line, line);
        }
    }
}

// ---------------------------------------------------------------------------
// flsmake's output

// A product folder with a program, a read-me, a file in a subfolder and
// optional letters.
struct Product {
    TempFolder Folder;
    TempFolder Output;
    fs::path Setup;

    Product()
    {
        Folder.Write("halvarn95.exe", std::string(3000, 'P'));
        Folder.Write("readme.txt", "Read me.\r\n");
        Folder.Write("data/halvarn.dat", "DATA");
        Folder.Write("letters.txt", "Dear ...");
        Folder.Write("setup.exe", std::string(5000, 'S'));
        Setup = Folder / "setup.exe";
    }

    Manifest Make() const
    {
        return ParseManifest("title Halvarn 95\nversion 1.0\npublisher Halvarn Software\n"
                             "destination C:\\HALVARN\ngroup Halvarn 95\n"
                             "file halvarn95.exe\nfile readme.txt\nfile data/halvarn.dat\n"
                             "option letters.txt | Install the letters?\n"
                             "item Dhalvarn95.exe | Halvarn 95\nmessage Welcome; enjoy.\nuninstall D*.TMP\n");
    }
    BuildOptions Options(uint64_t capacity = 0, bool images = false) const
    {
        BuildOptions options;
        options.SetupExe = Setup;
        options.ProductFolder = Folder.Path();
        options.Output = Output.Path() / "dist";
        options.DiskCapacity = capacity;
        options.Images = images;
        return options;
    }
};

TEST(FlsMake, WritesAScriptThatTheSetupsReaderReadsBack)
{
    Product product;
    const BuildResult result = BuildDistribution(product.Make(), product.Options());
    ASSERT_EQ(result.Folders.size(), 1u);
    const std::string script = Read(result.Folders[0] / "setup.fls");
    EXPECT_EQ(script, result.Script);
    // Every line ends in CR LF and nothing else ends one.
    size_t crlf = 0;
    for (size_t i = 0; i < script.size(); ++i) {
        if (script[i] == '\n') {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(script[i - 1], '\r');
        }
        crlf += script.compare(i, 2, "\r\n") == 0;
    }
    EXPECT_EQ(crlf, 25u);

    const auto records = Records(script);
    std::vector<std::string> read;
    for (const TextRecord& r : records)
        read.push_back(std::string(1, r.Command) + ":" + r.Argument + (r.Command == 'S' ? "|" + r.Second : ""));
    EXPECT_EQ(read, (std::vector<std::string>{
                        "T:Halvarn 95", "V:1.0", "C:Halvarn Software", "D:C:\\HALVARN", "G:Halvarn 95", "F:Dhalvarn95.exe{3000",
                        "F:Dreadme.txt{10", "F:Dhalvarn.dat{4", "P:Dhalvarn95.exe,Halvarn 95",
                        "S:Install the letters?|Dletters.txt", "M:Welcome; enjoy.", "U:D*.TMP"}));

    // The files lie under the names the setup looks for, with their contents.
    EXPECT_EQ(Read(result.Folders[0] / "setup.exe"), std::string(5000, 'S'));
    EXPECT_EQ(Read(result.Folders[0] / "halvarn.dat"), "DATA");
    EXPECT_EQ(Read(result.Folders[0] / "Dletters.txt"), "Dear ...");
    EXPECT_TRUE(CheckScript(script, DistFolders(result.Folders)).empty());
}

// The version and publisher follow the title, and a manifest without them
// gives a script without them, as before.
TEST(FlsMake, WritesTheVersionAndPublisherOnlyWhenTheManifestNamesThem)
{
    const std::string head = "title Halvarn 95\ndestination C:\\HALVARN\ngroup Halvarn 95\n";
    const std::string rest = "D\r\nC:\\HALVARN\r\nG\r\nHalvarn 95\r\n";
    EXPECT_EQ(WriteScript(ParseManifest(head), {}), "T\r\nHalvarn 95\r\n" + rest);
    EXPECT_EQ(WriteScript(ParseManifest("publisher Halvarn Software\n" + head + "version 2.1.3\n"), {}),
              "T\r\nHalvarn 95\r\nV\r\n2.1.3\r\nC\r\nHalvarn Software\r\n" + rest);
    EXPECT_EQ(WriteScript(ParseManifest(head + "version 1.0\nversion 1.1\n"), {}),
              "T\r\nHalvarn 95\r\nV\r\n1.1\r\n" + rest);
}

TEST(FlsMake, RefusesWhatTheSetupCouldNotInstall)
{
    Product product;
    {
        SCOPED_TRACE("two product files under one name");
        product.Folder.Write("other/readme.txt", "another");
        Manifest m = product.Make();
        m.Files.push_back(ManifestFile{"other/readme.txt", "Wreadme.txt", "", 9});
        EXPECT_THROW(BuildDistribution(m, product.Options()), BuildError);
    }
    {
        SCOPED_TRACE("a missing product file");
        Manifest m = product.Make();
        m.Files.push_back(ManifestFile{"missing.txt", "Dmissing.txt", "", 9});
        EXPECT_THROW(BuildDistribution(m, product.Options()), BuildError);
    }
    {
        SCOPED_TRACE("a file larger than a diskette");
        EXPECT_THROW(BuildDistribution(product.Make(), product.Options(4096)), BuildError);
    }
    {
        SCOPED_TRACE("no room for the script beside setup.exe on the first diskette");
        EXPECT_THROW(BuildDistribution(product.Make(), product.Options(5120)), BuildError);
        BuildOptions roomy = product.Options(5632);
        roomy.Output = product.Output / "roomy";
        EXPECT_NO_THROW(BuildDistribution(product.Make(), roomy));
    }
    {
        SCOPED_TRACE("an output folder that holds something else");
        product.Output.Write("dist/precious.doc", "keep");
        EXPECT_THROW(BuildDistribution(product.Make(), product.Options()), BuildError);
        EXPECT_EQ(Read(product.Output / "dist/precious.doc"), "keep");
        product.Output.Write("dist/setup.fls", "T\r\nOld\r\n");
        product.Output.Write("dist/sources/main.c", "keep");
        EXPECT_THROW(BuildDistribution(product.Make(), product.Options()), BuildError);
        EXPECT_EQ(Read(product.Output / "dist/sources/main.c"), "keep");
    }
}

TEST(FlsMake, LaysFilesOutOnDiskettesInTheOrderTheSetupReadsThem)
{
    Product product;
    // 8 KB diskettes: setup.exe (10 clusters) and setup.fls on the first,
    // the 3000-byte program (6 clusters) on the second with the small files.
    const BuildResult result = BuildDistribution(product.Make(), product.Options(8192));
    ASSERT_EQ(result.Folders.size(), 2u);
    EXPECT_EQ(result.Folders[0], product.Output / "dist" / "disk1");
    EXPECT_TRUE(fs::exists(result.Folders[0] / "setup.exe"));
    EXPECT_TRUE(fs::exists(result.Folders[0] / "setup.fls"));
    EXPECT_FALSE(fs::exists(result.Folders[0] / "halvarn95.exe"));
    for (const char* name : {"halvarn95.exe", "readme.txt", "halvarn.dat", "Dletters.txt"})
        EXPECT_TRUE(fs::exists(result.Folders[1] / name)) << name;
    EXPECT_TRUE(CheckScript(result.Script, DistFolders(result.Folders)).empty());

    // Files take whole 512-byte clusters; an empty one takes none.
    const std::vector<DiskFile> files{{"A", 600}, {"B", 500}, {"C", 100}, {"E", 0}, {"D", 1}};
    EXPECT_EQ(LayOutDiskettes(files, FolderOfCapacity(2048)), (std::vector<int>{1, 1, 1, 1, 2}));
    EXPECT_EQ(LayOutDiskettes({{"A", 1}, {"B", 1}, {"C", 1}}, DiskGeometry{1 << 20, 512, 3}),
              (std::vector<int>{1, 1, 2}));
}

TEST(FlsMake, MakesFloppyImagesThatHoldEachDiskette)
{
    Product product;
    // A program too large to share the first diskette with setup.exe.
    std::mt19937 random(11);
    std::string big(1'456'000, '\0');
    for (char& c : big)
        c = static_cast<char>(random());
    product.Folder.Write("halvarn95.exe", big);
    const BuildResult result = BuildDistribution(product.Make(), product.Options(0, true));
    ASSERT_EQ(result.Images.size(), 2u);
    EXPECT_EQ(fs::file_size(result.Images[0]), 1474560u);
    for (size_t i = 0; i < result.Images.size(); ++i) {
        SCOPED_TRACE(result.Images[i].string());
        TempFolder extracted;
        ExtractFloppyImage(result.Images[i], extracted.Path());
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(result.Folders[i])) {
            names.push_back(entry.path().filename().string());
            EXPECT_EQ(Read(extracted / names.back()), Read(entry.path())) << names.back();
        }
        EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(extracted.Path()), {})), names.size());
    }
    EXPECT_EQ(Read(result.Folders[1] / "halvarn95.exe"), big);
}

} // namespace
