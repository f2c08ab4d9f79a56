// Text files on real files: what counts as a line end, where reading stops,
// the exact bytes written, and the error state left by every operation. The
// setup script and the uninstall log are read and written this way.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "runtime/Exceptions.h"
#include "runtime/TextFile.h"
#include "tests/support/TempDir.h"

namespace {

constexpr char CtrlZ = 26;
// The code a name the runtime cannot use gives; its message is "Invalid filename".
constexpr int InvalidFilename = 3;

// Binds and opens a file for reading; the caller asserts on the result.
int OpenForReading(TTextFile& file, const std::string& name)
{
    BindTextFile(file, name);
    EXPECT_EQ(InOutResult(), 0);
    OpenTextForReading(file);
    return InOutResult();
}

int OpenForWriting(TTextFile& file, const std::string& name)
{
    BindTextFile(file, name);
    EXPECT_EQ(InOutResult(), 0);
    OpenTextForWriting(file);
    return InOutResult();
}

// Reads the rest of a file as lines, the way a plain line reader does.
std::vector<std::string> ReadAllLines(TTextFile& file)
{
    std::vector<std::string> lines;
    while (!TextAtEnd(file)) {
        lines.push_back(ReadTextLine(file));
        EXPECT_EQ(InOutResult(), 0);
        SkipTextLine(file);
        EXPECT_EQ(InOutResult(), 0);
        if (lines.size() > 1000)  // a reader that stopped advancing
            break;
    }
    EXPECT_EQ(InOutResult(), 0);
    return lines;
}

std::vector<std::string> LinesOf(const TempDir& dir, std::string_view bytes)
{
    dir.WriteFile("lines.txt", bytes);
    TTextFile file;
    EXPECT_EQ(OpenForReading(file, dir / "lines.txt"), 0);
    std::vector<std::string> lines = ReadAllLines(file);
    CloseTextFile(file);
    EXPECT_EQ(InOutResult(), 0);
    return lines;
}

// One record of the setup's line files: a command character on one line and
// its text on the next, read as "read char, skip line, read line text, skip
// line".
struct Record {
    char command;
    std::string text;
};

Record ReadRecord(TTextFile& file)
{
    Record record;
    record.command = ReadTextChar(file);
    EXPECT_EQ(InOutResult(), 0);
    SkipTextLine(file);
    EXPECT_EQ(InOutResult(), 0);
    record.text = ReadTextLine(file);
    EXPECT_EQ(InOutResult(), 0);
    SkipTextLine(file);
    EXPECT_EQ(InOutResult(), 0);
    return record;
}

std::vector<Record> RecordsOf(const TempDir& dir, std::string_view bytes)
{
    dir.WriteFile("records.txt", bytes);
    TTextFile file;
    EXPECT_EQ(OpenForReading(file, dir / "records.txt"), 0);
    std::vector<Record> records;
    while (!TextAtEnd(file) && records.size() < 100)
        records.push_back(ReadRecord(file));
    CloseTextFile(file);
    return records;
}

// A line of printable characters whose content depends on its length, so
// that a piece lost or repeated at a buffer boundary shows.
std::string MakeLine(size_t length)
{
    std::string line(length, ' ');
    uint32_t x = static_cast<uint32_t>(length) * 2654435761u + 1;
    for (char& c : line) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>('!' + (x >> 16) % 94);
    }
    return line;
}

DWORD OpenWithCreateFile(const std::string& name, DWORD access, HANDLE* handle)
{
    *handle = CreateFileA(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    return *handle == INVALID_HANDLE_VALUE ? GetLastError() : 0;
}

} // namespace

TEST(TextFile, LinesEndAtCarriageReturnWithOrWithoutLineFeed)
{
    TempDir dir;
    using Lines = std::vector<std::string>;
    {
        SCOPED_TRACE("CR alone");
        EXPECT_EQ(LinesOf(dir, "one\rtwo\rthree"), (Lines{"one", "two", "three"}));
    }
    {
        SCOPED_TRACE("CR LF");
        EXPECT_EQ(LinesOf(dir, "one\r\ntwo\r\nthree\r\n"), (Lines{"one", "two", "three"}));
    }
    {
        SCOPED_TRACE("mixed, with empty lines");
        EXPECT_EQ(LinesOf(dir, "a\r\n\r\nb\r\rc"), (Lines{"a", "", "b", "", "c"}));
    }
    {
        SCOPED_TRACE("only one LF after the CR belongs to the line end");
        EXPECT_EQ(LinesOf(dir, "a\r\n\nb\r\n"), (Lines{"a", "\nb"}));
    }
}

TEST(TextFile, LoneLineFeedIsAnOrdinaryCharacter)
{
    TempDir dir;
    const std::string unixText = "F\nfile1.txt\nG\nGroup\n";
    {
        SCOPED_TRACE("a line reader sees one line holding the line feeds");
        EXPECT_EQ(LinesOf(dir, unixText), std::vector<std::string>{unixText});
    }
    {
        SCOPED_TRACE("a record reader takes the first character and loses the rest");
        const std::vector<Record> records = RecordsOf(dir, unixText);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].command, 'F');
        EXPECT_EQ(records[0].text, "");
    }
}

TEST(TextFile, RecordReaderReadsCommandAndText)
{
    TempDir dir;
    const std::vector<Record> records = RecordsOf(dir, "F\r\nfile1.txt\r\nG\r\nMy Group\r\nM\rmessage\r");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].command, 'F');
    EXPECT_EQ(records[0].text, "file1.txt");
    EXPECT_EQ(records[1].command, 'G');
    EXPECT_EQ(records[1].text, "My Group");
    EXPECT_EQ(records[2].command, 'M');
    EXPECT_EQ(records[2].text, "message");
}

TEST(TextFile, EmptyCommandLineConsumesTheTwoLinesAfterIt)
{
    TempDir dir;
    dir.WriteFile("records.txt", "A\r\nfirst\r\n\r\nlost\r\nalso lost\r\nB\r\nsecond\r\n");
    TTextFile file;
    ASSERT_EQ(OpenForReading(file, dir / "records.txt"), 0);

    const Record first = ReadRecord(file);
    EXPECT_EQ(first.command, 'A');
    EXPECT_EQ(first.text, "first");

    // The empty line gives CR as its command; skipping "the rest of the line"
    // then runs through the next line, and that line's successor is taken as
    // the text.
    const Record empty = ReadRecord(file);
    EXPECT_EQ(empty.command, '\r');
    EXPECT_EQ(empty.text, "also lost");

    const Record second = ReadRecord(file);
    EXPECT_EQ(second.command, 'B');
    EXPECT_EQ(second.text, "second");

    EXPECT_TRUE(TextAtEnd(file));
    CloseTextFile(file);
    EXPECT_EQ(InOutResult(), 0);
}

TEST(TextFile, CtrlZEndsTheData)
{
    TempDir dir;
    {
        SCOPED_TRACE("read character stops at Ctrl-Z and stays there");
        dir.WriteFile("z.txt", std::string("AB") + CtrlZ + "CD\r\nEF\r\n");
        TTextFile file;
        ASSERT_EQ(OpenForReading(file, dir / "z.txt"), 0);
        EXPECT_EQ(ReadTextChar(file), 'A');
        EXPECT_FALSE(TextAtEnd(file));
        EXPECT_EQ(ReadTextChar(file), 'B');
        EXPECT_TRUE(TextAtEnd(file)) << "Ctrl-Z is next, with data behind it";
        EXPECT_EQ(ReadTextChar(file), CtrlZ);
        EXPECT_EQ(InOutResult(), 0);
        EXPECT_EQ(ReadTextChar(file), CtrlZ) << "Ctrl-Z must not be consumed";
        EXPECT_TRUE(TextAtEnd(file));
        EXPECT_EQ(ReadTextLine(file), "");
        EXPECT_EQ(InOutResult(), 0);
        SkipTextLine(file);
        EXPECT_EQ(InOutResult(), 0);
        EXPECT_TRUE(TextAtEnd(file));
        EXPECT_EQ(ReadTextChar(file), CtrlZ);
        CloseTextFile(file);
        EXPECT_EQ(InOutResult(), 0);
    }
    {
        SCOPED_TRACE("a line reader sees nothing after Ctrl-Z");
        EXPECT_EQ(LinesOf(dir, std::string("line1\r\nli") + CtrlZ + "ne2\r\nline3\r\n"),
                  (std::vector<std::string>{"line1", "li"}));
    }
    {
        SCOPED_TRACE("Ctrl-Z as the first byte of a later buffer");
        const std::string line = MakeLine(128);
        EXPECT_EQ(LinesOf(dir, line + CtrlZ + "after\r\n"), std::vector<std::string>{line});
    }
    {
        SCOPED_TRACE("an empty command line before Ctrl-Z does not read past it");
        const std::vector<Record> records = RecordsOf(dir, std::string("\r\nx\r\n") + CtrlZ + "F\r\nhidden\r\n");
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].command, '\r');
        EXPECT_EQ(records[0].text, "");
    }
}

TEST(TextFile, EndOfDataReadsAsCtrlZWithoutError)
{
    TempDir dir;
    {
        SCOPED_TRACE("empty file");
        dir.WriteFile("empty.txt", "");
        TTextFile file;
        ASSERT_EQ(OpenForReading(file, dir / "empty.txt"), 0);
        EXPECT_TRUE(TextAtEnd(file));
        EXPECT_EQ(InOutResult(), 0);
        EXPECT_EQ(ReadTextChar(file), CtrlZ);
        EXPECT_EQ(InOutResult(), 0);
        EXPECT_EQ(ReadTextLine(file), "");
        EXPECT_EQ(InOutResult(), 0);
        SkipTextLine(file);
        EXPECT_EQ(InOutResult(), 0);
        CloseTextFile(file);
    }
    {
        SCOPED_TRACE("after the last character");
        dir.WriteFile("one.txt", "A");
        TTextFile file;
        ASSERT_EQ(OpenForReading(file, dir / "one.txt"), 0);
        EXPECT_FALSE(TextAtEnd(file));
        EXPECT_FALSE(TextAtEnd(file)) << "asking about the end must not consume";
        EXPECT_EQ(ReadTextChar(file), 'A');
        EXPECT_TRUE(TextAtEnd(file));
        EXPECT_EQ(ReadTextChar(file), CtrlZ);
        EXPECT_EQ(ReadTextChar(file), CtrlZ);
        EXPECT_EQ(InOutResult(), 0);
        CloseTextFile(file);
    }
}

TEST(TextFile, ReadLineTextLeavesTheCarriageReturnUnread)
{
    TempDir dir;
    dir.WriteFile("cr.txt", "abc\r\ndef");
    TTextFile file;
    ASSERT_EQ(OpenForReading(file, dir / "cr.txt"), 0);
    EXPECT_EQ(ReadTextLine(file), "abc");
    EXPECT_EQ(ReadTextLine(file), "") << "a second read stops at the same CR";
    EXPECT_FALSE(TextAtEnd(file));
    EXPECT_EQ(ReadTextChar(file), '\r');
    EXPECT_EQ(ReadTextChar(file), '\n');
    EXPECT_EQ(ReadTextLine(file), "def");
    EXPECT_TRUE(TextAtEnd(file));
    EXPECT_EQ(InOutResult(), 0);
    CloseTextFile(file);
}

TEST(TextFile, LongLinesAreReadWhole)
{
    TempDir dir;
    // The first line puts its CR at the last byte of the 128-byte buffer and
    // its LF at the first byte of the next fill.
    const std::vector<size_t> lengths = {127, 128, 1, 255, 256, 1000, 100000, 129, 0, 3};
    std::vector<std::string> expected;
    std::string bytes;
    for (size_t length : lengths) {
        expected.push_back(MakeLine(length));
        bytes += expected.back() + "\r\n";
    }
    EXPECT_EQ(LinesOf(dir, bytes), expected);

    SCOPED_TRACE("lines ended by CR alone");
    bytes.clear();
    for (const std::string& line : expected)
        bytes += line + "\r";
    EXPECT_EQ(LinesOf(dir, bytes), expected);
}

TEST(TextFile, SkipLineStopsAtTheEndWithoutError)
{
    TempDir dir;
    for (const std::string& bytes : {std::string("abc"), std::string("abc\r"), std::string("abc\r\n"),
                                     std::string("abc") + CtrlZ + "def\r\n"}) {
        SCOPED_TRACE(::testing::PrintToString(bytes));
        dir.WriteFile("skip.txt", bytes);
        TTextFile file;
        ASSERT_EQ(OpenForReading(file, dir / "skip.txt"), 0);
        SkipTextLine(file);
        EXPECT_EQ(InOutResult(), 0);
        EXPECT_TRUE(TextAtEnd(file));
        SkipTextLine(file);
        EXPECT_EQ(InOutResult(), 0);
        EXPECT_TRUE(TextAtEnd(file));
        CloseTextFile(file);
        EXPECT_EQ(InOutResult(), 0);
    }
}

TEST(TextFile, WritingProducesExactBytes)
{
    TempDir dir;
    const std::string longText = MakeLine(300);  // more than the buffer holds
    TTextFile file;
    ASSERT_EQ(OpenForWriting(file, dir / "out.txt"), 0);
    WriteText(file, "first");
    EXPECT_EQ(InOutResult(), 0);
    WriteTextLineEnd(file);
    EXPECT_EQ(InOutResult(), 0);
    WriteTextLineEnd(file);
    WriteText(file, longText);
    WriteTextLineEnd(file);
    // Bytes are written as they are: no line-end translation, no code-page
    // conversion.
    WriteText(file, std::string_view("a\nb\xE4\xFF\0c", 7));
    WriteText(file, "");
    EXPECT_EQ(InOutResult(), 0);
    CloseTextFile(file);
    EXPECT_EQ(InOutResult(), 0);
    EXPECT_EQ(file.Mode(), TextFileMode::Closed);

    EXPECT_EQ(dir.ReadFile("out.txt"), "first\r\n\r\n" + longText + "\r\n" + std::string("a\nb\xE4\xFF\0c", 7));
}

TEST(TextFile, WrittenLinesReadBack)
{
    TempDir dir;
    const std::vector<std::string> lines = {"D", "C:\\HALVARN\\", "", MakeLine(400), "end"};
    TTextFile out;
    ASSERT_EQ(OpenForWriting(out, dir / "log.txt"), 0);
    for (const std::string& line : lines) {
        WriteText(out, line);
        WriteTextLineEnd(out);
        ASSERT_EQ(InOutResult(), 0);
    }
    CloseTextFile(out);
    ASSERT_EQ(InOutResult(), 0);

    TTextFile in;
    ASSERT_EQ(OpenForReading(in, dir / "log.txt"), 0);
    EXPECT_EQ(ReadAllLines(in), lines);
    CloseTextFile(in);
}

TEST(TextFile, OpenForWritingCreatesOrTruncates)
{
    TempDir dir;
    dir.WriteFile("old.txt", std::string(500, 'x'));
    TTextFile file;
    ASSERT_EQ(OpenForWriting(file, dir / "old.txt"), 0);
    WriteText(file, "new");
    CloseTextFile(file);
    ASSERT_EQ(InOutResult(), 0);
    EXPECT_EQ(dir.ReadFile("old.txt"), "new");

    ASSERT_EQ(OpenForWriting(file, dir / "old.txt"), 0);
    CloseTextFile(file);
    EXPECT_EQ(dir.ReadFile("old.txt"), "") << "opening alone truncates";

    ASSERT_EQ(OpenForWriting(file, dir / "fresh.txt"), 0);
    WriteText(file, "made");
    CloseTextFile(file);
    EXPECT_EQ(dir.ReadFile("fresh.txt"), "made");
}

TEST(TextFile, OpenFailuresGiveTheSystemCode)
{
    TempDir dir;
    TTextFile file;
    EXPECT_EQ(OpenForReading(file, dir / "missing.txt"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(file.Mode(), TextFileMode::Closed);
    EXPECT_EQ(InOutResult(), 0) << "reading the state resets it";

    EXPECT_EQ(OpenForReading(file, dir / "no folder\\missing.txt"), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(OpenForWriting(file, dir / "no folder\\new.txt"), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(file.Mode(), TextFileMode::Closed);
}

TEST(TextFile, UnusableNamesGiveInvalidFilename)
{
    TempDir dir;
    dir.WriteFile("a", "keep");
    TTextFile file;
    {
        SCOPED_TRACE("259 characters is the longest name");
        const std::string name = dir.Path() + std::string(TTextFile::MaxNameLength - dir.Path().size(), 'n');
        ASSERT_EQ(name.size(), 259u);
        EXPECT_EQ(OpenForWriting(file, name), 0);
        CloseTextFile(file);
        EXPECT_EQ(OpenForReading(file, name), 0);
        CloseTextFile(file);
    }
    {
        SCOPED_TRACE("260 and more characters");
        const std::string name = dir.Path() + std::string(TTextFile::MaxNameLength + 1 - dir.Path().size(), 'n');
        EXPECT_EQ(OpenForReading(file, name), InvalidFilename);
        EXPECT_EQ(OpenForWriting(file, name), InvalidFilename);
        EXPECT_EQ(OpenForReading(file, dir.Path() + std::string(1000, 'n')), InvalidFilename);
        EXPECT_EQ(file.Mode(), TextFileMode::Closed);
    }
    {
        SCOPED_TRACE("a NUL byte must not open the shorter name before it");
        const std::string name = dir / std::string("a\0b", 3);
        EXPECT_EQ(OpenForReading(file, name), InvalidFilename);
        EXPECT_EQ(OpenForWriting(file, name), InvalidFilename);
        EXPECT_EQ(dir.ReadFile("a"), "keep");
    }
}

TEST(TextFile, OperationsInTheWrongStateGiveRuntimeCodes)
{
    TempDir dir;
    dir.WriteFile("in.txt", "data\r\n");
    {
        SCOPED_TRACE("never bound");
        TTextFile file;
        OpenTextForReading(file);
        EXPECT_EQ(InOutResult(), ioFileNotAssigned);
        OpenTextForWriting(file);
        EXPECT_EQ(InOutResult(), ioFileNotAssigned);
        CloseTextFile(file);
        EXPECT_EQ(InOutResult(), ioFileNotOpen);
        EXPECT_EQ(file.Mode(), TextFileMode::Unassigned);
    }
    {
        SCOPED_TRACE("bound but closed");
        TTextFile file;
        BindTextFile(file, dir / "in.txt");
        EXPECT_EQ(ReadTextChar(file), CtrlZ);
        EXPECT_EQ(InOutResult(), ioNotOpenForInput);
        EXPECT_EQ(ReadTextLine(file), "");
        EXPECT_EQ(InOutResult(), ioNotOpenForInput);
        SkipTextLine(file);
        EXPECT_EQ(InOutResult(), ioNotOpenForInput);
        TextAtEnd(file);
        EXPECT_EQ(InOutResult(), ioNotOpenForInput);
        WriteText(file, "x");
        EXPECT_EQ(InOutResult(), ioNotOpenForOutput);
        WriteTextLineEnd(file);
        EXPECT_EQ(InOutResult(), ioNotOpenForOutput);
        CloseTextFile(file);
        EXPECT_EQ(InOutResult(), ioFileNotOpen);
    }
    {
        SCOPED_TRACE("open for output");
        TTextFile file;
        ASSERT_EQ(OpenForWriting(file, dir / "out.txt"), 0);
        ReadTextChar(file);
        EXPECT_EQ(InOutResult(), ioNotOpenForInput);
        ReadTextLine(file);
        EXPECT_EQ(InOutResult(), ioNotOpenForInput);
        SkipTextLine(file);
        EXPECT_EQ(InOutResult(), ioNotOpenForInput);
        TextAtEnd(file);
        EXPECT_EQ(InOutResult(), ioNotOpenForInput);
        WriteText(file, "ok");
        EXPECT_EQ(InOutResult(), 0);
        CloseTextFile(file);
        EXPECT_EQ(InOutResult(), 0);
        CloseTextFile(file);
        EXPECT_EQ(InOutResult(), ioFileNotOpen) << "closing a closed file";
        EXPECT_EQ(dir.ReadFile("out.txt"), "ok") << "the failed reads must not disturb the output";
    }
    {
        SCOPED_TRACE("open for input");
        TTextFile file;
        ASSERT_EQ(OpenForReading(file, dir / "in.txt"), 0);
        WriteText(file, "x");
        EXPECT_EQ(InOutResult(), ioNotOpenForOutput);
        WriteTextLineEnd(file);
        EXPECT_EQ(InOutResult(), ioNotOpenForOutput);
        EXPECT_EQ(ReadTextLine(file), "data") << "the failed writes must not disturb the input";
        EXPECT_EQ(InOutResult(), 0);
        CloseTextFile(file);
        EXPECT_EQ(InOutResult(), 0);
        CloseTextFile(file);
        EXPECT_EQ(InOutResult(), ioFileNotOpen);
        EXPECT_EQ(dir.ReadFile("in.txt"), "data\r\n");
    }
}

TEST(TextFile, EachOperationReplacesTheErrorState)
{
    TempDir dir;
    dir.WriteFile("in.txt", "x");
    TTextFile file;
    ASSERT_EQ(OpenForReading(file, dir / "in.txt"), 0);
    WriteText(file, "y");
    // Not read: the next operation's success clears it.
    EXPECT_EQ(ReadTextChar(file), 'x');
    EXPECT_EQ(InOutResult(), 0);
    CloseTextFile(file);
}

TEST(TextFile, InOutResultAndCheckInOutResetTheState)
{
    TempDir dir;
    TTextFile file;
    BindTextFile(file, dir / "missing.txt");
    OpenTextForReading(file);
    EXPECT_EQ(InOutResult(), 2);
    EXPECT_EQ(InOutResult(), 0);

    OpenTextForReading(file);
    try {
        CheckInOut();
        ADD_FAILURE() << "CheckInOut did not raise";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode, 2);
        EXPECT_EQ(e.Message(), "File not found");
    }
    EXPECT_EQ(InOutResult(), 0) << "raising resets the state";
    EXPECT_NO_THROW(CheckInOut());

    WriteText(file, "x");
    try {
        CheckInOut();
        ADD_FAILURE() << "CheckInOut did not raise";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode, ioNotOpenForOutput);
        EXPECT_EQ(e.Message(), "I/O error 105");
    }
    EXPECT_NO_THROW(CheckInOut());

    OpenForWriting(file, dir / "fine.txt");
    EXPECT_NO_THROW(CheckInOut());
    CloseTextFile(file);
    EXPECT_NO_THROW(CheckInOut());
}

namespace {

struct ThreadProbe {
    std::string name;
    int openResult = -1;
    int afterwards = -1;
};

DWORD WINAPI OpenMissingOnThread(void* parameter)
{
    auto* probe = static_cast<ThreadProbe*>(parameter);
    TTextFile file;
    BindTextFile(file, probe->name);
    OpenTextForReading(file);
    probe->openResult = InOutResult();
    probe->afterwards = InOutResult();
    OpenTextForReading(file);  // left set when the thread ends
    return 0;
}

} // namespace

TEST(TextFile, ErrorStateBelongsToTheThread)
{
    TempDir dir;
    TTextFile file;
    BindTextFile(file, dir / "in.txt");
    WriteText(file, "x");  // 105 on this thread, not read yet

    ThreadProbe probe;
    probe.name = dir / "missing.txt";
    HANDLE thread = CreateThread(nullptr, 0, OpenMissingOnThread, &probe, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
    CloseHandle(thread);

    EXPECT_EQ(probe.openResult, 2);
    EXPECT_EQ(probe.afterwards, 0) << "the other thread's state started at 0";
    EXPECT_EQ(InOutResult(), ioNotOpenForOutput);
}

TEST(TextFile, OpenForReadingSharesWriteAccessOnly)
{
    TempDir dir;
    dir.WriteFile("shared.txt", "line\r\n");
    TTextFile reader;
    ASSERT_EQ(OpenForReading(reader, dir / "shared.txt"), 0);

    TTextFile second;
    EXPECT_EQ(OpenForReading(second, dir / "shared.txt"), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(second.Mode(), TextFileMode::Closed);

    HANDLE handle;
    EXPECT_EQ(OpenWithCreateFile(dir / "shared.txt", GENERIC_READ, &handle), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    ASSERT_EQ(OpenWithCreateFile(dir / "shared.txt", GENERIC_WRITE, &handle), 0u) << "writers are let in";
    CloseHandle(handle);

    EXPECT_EQ(ReadTextLine(reader), "line");
    CloseTextFile(reader);
    EXPECT_EQ(InOutResult(), 0);
    EXPECT_EQ(OpenForReading(second, dir / "shared.txt"), 0) << "closing gives the file back";
    CloseTextFile(second);
}

TEST(TextFile, OpenForWritingSharesReadAccessOnly)
{
    TempDir dir;
    TTextFile writer;
    ASSERT_EQ(OpenForWriting(writer, dir / "log.txt"), 0);
    WriteText(writer, "abc");

    HANDLE handle;
    ASSERT_EQ(OpenWithCreateFile(dir / "log.txt", GENERIC_READ, &handle), 0u) << "readers are let in";
    CloseHandle(handle);
    EXPECT_EQ(OpenWithCreateFile(dir / "log.txt", GENERIC_WRITE, &handle), static_cast<DWORD>(ERROR_SHARING_VIOLATION));

    TTextFile secondWriter;
    EXPECT_EQ(OpenForWriting(secondWriter, dir / "log.txt"), ERROR_SHARING_VIOLATION);

    CloseTextFile(writer);
    EXPECT_EQ(InOutResult(), 0);
    EXPECT_EQ(dir.ReadFile("log.txt"), "abc") << "the refused second writer must not have truncated the file";
}

TEST(TextFile, ClosingOnDestructionWritesOutputAndKeepsTheState)
{
    TempDir dir;
    {
        TTextFile file;
        ASSERT_EQ(OpenForWriting(file, dir / "out.txt"), 0);
        WriteText(file, "kept");
        TTextFile other;
        CloseTextFile(other);  // 103, to be seen after the destructors ran
    }
    EXPECT_EQ(InOutResult(), ioFileNotOpen);
    EXPECT_EQ(dir.ReadFile("out.txt"), "kept");
}

TEST(TextFile, RebindingClosesTheOpenFile)
{
    TempDir dir;
    TTextFile file;
    ASSERT_EQ(OpenForWriting(file, dir / "first.txt"), 0);
    WriteText(file, "one");
    BindTextFile(file, dir / "second.txt");
    EXPECT_EQ(InOutResult(), 0);
    EXPECT_EQ(file.Mode(), TextFileMode::Closed);
    EXPECT_EQ(file.Name(), dir / "second.txt");
    EXPECT_EQ(dir.ReadFile("first.txt"), "one");
    HANDLE handle;
    ASSERT_EQ(OpenWithCreateFile(dir / "first.txt", GENERIC_WRITE, &handle), 0u) << "the first file was not released";
    CloseHandle(handle);
}

TEST(TextFile, EmptyNameUsesTheStandardHandles)
{
    TempDir dir;
    dir.WriteFile("stdin.txt", "typed\r\n");
    HANDLE in = CreateFileA((dir / "stdin.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE out = CreateFileA((dir / "stdout.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(in, INVALID_HANDLE_VALUE);
    ASSERT_NE(out, INVALID_HANDLE_VALUE);
    const HANDLE savedIn = GetStdHandle(STD_INPUT_HANDLE);
    const HANDLE savedOut = GetStdHandle(STD_OUTPUT_HANDLE);
    SetStdHandle(STD_INPUT_HANDLE, in);
    SetStdHandle(STD_OUTPUT_HANDLE, out);

    TTextFile console;
    BindTextFile(console, "");
    OpenTextForReading(console);
    EXPECT_EQ(InOutResult(), 0);
    EXPECT_EQ(ReadTextLine(console), "typed");
    CloseTextFile(console);
    EXPECT_EQ(InOutResult(), 0);
    OpenTextForWriting(console);
    EXPECT_EQ(InOutResult(), 0);
    WriteText(console, "shown");
    WriteTextLineEnd(console);
    CloseTextFile(console);
    EXPECT_EQ(InOutResult(), 0);

    SetStdHandle(STD_INPUT_HANDLE, savedIn);
    SetStdHandle(STD_OUTPUT_HANDLE, savedOut);
    // The standard handles are borrowed: closing the text file leaves them open.
    DWORD flags;
    EXPECT_TRUE(GetHandleInformation(in, &flags));
    EXPECT_TRUE(GetHandleInformation(out, &flags));
    CloseHandle(in);
    CloseHandle(out);
    EXPECT_EQ(dir.ReadFile("stdout.txt"), "shown\r\n");
}
