// The uninstaller's long work shown as it goes: the uninstallation's progress
// form (TForm6) comes up once the work has taken longer than a moment, so
// that a usual uninstallation looks as it always has, and is drawn again a
// few times a second however many items are told, so that showing costs
// nothing measurable. Meanwhile the program's other windows wait, as they do
// under a modal form.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "setup/engine/WorkProgress.h"
#include "setup/forms/Setup6.h"

class UninstallProgress : public WorkProgress {
public:
    // How long the work goes on before the form comes up, and how long the
    // form shows one count at least, in milliseconds.
    static constexpr DWORD ShowAfter = 300;
    static constexpr DWORD ShowFor = 200;

    // work is what the form names: the reading of the log or the removal.
    explicit UninstallProgress(std::string work);
    // The form goes, and the windows it kept waiting are enabled again.
    ~UninstallProgress() override;
    UninstallProgress(const UninstallProgress&) = delete;
    UninstallProgress& operator=(const UninstallProgress&) = delete;

    void Reached(size_t done, size_t total) override;

    // The form while it is shown; null before it has come up.
    TForm6* Form() const { return m_form.get(); }

private:
    void ShowForm();

    const std::string m_work;
    const DWORD m_start = GetTickCount();
    DWORD m_shown = 0;  // when the count was last shown
    ComponentPtr<TForm6> m_form;
    std::vector<HWND> m_waiting;  // the windows disabled while the form is up
    HWND m_active = nullptr;      // the window active before the form came up
};
