// Reads the records of the system's line files: a command line, of which only
// the first character counts, then an argument line taken whole; some
// commands have a second argument line. The setup script and the uninstall
// log are both made of such records, and the setup program and the build
// machine's checker read them through this one reader.
#pragma once

#include <string>
#include <string_view>

#include "runtime/LineSource.h"

struct TextRecord {
    // The first character of the command line. An empty line gives CR here,
    // and then the two lines after it are the rest of the record.
    char Command = 0;
    std::string Argument;
    // Only for the commands with a second argument line.
    std::string Second;

    // Line numbers, counting from 1, as lines end at a CR: where the command
    // character stood, and where each argument was read from.
    int CommandLine = 0;
    int ArgumentLine = 0;
    int SecondLine = 0;
    // False when the data ended before that argument line: the argument is
    // then empty.
    bool HasArgument = false;
    bool HasSecond = false;
    // Whether the record's last line was ended by a line end (a CR). A file
    // cut off while it was being written ends inside its last record, with
    // no line end after it.
    bool Ended = false;
};

class TextRecordReader {
public:
    // threeLineCommands lists the command characters that take a second
    // argument line.
    TextRecordReader(TextLineSource& source, std::string_view threeLineCommands)
        : m_source(source), m_threeLineCommands(threeLineCommands)
    {
    }

    // Reads the next record. Returns false, leaving record alone, when the
    // data has ended. The end is tested before each record, so a file that
    // ends right after a command line gives that command an empty argument.
    // A leading UTF-8 byte-order mark (EF BB BF, at the very start of the
    // data only) is skipped before the first record.
    bool Next(TextRecord& record);
    // Whether the data began with a byte-order mark; known once Next has
    // been called.
    bool HadByteOrderMark() const { return m_hadByteOrderMark; }

private:
    // Takes the byte-order mark, or as much of it as matches.
    void SkipByteOrderMark();

    // Reads the line now reached, then skips its line end.
    // Whether it was ended by a CR is kept in m_lineEnded.
    std::string ReadWholeLine(int& lineNumber, bool& present);

    TextLineSource& m_source;  // not owned: the caller's source outlives the reader
    std::string m_threeLineCommands;
    int m_line = 1;
    bool m_started = false;
    bool m_hadByteOrderMark = false;
    // The first record's command character when it was taken while looking
    // for the byte-order mark; 0 when there is none waiting.
    char m_takenCommand = 0;
    bool m_lineEnded = false;
};
