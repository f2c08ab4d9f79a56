// The uninstaller form: the log found, picked or named on the command line,
// its items listed and selected, and the removal of what the person selected.
#include "setup/forms/Setup4.h"

#include <utility>

#include "framework/Application.h"
#include "framework/MessageDialogs.h"
#include "runtime/Files.h"
#include "runtime/Format.h"
#include "runtime/Paths.h"
#include "runtime/ResStrings.h"
#include "setup/engine/Removal.h"
#include "setup/forms/DialogPrompts.h"
#include "setup/engine/ScriptFormat.h"
#include "setup/forms/ExitQuestions.h"
#include "setup/engine/UninstallerCopy.h"
#include "setup/forms/UninstallProgress.h"

TForm4* Form4 = nullptr;

const TClassInfo& TForm4::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TForm4, TForm>("TForm4")
        .Field<&TForm4::Button1>("Button1")
        .Field<&TForm4::Button2>("Button2")
        .Field<&TForm4::Button3>("Button3")
        .Field<&TForm4::Label1>("Label1")
        .Field<&TForm4::ListBox1>("ListBox1")
        .Field<&TForm4::Button4>("Button4")
        .Field<&TForm4::OpenDialog1>("OpenDialog1")
        .Method<TNotifyEvent, &TForm4::Button2Click>("Button2Click")
        .Method<TNotifyEvent, &TForm4::Button3Click>("Button3Click")
        .Method<TNotifyEvent, &TForm4::Button1Click>("Button1Click")
        .Method<TNotifyEvent, &TForm4::Form4Show>("Form4Show")
        .Method<TNotifyEvent, &TForm4::Button4Click>("Button4Click")
        .Method<TCloseEvent, &TForm4::Form4Close>("Form4Close")
        .Build();
    return info;
}

void TForm4::Form4Show(TObject*)
{
    // Without the mode choice there is nothing to go back to.
    Button2->SetEnabled(m_modeChoice != nullptr);
    if (m_state->Switches.UninstallLog) {
        ReadNamedLog();
        return;
    }
    const std::string logName(ScriptFormat::LogName);
    std::string logPath = m_state->SourceDir + logName;
    if (!FileIsPresent(logPath)) {
        OpenDialog1->SetTitle(Format(LoadResString(StrId::SLogNotFound), {logName}));
        OpenDialog1->SetFileName(logName);
        OpenDialog1->SetFilter(Format(LoadResString(StrId::SLogFilter), {logName, logName}));
        // The dialog leaves the process's current directory where it was:
        // left in the folder the log was picked from, it would keep that
        // folder from being removed.
        OpenDialog1->SetOptions(OpenDialog1->Options().Include(ofNoChangeDir));
        if (!OpenDialog1->RunDialog())
            return;
        logPath = OpenDialog1->FileName();
    }
    // The protected folders are made afresh for each reading and kept for
    // the removals that follow it.
    m_protected.reset();
    ShowLog(ReadLog(logPath, PatternFolder::ScriptDestination));
}

void TForm4::ReadNamedLog()
{
    const std::string logPath = UninstallLogName(m_state->Switches, m_state->SourceDir);
    // NOTE: the log the command line names passes the checks of the
    // unattended removal: one that cannot be read, or whose D record does
    // not name its own folder (a text file, a script, a log copied
    // elsewhere), is acted on in nothing. Its U patterns name files of its
    // own folder.
    m_protected.reset();
    std::optional<UninstallPlan> plan;
    std::string refusal;
    try {
        plan = ReadLog(logPath, PatternFolder::LogFolder);
    } catch (const std::exception& e) {
        refusal = logPath + ": " + e.what();
    }
    if (plan && plan->NamesItsFolder) {
        ShowLog(std::move(*plan));
        return;
    }
    if (plan)
        refusal = Format(LoadResString(StrId::SNoInstallationLog), {logPath});
    m_state->Outcome = ExitCode::Refused;
    m_state->Log.Line(Format(LoadResString(StrId::SLogRefusal), {refusal}));
    ShowMessageDialog(refusal, MessageKind::Error, {mbOK}, 0);
    Application->Terminate();
}

UninstallPlan TForm4::ReadLog(const std::string& logPath, PatternFolder patternFolder)
{
    // A long log shows its reading; the form goes before the list does.
    UninstallProgress progress(LoadResString(StrId::SProgressReading));
    return ReadUninstallLog(logPath, *m_state, Protected(), patternFolder, &progress);
}

void TForm4::ShowLog(UninstallPlan plan)
{
    // The log names the installation's destination and group; the
    // settings show them from now on.
    if (plan.Destination)
        m_state->DestDir = *plan.Destination;
    if (plan.GroupName)
        m_state->GroupName = *plan.GroupName;
    m_plan = std::move(plan);
    {
        // The list is drawn once, when the reading's results are in: a long
        // log would otherwise redraw it for every line it adds. A log cut
        // off inside a record is said to be damaged, and the groups that
        // could not be found are named, in one message however many a
        // damaged log names, before it is drawn.
        TStringsUpdate update(*ListBox1->Items());
        ShowPlan();
        DialogPrompts prompts;
        if (m_plan.Damaged)
            prompts.Warn(Format(LoadResString(StrId::SLogDamaged), {m_plan.LogPath}));
        if (!m_plan.MissingGroups.empty())
            prompts.Tell(GroupsNotFoundText(m_plan.MissingGroups));
    }
    // A read error is reported once the records before it are listed.
    if (m_plan.ReadFailure)
        std::rethrow_exception(m_plan.ReadFailure);
}

void TForm4::ShowPlan()
{
    TStrings& lines = *ListBox1->Items();
    lines.Clear();
    for (const PlannedRemoval& item : m_plan.Items)
        lines.Add(item.Line());
}

void TForm4::Button1Click(TObject*)
{
    // The list shows the items line for line; an item without its line is
    // not selected.
    const size_t shown = static_cast<size_t>(ListBox1->Items()->Count());
    std::vector<bool> selected(m_plan.Items.size());
    for (size_t index = 0; index < selected.size() && index < shown; ++index)
        selected[index] = ListBox1->Selected(static_cast<int>(index));
    DialogPrompts prompts;
    RemovalResult result;
    {
        // A long removal shows how far it has gone; the form goes before
        // the list is made again and the outcome is told.
        UninstallProgress progress(LoadResString(StrId::SProgressRemoving));
        result = RemoveSelected(m_plan, selected, *m_state, Protected(), prompts, &progress);
    }
    m_plan.Items = std::move(result.Kept);
    {
        // NOTE: the list is made again from the kept items rather than
        // losing the selected ones one at a time: the platform's list box
        // moves every line below a removed one, which made a hundred
        // thousand lines take minutes.
        TStringsUpdate update(*ListBox1->Items());
        ShowPlan();
    }
    // What could not be removed is named instead of saying that all is
    // done, and the run ends as one that failed; the log that names it is
    // kept for another uninstallation. A log kept for what the person chose
    // to keep is said to be kept.
    m_state->Outcome = ExitCode::Finished;
    if (!result.NotRemoved.empty()) {
        prompts.Warn(NotRemovedText(result.NotRemoved));
        m_state->Outcome = ExitCode::Failed;
    } else if (result.LogKept) {
        prompts.Tell(Format(LoadResString(StrId::SLogKeptForLater), {m_plan.LogPath}));
    } else {
        prompts.Tell(LoadResString(StrId::SUninstallComplete));
    }
    Application->Terminate();
}

void TForm4::Button2Click(TObject*)
{
    // Hidden, not closed: closing asks whether to leave the program.
    Hide();
    if (m_modeChoice)
        m_modeChoice->Show();
}

void TForm4::Form4Close(TObject*, TCloseAction& action)
{
    ConfirmClose(action, m_state->ProductTitle);
}

void TForm4::Button3Click(TObject*)
{
    ConfirmExit(m_state->ProductTitle);
}

void TForm4::Button4Click(TObject*)
{
    // Drawn once when every line is selected, as in the removal.
    TStringsUpdate update(*ListBox1->Items());
    ListBox1->SelectAll();
}

void TForm4::DeletePro(const std::string& path)
{
    DeletePath(path, Protected());
}

const ProtectedFolders& TForm4::Protected()
{
    if (!m_protected)
        m_protected.emplace(*m_state);
    return *m_protected;
}

std::string TForm4::RemoveEnd(const std::string& path) const
{
    return RemoveTrailingBackslash(path);
}
