// The checked reader and writer of the setup's line files.
#include "setup/engine/LineFiles.h"

LineFileReader::LineFileReader(const std::string& path, std::string_view threeLineCommands)
    : m_records(m_input, threeLineCommands)
{
    BindTextFile(m_file, path);
    OpenTextForReading(m_file);
    CheckInOut();
}

void LineFileReader::Close()
{
    CloseTextFile(m_file);
    CheckInOut();
}

LineFileWriter::LineFileWriter(const std::string& path)
{
    BindTextFile(m_file, path);
    OpenTextForWriting(m_file);
    CheckInOut();
}

void LineFileWriter::WriteLine(std::string_view text)
{
    WriteText(m_file, text);
    CheckInOut();
    WriteTextLineEnd(m_file);
    CheckInOut();
}

void LineFileWriter::Close()
{
    CloseTextFile(m_file);
    CheckInOut();
}
