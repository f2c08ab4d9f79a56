#include "setup/Setup4.h"

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
        .Build();
    return info;
}

// NOTE: reading the uninstall log and removing the selected items need the
// message dialogs, the file-open dialog and the shell; they are wired once
// those exist.
void TForm4::Button2Click(TObject*) {}

void TForm4::Button3Click(TObject*) {}

void TForm4::Button1Click(TObject*) {}

void TForm4::Form4Show(TObject*) {}

void TForm4::Button4Click(TObject*) {}

std::string TForm4::RemoveEnd(const std::string& path) const
{
    if (!path.empty() && path.back() == '\\')
        return path.substr(0, path.size() - 1);
    return path;
}
