// The reading of the setup script, record by record, into its value.
#include "setup/engine/SetupScript.h"

#include "runtime/Convert.h"
#include "runtime/Exceptions.h"
#include "setup/engine/LineFiles.h"

int64_t ScriptFile::Size() const
{
    if (m_sizeError)
        std::rethrow_exception(m_sizeError);
    return m_size;
}

ScriptFile ReadFileArgument(const std::string& argument)
{
    const ScriptFormat::FileArgument split = ScriptFormat::SplitFileArgument(argument);
    ScriptFile file;
    // NOTE: in a record without "{" the whole text is the size text; it
    // passes only when it is a number, and the file then has no name.
    if (split.HasBrace)
        file.Path = split.Path;
    try {
        file.m_size = ParseInteger(split.HasBrace ? split.SizeText : split.Path);
    } catch (...) {
        file.m_sizeError = std::current_exception();
    }
    return file;
}

void ReadSetupScript(const std::string& path, SetupScript& script)
{
    LineFileReader records(path, ScriptFormat::ThreeLineCommands);
    TextRecord record;
    while (records.Next(record)) {
        // A name that could lead out of its folder stops the start before
        // anything is made: the log would name a file that the uninstaller
        // refuses to touch, so it would stay behind for good.
        if (const auto leaving = ScriptFormat::NameLeavingItsFolder(record))
            throw Exception(StrId::SScriptNameLeavesFolder, {std::string(1, record.Command), leaving->Argument});
        const std::string& argument = record.Argument;
        switch (record.Command) {
        case 'C':
            script.Publisher = argument;
            break;
        case 'D':
            script.Destination = argument;
            break;
        case 'F':
            script.FileList.push_back(ReadFileArgument(argument));
            break;
        case 'G':
            script.Group = argument;
            break;
        case 'M':
            script.MessageList.push_back(argument);
            break;
        case 'P':
            script.ItemList.push_back(ScriptFormat::SplitItemArgument(argument));
            break;
        case 'Q':
            script.PifList.push_back(argument);
            break;
        case 'S':
            script.OptionList.push_back({argument, record.Second});
            break;
        case 'T':
            script.Title = argument;
            break;
        case 'U':
            script.UninstallList.push_back(argument);
            break;
        case 'V':
            script.Version = argument;
            break;
        default:
            // Any other command character: the record is read and ignored,
            // as a reader older than a letter reads the records of that
            // letter.
            break;
        }
    }
    records.Close();
}
