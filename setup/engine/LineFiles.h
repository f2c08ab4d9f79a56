// The setup's two line files, the script and the uninstall log, read and
// written through one checked reader and one checked writer: the text
// files' error state is tested after every step and raised as the
// input/output error, so no caller tests it by hand.
#pragma once

#include <string>
#include <string_view>

#include "runtime/RecordReader.h"
#include "runtime/TextFile.h"

// A line file being read, record by record: opened when constructed.
// Every step that fails raises EInOutError, so reading stops at the record
// where it failed.
class LineFileReader {
public:
    // threeLineCommands lists the command characters that take a second
    // argument line.
    LineFileReader(const std::string& path, std::string_view threeLineCommands);
    LineFileReader(const LineFileReader&) = delete;
    LineFileReader& operator=(const LineFileReader&) = delete;

    // The next record; false at the end of the data.
    bool Next(TextRecord& record) { return m_records.Next(record); }
    void Close();

private:
    TTextFile m_file;
    CheckedTextInput m_input{m_file};
    TextRecordReader m_records;
};

// A line file being written: made (or emptied) when constructed, each line
// ended by CR LF. Every step that fails raises EInOutError.
class LineFileWriter {
public:
    explicit LineFileWriter(const std::string& path);
    LineFileWriter(const LineFileWriter&) = delete;
    LineFileWriter& operator=(const LineFileWriter&) = delete;

    void WriteLine(std::string_view text);
    // Writes out what is buffered and closes the file.
    void Close();

private:
    TTextFile m_file;
};
