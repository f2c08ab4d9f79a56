// The engine's questions and notices as message dialogs, and its progress
// on the progress form's gauge and label.
#include "setup/forms/DialogPrompts.h"

#include "framework/Application.h"
#include "framework/MessageDialogs.h"

bool DialogPrompts::Ask(Question question, const std::string& text)
{
    if (question == Question::MissingFile)
        return ShowMessageDialog(text, MessageKind::Warning, {mbRetry, mbIgnore}, 0) == mrRetry;
    if (question == Question::TakeBack)
        return ShowMessageDialog(text, MessageKind::Confirmation, {mbYes, mbNo}, 0) == mrYes;
    return ShowMessageDialog(text, MessageKind::Information, {mbYes, mbNo}, 0) == mrYes;
}

void DialogPrompts::Tell(const std::string& text)
{
    ShowMessageDialog(text, MessageKind::Information, {mbOK}, 0);
}

void DialogPrompts::Warn(const std::string& text)
{
    ShowMessageDialog(text, MessageKind::Warning, {mbOK}, 0);
}

void DialogPrompts::BeginCopies(int count)
{
    if (m_gauge)
        m_gauge->SetMaxValue(count);
}

void DialogPrompts::Copying(const std::string& destination)
{
    if (m_fileLabel)
        m_fileLabel->SetCaption(destination);
}

void DialogPrompts::Copied(bool counted)
{
    if (counted && m_gauge)
        m_gauge->SetProgress(m_gauge->Progress() + 1);
    // The user can press Cancel, or move the form, between two files.
    Application->PumpMessages();
}

bool DialogPrompts::Stopped() const
{
    return Application->Terminated();
}
