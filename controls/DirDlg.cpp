#include "controls/DirDlg.h"

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
