// The mode choice: Install or Uninstall, and on to the settings or the
// uninstaller.
#include "setup/forms/Setup2.h"

#include "framework/Application.h"
#include "framework/MessageDialogs.h"
#include "runtime/Format.h"
#include "runtime/ResStrings.h"
#include "setup/forms/Setup3.h"
#include "setup/forms/Setup4.h"
#include "setup/forms/ExitQuestions.h"

TForm2* Form2 = nullptr;

const TClassInfo& TForm2::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TForm2, TForm>("TForm2")
        .Field<&TForm2::RadioButton1>("RadioButton1")
        .Field<&TForm2::RadioButton2>("RadioButton2")
        .Field<&TForm2::Button1>("Button1")
        .Field<&TForm2::Button2>("Button2")
        .Field<&TForm2::Image1>("Image1")
        .Method<TNotifyEvent, &TForm2::Button1Click>("Button1Click")
        .Method<TNotifyEvent, &TForm2::Button2Click>("Button2Click")
        .Method<TNotifyEvent, &TForm2::Form2Show>("Form2Show")
        .Method<TCloseEvent, &TForm2::Form2Close>("Form2Close")
        .Build();
    return info;
}

void TForm2::Button1Click(TObject*)
{
    Hide();
    if (RadioButton1->Checked())
        Form3->Show();
    else
        Form4->Show();
}

void TForm2::Button2Click(TObject*)
{
    ConfirmExit(m_state->ProductTitle);
}

void TForm2::Form2Show(TObject*)
{
    const std::string& title = m_state->ProductTitle;
    SetCaption(Format(LoadResString(StrId::SInstallOrUninstall), {title}));
    RadioButton1->SetCaption(Format(LoadResString(StrId::SInstallProduct), {title}));
    RadioButton2->SetCaption(Format(LoadResString(StrId::SUninstallProduct), {title}));
}

void TForm2::Form2Close(TObject*, TCloseAction& action)
{
    ConfirmClose(action, m_state->ProductTitle);
}
