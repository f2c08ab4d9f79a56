// Lines read from a file held whole in memory, by the same line rules as the
// Win32 text files.
#include "runtime/TextBuffer.h"

#include "runtime/TextRules.h"

bool TextBuffer::AtEnd()
{
    return m_pos == m_bytes.size() || m_bytes[m_pos] == TextRules::CtrlZ;
}

char TextBuffer::ReadChar()
{
    if (AtEnd())
        return TextRules::CtrlZ;
    return m_bytes[m_pos++];
}

char TextBuffer::PeekChar()
{
    return AtEnd() ? TextRules::CtrlZ : m_bytes[m_pos];
}

std::string TextBuffer::ReadLine()
{
    const size_t length = TextRules::LineTextLength(Rest());
    std::string line(Rest().substr(0, length));
    m_pos += length;
    return line;
}

void TextBuffer::SkipLine()
{
    // The whole file is one chunk, so a single pass ends the skip.
    TextRules::LineSkipper skipper;
    m_pos += skipper.Consume(Rest());
}
