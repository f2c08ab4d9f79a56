// The uninstallation's progress form brought up late, drawn seldom, and the
// program's other windows kept waiting while it is up.
#include "setup/forms/UninstallProgress.h"

#include <utility>

#include "framework/Application.h"
#include "framework/MessageLoop.h"

UninstallProgress::UninstallProgress(std::string work) : m_work(std::move(work)) {}

UninstallProgress::~UninstallProgress()
{
    if (!m_form)
        return;
    // The windows take input again before the form goes, so that the
    // system can hand the activation on to one of them, as after a modal
    // form.
    EnableTaskWindows(m_waiting);
    m_form.reset();
    if (m_active && IsWindow(m_active))
        SetActiveWindow(m_active);
}

void UninstallProgress::Reached(size_t done, size_t total)
{
    // NOTE: told for every item of a hundred thousand: the tick count is all
    // that is asked until it is time to show something.
    const DWORD now = GetTickCount();
    if (!m_form) {
        // Work that is all but through when the moment has passed ends
        // before the form could be read.
        if (now - m_start < ShowAfter || done >= total)
            return;
        ShowForm();
    } else if (now - m_shown < ShowFor && done < total) {
        return;
    }
    m_shown = now;
    m_form->ShowCount(done, total);
    // The form is drawn, and can be moved, between two items; nothing else
    // of the program takes input meanwhile.
    Application->PumpMessages();
}

void UninstallProgress::ShowForm()
{
    m_active = GetActiveWindow();
    m_form.reset(CreateForm<TForm6>(nullptr));
    m_form->ShowWork(m_work);
    // NOTE: the program's other windows wait as they do under a modal form:
    // the uninstaller's buttons pressed again would start a second removal
    // inside the first. As for a modal form, they are disabled before the
    // form shows: the application's window, disabled, disables every
    // visible window of the program with it.
    m_waiting = DisableTaskWindows(nullptr);
    m_form->Show();
    m_form->Repaint();
}
