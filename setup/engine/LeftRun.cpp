// A run that an earlier start left unfinished, met by the next start.
#include "setup/engine/LeftRun.h"

#include <optional>
#include <string>
#include <vector>

#include "runtime/Format.h"
#include "runtime/ResStrings.h"
#include "setup/engine/NameLines.h"
#include "setup/engine/ProtectedFolders.h"

void ReportTakeBack(const TakeBackResult& result, SetupPrompts& prompts)
{
    for (const std::string& line : result.Undone)
        prompts.Logged(Format(LoadResString(StrId::SLogUndone), {line}));
    std::vector<std::string> kept, failed;
    for (const TakeBackItem& item : result.Kept) {
        prompts.Logged(Format(LoadResString(StrId::SLogKept), {item.Path, item.Reason}));
        kept.push_back(item.Line());
    }
    for (const TakeBackItem& item : result.Failed) {
        prompts.Logged(Format(LoadResString(StrId::SLogNotUndone), {item.Line()}));
        failed.push_back(item.Line());
    }
    std::string text;
    if (!failed.empty())
        text = Format(LoadResString(StrId::SNotUndone), {NameLines(failed)});
    if (!kept.empty())
        text += (text.empty() ? "" : "\r\r") + Format(LoadResString(StrId::SLeftAsTheyAre), {NameLines(kept)});
    if (!text.empty())
        prompts.Warn(text);
}

LeftRun FinishLeftRun(const SetupState& state, SetupPrompts& prompts)
{
    const std::optional<LeftJournal> left = FindLeftJournal(state.Journals);
    if (!left)
        return LeftRun::None;
    // NOTE: a journal that is not the very file this program wrote and
    // named may have been written by anyone: nothing of it is carried out,
    // the file is left as it is, and only the program's own name of it goes.
    if (!left->Distrust.empty()) {
        prompts.Warn(Format(LoadResString(StrId::SJournalNotTrusted), {left->Path, left->Distrust}));
        ForgetLeftJournal(state.Journals);
        return LeftRun::None;
    }
    const ProtectedFolders protectedFolders(state);
    const TakeBackPlan plan = PlanTakeBack(left->Journal, protectedFolders);
    if (!plan.Changes.empty() || !plan.Refused.empty()) {
        std::string text = Format(LoadResString(StrId::SLastRunUnfinished), {left->Journal.Title, NameLines(plan.Changes)});
        if (!plan.Refused.empty())
            text += Format(LoadResString(StrId::SJournalLeftAlone), {NameLines(plan.Refused)});
        if (!prompts.Ask(SetupPrompts::Question::TakeBack, text))
            return LeftRun::Declined;
    }
    const TakeBackResult result = TakeBackJournal(left->Journal, left->Path, state.Journals, protectedFolders);
    ReportTakeBack(result, prompts);
    return result.Complete() ? LeftRun::TakenBack : LeftRun::Incomplete;
}
