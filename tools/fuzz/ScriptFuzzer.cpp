// The fuzz target of the setup script's reading. Each input is read as a
// setup.fls: its records are checked against the plain model of the line
// rules, the arguments of file, item and option records are split as the
// setup splits them and must fit together, and the vendor's script checker
// reads the whole input against an empty distribution and must report,
// never throw. A crash, undefined behaviour, a leak, an exception or a
// broken contract is a finding.
#include <cstdint>
#include <string>
#include <string_view>

#include "setup/engine/ScriptFormat.h"
#include "tools/fls/ScriptChecker.h"
#include "tools/fuzz/RecordModel.h"

namespace {

// A mandatory file's source name is the end of its path: after the last
// backslash, or without one the path less its code letter.
void CheckMandatoryName(const std::string& name, std::string_view path)
{
    Require(name.find('\\') == std::string::npos);
    Require(name.size() <= path.size() && path.substr(path.size() - name.size()) == name);
    Require(path.find('\\') != std::string_view::npos || path.empty() || name.size() == path.size() - 1);
}

// An optional file's source name is what follows the path's last backslash
// or colon, cut at 255 characters.
void CheckOptionalName(const std::string& name, std::string_view path)
{
    const size_t last = path.find_last_of("\\:");
    const std::string_view rest = last == std::string_view::npos ? path : path.substr(last + 1);
    Require(name == rest.substr(0, 255));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const TextRecord& record : CheckRecordReader(bytes, ScriptFormat::ThreeLineCommands)) {
        const std::string& argument = record.Argument;
        switch (record.Command) {
        case 'F': {
            const ScriptFormat::FileArgument file = ScriptFormat::SplitFileArgument(argument);
            Require(file.Path.find('{') == std::string::npos);
            Require(file.HasBrace ? file.Path + "{" + file.SizeText == argument : file.Path == argument);
            CheckMandatoryName(ScriptFormat::MandatorySourceName(file.Path), file.Path);
            break;
        }
        case 'P': {
            const ScriptFormat::ItemArgument item = ScriptFormat::SplitItemArgument(argument);
            Require(item.Target.find(',') == std::string::npos);
            Require(item.HasComma ? item.Target + "," + item.Name == argument : item.Target == argument);
            break;
        }
        case 'S':
            CheckOptionalName(ScriptFormat::OptionalSourceName(record.Second), record.Second);
            break;
        default:
            break;
        }
    }
    const DistFolders none({});
    const std::vector<Finding> findings = CheckScript(bytes, none);
    const int status = CheckExitStatus(findings);
    Require(status >= 0 && status <= 2);
    for (const Finding& finding : findings)
        Require(!FormatFinding("setup.fls", finding).empty());
    return 0;
}
