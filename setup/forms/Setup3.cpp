// The installation settings: the destination typed or browsed, its checks,
// the space needed and free, and on to the installation run.
#include "setup/forms/Setup3.h"

#include <windows.h>

#include <algorithm>

#include "framework/MessageDialogs.h"
#include "runtime/Files.h"
#include "runtime/Format.h"
#include "runtime/Paths.h"
#include "runtime/ResStrings.h"
#include "setup/forms/ExitQuestions.h"
#include "setup/forms/Setup5.h"

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
        .Method<TCloseEvent, &TForm3::Form3Close>("Form3Close")
        .Build();
    return info;
}

// The stored design names both handlers; the form makes and frees nothing
// beyond its components.
void TForm3::Form3Create(TObject*) {}

void TForm3::Form3Destroy(TObject*) {}

void TForm3::Form3Activate(TObject*)
{
    Edit2->SetText(m_state->DestDir);
    Label1->SetCaption(Format(LoadResString(StrId::SWillBeInstalled), {m_state->ProductTitle}));
    if (m_splash)
        m_splash->SetCaption(Format(LoadResString(StrId::SSetupCaption), {m_state->ProductTitle}));
    CalcSpace();
}

void TForm3::Button1Click(TObject*)
{
    Hide();
    if (m_modeChoice)
        m_modeChoice->Show();
}

void TForm3::Button2Click(TObject*)
{
    m_state->DestDir = CheckPath(Edit2->Text());
    CalcSpace();
    // A refused destination leaves the dialog up, with nothing made.
    std::optional<std::string> refusal = DestinationRefusal(m_state->DestDir, m_state->Script);
    if (!refusal)
        refusal = KeptDestinationRefusal(m_state->DestDir, *m_state);
    if (refusal) {
        ShowMessageDialog(*refusal, MessageKind::Warning, {mbOK}, 0);
        return;
    }
    // Asked before the space: a user who answers No chooses another folder,
    // whose drive may have other space, and is not asked about space twice.
    if (HoldsOtherFiles(m_state->DestDir, m_state->ProductTitle) &&
        ShowMessageDialog(Format(LoadResString(StrId::SDestinationHoldsFiles), {RemoveTrailingBackslash(m_state->DestDir)}),
                          MessageKind::Confirmation, {mbYes, mbNo}, 0, mbNo) != mrYes)
        return;
    // The free space is asked again here, not taken from the labels.
    if (!Space.Enough() &&
        ShowMessageDialog(LoadResString(StrId::SNotEnoughSpace), MessageKind::Information, {mbYes, mbNo}, 0) == mrNo)
        return;
    // The installation run makes the destination's folders first.
    Hide();
    Form5->Show();
}

void TForm3::Button3Click(TObject*)
{
    ConfirmExit(m_state->ProductTitle);
}

void TForm3::Form3Close(TObject*, TCloseAction& action)
{
    ConfirmClose(action, m_state->ProductTitle);
}

void TForm3::Button4Click(TObject*)
{
    OpenDialog1->SetPath(CurrentDir());
    // The result is not looked at: after Cancel, Path is still the current
    // directory.
    OpenDialog1->RunDialog();
    OpenDialog1->SetPath(RemoveTrailingBackslash(OpenDialog1->Path()));
    Edit2->SetText(OpenDialog1->Path() + "\\" + m_state->DestName);
    m_state->DestDir = CheckPath(Edit2->Text());
    CalcSpace();
}

// ---------------------------------------------------------------------------
// The space check

namespace {

std::string Kilobytes(int64_t bytes)
{
    // Truncating toward zero: a failed query (-1) shows as 0 kb.
    return std::to_string(bytes / 1024) + " kb";
}

} // namespace

void CalcSpace()
{
    TForm3& form = *Form3;
    const SpaceNeeds space = ReckonSpace(*form.m_state);
    form.Space = space;
    if (space.OneDrive()) {
        form.Label5->SetCaption(space.WinDrive);
        form.Label6->SetCaption(Kilobytes(space.WinNeed));
        form.Label7->SetCaption(Kilobytes(DriveFreeSpace(space.WinDrive, space.WinDriveNum)));
    } else {
        form.Label5->SetCaption(space.DestDrive + "\r" + space.WinDrive);
        form.Label6->SetCaption(Kilobytes(space.DestNeed) + "\r" + Kilobytes(space.WinNeed));
        form.Label7->SetCaption(Kilobytes(DriveFreeSpace(space.DestDrive, space.DestDriveNum)) + "\r" +
                                Kilobytes(DriveFreeSpace(space.WinDrive, space.WinDriveNum)));
    }
}
