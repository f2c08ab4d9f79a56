// The standard controls on real windows: buttons passing their result to the
// form before OnClick, the default button's frame following the focus, radio
// buttons excluding each other through clicks, list boxes with their
// selection styles and their selection read from the window, edit boxes,
// label sizing and drawing, group boxes painting their labels, and images.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/ListCtrls.h"
#include "framework/StdCtrls.h"
#include "runtime/Exceptions.h"
#include "tests/support/UiDriver.h"

namespace {

// Runs the thread's messages until none arrive for a few rounds; bounded, so
// a window that keeps posting fails the test instead of stalling it.
void Pump(int rounds = 200)
{
    int idle = 0;
    for (int i = 0; i < rounds && idle < 4; ++i) {
        MSG msg;
        bool any = false;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            any = true;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        idle = any ? 0 : idle + 1;
        Sleep(5);
    }
}

DWORD StyleOf(HWND window)
{
    return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
}

// A form on the screen that goes when the test ends.
class WindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_form = new TForm(nullptr);
        m_form->SetBounds(40, 40, 400, 300);
        m_form->SetColor(clWhite);
    }
    void TearDown() override
    {
        TComponent::Free(m_form);
        Pump(20);
    }
    void ShowForm()
    {
        m_form->HandleNeeded();
        m_form->Show();
        Pump();
        UpdateWindow(m_form->Handle());
    }
    // The colour of a pixel of the form's client area, read back from the
    // window after it has painted.
    COLORREF PixelOf(HWND window, int x, int y)
    {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump(20);
        ScopedDC dc(window);
        return GetPixel(dc.Get(), x, y) & 0xFFFFFF;
    }

    TForm* m_form = nullptr;
};

// Records what a click saw, in order.
class ClickRecorder : public TObject {
public:
    explicit ClickRecorder(TForm* form) : m_form(form) {}
    void Clicked(TObject* sender)
    {
        ModalResultsSeen.push_back(m_form->ModalResult());
        Senders.push_back(sender);
    }
    TNotifyEvent Event() { return TNotifyEvent::Of<&ClickRecorder::Clicked>(this); }

    std::vector<int32_t> ModalResultsSeen;
    std::vector<TObject*> Senders;

private:
    TForm* m_form;
};

// A bitmap file of one colour, 24 bits a pixel, bottom-up.
std::vector<uint8_t> SolidBitmapFile(int width, int height, COLORREF color)
{
    const int stride = (width * 3 + 3) & ~3;
    const int imageSize = stride * height;
    std::vector<uint8_t> file(14 + 40 + static_cast<size_t>(imageSize), 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    file[26] = 1;
    file[28] = 24;
    put32(34, static_cast<uint32_t>(imageSize));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t at = 54 + static_cast<size_t>(y * stride + x * 3);
            file[at] = GetBValue(color);
            file[at + 1] = GetGValue(color);
            file[at + 2] = GetRValue(color);
        }
    return file;
}

// Counts a control's clicks and double-clicks.
class ClickCounter : public TObject {
public:
    void Clicked(TObject*) { ++Clicks; }
    void DoubleClicked(TObject*) { ++DoubleClicks; }
    int Clicks = 0;
    int DoubleClicks = 0;
};

// Upper-cases "a" and swallows "x" as they are typed.
class KeyFilter : public TObject {
public:
    void KeyPressed(TObject*, char& key)
    {
        Seen.push_back(key);
        if (key == 'a')
            key = 'A';
        else if (key == 'x')
            key = '\0';
    }
    std::string Seen;
};

// The size DrawText gives a text in a font on the screen.
SIZE MeasuredText(TFont* font, const char* text)
{
    ScopedDC screen;
    ScopedSelect selected(screen.Get(), font->Handle());
    RECT r{0, 0, 0, 0};
    DrawTextA(screen.Get(), text, -1, &r, DT_CALCRECT | DT_EXPANDTABS);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// ---------------------------------------------------------------------------
// Buttons

TEST_F(WindowTest, ButtonClickGivesTheFormItsModalResultBeforeOnClick)
{
    auto* ok = new TButton(m_form);
    ok->SetParent(m_form);
    ok->SetModalResult(1);
    auto* plain = new TButton(m_form);
    plain->SetParent(m_form);
    plain->SetLeft(100);
    ClickRecorder recorder(m_form);
    ok->SetOnClick(recorder.Event());
    plain->SetOnClick(recorder.Event());
    ShowForm();

    m_form->SetModalResult(7);
    SendMessageA(ok->Handle(), BM_CLICK, 0, 0);
    Pump();
    // A button without a result still writes its 0.
    SendMessageA(plain->Handle(), BM_CLICK, 0, 0);
    Pump();

    ASSERT_EQ(recorder.ModalResultsSeen.size(), 2u);
    EXPECT_EQ(recorder.ModalResultsSeen[0], 1);
    EXPECT_EQ(recorder.ModalResultsSeen[1], 0);
    EXPECT_EQ(recorder.Senders[0], ok);
    EXPECT_EQ(recorder.Senders[1], plain);
    EXPECT_EQ(m_form->ModalResult(), 0);
}

TEST_F(WindowTest, ButtonIsAPlatformPushButton)
{
    // The edit box comes first in tab order and takes the focus, so the
    // button, not being the default one, has the plain frame.
    auto* edit = new TEdit(m_form);
    edit->SetParent(m_form);
    auto* button = new TButton(m_form);
    button->SetParent(m_form);
    button->SetTop(50);
    button->SetCaption("&Next");
    ShowForm();
    edit->SetFocus();
    Pump();

    char className[32] = {};
    GetClassNameA(button->Handle(), className, sizeof className);
    EXPECT_STREQ(className, "TButton");
    EXPECT_EQ(StyleOf(button->Handle()) & 0x0F, static_cast<DWORD>(BS_PUSHBUTTON));
    EXPECT_TRUE(StyleOf(button->Handle()) & WS_TABSTOP);
    EXPECT_EQ(button->Caption(), "&Next");
}

TEST_F(WindowTest, DefaultFrameFollowsTheFocusedButton)
{
    auto* edit = new TEdit(m_form);
    edit->SetParent(m_form);
    auto* ok = new TButton(m_form);
    ok->SetParent(m_form);
    ok->SetTop(50);
    ok->SetDefault(true);
    auto* cancel = new TButton(m_form);
    cancel->SetParent(m_form);
    cancel->SetTop(100);
    ShowForm();

    EXPECT_EQ(StyleOf(ok->Handle()) & 0x0F, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    EXPECT_EQ(StyleOf(cancel->Handle()) & 0x0F, static_cast<DWORD>(BS_PUSHBUTTON));

    cancel->SetFocus();
    Pump();
    ASSERT_TRUE(cancel->Focused());
    EXPECT_EQ(StyleOf(ok->Handle()) & 0x0F, static_cast<DWORD>(BS_PUSHBUTTON));
    EXPECT_EQ(StyleOf(cancel->Handle()) & 0x0F, static_cast<DWORD>(BS_DEFPUSHBUTTON));

    edit->SetFocus();
    Pump();
    ASSERT_TRUE(edit->Focused());
    EXPECT_EQ(StyleOf(ok->Handle()) & 0x0F, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    EXPECT_EQ(StyleOf(cancel->Handle()) & 0x0F, static_cast<DWORD>(BS_PUSHBUTTON));
}

// ---------------------------------------------------------------------------
// Radio buttons

TEST_F(WindowTest, ClickingARadioButtonChecksItAndUnchecksItsSiblings)
{
    auto* first = new TRadioButton(m_form);
    first->SetParent(m_form);
    first->SetChecked(true);
    auto* second = new TRadioButton(m_form);
    second->SetParent(m_form);
    second->SetTop(30);
    ClickRecorder recorder(m_form);
    second->SetOnClick(recorder.Event());
    ShowForm();

    EXPECT_EQ(SendMessageA(first->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(second->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    SendMessageA(second->Handle(), BM_CLICK, 0, 0);
    Pump();

    EXPECT_TRUE(second->Checked());
    EXPECT_FALSE(first->Checked());
    EXPECT_TRUE(second->TabStop());
    EXPECT_FALSE(first->TabStop());
    EXPECT_EQ(SendMessageA(second->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(first->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(recorder.Senders.size(), 1u);

    // Writing Checked reaches the windows as well.
    first->SetChecked(true);
    EXPECT_EQ(SendMessageA(first->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(second->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(WindowTest, RadioButtonStyleFollowsItsAlignment)
{
    auto* right = new TRadioButton(m_form);
    right->SetParent(m_form);
    auto* left = new TRadioButton(m_form);
    left->SetParent(m_form);
    left->SetTop(30);
    left->SetAlignment(TLeftRight::taLeftJustify);
    ShowForm();

    // The plain kind: the platform does not check it by itself.
    EXPECT_EQ(StyleOf(right->Handle()) & 0x0F, static_cast<DWORD>(BS_RADIOBUTTON));
    EXPECT_FALSE(StyleOf(right->Handle()) & BS_LEFTTEXT);
    EXPECT_TRUE(StyleOf(left->Handle()) & BS_LEFTTEXT);
}

// ---------------------------------------------------------------------------
// List boxes

TEST_F(WindowTest, ListBoxSelectionStyleFollowsItsProperties)
{
    auto* extended = new TListBox(m_form);
    extended->SetParent(m_form);
    extended->SetMultiSelect(true);
    auto* multiple = new TListBox(m_form);
    multiple->SetParent(m_form);
    multiple->SetLeft(130);
    multiple->SetMultiSelect(true);
    multiple->SetExtendedSelect(false);
    auto* single = new TListBox(m_form);
    single->SetParent(m_form);
    single->SetLeft(260);
    ShowForm();

    const DWORD base = LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
    EXPECT_EQ(StyleOf(extended->Handle()) & base, base);
    EXPECT_TRUE(StyleOf(extended->Handle()) & LBS_EXTENDEDSEL);
    EXPECT_FALSE(StyleOf(extended->Handle()) & LBS_MULTIPLESEL);
    EXPECT_TRUE(StyleOf(multiple->Handle()) & LBS_MULTIPLESEL);
    EXPECT_FALSE(StyleOf(multiple->Handle()) & LBS_EXTENDEDSEL);
    EXPECT_FALSE(StyleOf(single->Handle()) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
    EXPECT_FALSE(StyleOf(single->Handle()) & LBS_SORT);
    EXPECT_TRUE(GetWindowLongA(single->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

    // The platform shows the vertical scroll bar it was given only once the
    // lines overflow the box.
    EXPECT_FALSE(StyleOf(single->Handle()) & WS_VSCROLL);
    for (int i = 0; i < 30; ++i)
        single->Items()->Add("line " + std::to_string(i));
    Pump();
    EXPECT_TRUE(StyleOf(single->Handle()) & WS_VSCROLL);
}

TEST_F(WindowTest, ListBoxLinesMoveIntoTheWindowAndLiveThere)
{
    auto* list = new TListBox(m_form);
    list->SetParent(m_form);
    list->Items()->Add("one");
    list->Items()->AddObject("two", list);
    ShowForm();

    HWND window = list->Handle();
    EXPECT_EQ(SendMessageA(window, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(window, LB_GETITEMDATA, 1, 0), reinterpret_cast<LRESULT>(list));
    list->Items()->Add("three");
    EXPECT_EQ(SendMessageA(window, LB_GETCOUNT, 0, 0), 3);
    SendMessageA(window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("four"));
    EXPECT_EQ(list->Items()->Count(), 4);
    EXPECT_EQ(list->Items()->Get(3), "four");
    EXPECT_EQ(list->Items()->Objects(1), list);
    list->Items()->Delete(0);
    EXPECT_EQ(list->Items()->Get(0), "two");
    EXPECT_THROW(list->Items()->Get(10), Exception);

    // A new window gets the lines, their objects and the selection.
    list->SetItemIndex(1);
    list->RecreateWnd();
    ASSERT_TRUE(list->HandleAllocated());
    window = list->Handle();
    EXPECT_EQ(SendMessageA(window, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(list->Items()->Objects(0), list);
    EXPECT_EQ(list->ItemIndex(), 1);
    list->Items()->Clear();
    EXPECT_EQ(SendMessageA(window, LB_GETCOUNT, 0, 0), 0);
}

TEST_F(WindowTest, ListBoxClicksAndDoubleClicksReachTheirEvents)
{
    auto* list = new TListBox(m_form);
    list->SetParent(m_form);
    for (const char* line : {"one", "two", "three"})
        list->Items()->Add(line);
    ClickCounter counter;
    list->SetOnClick(TNotifyEvent::Of<&ClickCounter::Clicked>(&counter));
    list->SetOnDblClick(TNotifyEvent::Of<&ClickCounter::DoubleClicked>(&counter));
    ShowForm();
    // The first press selects "two": a click; the double-click press that
    // follows changes nothing more but is a double-click.
    ASSERT_TRUE(DoubleClickItem(list->Handle(), 1));
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(counter.Clicks, 1);
    EXPECT_EQ(counter.DoubleClicks, 1);
    // Selecting from the program is no click.
    list->SetItemIndex(2);
    EXPECT_EQ(counter.Clicks, 1);
}

TEST_F(WindowTest, KeyPressCanChangeOrSwallowACharacter)
{
    auto* edit = new TEdit(m_form);
    edit->SetParent(m_form);
    KeyFilter filter;
    edit->SetOnKeyPress(TKeyPressEvent::Of<&KeyFilter::KeyPressed>(&filter));
    ShowForm();
    for (const char c : std::string("axb"))
        SendMessageA(edit->Handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
    EXPECT_EQ(filter.Seen, "axb");
    EXPECT_EQ(edit->Text(), "Ab");
}

TEST_F(WindowTest, ComboBoxLinesAndSelectionLiveInItsWindowAndOutliveIt)
{
    auto* combo = new TCustomComboBox(m_form);
    combo->SetParent(m_form);
    combo->SetStyle(csDropDownList);
    combo->Items()->Add("one");
    combo->Items()->AddObject("two", combo);
    combo->SetItemIndex(1);
    ShowForm();

    HWND window = combo->Handle();
    EXPECT_EQ(StyleOf(window) & 3, static_cast<DWORD>(CBS_DROPDOWNLIST));
    EXPECT_TRUE(StyleOf(window) & CBS_HASSTRINGS);
    EXPECT_EQ(SendMessageA(window, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(window, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageA(window, CB_GETITEMDATA, 1, 0), reinterpret_cast<LRESULT>(combo));
    combo->Items()->Add("three");
    EXPECT_EQ(SendMessageA(window, CB_GETCOUNT, 0, 0), 3);
    combo->SetItemIndex(2);
    EXPECT_EQ(SendMessageA(window, CB_GETCURSEL, 0, 0), 2);

    // A new window gets the lines, their objects and the selection.
    combo->RecreateWnd();
    ASSERT_TRUE(combo->HandleAllocated());
    EXPECT_NE(combo->Handle(), window);
    EXPECT_EQ(combo->Items()->Count(), 3);
    EXPECT_EQ(combo->Items()->Get(2), "three");
    EXPECT_EQ(combo->Items()->Objects(1), combo);
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_THROW(combo->Items()->Get(5), Exception);
}

TEST_F(WindowTest, ComboBoxSelectionChangedByTheKeyboardIsAClick)
{
    auto* combo = new TCustomComboBox(m_form);
    combo->SetParent(m_form);
    combo->SetStyle(csDropDownList);
    for (const char* line : {"one", "two", "three"})
        combo->Items()->Add(line);
    combo->SetItemIndex(0);
    ClickCounter counter;
    combo->SetOnClick(TNotifyEvent::Of<&ClickCounter::Clicked>(&counter));
    ShowForm();
    combo->SetFocus();
    SendMessageA(combo->Handle(), WM_KEYDOWN, VK_DOWN, 1);
    SendMessageA(combo->Handle(), WM_KEYUP, VK_DOWN, 0xC0000001);
    Pump(20);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(counter.Clicks, 1);
    combo->SetItemIndex(2);
    EXPECT_EQ(counter.Clicks, 1);
}

TEST_F(WindowTest, ControlClickSelectsSeveralLinesOfAnExtendedList)
{
    auto* list = new TListBox(m_form);
    list->SetParent(m_form);
    list->SetMultiSelect(true);
    for (const char* line : {"alpha", "beta", "gamma", "delta", "epsilon"})
        list->Items()->Add(line);
    ShowForm();
    HWND window = list->Handle();

    auto clickLine = [&](int index, WPARAM keys) {
        RECT r{};
        SendMessageA(window, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
        SendMessageA(window, WM_LBUTTONUP, keys, at);
        Pump();
    };
    clickLine(0, 0);
    clickLine(2, MK_CONTROL);
    clickLine(4, MK_CONTROL);

    EXPECT_EQ(list->SelCount(), 3);
    EXPECT_TRUE(list->Selected(0));
    EXPECT_FALSE(list->Selected(1));
    EXPECT_TRUE(list->Selected(2));
    EXPECT_TRUE(list->Selected(4));

    // A plain click selects one line only.
    clickLine(3, 0);
    EXPECT_EQ(list->SelCount(), 1);
    EXPECT_TRUE(list->Selected(3));
}

TEST_F(WindowTest, ListSelectionIsSetAndReadThroughTheWindow)
{
    auto* list = new TListBox(m_form);
    list->SetParent(m_form);
    list->SetMultiSelect(true);
    for (const char* line : {"a", "b", "c", "d"})
        list->Items()->Add(line);
    ShowForm();

    list->SetSelected(1, true);
    list->SetSelected(3, true);
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETSELCOUNT, 0, 0), 2);
    EXPECT_EQ(list->SelCount(), 2);

    try {
        (void)list->Selected(99);
        ADD_FAILURE() << "no exception";
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds");
    }
    EXPECT_THROW(list->SetSelected(-5, true), EListError);

    // Deleting a line keeps the others' selection; those below move up.
    list->Items()->Delete(0);
    EXPECT_EQ(list->Items()->Count(), 3);
    EXPECT_TRUE(list->Selected(0));
    EXPECT_FALSE(list->Selected(1));
    EXPECT_TRUE(list->Selected(2));
    EXPECT_EQ(list->SelCount(), 2);

    list->SetSelected(0, false);
    EXPECT_EQ(list->SelCount(), 1);
}

TEST_F(WindowTest, SingleSelectionListSelectsOneLine)
{
    auto* list = new TListBox(m_form);
    list->SetParent(m_form);
    for (const char* line : {"a", "b", "c"})
        list->Items()->Add(line);
    ShowForm();

    list->SetSelected(1, true);
    EXPECT_EQ(list->ItemIndex(), 1);
    list->SetSelected(2, true);
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_FALSE(list->Selected(1));
    EXPECT_EQ(list->SelCount(), 1);
    EXPECT_THROW(list->SetSelected(3, true), EListError);
    EXPECT_THROW((void)list->Selected(3), EListError);
}

// ---------------------------------------------------------------------------
// Edit boxes

TEST_F(WindowTest, EditBoxReadsItsWindowAndReportsChanges)
{
    auto* edit = new TEdit(m_form);
    edit->SetParent(m_form);
    edit->SetText("C:\\APP");
    edit->SetMaxLength(10);
    edit->SetCharCase(ecUpperCase);
    ClickRecorder recorder(m_form);
    edit->SetOnChange(recorder.Event());
    ShowForm();

    HWND window = edit->Handle();
    char text[32] = {};
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ(text, "C:\\APP");
    EXPECT_TRUE(StyleOf(window) & ES_AUTOHSCROLL);
    EXPECT_TRUE(StyleOf(window) & ES_UPPERCASE);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(SendMessageA(window, EM_GETLIMITTEXT, 0, 0), 10);

    SetWindowTextA(window, "D:\\OTHER");
    Pump();
    EXPECT_EQ(edit->Text(), "D:\\OTHER");
    EXPECT_GE(recorder.Senders.size(), 1u);
    EXPECT_EQ(recorder.Senders.back(), edit);

    edit->SetReadOnly(true);
    EXPECT_TRUE(StyleOf(window) & ES_READONLY);
    edit->SetPasswordChar('*');
    EXPECT_EQ(SendMessageA(window, EM_GETPASSWORDCHAR, 0, 0), '*');
}

// ---------------------------------------------------------------------------
// Labels

TEST_F(WindowTest, EmptyAutoSizedLabelTakesOneBlank)
{
    auto* label = new TLabel(m_form);
    label->SetParent(m_form);
    label->SetBounds(10, 10, 100, 40);
    label->SetCaption("x");
    label->SetCaption("");

    const SIZE blank = MeasuredText(label->Font(), " ");
    EXPECT_EQ(label->Width(), blank.cx);
    EXPECT_EQ(label->Height(), blank.cy);
    EXPECT_GT(label->Height(), 5);

    label->SetCaption("Copying files");
    const SIZE grown = MeasuredText(label->Font(), "Copying files");
    EXPECT_EQ(label->Width(), grown.cx);
    EXPECT_EQ(label->Height(), grown.cy);
    EXPECT_GT(label->Width(), blank.cx);
    EXPECT_EQ(label->Left(), 10);

    // A lone "&" is an accelerator mark with nothing to underline.
    label->SetCaption("&");
    EXPECT_EQ(label->Width(), blank.cx);
    label->SetShowAccelChar(false);
    EXPECT_EQ(label->Width(), MeasuredText(label->Font(), "&").cx);
}

TEST_F(WindowTest, RightJustifiedLabelKeepsItsRightEdge)
{
    auto* label = new TLabel(m_form);
    label->SetParent(m_form);
    label->SetAlignment(taRightJustify);
    label->SetCaption("12 KB");
    label->SetLeft(300);
    const int32_t right = label->Left() + label->Width();

    label->SetCaption("123456789 KB free on the disk");
    EXPECT_EQ(label->Left() + label->Width(), right);
    EXPECT_LT(label->Left(), 300);
    EXPECT_EQ(label->Width(), MeasuredText(label->Font(), "123456789 KB free on the disk").cx);
}

TEST_F(WindowTest, LabelIsNotSizedWhileItIsReadButOnceAfterwards)
{
    auto* label = new TLabel(m_form);
    label->SetParent(m_form);
    label->SetLoading(true);
    label->SetBounds(8, 8, 65, 17);
    label->SetCaption("A caption longer than sixty-five pixels");
    EXPECT_EQ(label->Width(), 65);

    label->Loaded();
    EXPECT_EQ(label->Width(), MeasuredText(label->Font(), "A caption longer than sixty-five pixels").cx);
}

TEST_F(WindowTest, LabelPaintsItsColourAndItsText)
{
    auto* label = new TLabel(m_form);
    label->SetParent(m_form);
    label->SetAutoSize(false);
    label->SetBounds(20, 20, 120, 30);
    label->SetColor(clBlack);
    label->Font()->SetColor(clWhite);
    label->SetCaption("MMMMMMMM");
    ShowForm();
    HWND window = m_form->Handle();

    EXPECT_EQ(PixelOf(window, 10, 10), RGB(255, 255, 255));    // the form
    EXPECT_EQ(PixelOf(window, 135, 45), RGB(0, 0, 0));         // the label's own colour
    // Somewhere in the text's first line the font colour shows.
    int white = 0;
    {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        Pump(20);
        ScopedDC dc(window);
        for (int y = 20; y < 34; ++y)
            for (int x = 20; x < 80; ++x)
                white += (GetPixel(dc.Get(), x, y) & 0xFFFFFF) == RGB(255, 255, 255);
    }
    EXPECT_GT(white, 10);

    // A transparent label leaves the form's colour behind its text.
    label->SetTransparent(true);
    EXPECT_EQ(PixelOf(window, 135, 45), RGB(255, 255, 255));
}

TEST_F(WindowTest, DisabledLabelDrawsInGreyText)
{
    auto* label = new TLabel(m_form);
    label->SetParent(m_form);
    label->SetAutoSize(false);
    label->SetBounds(20, 20, 200, 30);
    label->Font()->SetHeight(-24);
    label->SetCaption("MMMMMMMM");
    label->SetEnabled(false);
    ShowForm();
    HWND window = m_form->Handle();

    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Pump(20);
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT) & 0xFFFFFF;
    int greyPixels = 0;
    int blackPixels = 0;
    ScopedDC dc(window);
    for (int y = 20; y < 50; ++y)
        for (int x = 20; x < 220; ++x) {
            const COLORREF c = GetPixel(dc.Get(), x, y) & 0xFFFFFF;
            greyPixels += c == grey;
            blackPixels += c == RGB(0, 0, 0);
        }
    EXPECT_GT(greyPixels, 10);
    EXPECT_EQ(blackPixels, 0);
}

// ---------------------------------------------------------------------------
// Group boxes

TEST_F(WindowTest, GroupBoxPaintsItsFrameAndItsLabels)
{
    auto* group = new TGroupBox(m_form);
    group->SetParent(m_form);
    group->SetBounds(10, 10, 200, 120);
    group->SetCaption("Destination");
    auto* label = new TLabel(m_form);
    label->SetParent(group);
    label->SetAutoSize(false);
    label->SetBounds(20, 40, 40, 20);
    label->SetColor(clRed);
    ShowForm();

    char className[32] = {};
    GetClassNameA(group->Handle(), className, sizeof className);
    EXPECT_STREQ(className, "TGroupBox");
    EXPECT_EQ(GetParent(group->Handle()), m_form->Handle());
    // The label is drawn by the group box's window, in the box's coordinates.
    EXPECT_EQ(PixelOf(group->Handle(), 30, 50), RGB(255, 0, 0));
    // Inside the frame the box's colour (its parent's, white) shows.
    EXPECT_EQ(PixelOf(group->Handle(), 100, 100), RGB(255, 255, 255));
    // The etched frame's outer line is the shadow colour.
    EXPECT_EQ(PixelOf(group->Handle(), 0, 60), GetSysColor(COLOR_BTNSHADOW) & 0xFFFFFF);
}

// ---------------------------------------------------------------------------
// Images

TEST_F(WindowTest, ImageTakesItsBitmapSizeAndIsOpaqueOnlyWhenCovered)
{
    auto* image = new TImage(m_form);
    image->SetParent(m_form);
    image->SetBounds(50, 60, 105, 105);
    image->SetAutoSize(true);
    EXPECT_FALSE(image->ControlStyle().Contains(csOpaque));

    TPicture picture;
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromFileData(SolidBitmapFile(30, 20, RGB(0, 0, 255)));
    picture.SetGraphic(std::move(bitmap));
    image->SetPicture(&picture);

    EXPECT_EQ(image->Left(), 50);
    EXPECT_EQ(image->Top(), 60);
    EXPECT_EQ(image->Width(), 30);
    EXPECT_EQ(image->Height(), 20);
    EXPECT_TRUE(image->ControlStyle().Contains(csOpaque));

    ShowForm();
    HWND window = m_form->Handle();
    EXPECT_EQ(PixelOf(window, 51, 61), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(window, 79, 79), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(window, 81, 81), RGB(255, 255, 255));

    // Larger than its bitmap, the image no longer covers what is behind it.
    image->SetAutoSize(false);
    image->SetBounds(50, 60, 100, 100);
    EXPECT_FALSE(image->ControlStyle().Contains(csOpaque));

    // Centred, the bitmap sits in the middle and the rest is the form.
    image->SetCenter(true);
    EXPECT_EQ(PixelOf(window, 100, 110), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(window, 52, 62), RGB(255, 255, 255));

    // Stretched, it fills the image.
    image->SetStretch(true);
    EXPECT_EQ(PixelOf(window, 52, 62), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(window, 148, 158), RGB(0, 0, 255));
}

} // namespace

TEST_F(WindowTest, ControlsJoiningAShownFormGetTheirWindows)
{
    ShowForm();
    auto* button = new TButton(m_form);
    button->SetBounds(10, 10, 75, 25);
    button->SetCaption("Late");
    EXPECT_FALSE(button->HandleAllocated());
    button->SetParent(m_form);
    ASSERT_TRUE(button->HandleAllocated()) << "a control added to a shown form has no window";
    EXPECT_EQ(GetParent(button->Handle()), m_form->Handle());
    EXPECT_TRUE(IsWindowVisible(button->Handle()));

    // Moving it into a group box moves its window there too.
    auto* box = new TGroupBox(m_form);
    box->SetBounds(100, 10, 200, 150);
    box->SetParent(m_form);
    ASSERT_TRUE(box->HandleAllocated());
    HWND window = button->Handle();
    button->SetParent(box);
    EXPECT_EQ(button->Handle(), window);
    EXPECT_EQ(GetParent(window), box->Handle());

    // Without a parent it has no window to live in.
    button->SetParent(nullptr);
    EXPECT_FALSE(button->HandleAllocated());
    EXPECT_FALSE(IsWindow(window));
}
