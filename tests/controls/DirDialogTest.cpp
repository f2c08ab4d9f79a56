#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>

#include "controls/DirDlg.h"
#include "controls/DirForm.h"
#include "framework/Application.h"
#include "framework/Screen.h"
#include "runtime/Exceptions.h"
#include "runtime/Files.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiDriver.h"

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

// ---------------------------------------------------------------------------
// Running the dialog

namespace {

// The dialog run by the tests: each test has an application of its own and a
// tree of real folders (alpha with inner, Beta), and drives the dialog from a
// timer once its form is up, as the user would, with keys and clicks.
class DialogRun : public CurrentDirTest {
protected:
    void SetUp() override
    {
        CurrentDirTest::SetUp();
        InitializeFramework();
        for (const char* name : {"alpha", "alpha\\inner", "Beta"})
            ASSERT_TRUE(CreateDirectoryA((dir / name).c_str(), nullptr)) << name;
        root = NoSlash(dir.Path());
        dialog = new TDirectoryDialog(Application);
        dialog->SetCaption("Select A Directory");
    }
    void TearDown() override
    {
        FinalizeFramework();
        CurrentDirTest::TearDown();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    // The dialog's form while it runs modally and is shown, else none.
    static TFDIRFORM* OpenForm()
    {
        auto* form = dynamic_cast<TFDIRFORM*>(TScreen::Instance().FindForm("FDIRFORM"));
        return form && form->IsModal() && form->HandleAllocated() && IsWindowVisible(form->Handle()) ? form : nullptr;
    }

    // Runs the dialog; user runs once, on the open form, and returns; a
    // watchdog fails a run that does not end.
    int32_t Run(const std::function<void(TFDIRFORM&)>& user)
    {
        bool done = false;
        ThreadTimer driver(100, [&] {
            TFDIRFORM* form = OpenForm();
            if (done || !form)
                return;
            done = true;
            user(*form);
        });
        Watchdog watchdog;
        const int32_t result = dialog->RunDialog();
        EXPECT_TRUE(done) << "the dialog was never seen open";
        return result;
    }

    // A key pressed and released on the window that has the focus.
    static void PressKey(WPARAM key)
    {
        HWND target = GetFocus();
        PostMessageA(target, WM_KEYDOWN, key, 1);
        PostMessageA(target, WM_KEYUP, key, 0xC0000001);
    }

    // The window's title, the edit box's text and the list's directory.
    static std::tuple<std::string, std::string, std::string> WhatIsShown(TFDIRFORM& form)
    {
        char title[128] = {};
        GetWindowTextA(form.Handle(), title, sizeof title);
        return {title, form.Edit1->Text(), form.DirectoryListBox1->DirectoryPath()};
    }

    static void Type(HWND window, const std::string& text)
    {
        for (const char c : text)
            PostMessageA(window, WM_CHAR, static_cast<unsigned char>(c), 1);
    }

    TempDir dir;
    std::string root;
    TDirectoryDialog* dialog = nullptr;
};

} // namespace

TEST_F(DialogRun, OpensWithTheCallersTextAndTheFocusOnCancelWhereEnterCancels)
{
    dialog->SetPath(dir.Path());
    std::string caption;
    std::string edit;
    std::string listed;
    bool cancelFocused = false;
    const int32_t result = Run([&](TFDIRFORM& form) {
        std::tie(caption, edit, listed) = WhatIsShown(form);
        cancelFocused = GetFocus() == form.BT_Cancel->Handle();
        PressKey(VK_RETURN);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(caption, "Select A Directory");
    EXPECT_EQ(edit, dir.Path());
    EXPECT_EQ(listed, root);
    EXPECT_TRUE(cancelFocused);
    EXPECT_EQ(dialog->Path(), dir.Path());
    // Each run makes its own form and frees it.
    EXPECT_EQ(TScreen::Instance().FindForm("FDIRFORM"), nullptr);
}

TEST_F(DialogRun, OkRightAfterOpeningGivesBackTheCallersTextWithItsBackslash)
{
    dialog->SetPath(dir.Path());
    const int32_t result = Run([](TFDIRFORM& form) { SendMessageA(form.BT_OK->Handle(), BM_CLICK, 0, 0); });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(dialog->Path(), dir.Path());
    EXPECT_EQ(dialog->Path().back(), '\\');
}

TEST_F(DialogRun, OkAfterDoubleClicksGivesTheListsDirectoryAndEnterNeverOpens)
{
    dialog->SetPath(root);
    std::string highlighted;
    const int32_t result = Run([&](TFDIRFORM& form) {
        TDirectoryListBox* list = form.DirectoryListBox1;
        // alpha is the first subdirectory, after the chain to the tree.
        const int alpha = list->Items()->IndexOf("alpha");
        ASSERT_GT(alpha, 0);
        ASSERT_TRUE(DoubleClickItem(list->Handle(), alpha));
        ASSERT_EQ(list->DirectoryPath(), root + "\\alpha");
        // Enter on the list, with inner highlighted, presses OK.
        list->SetFocus();
        const int inner = list->Items()->IndexOf("inner");
        list->SetItemIndex(inner);
        highlighted = list->Items()->Get(list->ItemIndex());
        PressKey(VK_RETURN);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(highlighted, "inner");
    // As the system reports it: no trailing backslash.
    EXPECT_EQ(dialog->Path(), root + "\\alpha");
    EXPECT_EQ(CurrentDir(), root + "\\alpha");
}

TEST_F(DialogRun, TypedTextIsGivenBackUncheckedAndDoesNotMoveTheList)
{
    dialog->SetPath(root);
    const std::string typed = "  q:\\No Such\\Dir?* ";
    std::string listed;
    const int32_t result = Run([&](TFDIRFORM& form) {
        form.Edit1->SetFocus();
        SendMessageA(form.Edit1->Handle(), EM_SETSEL, 0, -1);
        Type(form.Edit1->Handle(), typed);
        // Enter in the edit box presses OK once the typing has arrived.
        PostMessageA(form.Edit1->Handle(), WM_KEYDOWN, VK_RETURN, 1);
        PostMessageA(form.Edit1->Handle(), WM_KEYUP, VK_RETURN, 0xC0000001);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(dialog->Path(), typed);
    EXPECT_EQ(CurrentDir(), root);
}

TEST_F(DialogRun, CancelEscOrClosingKeepPathWhileTheCurrentDirectoryHasMoved)
{
    struct Way {
        const char* name;
        std::function<void(TFDIRFORM&)> leave;
    };
    const Way ways[] = {
        {"Cancel button", [](TFDIRFORM& form) { SendMessageA(form.BT_Cancel->Handle(), BM_CLICK, 0, 0); }},
        {"Esc on the list",
         [](TFDIRFORM& form) {
             form.DirectoryListBox1->SetFocus();
             PressKey(VK_ESCAPE);
         }},
        {"Esc in the edit box",
         [](TFDIRFORM& form) {
             form.Edit1->SetFocus();
             PressKey(VK_ESCAPE);
         }},
        {"close box", [](TFDIRFORM& form) { PostMessageA(form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        ASSERT_TRUE(SetCurrentDirectoryA(root.c_str()));
        dialog->SetPath(dir.Path());
        std::string edit;
        const int32_t result = Run([&](TFDIRFORM& form) {
            TDirectoryListBox* list = form.DirectoryListBox1;
            ASSERT_TRUE(DoubleClickItem(list->Handle(), list->Items()->IndexOf("alpha")));
            ASSERT_TRUE(DoubleClickItem(list->Handle(), list->Items()->IndexOf("inner")));
            edit = form.Edit1->Text();
            way.leave(form);
        });
        EXPECT_EQ(result, 2);
        EXPECT_EQ(edit, root + "\\alpha\\inner");
        EXPECT_EQ(dialog->Path(), dir.Path());
        EXPECT_EQ(CurrentDir(), root + "\\alpha\\inner");
    }
}

TEST_F(DialogRun, AStartingPathThatCannotBeEnteredRaisesBeforeTheFormIsShown)
{
    const std::string missing = dir / "missing";
    dialog->SetPath(missing);
    bool shown = false;
    ThreadTimer spy(50, [&] { shown = shown || OpenForm() != nullptr; });
    Watchdog watchdog;
    EXPECT_THROW(dialog->RunDialog(), EInOutError);
    EXPECT_FALSE(shown);
    EXPECT_EQ(dialog->Path(), missing);
    // The form was left to the application, which owns it.
    auto* form = dynamic_cast<TFDIRFORM*>(TScreen::Instance().FindForm("FDIRFORM"));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Owner(), Application);
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(form->HandleAllocated()) << "no windows are made for a path that fails";
    EXPECT_EQ(form->Edit1->Text(), missing);
}

TEST_F(DialogRun, ADriveRootOtherThanTheCurrentDirectoryOpensOnItsFirstSubdirectory)
{
    ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
    const std::string driveRoot = root.substr(0, 3);
    dialog->SetPath(driveRoot);
    std::string listed;
    int selected = -1;
    int count = 0;
    const int32_t result = Run([&](TFDIRFORM& form) {
        listed = form.DirectoryListBox1->DirectoryPath();
        selected = form.DirectoryListBox1->ItemIndex();
        count = form.DirectoryListBox1->Items()->Count();
        PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(listed, driveRoot);
    ASSERT_GT(count, 1) << "the drive root has no subdirectories";
    EXPECT_EQ(selected, 1) << "the first subdirectory, not the root, is highlighted";
}

TEST_F(DialogRun, AnEmptyPathShowsTheCurrentDirectoryWithAnEmptyEditBox)
{
    ASSERT_TRUE(SetCurrentDirectoryA((dir / "Beta").c_str()));
    dialog->SetPath("");
    dialog->SetCaption("");
    std::string caption = "?";
    std::string edit = "?";
    std::string listed;
    const int32_t result = Run([&](TFDIRFORM& form) {
        std::tie(caption, edit, listed) = WhatIsShown(form);
        SendMessageA(form.BT_OK->Handle(), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(caption, "");
    EXPECT_EQ(edit, "");
    EXPECT_EQ(listed, root + "\\Beta");
    EXPECT_EQ(dialog->Path(), "");
}

TEST_F(DialogRun, AMaximisedWindowStateShowsTheDialogMaximised)
{
    dialog->SetPath(root);
    dialog->SetWindowstate(wsMaximized);
    bool zoomed = false;
    const int32_t result = Run([&](TFDIRFORM& form) {
        zoomed = IsZoomed(form.Handle()) != FALSE;
        PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(zoomed);
    EXPECT_EQ(dialog->Windowstate(), wsMaximized);
}
