#include "setup/Setup3.h"

TForm3* Form3 = nullptr;

const TClassInfo& TForm3::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TForm3, TForm>("TForm3")
        .Field<&TForm3::Label1>("Label1")
        .Field<&TForm3::Label3>("Label3")
        .Field<&TForm3::Edit2>("Edit2")
        .Field<&TForm3::Button1>("Button1")
        .Field<&TForm3::Button2>("Button2")
        .Field<&TForm3::Button3>("Button3")
        .Field<&TForm3::Button5>("Button5")
        .Field<&TForm3::Label2>("Label2")
        .Field<&TForm3::GroupBox1>("GroupBox1")
        .Field<&TForm3::Label5>("Label5")
        .Field<&TForm3::Image1>("Image1")
        .Field<&TForm3::Label6>("Label6")
        .Field<&TForm3::Label7>("Label7")
        .Field<&TForm3::OpenDialog1>("OpenDialog1")
        .Method<TNotifyEvent, &TForm3::Button3Click>("Button3Click")
        .Method<TNotifyEvent, &TForm3::Button2Click>("Button2Click")
        .Method<TNotifyEvent, &TForm3::Button1Click>("Button1Click")
        .Method<TNotifyEvent, &TForm3::Form3Activate>("Form3Activate")
        .Method<TNotifyEvent, &TForm3::Button4Click>("Button4Click")
        .Method<TNotifyEvent, &TForm3::Form3Create>("Form3Create")
        .Method<TNotifyEvent, &TForm3::Form3Destroy>("Form3Destroy")
        .Build();
    return info;
}

void TForm3::Form3Create(TObject*)
{
    CopyList = std::make_unique<TStringList>();
}

void TForm3::Form3Destroy(TObject*)
{
    CopyList.reset();
}

// NOTE: the settings dialog's buttons and its activation work on the other
// forms, the directory dialog and message dialogs; they are wired once those
// can be shown.
void TForm3::Button3Click(TObject*) {}

void TForm3::Button2Click(TObject*) {}

void TForm3::Button1Click(TObject*) {}

void TForm3::Form3Activate(TObject*) {}

void TForm3::Button4Click(TObject*) {}
