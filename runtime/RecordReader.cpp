// The reading of records from the line files: a byte-order mark dropped at the
// start, then each record's lines with their line numbers and whether a line
// end closed them.
#include "runtime/RecordReader.h"

#include <utility>

#include "runtime/TextRules.h"

namespace {

// Editors that save UTF-8 put these bytes before the text.
constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";

} // namespace

void TextRecordReader::SkipByteOrderMark()
{
    // NOTE: the bytes are taken one at a time while they match. When the
    // mark breaks off, its first byte is the first record's command
    // character, and a second one taken with it was part of the rest of the
    // command line, which the record skips anyway; so data without a whole
    // mark reads exactly as it would without this step.
    size_t matched = 0;
    while (matched < 3 && m_source.PeekChar() == ByteOrderMark[matched]) {
        m_source.ReadChar();
        ++matched;
    }
    if (matched == 3)
        m_hadByteOrderMark = true;
    else if (matched > 0)
        m_takenCommand = ByteOrderMark[0];
}

bool TextRecordReader::Next(TextRecord& record)
{
    if (!m_started) {
        m_started = true;
        SkipByteOrderMark();
    }
    if (!m_takenCommand && m_source.AtEnd())
        return false;
    TextRecord next;
    next.CommandLine = m_line;
    next.Command = m_takenCommand ? std::exchange(m_takenCommand, 0) : m_source.ReadChar();
    // NOTE: an empty command line's CR is the command character itself, so
    // that line has ended already and the skip below eats the whole next one.
    if (next.Command == TextRules::CR)
        ++m_line;
    m_source.SkipLine();
    ++m_line;
    next.Argument = ReadWholeLine(next.ArgumentLine, next.HasArgument);
    if (m_threeLineCommands.find(next.Command) != std::string::npos)
        next.Second = ReadWholeLine(next.SecondLine, next.HasSecond);
    next.Ended = m_lineEnded;
    record = std::move(next);
    return true;
}

std::string TextRecordReader::ReadWholeLine(int& lineNumber, bool& present)
{
    lineNumber = m_line;
    present = !m_source.AtEnd();
    std::string line = m_source.ReadLine();
    // NOTE: at the end of the data, and at a Ctrl-Z, the next character is a
    // Ctrl-Z: only a CR ends the line.
    m_lineEnded = m_source.PeekChar() == TextRules::CR;
    m_source.SkipLine();
    ++m_line;
    return line;
}
