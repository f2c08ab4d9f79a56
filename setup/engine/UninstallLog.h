// The uninstall log's format in one place: its record letters, the one
// reader through which the uninstaller, the reinstallation's merge and the
// test for an earlier installation all read a log (with one rule for a record
// cut at the end and one for a read error), and the one writer.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "setup/engine/LineFiles.h"

namespace UninstallLog {

// The record letters. A reader skips any other letter, so that a log of a
// later version reads as far as it can.
constexpr char Title = 'T';      // the product's title, written first
constexpr char Pattern = 'U';    // a path-coded file pattern of the script
constexpr char File = 'F';       // a file the installation made
constexpr char Group = 'G';      // the Start Menu group's name
constexpr char Registration = 'R';  // the name of the product's key in the Uninstall list
constexpr char Directory = 'D';  // the destination directory, written last

} // namespace UninstallLog

// A record of the uninstall log: its letter and its argument.
struct LogRecord {
    char Letter;
    std::string Argument;
};

// A log as far as it could be read.
struct LogContents {
    // The whole records, in the order of the log, of every letter.
    std::vector<LogRecord> Records;
    // Whether the log ended inside a record, as a run cut short while
    // writing it leaves it: that record is not among the records.
    bool Damaged = false;
    // A read error after the records before it were read.
    std::exception_ptr ReadFailure;

    // Whether the log was read to its end with every record whole.
    bool Whole() const { return !Damaged && !ReadFailure; }
    // The argument of the first title record; none in a log that has none,
    // as older ones do.
    std::optional<std::string> ProductTitle() const;
    // The argument of the last D record: the installation's destination.
    std::optional<std::string> Destination() const;
};

// Reads the log at path. A log that cannot be opened raises its
// input/output error; a later read error is kept in the contents.
LogContents ReadLogRecords(const std::string& path);

// A log being written: made (or emptied) when constructed, one record at a
// time. Every step that fails raises EInOutError.
class LogWriter {
public:
    explicit LogWriter(const std::string& path) : m_file(path) {}

    void Write(const LogRecord& record);
    // Writes out what is buffered and closes the file.
    void Close() { m_file.Close(); }

private:
    LineFileWriter m_file;
};

// Whether a D record's argument names the folder: a plain full path that
// reaches the same folder, under any name (compared by the folder's
// identity), or, when either cannot be opened, the same path, case aside.
bool NamesFolder(const std::string& argument, const std::string& folder);

// The log of an earlier installation of the product titled title that the
// folder (ending in a backslash) holds: one read whole, whose last D record
// names that very folder, and whose title record, when it has one, is the
// same title (case aside). None when the folder holds no such log; a file of
// the log's name that is anything else (cut, unreadable, copied from
// elsewhere, another product's) is only a file.
std::optional<LogContents> EarlierInstallationLog(const std::string& folder, const std::string& title);

// The reinstallation's merge: the new run's records with those of the
// earlier installation's log (none when there is none) that it does not
// write again: the new title and U records, then the earlier ones, in their
// order, then the rest of the new ones. Names are compared as the file
// system does, without regard to case. The earlier title is the new one's,
// and is not kept.
std::vector<LogRecord> MergedWithEarlier(std::vector<LogRecord> records, const std::optional<LogContents>& earlierLog);
