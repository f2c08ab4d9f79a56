// The answers the switches give to the engine's questions, and the lines
// the run's log gets for each question, notice and action.
#include "setup/engine/AnsweringPrompts.h"

#include <windows.h>

#include "runtime/Format.h"
#include "runtime/ResStrings.h"

namespace {

// The size of a file as the system gives it, in decimal.
std::string SizeOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return "?";
    return std::to_string((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

} // namespace

bool AnsweringPrompts::AnswersNo(Question question) const
{
    switch (question) {
    case Question::OptionalFile: return m_switches.Optional == OptionalAnswer::None;
    case Question::StartMenu: return m_switches.NoGroup;
    default: return false;
    }
}

bool AnsweringPrompts::Answer(Question question, const std::string& text)
{
    if (AnswersNo(question))
        return false;
    const bool unattended = m_switches.Unattended();
    switch (question) {
    case Question::MissingFile:
        // NOTE: another diskette, or a file put back, needs a person: an
        // unattended run ends here, and is taken back.
        if (unattended)
            throw EUnattendedStop(text);
        break;
    case Question::OptionalFile:
        if (m_switches.Optional == OptionalAnswer::All)
            return true;
        // The question's default button is Yes.
        if (unattended)
            return true;
        break;
    case Question::StartMenu:
        if (unattended)
            return true;
        break;
    case Question::TakeBack:
        // NOTE: a journal is carried out only when this program wrote it,
        // and each of its entries only when it is the run's own: an
        // unattended start takes it back, and the log names every entry.
        if (unattended)
            return true;
        break;
    case Question::FolderNotEmpty:
        // NOTE: nothing that the installation did not make is deleted
        // without a person saying so.
        if (unattended)
            return false;
        break;
    }
    return m_person && m_person->Ask(question, text);
}

bool AnsweringPrompts::Ask(Question question, const std::string& text)
{
    bool answer = false;
    try {
        answer = Answer(question, text);
    } catch (const EUnattendedStop&) {
        m_log.Line(Format(LoadResString(StrId::SLogQuestion), {text, LoadResString(StrId::SLogNoAnswer)}));
        throw;
    }
    switch (question) {
    case Question::OptionalFile:
        m_log.Line(Format(LoadResString(answer ? StrId::SLogOptionalTaken : StrId::SLogOptionalDeclined), {text}));
        break;
    case Question::MissingFile:
        m_log.Line(answer ? Format(LoadResString(StrId::SLogQuestion), {text, LoadResString(StrId::SLogAnswerRetry)})
                          : Format(LoadResString(StrId::SLogFileSkipped), {text}));
        break;
    default:
        m_log.Line(Format(LoadResString(StrId::SLogQuestion),
                          {text, LoadResString(answer ? StrId::SLogAnswerYes : StrId::SLogAnswerNo)}));
        break;
    }
    return answer;
}

void AnsweringPrompts::Tell(const std::string& text)
{
    m_log.Line(Format(LoadResString(StrId::SLogMessage), {text}));
    // An unattended run shows no notice; the log has it.
    if (m_person && !m_switches.Unattended())
        m_person->Tell(text);
}

void AnsweringPrompts::Warn(const std::string& text)
{
    m_log.Line(Format(LoadResString(StrId::SLogMessage), {text}));
    if (m_person && !m_switches.Unattended())
        m_person->Warn(text);
}

void AnsweringPrompts::BeginCopies(int count)
{
    if (m_person)
        m_person->BeginCopies(count);
}

void AnsweringPrompts::Copying(const std::string& destination)
{
    m_working = destination;
    if (m_person)
        m_person->Copying(destination);
}

void AnsweringPrompts::Copied(bool counted)
{
    m_working.clear();
    if (m_person)
        m_person->Copied(counted);
}

void AnsweringPrompts::Acted(ActionKind kind, const std::string& path)
{
    switch (kind) {
    case ActionKind::FolderMade: m_log.Line(Format(LoadResString(StrId::SLogFolderMade), {path})); break;
    case ActionKind::FileCopied:
        m_log.Line(Format(LoadResString(StrId::SLogFileCopied), {path, SizeOf(path)}));
        break;
    case ActionKind::LinkMade: m_log.Line(Format(LoadResString(StrId::SLogLinkMade), {path})); break;
    case ActionKind::GroupMade: m_log.Line(Format(LoadResString(StrId::SLogGroupMade), {path})); break;
    case ActionKind::PifMade: m_log.Line(Format(LoadResString(StrId::SLogPifMade), {path})); break;
    case ActionKind::Registered: m_log.Line(Format(LoadResString(StrId::SLogRegistered), {path})); break;
    case ActionKind::LogWritten: m_log.Line(Format(LoadResString(StrId::SLogLogWritten), {path})); break;
    case ActionKind::ProductStarted: m_log.Line(Format(LoadResString(StrId::SLogProductStarted), {path})); break;
    }
    if (m_person)
        m_person->Acted(kind, path);
}

bool AnsweringPrompts::Stopped() const
{
    return m_log.Failed() || (m_person && m_person->Stopped());
}
