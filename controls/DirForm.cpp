// The directory dialog's window: the edit box follows the directory list, and
// the starting path is shown as the caller gave it.
#include "controls/DirForm.h"

#include "runtime/ScopeGuard.h"

const TClassInfo& TFDIRFORM::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TFDIRFORM, TForm>("TFDIRFORM")
        .Field<&TFDIRFORM::BT_Cancel>("BT_Cancel")
        .Field<&TFDIRFORM::BT_OK>("BT_OK")
        .Field<&TFDIRFORM::DirectoryListBox1>("DirectoryListBox1")
        .Field<&TFDIRFORM::DriveComboBox1>("DriveComboBox1")
        .Field<&TFDIRFORM::Label2>("Label2")
        .Field<&TFDIRFORM::Edit1>("Edit1")
        .Method<TNotifyEvent, &TFDIRFORM::DirectoryChange>("DirectoryChange")
        .Build();
    return info;
}

void TFDIRFORM::DirectoryChange(TObject*)
{
    Edit1->SetText(DirectoryListBox1->DirectoryPath());
}

void TFDIRFORM::SetStartPath(const std::string& path)
{
    // The caller's text, not the list's normalised directory, and also when
    // the list cannot go there.
    const ScopeExit show([this, &path] { Edit1->SetText(path); });
    if (!path.empty())
        DirectoryListBox1->SetDirectoryPath(path);
}

std::string TFDIRFORM::ChosenPath() const
{
    return Edit1->Text();
}
