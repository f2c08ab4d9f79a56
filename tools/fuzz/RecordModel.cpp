// The plain model of the line files' records, and the check of the record
// reader's records against it.
#include "tools/fuzz/RecordModel.h"

#include <cstdlib>
#include <string>

#include "runtime/TextBuffer.h"

namespace {

constexpr char CR = 13;
constexpr char LF = 10;
constexpr char CtrlZ = 26;

} // namespace

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

std::vector<TextRecord> ModelRecords(std::string_view bytes, std::string_view threeLineCommands)
{
    // A byte-order mark at the very start is no part of the data.
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    const std::string_view data = bytes.substr(0, bytes.find(CtrlZ));
    std::vector<std::string> lines;
    // Whether each line was ended by a CR.
    std::vector<bool> endedLines;
    for (size_t pos = 0; pos < data.size();) {
        const size_t cr = data.find(CR, pos);
        endedLines.push_back(cr != std::string_view::npos);
        if (cr == std::string_view::npos) {
            lines.emplace_back(data.substr(pos));
            break;
        }
        lines.emplace_back(data.substr(pos, cr - pos));
        pos = cr + 1;
        if (pos < data.size() && data[pos] == LF)
            ++pos;
    }
    std::vector<TextRecord> records;
    size_t i = 0;
    // Each argument line read is the record's last so far.
    bool lastEnded = false;
    auto argument = [&](std::string& text, int& line, bool& present) {
        line = static_cast<int>(i) + 1;
        present = i < lines.size();
        text = present ? lines[i] : std::string();
        lastEnded = present && endedLines[i];
        ++i;
    };
    while (i < lines.size()) {
        TextRecord record;
        record.CommandLine = static_cast<int>(i) + 1;
        if (lines[i].empty()) {
            // The empty line's CR is the command, and the line after it is
            // skipped as the rest of the command line.
            record.Command = CR;
            i += 2;
        } else {
            record.Command = lines[i][0];
            i += 1;
        }
        argument(record.Argument, record.ArgumentLine, record.HasArgument);
        if (threeLineCommands.find(record.Command) != std::string_view::npos)
            argument(record.Second, record.SecondLine, record.HasSecond);
        record.Ended = lastEnded;
        records.push_back(record);
    }
    return records;
}

std::vector<TextRecord> CheckRecordReader(std::string_view bytes, std::string_view threeLineCommands)
{
    const std::vector<TextRecord> expected = ModelRecords(bytes, threeLineCommands);
    TextBuffer buffer{std::string(bytes)};
    TextRecordReader reader(buffer, threeLineCommands);
    std::vector<TextRecord> records;
    TextRecord record;
    while (reader.Next(record)) {
        // Each record consumes at least its command character, so the reading
        // ends; more records than the model's is a finding at once.
        Require(records.size() < expected.size());
        const TextRecord& model = expected[records.size()];
        Require(record.Command == model.Command);
        Require(record.Argument == model.Argument && record.HasArgument == model.HasArgument);
        Require(record.Second == model.Second && record.HasSecond == model.HasSecond);
        Require(record.Ended == model.Ended);
        Require(record.CommandLine == model.CommandLine && record.ArgumentLine == model.ArgumentLine);
        Require(!record.HasSecond || record.SecondLine == model.SecondLine);
        for (const std::string* text : {&record.Argument, &record.Second})
            Require(text->find(CR) == std::string::npos && text->find(CtrlZ) == std::string::npos);
        Require(buffer.Position() <= bytes.size());
        records.push_back(record);
    }
    Require(records.size() == expected.size());
    return records;
}
