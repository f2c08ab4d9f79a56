// The directory dialog's run: a new window each time, started at Path, which
// reads Path back only when the user confirms.
#include "controls/DirDlg.h"

#include "controls/DirForm.h"
#include "framework/Application.h"

const TClassInfo& TDirectoryDialog::StaticClassInfo()
{
    // The designs spell the window state "Windowstate".
    static const TClassInfo info = ClassInfoBuilder<TDirectoryDialog, TComponent>("TDirectoryDialog")
        .Property<&TDirectoryDialog::Caption, &TDirectoryDialog::SetCaption>("Caption")
        .Property<&TDirectoryDialog::Path, &TDirectoryDialog::SetPath>("Path")
        .Property<&TDirectoryDialog::Windowstate, &TDirectoryDialog::SetWindowstate>("Windowstate", wsNormal)
        .Build();
    return info;
}

// The component keeps no form between runs: each run makes its own.
TDirectoryDialog::TDirectoryDialog(TComponent* owner) : TComponent(owner) {}

TDirectoryDialog::~TDirectoryDialog() = default;

int32_t TDirectoryDialog::RunDialog()
{
    // The directory list and the drive combo box start in the process's
    // current directory while the form is built, and move to the starting
    // path before their windows exist, so that the list's window starts with
    // the selection that its creation gives for that directory.
    TFDIRFORM* form = CreateForm<TFDIRFORM>(Application);
    form->SetCaption(m_caption);
    // NOTE: a starting path that cannot be entered passes its error on from
    // here, before the form is shown; the form, still without windows, is
    // left to its owner, the application, which frees it at the end of the
    // program.
    form->SetStartPath(m_path);
    // The windows are made before the window state is given, so that the
    // state is kept for the showing (a dialog frame would have it reset when
    // its window is made).
    form->HandleNeeded();
    form->SetWindowState(m_windowState);
    const ComponentPtr<TFDIRFORM> owned(form);
    const int32_t result = form->RunModal();
    if (result == mrOk)
        m_path = form->ChosenPath();
    return result;
}
