// The message dialogs: the layout arithmetic, the dialog as built (its
// components, captions, bounds, default and cancel buttons), and real
// dialogs run modally on the test bed's screen and answered through their
// keys and their frame. Every modal run has a watchdog that fails the test
// instead of waiting for ever.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/ExtCtrls.h"
#include "framework/MessageDialogs.h"
#include "framework/Screen.h"
#include "framework/StdCtrls.h"
#include "runtime/ResStrings.h"
#include "tests/support/FrameworkTest.h"
#include "tests/support/UiDriver.h"

namespace {

using MessageDialogTest = FrameworkTest;

using FormPtr = ComponentPtr<TMessageForm>;

// Runs the steps one per timer tick while a message dialog is up; a step
// that returns false is tried again on the next tick.
class DialogDriver {
public:
    using Step = std::function<bool(HWND dialog)>;
    explicit DialogDriver(std::vector<Step> steps)
        : m_steps(std::move(steps)), m_timer(40, [this] { Tick(); })
    {
    }
    bool Finished() const { return m_next == m_steps.size(); }

private:
    void Tick()
    {
        if (m_busy || Finished())
            return;
        HWND dialog = FindThreadWindow("TMessageForm");
        if (!dialog)
            return;
        m_busy = true;
        if (m_steps[m_next](dialog))
            ++m_next;
        m_busy = false;
    }

    std::vector<Step> m_steps;
    size_t m_next = 0;
    bool m_busy = false;
    ThreadTimer m_timer;
};

DialogDriver::Step PostToFocus(UINT msg, WPARAM key)
{
    return [=](HWND) {
        PostMessageA(GetFocus(), msg, key, 0);
        return true;
    };
}

DialogDriver::Step CloseThroughFrame()
{
    return [](HWND dialog) {
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    };
}

// Waits a few ticks with the dialog still up.
DialogDriver::Step StillOpenAfter(int ticks)
{
    auto left = std::make_shared<int>(ticks);
    return [left](HWND dialog) {
        EXPECT_TRUE(IsWindowVisible(dialog));
        return --*left <= 0;
    };
}

TButton* ButtonOf(TComponent* form, const char* name)
{
    return dynamic_cast<TButton*>(form->FindComponent(name));
}

// The average character size and the wrapped text size, measured here the
// way the dialog's font is measured on the screen.
struct Measured {
    int Cx = 0;
    int Cy = 0;
    int TextWidth = 0;
    int TextHeight = 0;
};
Measured Measure(TForm& form, const std::string& text)
{
    Measured m;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, form.Font()->Handle());
    SIZE size{};
    GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &size);
    m.Cx = size.cx / 52;
    m.Cy = size.cy;
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
    DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK);
    m.TextWidth = r.right;
    m.TextHeight = r.bottom;
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return m;
}

void ExpectBounds(const TControl* c, int left, int top, int width, int height)
{
    ASSERT_NE(c, nullptr);
    SCOPED_TRACE(c->Name());
    EXPECT_EQ(c->Left(), left);
    EXPECT_EQ(c->Top(), top);
    EXPECT_EQ(c->Width(), width);
    EXPECT_EQ(c->Height(), height);
}

// An OnCloseQuery handler that raises.
struct RaisingCloseQuery : TObject {
    void Call(TObject*, bool&) { throw std::runtime_error("close query failed"); }
};

// ---------------------------------------------------------------------------
// The layout arithmetic

TEST(MessageDialogLayout, WorkedExampleOfAYesNoConfirmation)
{
    const MessageDialogLayout l = LayOutMessageDialog(6, 13, 200, 26, true, 2);
    EXPECT_EQ(l.HorzMargin, 12);
    EXPECT_EQ(l.VertMargin, 13);
    EXPECT_EQ(l.HorzSpacing, 15);
    EXPECT_EQ(l.VertSpacing, 16);
    EXPECT_EQ(l.ButtonWidth, 75);
    EXPECT_EQ(l.ButtonHeight, 23);
    EXPECT_EQ(l.ButtonSpacing, 6);
    EXPECT_EQ(l.BlockWidth, 247);
    EXPECT_EQ(l.BlockHeight, 32);
    EXPECT_EQ(l.RowWidth, 156);
    EXPECT_EQ(l.ClientWidth, 271);
    EXPECT_EQ(l.ClientHeight, 97);
    EXPECT_EQ(l.TextBounds.left, 59);
    EXPECT_EQ(l.TextBounds.top, 13);
    EXPECT_EQ(l.TextBounds.right - l.TextBounds.left, 200);
    EXPECT_EQ(l.TextBounds.bottom - l.TextBounds.top, 26);
    EXPECT_EQ(l.IconBounds.left, 12);
    EXPECT_EQ(l.IconBounds.top, 13);
    EXPECT_EQ(l.IconBounds.right, 44);
    EXPECT_EQ(l.IconBounds.bottom, 45);
    EXPECT_EQ(l.ButtonTop, 61);
    EXPECT_EQ(l.FirstButtonLeft, 57);
    EXPECT_EQ(l.FirstButtonLeft + l.ButtonWidth + l.ButtonSpacing, 138);
}

TEST(MessageDialogLayout, RoundsHalvesAwayFromZeroAndHandlesTheEdges)
{
    {
        SCOPED_TRACE("cx 7, cy 15: 17.5 and 18.75 round up, 7.5 rounds up");
        const MessageDialogLayout l = LayOutMessageDialog(7, 15, 100, 15, true, 1);
        EXPECT_EQ(l.HorzMargin, 14);
        EXPECT_EQ(l.VertMargin, 15);
        EXPECT_EQ(l.HorzSpacing, 18);   // 17.5
        EXPECT_EQ(l.VertSpacing, 19);   // 18.75
        EXPECT_EQ(l.ButtonWidth, 88);   // 87.5
        EXPECT_EQ(l.ButtonHeight, 26);  // 26.25
        EXPECT_EQ(l.ButtonSpacing, 7);
    }
    {
        SCOPED_TRACE("no buttons: an empty row");
        const MessageDialogLayout l = LayOutMessageDialog(6, 13, 200, 26, true, 0);
        EXPECT_EQ(l.RowWidth, 0);
        EXPECT_EQ(l.ClientWidth, 271);
        EXPECT_EQ(l.FirstButtonLeft, 135);
    }
    {
        SCOPED_TRACE("a one-line text is given the icon's height; the buttons sit below the icon");
        const MessageDialogLayout l = LayOutMessageDialog(6, 13, 60, 13, true, 1);
        EXPECT_EQ(l.BlockHeight, 32);
        EXPECT_EQ(l.TextBounds.bottom - l.TextBounds.top, 13);
        EXPECT_EQ(l.ButtonTop, 32 + 13 + 16);
        // The row is wider than the block.
        EXPECT_EQ(l.ClientWidth, 107 + 24);
    }
    {
        SCOPED_TRACE("no icon: the text starts at the margin and keeps its own height");
        const MessageDialogLayout l = LayOutMessageDialog(6, 13, 200, 13, false, 2);
        EXPECT_EQ(l.BlockWidth, 200);
        EXPECT_EQ(l.BlockHeight, 13);
        EXPECT_EQ(l.TextBounds.left, 12);
        EXPECT_EQ(l.IconBounds.right - l.IconBounds.left, 0);
        EXPECT_EQ(l.ClientHeight, 13 + 23 + 16 + 26);
    }
    {
        SCOPED_TRACE("a text taller than the icon sets the height");
        const MessageDialogLayout l = LayOutMessageDialog(6, 13, 200, 52, true, 2);
        EXPECT_EQ(l.BlockHeight, 52);
        EXPECT_EQ(l.ButtonTop, 52 + 13 + 16);
    }
}

TEST(MessageDialogLayout, NeverGrowsBeyondTheLargestClientArea)
{
    {
        SCOPED_TRACE("a text far larger than the area gets the room beside the icon and above the buttons");
        const MessageDialogLayout l = LayOutMessageDialog(6, 13, 3000, 2000, true, 2, 640, 480);
        EXPECT_EQ(l.TextBounds.right - l.TextBounds.left, 640 - 24 - 32 - 15);
        EXPECT_EQ(l.TextBounds.bottom - l.TextBounds.top, 480 - 26 - 16 - 23);
        EXPECT_EQ(l.ClientWidth, 640);
        EXPECT_EQ(l.ClientHeight, 480);
        EXPECT_EQ(l.ButtonTop + l.ButtonHeight, 480 - 13);
        EXPECT_EQ(l.ButtonWidth, 75);
    }
    {
        SCOPED_TRACE("nine buttons in a narrow area share its width");
        const MessageDialogLayout l = LayOutMessageDialog(6, 13, 50, 13, true, 9, 400, 300);
        EXPECT_EQ(l.ButtonWidth, (400 - 24 - 8 * 6) / 9);
        EXPECT_LE(l.ClientWidth, 400);
        EXPECT_GE(l.FirstButtonLeft, 12);
        EXPECT_LE(l.FirstButtonLeft + l.RowWidth, 400 - 12);
    }
    {
        SCOPED_TRACE("a dialog that fits is laid out as without a limit");
        const MessageDialogLayout l = LayOutMessageDialog(6, 13, 200, 26, true, 2, 800, 600);
        EXPECT_EQ(l.ClientWidth, 271);
        EXPECT_EQ(l.ClientHeight, 97);
        EXPECT_EQ(l.FirstButtonLeft, 57);
    }
    const SIZE room = MessageTextRoom(6, 13, false, 640, 480);
    EXPECT_EQ(room.cx, 640 - 24);
    EXPECT_EQ(room.cy, 480 - 26 - 16 - 23);
}

// ---------------------------------------------------------------------------
// The dialog as built

TEST_F(MessageDialogTest, BuiltConfirmationHasTheLaidOutComponents)
{
    const std::string text = "Terminate Halvarn 95 Setup?";
    FormPtr form(BuildMessageDialog(text, MessageKind::Confirmation, MessageButtons{mbYes, mbNo}));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Owner(), Application);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->BorderStyle(), bsDialog);
    EXPECT_EQ(form->Position(), poDesigned);
    EXPECT_EQ(form->Caption(), "Confirm");
    EXPECT_EQ(form->Font()->Name(), "MS Sans Serif");
    EXPECT_EQ(form->Font()->Height(), -MulDiv(8, TScreen::Instance().PixelsPerInch(), 72));

    const Measured m = Measure(*form, text);
    ASSERT_GT(m.Cx, 0);
    const MessageDialogLayout l = LayOutMessageDialog(m.Cx, m.Cy, m.TextWidth, m.TextHeight, true, 2);
    EXPECT_EQ(form->ClientWidth(), l.ClientWidth);
    EXPECT_EQ(form->ClientHeight(), l.ClientHeight);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(form->Left(), screenWidth / 2 - form->Width() / 2);
    EXPECT_EQ(form->Top(), screenHeight / 2 - form->Height() / 2);

    // Creation order: the image, the label, then the buttons in bit order.
    ASSERT_EQ(form->ComponentCount(), 4);
    auto* image = dynamic_cast<TImage*>(form->Components(0));
    auto* label = dynamic_cast<TLabel*>(form->Components(1));
    ASSERT_NE(image, nullptr);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(image->Name(), "Image");
    EXPECT_EQ(image->Parent(), form.get());
    ExpectBounds(image, l.HorzMargin, l.VertMargin, 32, 32);
    auto* icon = dynamic_cast<TIcon*>(image->Picture()->Graphic());
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->Handle(), LoadIconA(nullptr, MAKEINTRESOURCEA(32514)));

    EXPECT_EQ(label->Name(), "Message");
    EXPECT_EQ(label->Parent(), form.get());
    EXPECT_TRUE(label->WordWrap());
    EXPECT_EQ(label->Caption(), text);
    ExpectBounds(label, l.HorzMargin + 32 + l.HorzSpacing, l.VertMargin, m.TextWidth, m.TextHeight);

    TButton* yes = ButtonOf(form.get(), "Yes");
    TButton* no = ButtonOf(form.get(), "No");
    EXPECT_EQ(form->Components(2), yes);
    EXPECT_EQ(form->Components(3), no);
    ExpectBounds(yes, l.FirstButtonLeft, l.ButtonTop, l.ButtonWidth, l.ButtonHeight);
    ExpectBounds(no, l.FirstButtonLeft + l.ButtonWidth + l.ButtonSpacing, l.ButtonTop, l.ButtonWidth,
                 l.ButtonHeight);
    EXPECT_EQ(yes->Caption(), "&Yes");
    EXPECT_EQ(no->Caption(), "&No");
    EXPECT_EQ(yes->ModalResult(), mrYes);
    EXPECT_EQ(no->ModalResult(), mrNo);
    EXPECT_TRUE(yes->Default());
    EXPECT_FALSE(yes->Cancel());
    EXPECT_FALSE(no->Default());
    EXPECT_TRUE(no->Cancel());
}

TEST_F(MessageDialogTest, KindsGiveTheirCaptionsAndSystemIcons)
{
    Application->SetTitle("Brisdane 95 Setup");
    struct Case {
        MessageKind kind;
        const char* caption;
        int icon;
    };
    const Case cases[] = {
        {MessageKind::Warning, "Warning", 32515},         {MessageKind::Error, "Error", 32513},
        {MessageKind::Information, "Information", 32516}, {MessageKind::Confirmation, "Confirm", 32514},
        {MessageKind::Custom, "Brisdane 95 Setup", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        FormPtr form(BuildMessageDialog("Short", c.kind, MessageButtons{mbOK}));
        EXPECT_EQ(form->Caption(), c.caption);
        auto* image = dynamic_cast<TImage*>(form->FindComponent("Image"));
        auto* label = dynamic_cast<TLabel*>(form->FindComponent("Message"));
        ASSERT_NE(label, nullptr);
        const Measured m = Measure(*form, "Short");
        const int margin = MulDiv(8, m.Cx, 4);
        if (c.icon == 0) {
            EXPECT_EQ(image, nullptr);
            EXPECT_EQ(label->Left(), margin);
            EXPECT_EQ(ButtonOf(form.get(), "OK")->Top(), m.TextHeight + MulDiv(8, m.Cy, 8) + MulDiv(10, m.Cy, 8));
        } else {
            ASSERT_NE(image, nullptr);
            auto* icon = dynamic_cast<TIcon*>(image->Picture()->Graphic());
            ASSERT_NE(icon, nullptr);
            EXPECT_EQ(icon->Handle(), LoadIconA(nullptr, MAKEINTRESOURCEA(c.icon)));
            EXPECT_EQ(icon->Width(), 32);
            EXPECT_EQ(label->Left(), margin + 32 + MulDiv(10, m.Cx, 4));
            // A one-line text: the buttons sit below the icon.
            EXPECT_EQ(ButtonOf(form.get(), "OK")->Top(), 32 + MulDiv(8, m.Cy, 8) + MulDiv(10, m.Cy, 8));
        }
    }
}

TEST_F(MessageDialogTest, NineButtonsWithNamesCaptionsAndResultsInBitOrder)
{
    MessageButtons all;
    for (int b = mbYes; b <= mbHelp; ++b)
        all.Include(static_cast<MessageButton>(b));
    FormPtr form(BuildMessageDialog("All of them", MessageKind::Information, all));
    struct Expected {
        const char* name;
        const char* caption;
        int result;
    };
    const Expected expected[] = {
        {"Yes", "&Yes", 6},          {"No", "&No", 7},        {"OK", "OK", 1},
        {"Cancel", "Cancel", 2},     {"Abort", "&Abort", 3},  {"Retry", "&Retry", 4},
        {"Ignore", "&Ignore", 5},    {"All", "&All", 8},      {"Help", "&Help", 0},
    };
    ASSERT_EQ(form->ComponentCount(), 2 + 9);
    int previousLeft = -1;
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(expected[i].name);
        auto* button = dynamic_cast<TButton*>(form->Components(2 + i));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->Name(), expected[i].name);
        EXPECT_EQ(button->Caption(), expected[i].caption);
        EXPECT_EQ(button->ModalResult(), expected[i].result);
        EXPECT_GT(button->Left(), previousLeft);
        previousLeft = button->Left();
        EXPECT_EQ(button->Default(), std::string(expected[i].name) == "OK");
        EXPECT_EQ(button->Cancel(), std::string(expected[i].name) == "Cancel");
    }
    // The row is wider than half the screen: the dialog grows with it.
    EXPECT_GE(form->ClientWidth(), previousLeft + ButtonOf(form.get(), "Help")->Width());
}

TEST_F(MessageDialogTest, DefaultAndCancelAreChosenBeforeAnyButtonExists)
{
    struct Case {
        MessageButtons buttons;
        const char* defaultButton;
        const char* cancelButton;
    };
    const Case cases[] = {
        {MessageButtons{mbYes, mbNo}, "Yes", "No"},
        {MessageButtons{mbOK}, "OK", "OK"},
        {MessageButtons{mbRetry, mbIgnore}, "Retry", nullptr},
        {MessageButtons{mbYes, mbNo, mbCancel}, "Yes", "Cancel"},
        {MessageButtons{mbOK, mbCancel}, "OK", "Cancel"},
        {MessageButtons{mbAbort, mbIgnore}, nullptr, nullptr},
        {MessageButtons{mbNo, mbHelp}, nullptr, "No"},
        {MessageButtons{}, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "buttons 0x" << std::hex << c.buttons.Bits());
        FormPtr form(BuildMessageDialog("Choose", MessageKind::Warning, c.buttons));
        std::string defaults;
        std::string cancels;
        for (int i = 0; i < form->ComponentCount(); ++i) {
            if (auto* b = dynamic_cast<TButton*>(form->Components(i))) {
                if (b->Default())
                    defaults += b->Name();
                if (b->Cancel())
                    cancels += b->Name();
            }
        }
        EXPECT_EQ(defaults, c.defaultButton ? c.defaultButton : "");
        EXPECT_EQ(cancels, c.cancelButton ? c.cancelButton : "");
    }
}

// ---------------------------------------------------------------------------
// Real dialogs run modally

// The four prompts of the setup, each answered in every way it can be.
TEST_F(MessageDialogTest, SetupPromptsAnswerTheirKeysAndTheirFrame)
{
    struct Prompt {
        const char* text;
        MessageKind kind;
        MessageButtons buttons;
        const char* caption;
        const char* firstButton;
    };
    const Prompt prompts[] = {
        {"Terminate Brisdane 95 Setup?", MessageKind::Confirmation, MessageButtons{mbYes, mbNo}, "Confirm", "Yes"},
        {"Install the optional file?", MessageKind::Information, MessageButtons{mbYes, mbNo}, "Information", "Yes"},
        {"Installation complete.", MessageKind::Information, MessageButtons{mbOK}, "Information", "OK"},
        {"Insert the next diskette.", MessageKind::Warning, MessageButtons{mbRetry, mbIgnore}, "Warning", "Retry"},
    };
    struct Answer {
        const char* how;
        std::vector<DialogDriver::Step> steps;
        int result;
    };
    for (const Prompt& p : prompts) {
        SCOPED_TRACE(p.text);
        std::vector<Answer> answers;
        answers.push_back({"close box", {CloseThroughFrame()}, mrCancel});
        if (p.buttons.Contains(mbYes)) {
            answers.push_back({"Enter", {PostToFocus(WM_KEYDOWN, VK_RETURN)}, mrYes});
            answers.push_back({"Esc", {PostToFocus(WM_KEYDOWN, VK_ESCAPE)}, mrNo});
            answers.push_back({"Y", {PostToFocus(WM_CHAR, 'y')}, mrYes});
            answers.push_back({"Alt+N", {PostToFocus(WM_SYSCHAR, 'N')}, mrNo});
            answers.push_back({"N", {PostToFocus(WM_CHAR, 'n')}, mrNo});
        } else if (p.buttons.Contains(mbOK)) {
            answers.push_back({"Enter", {PostToFocus(WM_KEYDOWN, VK_RETURN)}, mrOk});
            answers.push_back({"Esc", {PostToFocus(WM_KEYDOWN, VK_ESCAPE)}, mrOk});
        } else {
            answers.push_back({"Enter", {PostToFocus(WM_KEYDOWN, VK_RETURN)}, mrRetry});
            answers.push_back({"R", {PostToFocus(WM_CHAR, 'r')}, mrRetry});
            answers.push_back({"Alt+I", {PostToFocus(WM_SYSCHAR, 'i')}, mrIgnore});
            answers.push_back({"I", {PostToFocus(WM_CHAR, 'I')}, mrIgnore});
            // No Cancel, No or OK: Esc does nothing, the frame still closes.
            answers.push_back(
                {"Esc, then the close box",
                 {PostToFocus(WM_KEYDOWN, VK_ESCAPE), StillOpenAfter(4), CloseThroughFrame()},
                 mrCancel});
        }
        for (Answer& a : answers) {
            SCOPED_TRACE(a.how);
            std::string caption;
            std::string focused;
            std::vector<DialogDriver::Step> steps;
            steps.push_back([&](HWND dialog) {
                caption = WindowText(dialog);
                focused = WindowText(GetFocus());
                EXPECT_EQ(GetParent(GetFocus()), dialog);
                return true;
            });
            steps.insert(steps.end(), a.steps.begin(), a.steps.end());
            DialogDriver driver(steps);
            Watchdog watchdog;
            EXPECT_EQ(ShowMessageDialog(p.text, p.kind, p.buttons, 0), a.result);
            EXPECT_TRUE(driver.Finished());
            EXPECT_EQ(caption, p.caption);
            // The focus starts on the first button, so Enter clicks it.
            EXPECT_EQ(focused, LoadResString(p.buttons.Contains(mbYes)  ? StrId::SMsgDlgYes
                                             : p.buttons.Contains(mbOK) ? StrId::SMsgDlgOK
                                                                        : StrId::SMsgDlgRetry));
            EXPECT_EQ(FindThreadWindow("TMessageForm"), nullptr);
        }
    }
}

// A message of many thousands of characters, or one word wider than
// the screen under a very long title: the dialog and its buttons stay on the
// screen, and a text that does not fit ends in an ellipsis.
TEST_F(MessageDialogTest, OversizedMessagesKeepTheDialogAndItsButtonsOnTheScreen)
{
    std::string words;
    while (words.size() < 30000)
        words += "Read the notes before you install the product. ";
    Application->SetTitle(std::string(200, 'T'));
    struct Case {
        const char* Name;
        std::string Text;
        MessageKind Kind;
        bool Cut;
    };
    const Case cases[] = {
        {"30,000 characters", words, MessageKind::Information, true},
        {"one word wider than the screen, long title", std::string(600, 'W'), MessageKind::Custom, false},
    };
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    auto inside = [&](const RECT& r) {
        return r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        FormPtr form(BuildMessageDialog(c.Text, c.Kind, MessageButtons{mbOK}));
        const std::string shown = dynamic_cast<TLabel*>(form->FindComponent("Message"))->Caption();
        if (c.Cut) {
            ASSERT_GT(shown.size(), 3u);
            EXPECT_EQ(shown.substr(shown.size() - 3), "...");
            EXPECT_EQ(c.Text.compare(0, shown.size() - 3, shown, 0, shown.size() - 3), 0);
        } else {
            EXPECT_EQ(shown, c.Text);
        }
        form.reset();

        RECT dialogRect{};
        RECT buttonRect{};
        DialogDriver driver({[&](HWND dialog) {
                                 GetWindowRect(dialog, &dialogRect);
                                 HWND ok = FindChildByText(dialog, "OK");
                                 EXPECT_NE(ok, nullptr);
                                 GetWindowRect(ok, &buttonRect);
                                 return true;
                             },
                             PostToFocus(WM_KEYDOWN, VK_RETURN)});
        Watchdog watchdog;
        EXPECT_EQ(ShowMessageDialog(c.Text, c.Kind, MessageButtons{mbOK}, 0), mrOk);
        EXPECT_TRUE(inside(dialogRect)) << dialogRect.left << "," << dialogRect.top << " " << dialogRect.right
                                        << "," << dialogRect.bottom;
        EXPECT_TRUE(inside(buttonRect)) << buttonRect.left << "," << buttonRect.top;
        EXPECT_GT(buttonRect.right - buttonRect.left, 0);
    }
}

TEST_F(MessageDialogTest, EmptyButtonSetClosesOnlyThroughTheFrame)
{
    DialogDriver driver({PostToFocus(WM_KEYDOWN, VK_RETURN), PostToFocus(WM_KEYDOWN, VK_ESCAPE), StillOpenAfter(4),
                         CloseThroughFrame()});
    Watchdog watchdog;
    EXPECT_EQ(ShowMessageDialog("Nothing to press", MessageKind::Error, MessageButtons{}, 0), mrCancel);
    EXPECT_TRUE(driver.Finished());
}

TEST_F(MessageDialogTest, HelpButtonNeverEndsTheDialog)
{
    DialogDriver driver({PostToFocus(WM_CHAR, 'h'), StillOpenAfter(4), PostToFocus(WM_KEYDOWN, VK_RETURN)});
    Watchdog watchdog;
    EXPECT_EQ(ShowMessageDialog("Need help?", MessageKind::Information, MessageButtons{mbOK, mbHelp}, 12), mrOk);
    EXPECT_TRUE(driver.Finished());
}

TEST_F(MessageDialogTest, PositionGivenForOneEdgeMovesOnlyThatEdge)
{
    struct Case {
        int x;
        int y;
    };
    for (const Case& c : {Case{-1, 100}, Case{5, -1}, Case{-1, -1}}) {
        SCOPED_TRACE(testing::Message() << "x " << c.x << ", y " << c.y);
        RECT shown{};
        DialogDriver driver({[&](HWND dialog) {
                                 GetWindowRect(dialog, &shown);
                                 return true;
                             },
                             PostToFocus(WM_KEYDOWN, VK_RETURN)});
        Watchdog watchdog;
        EXPECT_EQ(ShowMessageDialogAt("Where am I?", MessageKind::Information, MessageButtons{mbOK}, 0, c.x, c.y),
                  mrOk);
        const int width = shown.right - shown.left;
        const int height = shown.bottom - shown.top;
        const int centredLeft = GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2;
        const int centredTop = GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2;
        EXPECT_EQ(shown.left, c.x >= 0 ? c.x : centredLeft);
        EXPECT_EQ(shown.top, c.y >= 0 ? c.y : centredTop);
    }
}

TEST_F(MessageDialogTest, OtherFormsAreDisabledWhileTheDialogRuns)
{
    auto* form = new TForm(Application);
    form->SetBounds(10, 10, 200, 100);
    form->Show();
    bool enabledMeanwhile = true;
    DialogDriver driver({[&](HWND) {
                             enabledMeanwhile = IsWindowEnabled(form->Handle());
                             return true;
                         },
                         PostToFocus(WM_KEYDOWN, VK_RETURN)});
    Watchdog watchdog;
    EXPECT_EQ(ShowMessageDialog("Modal", MessageKind::Warning, MessageButtons{mbOK}, 0), mrOk);
    EXPECT_FALSE(enabledMeanwhile);
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
}

TEST_F(MessageDialogTest, DialogFormIsFreedOnEveryPath)
{
    const int forms = TScreen::Instance().FormCount();
    const int owned = Application->ComponentCount();
    {
        SCOPED_TRACE("answered");
        DialogDriver driver({PostToFocus(WM_KEYDOWN, VK_RETURN)});
        Watchdog watchdog;
        EXPECT_EQ(ShowMessageDialog("Once", MessageKind::Confirmation, MessageButtons{mbYes, mbNo}, 0), mrYes);
        EXPECT_EQ(TScreen::Instance().FormCount(), forms);
        EXPECT_EQ(Application->ComponentCount(), owned);
    }
    {
        SCOPED_TRACE("RunModal raises");
        // Without a reporter, a handler's exception leaves the modal loop.
        SetExceptionReporter(nullptr);
        RaisingCloseQuery raising;
        DialogDriver driver({[&](HWND) {
                                 for (int i = 0; i < TScreen::Instance().FormCount(); ++i)
                                     if (auto* dialog = dynamic_cast<TMessageForm*>(TScreen::Instance().Forms(i)))
                                         dialog->SetOnCloseQuery(
                                             TCloseQueryEvent::Of<&RaisingCloseQuery::Call>(&raising));
                                 return true;
                             },
                             PostToFocus(WM_KEYDOWN, VK_RETURN)});
        Watchdog watchdog;
        std::string error;
        try {
            ShowMessageDialog("Twice", MessageKind::Confirmation, MessageButtons{mbYes, mbNo}, 0);
        } catch (const std::runtime_error& e) {
            error = e.what();
        }
        EXPECT_EQ(error, "close query failed");
        EXPECT_TRUE(driver.Finished());
        EXPECT_EQ(TScreen::Instance().FormCount(), forms);
        EXPECT_EQ(Application->ComponentCount(), owned);
        EXPECT_EQ(FindThreadWindow("TMessageForm"), nullptr);
    }
}

TEST_F(MessageDialogTest, AfterTerminateADialogReturnsCancelWithoutWaiting)
{
    Application->Terminate();
    Watchdog watchdog;
    EXPECT_EQ(ShowMessageDialog("Too late", MessageKind::Warning, MessageButtons{mbOK}, 0), mrCancel);
    EXPECT_TRUE(Application->Terminated());
}

} // namespace
