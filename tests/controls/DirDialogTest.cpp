#include <windows.h>

#include <gtest/gtest.h>

#include "controls/DirDlg.h"
#include "controls/DirForm.h"
#include "runtime/Exceptions.h"
#include "runtime/Files.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/support/TempDir.h"

namespace {

class DirForm : public CurrentDirTest {};

} // namespace

TEST(DirectoryDialog, PublishesNameTagCaptionPathWindowstate)
{
    EXPECT_EQ(PublishedNames(TDirectoryDialog::StaticClassInfo()),
              (std::vector<std::string>{"Name", "Tag", "Caption", "Path", "Windowstate"}));
    const TClassInfo& info = TDirectoryDialog::StaticClassInfo();
    const TPropInfo* state = info.FindProperty("Windowstate");
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->Name, "Windowstate");  // spelled with a lower-case s
    EXPECT_TRUE(state->HasDefault);
    EXPECT_EQ(state->Default, wsNormal);
    EXPECT_EQ(state->EnumType, &EnumTypeOf<TWindowState>());
    const TPropInfo* caption = info.FindProperty("Caption");
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->Kind, TTypeKind::String);
    const TPropInfo* path = info.FindProperty("Path");
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->Kind, TTypeKind::String);
}

TEST(DirectoryDialog, ReadsItsStoredProperties)
{
    const Bytes stream = RootStream("TDirectoryDialog", "OpenDialog1", [](TWriter& w) {
        w.WritePropName("Caption");
        w.WriteString("Select A Directory");
        w.WritePropName("Path");
        w.WriteString("c:\\temp\\");
        w.WritePropName("Windowstate");
        w.WriteIdent("wsMaximized");
    });
    TDirectoryDialog dialog(nullptr);
    EXPECT_EQ(dialog.Windowstate(), wsNormal);
    EXPECT_EQ(dialog.Caption(), "");
    EXPECT_EQ(dialog.Path(), "");
    ReadRoot(stream, &dialog);
    EXPECT_EQ(dialog.Caption(), "Select A Directory");
    EXPECT_EQ(dialog.Path(), "c:\\temp\\");
    EXPECT_EQ(dialog.Windowstate(), wsMaximized);
}

TEST(DirectoryDialog, DirFormPublishesItsFieldsAndHandler)
{
    const TClassInfo& info = TFDIRFORM::StaticClassInfo();
    ASSERT_EQ(info.Fields.size(), 6u);
    const char* names[] = {"BT_Cancel", "BT_OK", "DirectoryListBox1", "DriveComboBox1", "Label2", "Edit1"};
    const TClassInfo* classes[] = {&TButton::StaticClassInfo(),           &TButton::StaticClassInfo(),
                                   &TDirectoryListBox::StaticClassInfo(), &TDriveComboBox::StaticClassInfo(),
                                   &TLabel::StaticClassInfo(),            &TEdit::StaticClassInfo()};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(info.Fields[i].Name, names[i]);
        EXPECT_EQ(info.Fields[i].FieldClass(), classes[i]) << names[i];
    }
    const TMethodInfo* handler = info.FindMethod("directorychange");
    ASSERT_NE(handler, nullptr);
    EXPECT_EQ(handler->Signature, &NotifyEventType);
}

TEST_F(DirForm, IsBuiltFromItsStoredDesign)
{
    TempDir dir;
    ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
    TFDIRFORM* form = CreateForm<TFDIRFORM>(nullptr);
    ASSERT_NE(form->DirectoryListBox1, nullptr);
    ASSERT_NE(form->DriveComboBox1, nullptr);
    ASSERT_NE(form->Edit1, nullptr);
    ASSERT_NE(form->Label2, nullptr);
    ASSERT_NE(form->BT_OK, nullptr);
    ASSERT_NE(form->BT_Cancel, nullptr);
    EXPECT_EQ(form->Name(), "FDIRFORM");
    // The reference between the two controls is resolved both ways.
    EXPECT_EQ(form->DriveComboBox1->DirList(), form->DirectoryListBox1);
    EXPECT_EQ(form->DirectoryListBox1->DriveCombo(), form->DriveComboBox1);
    EXPECT_EQ(form->DirectoryListBox1->ItemHeight(), 16);
    EXPECT_EQ(form->DirectoryListBox1->Width(), 256);
    EXPECT_EQ(form->DriveComboBox1->Width(), 257);
    EXPECT_EQ(form->DirectoryListBox1->DirectoryPath(), NoSlash(dir.Path()));
    EXPECT_EQ(form->DriveComboBox1->DriveLetter(), dir.Path()[0]);
    EXPECT_EQ(form->Edit1->Text(), "c:\\windows");
    EXPECT_EQ(form->Label2->Caption(), "Path:");
    EXPECT_EQ(form->BT_OK->ModalResult(), 1);
    EXPECT_EQ(form->BT_Cancel->ModalResult(), 2);

    // The list's OnChange is bound to DirectoryChange: a move shows in the
    // edit box.
    ASSERT_TRUE(CreateDirectoryA((dir / "sub").c_str(), nullptr));
    form->DirectoryListBox1->SetDirectoryPath(dir / "sub");
    EXPECT_EQ(form->Edit1->Text(), dir / "sub");
    EXPECT_EQ(form->ChosenPath(), dir / "sub");
    TComponent::Free(form);
}

TEST_F(DirForm, StartPathIsShownAsGiven)
{
    TempDir dir;
    TFDIRFORM* form = CreateForm<TFDIRFORM>(nullptr);
    // With its trailing backslash: the list moves, the edit box keeps the
    // caller's text.
    form->SetStartPath(dir.Path());
    EXPECT_EQ(form->DirectoryListBox1->DirectoryPath(), NoSlash(dir.Path()));
    EXPECT_EQ(form->ChosenPath(), dir.Path());

    // A path the list cannot enter: the edit box still shows it, the error
    // passes on, the list stays.
    const std::string missing = dir / "missing";
    EXPECT_THROW(form->SetStartPath(missing), EInOutError);
    EXPECT_EQ(form->ChosenPath(), missing);
    EXPECT_EQ(form->DirectoryListBox1->DirectoryPath(), NoSlash(dir.Path()));

    // An empty path leaves the list and empties the edit box.
    form->SetStartPath("");
    EXPECT_EQ(form->ChosenPath(), "");
    EXPECT_EQ(form->DirectoryListBox1->DirectoryPath(), NoSlash(dir.Path()));
    TComponent::Free(form);
}
