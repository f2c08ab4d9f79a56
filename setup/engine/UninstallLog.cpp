// The uninstall log's one reader and one writer, and the test for a folder
// that holds an earlier installation's log.
#include "setup/engine/UninstallLog.h"

#include <algorithm>
#include <set>

#include <string_view>

#include "runtime/Files.h"
#include "runtime/FolderIdentity.h"
#include "runtime/Paths.h"
#include "runtime/TextRules.h"
#include "setup/engine/ScriptFormat.h"
#include "setup/engine/SetupState.h"

std::optional<std::string> LogContents::ProductTitle() const
{
    for (const LogRecord& record : Records) {
        if (record.Letter == UninstallLog::Title)
            return record.Argument;
    }
    return std::nullopt;
}

std::optional<std::string> LogContents::Destination() const
{
    std::optional<std::string> destination;
    for (const LogRecord& record : Records) {
        if (record.Letter == UninstallLog::Directory)
            destination = record.Argument;
    }
    return destination;
}

LogContents ReadLogRecords(const std::string& path)
{
    // A record is a letter line, of which only the first character counts,
    // and an argument line; no record of the log has a second argument.
    LineFileReader log(path, std::string_view());
    LogContents contents;
    try {
        TextRecord record;
        while (log.Next(record)) {
            // A record with no line end after its last line was cut off
            // while the log was being written: it is dropped, and the log is
            // damaged. NOTE: a blank line at the end, which an editor may
            // leave, is no record and no damage.
            if (!record.Ended) {
                contents.Damaged = contents.Damaged || record.Command != TextRules::CR;
                continue;
            }
            contents.Records.push_back({record.Command, record.Argument});
        }
        log.Close();
    } catch (...) {
        contents.ReadFailure = std::current_exception();
    }
    return contents;
}

void LogWriter::Write(const LogRecord& record)
{
    m_file.WriteLine(std::string_view(&record.Letter, 1));
    m_file.WriteLine(record.Argument);
}

bool NamesFolder(const std::string& argument, const std::string& folder)
{
    if (!IsPlainFullPath(argument))
        return false;
    const std::optional<FolderId> named = FolderIdentity(argument);
    const std::optional<FolderId> that = FolderIdentity(folder);
    if (named && that)
        return *named == *that;
    return UpperCaseAscii(RemoveTrailingBackslash(argument)) == UpperCaseAscii(RemoveTrailingBackslash(folder));
}

std::optional<LogContents> EarlierInstallationLog(const std::string& folder, const std::string& title)
{
    const std::string path = CheckPath(folder) + std::string(ScriptFormat::LogName);
    if (!FileIsPresent(path))
        return std::nullopt;
    std::optional<LogContents> log;
    try {
        log = ReadLogRecords(path);
    } catch (const std::exception&) {
        // Deliberately dropped: a log that cannot be read is no proof of an
        // earlier installation, and the folder then counts as occupied.
        return std::nullopt;
    }
    // NOTE: a log proves an earlier installation of this product only when
    // nothing of it is missing and it names this folder as its own: an empty
    // file of the log's name, a cut log, a log copied from another folder
    // and another product's log would otherwise let the run replace the
    // user's files without a question, and be merged into the new log, so
    // that its uninstallation took what the new product never made.
    const std::optional<std::string> destination = log->Destination();
    if (!log->Whole() || !destination || !NamesFolder(*destination, folder))
        return std::nullopt;
    const std::optional<std::string> logTitle = log->ProductTitle();
    if (logTitle && UpperCaseAscii(*logTitle) != UpperCaseAscii(title))
        return std::nullopt;
    return log;
}

std::vector<LogRecord> MergedWithEarlier(std::vector<LogRecord> records, const std::optional<LogContents>& earlierLog)
{
    if (!earlierLog || earlierLog->Records.empty())
        return records;
    const std::vector<LogRecord>& earlier = earlierLog->Records;
    const auto key = [](const LogRecord& record) { return record.Letter + UpperCaseAscii(record.Argument); };
    std::set<std::string> written;
    for (const LogRecord& record : records)
        written.insert(key(record));
    const auto firstOther = std::find_if(records.begin(), records.end(), [](const LogRecord& record) {
        return record.Letter != UninstallLog::Title && record.Letter != UninstallLog::Pattern;
    });
    std::vector<LogRecord> kept;
    for (const LogRecord& record : earlier) {
        if (record.Letter != UninstallLog::Title && written.insert(key(record)).second)
            kept.push_back(record);
    }
    records.insert(firstOther, kept.begin(), kept.end());
    return records;
}
