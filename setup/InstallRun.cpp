#include "setup/InstallRun.h"

#include <windows.h>
#include <shellapi.h>

#include "runtime/FileStream.h"
#include "runtime/Files.h"
#include "runtime/Format.h"
#include "runtime/Paths.h"
#include "runtime/ResStrings.h"
#include "runtime/ScopeGuard.h"
#include "setup/LineFiles.h"
#include "setup/ScriptFormat.h"
#include "setup/Staging.h"
#include "shell/ShellLinks.h"

namespace {

// Makes the folder and every missing folder above it, nearest the root
// first, and returns those it made. A folder that cannot be made ends the
// making quietly: the copy into it reports the failure.
std::vector<std::string> MakeFolders(const std::string& folder)
{
    std::vector<std::string> missing;
    for (std::string dir = RemoveTrailingBackslash(folder); !dir.empty() && !IsExistingDirectory(dir);) {
        missing.push_back(dir);
        // A root is never made: it is there, or nothing below it can be.
        const std::string parent = FileDirPart(dir);
        if (parent.size() <= 3 || parent.size() >= dir.size())
            break;
        dir = RemoveTrailingBackslash(parent);
    }
    std::vector<std::string> made;
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!CreateDirectoryA(it->c_str(), nullptr))
            break;
        made.push_back(*it);
    }
    return made;
}

} // namespace

bool InstallRun::SourceIsRemovable() const
{
    // The drive's root is asked, so that a setup program in a folder of a
    // diskette counts as being on a diskette too.
    const std::string drive = FileDrivePart(m_state.SourceDir);
    if (drive.empty())
        return false;
    return GetDriveTypeA((drive + "\\").c_str()) == DRIVE_REMOVABLE;
}

bool InstallRun::CopyOneFile(const std::string& Source, const std::string& Dest, FileStreamMode mode)
{
    while (!FileIsPresent(Source)) {
        const std::string text =
            Format(LoadResString(StrId::SMissingFile), {FileNamePart(Source)}) +
            Format(LoadResString(SourceIsRemovable() ? StrId::SInsertOtherDiskette : StrId::SMakeSureInDirectory),
                   {FileDirPart(Source)});
        if (!m_prompts.Ask(SetupPrompts::Question::MissingFile, text)) {
            m_fileSkipped = true;
            return false;
        }
    }
    {
        // NOTE: a copy that failed part way (a full drive, a failing read)
        // would leave a cut-off file under the product's name that no log
        // names; it is deleted, once closed, before the error reaches the
        // user. A destination that could not be created is not ours to
        // delete. The guard is made first so that it runs last.
        bool created = false;
        bool copied = false;
        const ScopeExit removeCutCopy([&] {
            if (created && !copied)
                DeleteFileA(Dest.c_str());
        });
        TFileStream source(Source, FileStreamMode::OpenRead);
        TFileStream destination(Dest, mode);
        created = true;
        // NOTE: a source of zero bytes copies nothing and is still a file of
        // the product: it is created empty and logged like any other.
        CopyStreamData(destination, source, 0);
        copied = true;
    }
    Record(ActionKind::FileCopied, Dest);
    return true;
}

bool InstallRun::Execute()
{
    m_fileSkipped = false;
    MakeDestination();
    const std::vector<ScriptFile>& files = m_state.Script.FileList;
    m_prompts.BeginCopies(static_cast<int>(files.size()));
    for (const ScriptFile& file : files) {
        if (m_prompts.Stopped())
            return false;
        const std::string destination = ResolvePath(m_state, file.Path);
        m_prompts.Copying(destination);
        CopyOneFile(m_state.ExeDir + ScriptFormat::MandatorySourceName(file.Path), destination);
        m_prompts.Copied(true);
    }
    if (m_prompts.Stopped())
        return false;
    InstallOptionalFiles();
    if (m_prompts.Stopped())
        return false;
    MakeStartMenuGroup();
    if (m_prompts.Stopped())
        return false;
    UpdatePifFiles();
    m_destinationLogged = true;
    if (SourceIsRemovable() && !FileIsPresent(m_state.SourceDir + std::string(ScriptFormat::ProgramName))) {
        m_prompts.Tell(LoadResString(StrId::SInsertFirstDiskette));
        if (m_prompts.Stopped())
            return false;
    }
    WriteUninstallLog();
    StartProduct();
    return true;
}

void InstallRun::MakeDestination()
{
    // Failures are met by the copies into it, which report them.
    for (const std::string& folder : MakeFolders(m_state.DestDir))
        Record(ActionKind::FolderMade, folder);
}

void InstallRun::InstallOptionalFiles()
{
    for (const ScriptOption& option : m_state.Script.OptionList) {
        if (m_prompts.Stopped())
            return;
        // Staged in \temp of the destination drive, or in \temp1 when the
        // setup program itself runs from \temp there.
        const std::string drive = FileDrivePart(m_state.DestDir);
        const bool runsFromTemp = UpperCaseAscii(m_state.ExeDir) == UpperCaseAscii(drive + "\\temp\\");
        const std::string name = ScriptFormat::OptionalSourceName(option.Path);
        const Staging staging = ChooseStaging(drive + (runsFromTemp ? "\\temp1" : "\\temp"), name);
        std::optional<FileId> staged;
        // What was staged is removed also when the run is ending, and before
        // a failed copy is reported: it is nobody's file.
        const ScopeExit removeStaging([&] { RemoveStaging(staging, staged); });
        // NOTE: the staged copy never replaces a file: the name was free
        // when it was chosen, and one that has been taken since stops the
        // run with the creation error.
        const bool stagedNow = CopyOneFile(m_state.ExeDir + name, staging.File, FileStreamMode::CreateNew);
        if (stagedNow)
            staged = IdentityOfFile(staging.File);
        // NOTE: a file the user skipped is not offered: there is nothing to
        // install, and the copy would only ask again for the staged file.
        if (stagedNow && !m_prompts.Stopped() && m_prompts.Ask(SetupPrompts::Question::OptionalFile, option.Question) &&
            !m_prompts.Stopped()) {
            const std::string destination = ResolvePath(m_state, option.Path);
            m_prompts.Copying(destination);
            CopyOneFile(staging.File, destination);
            m_prompts.Copied(false);
        }
    }
}

void InstallRun::MakeStartMenuGroup()
{
    // NOTE: a group name that is empty, absolute or leads out through ".."
    // names no folder of its own below the Programs folder, and the
    // uninstaller would take the wrong folder back; nothing can be made, so
    // the question is not asked.
    if (!ScriptFormat::IsGroupPath(m_state.GroupName))
        return;
    const std::string question = Format(LoadResString(StrId::SStartMenuQuestion), {m_state.ProductTitle});
    if (!m_prompts.Ask(SetupPrompts::Question::StartMenu, question) || m_prompts.Stopped())
        return;
    const std::string group = CheckPath(m_state.ProgramsDir + m_state.GroupName);
    for (const std::string& folder : MakeFolders(group))
        Record(ActionKind::FolderMade, folder);
    for (const ScriptFormat::ItemArgument& item : m_state.Script.ItemList) {
        // NOTE: an item without a comma names no link, one whose target has
        // no path code names no target, and one whose name is not a plain
        // file name would put its link outside the group, where the
        // uninstaller never looks; none of them makes a link.
        if (!item.HasComma || !ScriptFormat::IsPlainName(item.Name))
            continue;
        const std::string target = ResolvePath(m_state, item.Target);
        if (target.empty())
            continue;
        const std::string link = group + item.Name + ".lnk";
        WriteShellLink(target.c_str(), nullptr, nullptr, link, false);
        Record(ActionKind::LinkMade, link);
    }
    Record(ActionKind::GroupMade, m_state.GroupName);
}

void InstallRun::UpdatePifFiles()
{
    for (const std::string& pif : m_state.Script.PifList) {
        const std::string base = m_state.DestDir + pif;
        WriteShellLink((base + ".bat").c_str(), nullptr, nullptr, base + ".pif", true);
        Record(ActionKind::PifMade, base + ".pif");
    }
}

std::vector<LogRecord> InstallRun::LogRecords() const
{
    std::vector<LogRecord> records;
    for (const std::string& pattern : m_state.Script.UninstallList)
        records.push_back({'U', pattern});
    for (const InstallAction& action : m_actions) {
        switch (action.Kind) {
        case ActionKind::FileCopied:
        case ActionKind::PifMade:
            records.push_back({'F', action.Path});
            break;
        case ActionKind::GroupMade:
            records.push_back({'G', action.Path});
            break;
        default:
            // Folders and links go with the destination and the group.
            break;
        }
    }
    if (m_destinationLogged)
        records.push_back({'D', m_state.DestDir});
    return records;
}

void InstallRun::WriteUninstallLog()
{
    const std::string name = m_state.DestDir + std::string(ScriptFormat::LogName);
    {
        // NOTE: a log cut off by a failed write (a full drive) would have
        // the uninstaller trust a partial list; the file is deleted, once
        // closed, before the error reaches the user.
        bool opened = false;
        bool written = false;
        const ScopeExit removeCutLog([&] {
            if (opened && !written)
                DeleteFileA(name.c_str());
        });
        LineFileWriter log(name);
        opened = true;
        for (const LogRecord& record : LogRecords()) {
            log.WriteLine(std::string(1, record.Letter));
            log.WriteLine(record.Argument);
        }
        log.Close();
        written = true;
    }
    Record(ActionKind::LogWritten, name);
}

void InstallRun::StartProduct()
{
    // An administrator who deploys the product may not want it started.
    if (m_state.Switches.NoLaunch)
        return;
    const std::string parameters = "copy \"" + m_state.ProgramPath + "\" \"" + m_state.ProgramsDir + "\" " +
                                   (m_fileSkipped ? "" : "False");
    // The shell reports nothing back that the run could act on.
    ShellExecuteA(nullptr, nullptr, (m_state.DestDir + std::string(ScriptFormat::ProductProgram)).c_str(), parameters.c_str(), nullptr,
                  SW_SHOWNORMAL);
    Record(ActionKind::ProductStarted, m_state.DestDir + std::string(ScriptFormat::ProductProgram));
}
