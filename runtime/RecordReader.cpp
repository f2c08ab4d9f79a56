#include "runtime/RecordReader.h"

#include <utility>

#include "runtime/TextRules.h"

bool TextRecordReader::Next(TextRecord& record)
{
    if (m_source.AtEnd())
        return false;
    TextRecord next;
    next.CommandLine = m_line;
    next.Command = m_source.ReadChar();
    // NOTE: an empty command line's CR is the command character itself, so
    // that line has ended already and the skip below eats the whole next one.
    if (next.Command == TextRules::CR)
        ++m_line;
    m_source.SkipLine();
    ++m_line;
    next.Argument = ReadWholeLine(next.ArgumentLine, next.HasArgument);
    if (m_threeLineCommands.find(next.Command) != std::string::npos)
        next.Second = ReadWholeLine(next.SecondLine, next.HasSecond);
    record = std::move(next);
    return true;
}

std::string TextRecordReader::ReadWholeLine(int& lineNumber, bool& present)
{
    lineNumber = m_line;
    present = !m_source.AtEnd();
    std::string line = m_source.ReadLine();
    m_source.SkipLine();
    ++m_line;
    return line;
}
