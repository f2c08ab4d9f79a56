// The record reader on both of its sources: a text file read through its
// 128-byte buffer, as the setup reads its script, and the same bytes held in
// memory, as the build machine's checker reads them. Both must yield the
// same records with the same line numbers, whatever the line ends and
// wherever a buffer boundary falls.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/Exceptions.h"
#include "runtime/RecordReader.h"
#include "runtime/TextBuffer.h"
#include "runtime/TextFile.h"
#include "tests/support/TempDir.h"

namespace {

std::string Describe(const TextRecord& r)
{
    return std::string(1, r.Command) + "@" + std::to_string(r.CommandLine) + " [" + r.Argument + "]@" +
           std::to_string(r.ArgumentLine) + (r.HasArgument ? "" : "(cut)") + " [" + r.Second + "]@" +
           std::to_string(r.SecondLine) + (r.HasSecond ? "" : "(cut)");
}

std::vector<std::string> ReadAll(TextLineSource& source)
{
    TextRecordReader reader(source, "S");
    std::vector<std::string> records;
    TextRecord record;
    while (reader.Next(record) && records.size() < 1000)
        records.push_back(Describe(record));
    return records;
}

std::vector<std::string> FromFile(const TempDir& dir, const std::string& bytes)
{
    dir.WriteFile("records.fls", bytes);
    TTextFile file;
    BindTextFile(file, dir / "records.fls");
    OpenTextForReading(file);
    CheckInOut();
    CheckedTextInput input(file);
    std::vector<std::string> records = ReadAll(input);
    CloseTextFile(file);
    CheckInOut();
    return records;
}

std::vector<std::string> FromMemory(const std::string& bytes)
{
    TextBuffer buffer(bytes);
    return ReadAll(buffer);
}

TEST(RecordReader, FileAndMemoryReadTheSameRecords)
{
    TempDir dir;
    // A command line whose CR is the buffer's last byte and whose LF starts
    // the next fill, then one whose CR LF straddles the following boundary.
    const std::string straddle = "T" + std::string(126, 'x') + "\r\nTitle\r\n" + "G" + std::string(118, 'y') +
                                 "\r\n" + std::string(5, 'z') + "\r\n";
    const std::vector<std::string> inputs{
        "T\r\nTitle\r\nS\r\nQuestion?\r\nDfile.txt\r\nG\r\nGroup\r\n",
        "\r\nT\r\nSwallowed\r\nG\r\nGroup\r\n",
        "T\nTitle\nG\nGroup\n",
        "T\rTitle\rG\rGroup",
        "T\r\nBefore\r\n\x1AT\r\nAfter\r\n",
        "S\r\nA question",
        "M\r\n" + std::string(1000, 'm') + "\r\nM\r\n\r\n",
        straddle,
        "",
    };
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input.substr(0, 40));
        EXPECT_EQ(FromFile(dir, input), FromMemory(input));
    }
    EXPECT_EQ(FromMemory(straddle),
              (std::vector<std::string>{"T@1 [Title]@2 []@0(cut)", "G@3 [zzzzz]@4 []@0(cut)"}));
}

// A file saved by an editor as UTF-8 begins with a byte-order mark; it is
// skipped, so the first record is read as if it were not there. Only a whole
// mark at the very start counts.
TEST(RecordReader, AByteOrderMarkAtTheStartIsSkipped)
{
    TempDir dir;
    const std::string plain = "T\r\nTitle\r\nG\r\nGroup\r\n";
    const std::string bom = "\xEF\xBB\xBF";
    struct Case {
        const char* Name;
        std::string Bytes;
        std::vector<std::string> Records;
        bool HadMark;
    };
    const Case cases[] = {
        {"a whole mark", bom + plain, FromMemory(plain), true},
        {"a mark and nothing else", bom, {}, true},
        {"a mark cut short: its first byte is the command",
         bom.substr(0, 2) + plain,
         {"\xEF@1 [Title]@2 []@0(cut)", "G@3 [Group]@4 []@0(cut)"},
         false},
        {"a mark later in the file stays", plain + bom + "G\r\nOther\r\n",
         {"T@1 [Title]@2 []@0(cut)", "G@3 [Group]@4 []@0(cut)", "\xEF@5 [Other]@6 []@0(cut)"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(FromMemory(c.Bytes), c.Records);
        EXPECT_EQ(FromFile(dir, c.Bytes), c.Records);
        TextBuffer buffer(c.Bytes);
        TextRecordReader reader(buffer, "S");
        TextRecord record;
        reader.Next(record);
        EXPECT_EQ(reader.HadByteOrderMark(), c.HadMark);
    }
}

TEST(RecordReader, AReadErrorStopsAtTheRecordWhereItHappens)
{
    TTextFile file;  // never opened: every read fails with "not open for input"
    BindTextFile(file, "never-opened.fls");
    CheckedTextInput input(file);
    TextRecordReader reader(input, "S");
    TextRecord record;
    EXPECT_THROW(reader.Next(record), EInOutError);
}

} // namespace
