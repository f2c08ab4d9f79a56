// The script checker's rules: each record of setup.fls read as the setup reads
// it and checked against the distribution's files, with a finding that says
// how to fix what is wrong.
#include "tools/fls/ScriptChecker.h"

#include <algorithm>
#include <map>
#include <optional>
#include <tuple>
#include <utility>

#include "runtime/Convert.h"
#include "runtime/Exceptions.h"
#include "runtime/Paths.h"
#include "runtime/RecordReader.h"
#include "runtime/TextBuffer.h"
#include "runtime/TextRules.h"
#include "setup/engine/ScriptFormat.h"

namespace {

using Severity = Finding::Severity;

// The longest full path the setup's file operations accept.
constexpr size_t MaxPathLength = 259;
constexpr std::string_view KnownCommands = "CDFGMPQSTUV";
// The longest version or publisher that the list of installed programs is
// given.
constexpr size_t MaxProductTextLength = 64;

std::string Quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

// How a record is named in a message: its letter and its first argument.
std::string RecordName(const TextRecord& record)
{
    return std::string(1, record.Command) + " record " + Quoted(record.Argument);
}

class Checker {
public:
    Checker(std::string_view bytes, const DistFolders& folders) : m_bytes(bytes), m_folders(folders) {}

    std::vector<Finding> Run()
    {
        CheckEncoding();
        CheckLineEnds();
        ReadRecords();
        CheckMissingRecords();
        std::stable_sort(m_findings.begin(), m_findings.end(), [](const Finding& a, const Finding& b) {
            return (a.Line == 0 ? 1 << 30 : a.Line) < (b.Line == 0 ? 1 << 30 : b.Line);
        });
        return std::move(m_findings);
    }

private:
    void Report(Severity level, int line, std::string text)
    {
        m_findings.push_back(Finding{level, line, std::move(text)});
    }

    // A byte-order mark is what editors put in front of UTF-8 text: the setup
    // skips it, but reads the rest as text of the system's code page.
    void CheckEncoding()
    {
        if (m_bytes.substr(0, 3) == "\xEF\xBB\xBF")
            Report(Severity::Warning, 1,
                   "the script starts with a UTF-8 byte-order mark: the setup skips it but reads the script as "
                   "ANSI text, so any letter beyond plain ASCII shows wrong. Save the script as ANSI text.");
    }

    // Byte-level faults that the record reader cannot see: line feeds that do
    // not end lines, and a Ctrl-Z that hides what follows it.
    void CheckLineEnds()
    {
        int line = 1;
        int lastReported = 0;
        for (size_t i = 0; i < m_bytes.size(); ++i) {
            const char c = m_bytes[i];
            if (c == TextRules::CtrlZ) {
                const std::string_view rest = m_bytes.substr(i + 1);
                if (!rest.empty())
                    Report(Severity::Error, line,
                           "a Ctrl-Z character ends the script here: the setup never reads the " +
                               std::to_string(rest.size()) + " bytes after it. Remove the Ctrl-Z.");
                return;
            }
            if (c == TextRules::CR) {
                ++line;
                continue;
            }
            if (c == TextRules::LF && (i == 0 || m_bytes[i - 1] != TextRules::CR) && line != lastReported) {
                lastReported = line;
                Report(Severity::Error, line,
                       "this line ends in a line feed only: the setup ends lines at a carriage return, so it "
                       "reads this line and the ones after it, up to the next carriage return, as one line. "
                       "Save the script with CR LF line ends.");
            }
        }
    }

    void ReadRecords()
    {
        TextBuffer buffer{std::string(m_bytes)};
        TextRecordReader reader(buffer, ScriptFormat::ThreeLineCommands);
        TextRecord record;
        while (reader.Next(record))
            CheckRecord(record);
    }

    void CheckRecord(const TextRecord& record)
    {
        const char command = record.Command;
        if (command == TextRules::CR) {
            Report(Severity::Error, record.CommandLine,
                   "an empty line where a command letter is expected: the setup takes the line end as a command "
                   "and skips the next two lines (lines " + std::to_string(record.CommandLine + 1) + " and " +
                       std::to_string(record.ArgumentLine) + "), which then do nothing. Remove the empty line.");
            return;
        }
        if (KnownCommands.find(command) == std::string_view::npos) {
            const char upper = static_cast<char>(command >= 'a' && command <= 'z' ? command - 'a' + 'A' : command);
            if (upper != command && KnownCommands.find(upper) != std::string_view::npos)
                Report(Severity::Error, record.CommandLine,
                       "command \"" + std::string(1, command) + "\" is lower case: command letters are upper "
                       "case, so the setup ignores this record and its argument " + Quoted(record.Argument) +
                           ". Write \"" + std::string(1, upper) + "\".");
            else
                Report(Severity::Warning, record.CommandLine,
                       "unknown command " + Quoted(std::string(1, command)) + ": the setup reads the record and "
                       "ignores it, with its argument " + Quoted(record.Argument) +
                           ". Use one of C, D, F, G, M, P, Q, S, T, U, V, or remove the record.");
            return;
        }
        if (!record.HasArgument) {
            Report(Severity::Error, record.CommandLine,
                   std::string(1, command) + " record: the script ends before its argument line, so the setup "
                   "takes an empty argument. Add the argument line.");
        }
        if (const auto leaving = ScriptFormat::NameLeavingItsFolder(record)) {
            // The setup refuses the whole script, so the record's other
            // faults would only hide this one.
            Report(Severity::Error, leaving->Line,
                   RecordName(record) + ": the name " + Quoted(leaving->Argument) + " has an empty, \".\" or "
                   "\"..\" part or a drive, so it could lead out of its folder, and the setup refuses to start. "
                   "Write names below the folder, joined by single backslashes; only a full path (code N) "
                   "begins with a drive.");
            return;
        }
        switch (command) {
        case 'C':
            CheckProductText(record, "publisher", m_publisherLine);
            break;
        case 'D':
            m_destDir = record.Argument;
            m_hasDest = true;
            CheckDestination(record);
            break;
        case 'F':
            CheckFile(record);
            break;
        case 'G':
            m_hasGroup = true;
            if (record.Argument.empty())
                Report(Severity::Error, record.ArgumentLine,
                       "G record with an empty group name: the setup makes no Start Menu group and none of the "
                       "items, and does not ask. Name the group.");
            else if (!ScriptFormat::IsGroupPath(record.Argument))
                Report(Severity::Error, record.ArgumentLine,
                       RecordName(record) + " is not a folder below the Programs folder: the setup makes no Start "
                       "Menu group and none of the items, and does not ask. Write folder names joined by single "
                       "backslashes, such as Halvarn 95 or Tools\\Halvarn 95, without \"..\", a drive or a "
                       "leading backslash.");
            break;
        case 'P':
            CheckItem(record);
            break;
        case 'S':
            CheckOption(record);
            break;
        case 'T':
            m_hasTitle = true;
            break;
        case 'U':
            CheckPathCode(record, record.Argument, record.ArgumentLine, "pattern");
            break;
        case 'V':
            if (CheckProductText(record, "version", m_versionLine) && !IsNumericVersion(record.Argument))
                Report(Severity::Warning, record.ArgumentLine,
                       RecordName(record) + ": the version is not numbers joined by dots (1 to 4 of them, each "
                       "0 to 65535). The list of installed programs shows it as it stands, but tools that compare "
                       "versions cannot read it. Write it as, for example, 1.0 or 2.1.3.");
            break;
        default:
            break;
        }
    }

    // The text of a V or C record, which the system's list of installed
    // programs shows beside the title: one record of each, a value that is
    // not empty, not too long and without control characters. Returns false
    // when the value itself is at fault. seenLine is the line of the
    // letter's first record, 0 before it.
    bool CheckProductText(const TextRecord& record, std::string_view what, int& seenLine)
    {
        if (seenLine == 0)
            seenLine = record.CommandLine;
        else
            Report(Severity::Warning, record.CommandLine,
                   RecordName(record) + ": the " + std::string(what) + " is already named by the " +
                       std::string(1, record.Command) + " record at line " + std::to_string(seenLine) +
                       ", and the setup takes the last one. Keep one " + std::string(1, record.Command) +
                       " record.");
        const std::string& text = record.Argument;
        if (text.empty()) {
            Report(Severity::Warning, record.ArgumentLine,
                   std::string(1, record.Command) + " record with an empty " + std::string(what) + ": the product "
                   "is registered without one. Write the " + std::string(what) + " or remove the record.");
            return false;
        }
        const auto control = std::find_if(text.begin(), text.end(), [](char c) {
            return static_cast<unsigned char>(c) < 32 || c == 127;
        });
        if (control != text.end()) {
            Report(Severity::Error, record.ArgumentLine,
                   RecordName(record) + ": the " + std::string(what) + " holds a control character (byte " +
                       std::to_string(static_cast<unsigned char>(*control)) + "), which the list of installed "
                       "programs cannot show. Remove it.");
            return false;
        }
        if (text.size() > MaxProductTextLength) {
            Report(Severity::Error, record.ArgumentLine,
                   RecordName(record) + ": the " + std::string(what) + " is " + std::to_string(text.size()) +
                       " characters long, more than the " + std::to_string(MaxProductTextLength) + " that the "
                       "list of installed programs is given. Shorten it.");
            return false;
        }
        return true;
    }

    // Whether a version reads as deployment tools compare versions: 1 to 4
    // numbers of 0 to 65535, joined by single dots.
    static bool IsNumericVersion(std::string_view version)
    {
        int parts = 0;
        for (;;) {
            const size_t end = version.find('.');
            const std::string_view part = version.substr(0, end);
            if (part.empty() || part.find_first_not_of("0123456789") != std::string_view::npos || ++parts > 4)
                return false;
            const std::string_view digits = part.substr(std::min(part.find_first_not_of('0'), part.size()));
            if (digits.size() > 5 || (digits.size() == 5 && digits > "65535"))
                return false;
            if (end == std::string_view::npos)
                return true;
            version.remove_prefix(end + 1);
        }
    }

    void CheckDestination(const TextRecord& record)
    {
        const std::string& dest = record.Argument;
        if (dest.size() < 3 || dest[1] != ':' || dest[2] != '\\')
            Report(Severity::Warning, record.ArgumentLine,
                   RecordName(record) + ": the default destination is not a full path; the installation "
                   "settings refuse it at Next until the user types one. Write a drive, a colon and a "
                   "directory, such as C:\\PRODUCT.");
        else if (dest.back() == '\\')
            Report(Severity::Warning, record.ArgumentLine,
                   RecordName(record) + " ends in a backslash: the destination has no folder name, so Browse "
                   "offers the chosen folder itself. Leave the backslash off.");
    }

    // Checks a path argument's code; returns false when it has none.
    bool CheckPathCode(const TextRecord& record, const std::string& path, int line, std::string_view what)
    {
        if (path.empty()) {
            Report(Severity::Error, line,
                   RecordName(record) + ": the " + std::string(what) + " is empty. Write a path code (A, D, N, "
                   "S, T or W) and the path.");
            return false;
        }
        if (!ScriptFormat::HasPathCode(path)) {
            Report(Severity::Error, line,
                   RecordName(record) + ": the " + std::string(what) + " " + Quoted(path) + " does not begin "
                   "with a path code. Put D (destination), W (Windows), S (system), T (startup), N (full path) "
                   "or A (source) in front of it.");
            return false;
        }
        return true;
    }

    // A destination written by the run: remembered for the duplicate and
    // length checks at the end.
    void AddDestination(const TextRecord& record, const std::string& path, int line)
    {
        const std::string key = UpperCaseAscii(path);
        const auto earlier = m_destinations.find(key);
        if (earlier != m_destinations.end())
            Report(Severity::Error, line,
                   RecordName(record) + ": the destination " + Quoted(path) + " is already written by the " +
                       earlier->second.first + " record at line " + std::to_string(earlier->second.second) +
                       ", so one copy overwrites the other. Install each file once.");
        else
            m_destinations.emplace(key, std::make_pair(std::string(1, record.Command), line));
        m_destinationLines.emplace_back(path, line, RecordName(record));
        if (path[0] == 'D' && path.find('\\') != std::string::npos)
            Report(Severity::Error, line,
                   RecordName(record) + ": the setup creates no folders below the destination directory, so "
                   "copying to " + Quoted(path.substr(1)) + " fails with \"Cannot create file\". Install the "
                   "file at the top of the destination directory.");
    }

    void CheckSource(const TextRecord& record, const std::string& name, int line, std::optional<int32_t> size)
    {
        const auto file = name.empty() ? std::nullopt : m_folders.Find(name);
        if (!file) {
            Report(Severity::Error, line,
                   RecordName(record) + ": the file " + Quoted(name) + " is not in the distribution folder. The "
                   "setup takes every source from its own folder and would stop at \"I cannot find the file - " +
                       name + "\". Put the file beside setup.fls (or on a diskette).");
            return;
        }
        if (size && static_cast<uint64_t>(*size) != file->Size)
            Report(Severity::Error, line,
                   RecordName(record) + ": the size " + std::to_string(*size) + " differs from the real size of " +
                       Quoted(name) + ", " + std::to_string(file->Size) + " bytes, so the space needed is shown "
                       "wrong. Write {" + std::to_string(file->Size) + ".");
    }

    void CheckFile(const TextRecord& record)
    {
        const ScriptFormat::FileArgument file = ScriptFormat::SplitFileArgument(record.Argument);
        const int line = record.ArgumentLine;
        std::optional<int32_t> size;
        if (!file.HasBrace) {
            Report(Severity::Error, line,
                   RecordName(record) + " has no \"{\" and size: the installation settings stop with \"'" +
                       record.Argument + "' is not a valid integer value\". Write the path, \"{\" and the file's "
                       "size in bytes.");
        } else {
            try {
                size = ParseInteger(file.SizeText);
                if (*size < 0)
                    Report(Severity::Error, line,
                           RecordName(record) + ": the size " + file.SizeText + " is negative. Write the file's "
                           "size in bytes.");
            } catch (const EConvertError& e) {
                Report(Severity::Error, line,
                       RecordName(record) + ": the size is not a valid integer, so the installation settings stop "
                       "with \"" + e.what() + "\". Write the file's size in bytes as decimal digits.");
            }
        }
        if (!CheckPathCode(record, file.Path, line, "path"))
            return;
        AddDestination(record, file.Path, line);
        CheckSource(record, ScriptFormat::MandatorySourceName(file.Path), line, size);
    }

    void CheckItem(const TextRecord& record)
    {
        const ScriptFormat::ItemArgument item = ScriptFormat::SplitItemArgument(record.Argument);
        if (!item.HasComma) {
            Report(Severity::Error, record.ArgumentLine,
                   RecordName(record) + " has no comma: the setup needs the target, a comma and the item's "
                   "name. Write, for example, Dprogram.exe,Program.");
            return;
        }
        ++m_itemCount;
        if (item.Name.empty())
            Report(Severity::Error, record.ArgumentLine,
                   RecordName(record) + ": the item name after the comma is empty, so the setup makes no link "
                   "for it. Write the item's name after the comma.");
        else if (!ScriptFormat::IsPlainName(item.Name))
            Report(Severity::Error, record.ArgumentLine,
                   RecordName(record) + ": the item name " + Quoted(item.Name) + " is not a plain file name, so "
                   "the setup makes no link for it. Leave out \\, /, :, wildcards and \"..\", and do not end "
                   "the name with a dot or a blank.");
        CheckPathCode(record, item.Target, record.ArgumentLine, "target");
    }

    void CheckOption(const TextRecord& record)
    {
        if (!record.HasSecond) {
            Report(Severity::Error, record.CommandLine,
                   RecordName(record) + ": the script ends before the optional file's line. Write the question "
                   "on the first argument line and the file's path on the second.");
            return;
        }
        if (!CheckPathCode(record, record.Second, record.SecondLine, "optional file"))
            return;
        AddDestination(record, record.Second, record.SecondLine);
        const std::string name = ScriptFormat::OptionalSourceName(record.Second);
        if (!m_folders.Find(name) && record.Second.find_first_of("\\:") == std::string::npos &&
            m_folders.Find(record.Second.substr(1)))
            Report(Severity::Error, record.SecondLine,
                   RecordName(record) + ": an optional file keeps its code letter in its source name when its "
                   "path has no backslash, so the setup looks for " + Quoted(name) + ", not " +
                       Quoted(record.Second.substr(1)) + ". Name the file " + Quoted(name) +
                       " in the distribution folder.");
        else
            CheckSource(record, name, record.SecondLine, std::nullopt);
    }

    void CheckMissingRecords()
    {
        if (!m_hasTitle)
            Report(Severity::Warning, 0,
                   "no T record: the product title stays empty, so the splash shows \" Setup\" and the questions "
                   "read \"Terminate  Setup?\". Add a T record with the product's title.");
        if (!m_hasDest)
            Report(Severity::Warning, 0,
                   "no D record: the installation settings start with an empty destination box, which the user "
                   "must fill in. Add a D record with the default destination, such as C:\\PRODUCT.");
        if (!m_hasGroup && m_itemCount > 0)
            Report(Severity::Error, 0,
                   "no G record: the setup makes no Start Menu group, so none of the " +
                       std::to_string(m_itemCount) + " items is made, and it does not ask. Add a G record with "
                       "the group's name.");
        else if (!m_hasGroup)
            Report(Severity::Warning, 0,
                   "no G record: the setup makes no Start Menu group and does not ask. Add a G record if the "
                   "product should have one.");
        // The destinations under the default destination directory, as the
        // setup will form them.
        if (m_hasDest) {
            const std::string destDir = JoinDir(m_destDir, "");
            for (const auto& [path, line, record] : m_destinationLines) {
                const size_t length = path[0] == 'D' ? destDir.size() + path.size() - 1
                                      : path[0] == 'N' ? path.size() - 1 : 0;
                if (length > MaxPathLength)
                    Report(Severity::Error, line,
                           record + ": with the default destination the file's full path is " +
                               std::to_string(length) + " characters long, more than the " +
                               std::to_string(MaxPathLength) + " the setup can use. Shorten the destination or "
                               "the file's name.");
            }
        }
    }

    std::string_view m_bytes;
    const DistFolders& m_folders;
    std::vector<Finding> m_findings;
    bool m_hasTitle = false;
    // The lines of the first V and C records, 0 without one.
    int m_versionLine = 0;
    int m_publisherLine = 0;
    bool m_hasDest = false;
    bool m_hasGroup = false;
    int m_itemCount = 0;
    std::string m_destDir;
    // Upper-case destination -> command letter and line of its first record.
    std::map<std::string, std::pair<std::string, int>> m_destinations;
    std::vector<std::tuple<std::string, int, std::string>> m_destinationLines;
};

} // namespace

std::vector<Finding> CheckScript(std::string_view bytes, const DistFolders& folders)
{
    return Checker(bytes, folders).Run();
}

int CheckExitStatus(const std::vector<Finding>& findings)
{
    int status = 0;
    for (const Finding& finding : findings)
        status = std::max(status, finding.Level == Severity::Error ? 2 : 1);
    return status;
}

std::string FormatFinding(std::string_view scriptName, const Finding& finding)
{
    std::string text(scriptName);
    if (finding.Line > 0)
        text += ":" + std::to_string(finding.Line);
    text += finding.Level == Severity::Error ? ": error: " : ": warning: ";
    return text + finding.Text;
}
