#include "framework/StdCtrls.h"

#include <windowsx.h>

#include <algorithm>
#include <functional>

#include "framework/Forms.h"
#include "framework/GdiHandles.h"

template <>
const TEnumTypeInfo& EnumTypeOf<TAlignment>()
{
    static const TEnumTypeInfo info{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TLeftRight>()
{
    static const TEnumTypeInfo info{"TLeftRight", {"taLeftJustify", "taRightJustify"}};
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TEditCharCase>()
{
    static const TEnumTypeInfo info{"TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"}};
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TListBoxStyle>()
{
    static const TEnumTypeInfo info{"TListBoxStyle", {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable"}};
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TComboBoxStyle>()
{
    static const TEnumTypeInfo info{"TComboBoxStyle",
                                    {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"}};
    return info;
}

// ---------------------------------------------------------------------------
// TCustomListBox

const TClassInfo& TCustomListBox::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TCustomListBox, TWinControl>("TCustomListBox").Build();
    return info;
}

namespace {

// The messages of the platform's list box or combo box that a list of lines
// kept in its window is read and written with.
struct TListWindowMessages {
    UINT GetCount, GetTextLen, GetText, GetItemData, SetItemData, AddString, InsertString, DeleteString,
        ResetContent;
};

constexpr TListWindowMessages ListBoxMessages{LB_GETCOUNT,     LB_GETTEXTLEN,   LB_GETTEXT,
                                              LB_GETITEMDATA,  LB_SETITEMDATA,  LB_ADDSTRING,
                                              LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT};
constexpr TListWindowMessages ComboBoxMessages{CB_GETCOUNT,    CB_GETLBTEXTLEN,  CB_GETLBTEXT,
                                               CB_GETITEMDATA, CB_SETITEMDATA,   CB_ADDSTRING,
                                               CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT};
// LB_ERR and CB_ERR, LB_ERRSPACE and CB_ERRSPACE are the same values.
static_assert(LB_ERR == CB_ERR && LB_ERRSPACE == CB_ERRSPACE);

// The lines of a list box or combo box: in its window once there is one,
// otherwise in the control's memory copy.
class TWindowStrings : public TStrings {
public:
    TWindowStrings(TWinControl& control, TStringList& saved, const TListWindowMessages& messages)
        : m_control(control), m_saved(saved), m_msg(messages)
    {
    }

    int Count() const override
    {
        if (!Window())
            return m_saved.Count();
        return static_cast<int>(SendMessageA(Window(), m_msg.GetCount, 0, 0));
    }

    std::string Get(int index) const override
    {
        if (!Window())
            return m_saved.Get(index);
        const LRESULT length = SendMessageA(Window(), m_msg.GetTextLen, static_cast<WPARAM>(index), 0);
        if (length == LB_ERR)
            IndexError();
        std::string text(static_cast<size_t>(length) + 1, '\0');
        const LRESULT copied =
            SendMessageA(Window(), m_msg.GetText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
        return text;
    }

    TObject* Objects(int index) const override
    {
        if (!Window())
            return m_saved.Objects(index);
        const LRESULT data = SendMessageA(Window(), m_msg.GetItemData, static_cast<WPARAM>(index), 0);
        if (data == LB_ERR)
            IndexError();
        return reinterpret_cast<TObject*>(data);
    }

    void SetObject(int index, TObject* object) override
    {
        if (!Window()) {
            m_saved.SetObject(index, object);
            return;
        }
        if (SendMessageA(Window(), m_msg.SetItemData, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(object)) ==
            LB_ERR)
            IndexError();
    }

    // A sorted list box puts an added line where it belongs; the index
    // returned is that place.
    int Add(const std::string& text) override
    {
        if (!Window())
            return m_saved.Add(text);
        const LRESULT index = SendMessageA(Window(), m_msg.AddString, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (index < 0)
            throw EListError(std::string("Unable to insert a line"));
        Changed();
        return static_cast<int>(index);
    }

    void Insert(int index, const std::string& text) override
    {
        if (!Window()) {
            m_saved.Insert(index, text);
            return;
        }
        if (index < 0 || index > Count())
            IndexError();
        if (SendMessageA(Window(), m_msg.InsertString, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(text.c_str())) < 0)
            throw EListError(std::string("Unable to insert a line"));
        Changed();
    }

    void Delete(int index) override
    {
        if (!Window()) {
            m_saved.Delete(index);
            return;
        }
        if (SendMessageA(Window(), m_msg.DeleteString, static_cast<WPARAM>(index), 0) == LB_ERR)
            IndexError();
        Changed();
    }

    void Clear() override
    {
        if (!Window()) {
            m_saved.Clear();
            return;
        }
        SendMessageA(Window(), m_msg.ResetContent, 0, 0);
        Changed();
    }

protected:
    // NOTE: while a list is being changed line by line the window is not
    // redrawn: the platform's list box otherwise updates its scroll bar on
    // the screen for every line added or removed, which made thousands of
    // lines take seconds. The whole list is drawn once at the end.
    void SetUpdateState(bool updating) override
    {
        if (!Window())
            return;
        SendMessageA(Window(), WM_SETREDRAW, updating ? FALSE : TRUE, 0);
        if (!updating)
            InvalidateRect(Window(), nullptr, TRUE);
    }

private:
    HWND Window() const { return m_control.HandleAllocated() ? m_control.Handle() : nullptr; }

    TWinControl& m_control;
    TStringList& m_saved;
    const TListWindowMessages& m_msg;
};

// Moves the lines kept in memory into a new window.
void RestoreLines(HWND window, TStringList& saved, const TListWindowMessages& msg)
{
    for (int i = 0; i < saved.Count(); ++i) {
        const LRESULT index = SendMessageA(window, msg.AddString, 0, reinterpret_cast<LPARAM>(saved.Get(i).c_str()));
        if (index >= 0)
            SendMessageA(window, msg.SetItemData, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(saved.Objects(i)));
    }
    saved.Clear();
}

// Keeps the lines of a window that is going, for a window made again later.
void SaveLines(const TStrings& items, TStringList& saved)
{
    saved.Clear();
    const int count = items.Count();
    for (int i = 0; i < count; ++i)
        saved.AddObject(items.Get(i), items.Objects(i));
}

// The owner-draw dispatch of list and combo boxes: prepares the canvas (the
// control's font, its Color or the highlight colours for a selected item),
// lets draw paint the item, then adds the focus rectangle of a focused item.
void DispatchDrawItem(TWinControl& control, const DRAWITEMSTRUCT& item,
                      const std::function<void(int, const RECT&, TOwnerDrawState, TItemCanvas&)>& draw)
{
    TOwnerDrawState state;
    if (item.itemState & ODS_SELECTED)
        state.Include(odSelected);
    if (item.itemState & ODS_GRAYED)
        state.Include(odGrayed);
    if (item.itemState & ODS_DISABLED)
        state.Include(odDisabled);
    if (item.itemState & ODS_CHECKED)
        state.Include(odChecked);
    if (item.itemState & ODS_FOCUS)
        state.Include(odFocused);
    const bool selected = state.Contains(odSelected);
    const COLORREF brushColor = ColorToRGB(selected ? clHighlight : control.Color());
    Brush brush(CreateSolidBrush(brushColor));
    ScopedSaveDC saved(item.hDC);
    SelectObject(item.hDC, control.Font()->Handle());
    SelectObject(item.hDC, brush.Get());
    SetTextColor(item.hDC, ColorToRGB(selected ? clHighlightText : control.Font()->Color()));
    SetBkColor(item.hDC, brushColor);
    TItemCanvas canvas{item.hDC, brush.Get()};
    if (static_cast<int>(item.itemID) >= 0) {
        draw(static_cast<int>(item.itemID), item.rcItem, state, canvas);
    } else {
        // An empty list or combo box still shows the focus.
        FillRect(item.hDC, &item.rcItem, brush.Get());
    }
    if (state.Contains(odFocused))
        DrawFocusRect(item.hDC, &item.rcItem);
}

// The default drawing of an owner-drawn item: its text on the brush.
void DrawItemText(const TStrings& items, int index, const RECT& rect, TItemCanvas& canvas)
{
    FillRect(canvas.DC, &rect, canvas.Brush);
    const std::string text = index < items.Count() ? items.Get(index) : std::string();
    TextOutA(canvas.DC, rect.left + 2, rect.top, text.c_str(), static_cast<int>(text.size()));
}

} // namespace


TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner), m_items(std::make_unique<TWindowStrings>(*this, m_saved, ListBoxMessages))
{
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

// The window goes while this object is still whole, so that its last
// messages (and the saving of its lines) reach this class.
TCustomListBox::~TCustomListBox()
{
    DestroyHandle();
}

void TCustomListBox::SetItems(TStrings* value)
{
    if (value)
        m_items->Assign(*value);
}

void TCustomListBox::SetItemHeight(int32_t value)
{
    if (value <= 0)
        return;
    m_itemHeight = value;
    if (HandleAllocated() && m_style == lbOwnerDrawFixed) {
        Perform(LB_SETITEMHEIGHT, 0, value);
        Invalidate();
    }
}

void TCustomListBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClass = "LISTBOX";
    params.Style |= LBS_NOTIFY | LBS_HASSTRINGS | WS_VSCROLL | WS_HSCROLL;
    if (m_borderStyle == TBorderStyle::bsSingle) {
        // The three-dimensional look of version 4 and later sinks the list
        // into its client edge in place of the flat border.
        if (Ctl3D() && LOBYTE(LOWORD(GetVersion())) >= 4)
            params.ExStyle |= WS_EX_CLIENTEDGE;
        else
            params.Style |= WS_BORDER;
    }
    if (m_sorted)
        params.Style |= LBS_SORT;
    if (m_style == lbOwnerDrawFixed)
        params.Style |= LBS_OWNERDRAWFIXED;
    else if (m_style == lbOwnerDrawVariable)
        params.Style |= LBS_OWNERDRAWVARIABLE;
    if (!m_integralHeight)
        params.Style |= LBS_NOINTEGRALHEIGHT;
    if (m_columns != 0)
        params.Style |= LBS_MULTICOLUMN;
    if (m_tabWidth != 0)
        params.Style |= LBS_USETABSTOPS;
    if (m_multiSelect)
        params.Style |= m_extendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
}

// The lines kept in memory move into the new window.
void TCustomListBox::CreateHandleDone()
{
    HWND window = Handle();
    if (m_style == lbOwnerDrawFixed)
        SendMessageA(window, LB_SETITEMHEIGHT, 0, m_itemHeight);
    if (m_columns != 0)
        SendMessageA(window, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(Width() / m_columns), 0);
    if (m_tabWidth != 0) {
        UINT tabs = static_cast<UINT>(m_tabWidth);
        SendMessageA(window, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabs));
    }
    RestoreLines(window, m_saved, ListBoxMessages);
    if (m_itemIndex >= 0 && !m_multiSelect)
        SendMessageA(window, LB_SETCURSEL, static_cast<WPARAM>(m_itemIndex), 0);
}

void TCustomListBox::WndProc(TMessage& message)
{
    if (message.Msg == WM_DESTROY) {
        // The lines outlive the window, for a window made again later.
        HWND window = Handle();
        SaveLines(*m_items, m_saved);
        m_itemIndex = static_cast<int32_t>(SendMessageA(window, LB_GETCURSEL, 0, 0));
    }
    TWinControl::WndProc(message);
}

bool TCustomListBox::CnCommand(WORD notifyCode)
{
    switch (notifyCode) {
    case LBN_SELCHANGE:
        Click();
        return true;
    case LBN_DBLCLK:
        DblClick();
        return true;
    default:
        return false;
    }
}

bool TCustomListBox::CnDrawItem(DRAWITEMSTRUCT& item)
{
    DispatchDrawItem(*this, item, [this](int index, const RECT& rect, TOwnerDrawState state, TItemCanvas& canvas) {
        DrawItem(index, rect, state, canvas);
    });
    return true;
}

void TCustomListBox::DrawItem(int index, const RECT& rect, TOwnerDrawState, TItemCanvas& canvas)
{
    DrawItemText(*m_items, index, rect, canvas);
}

int32_t TCustomListBox::ItemIndex() const
{
    if (!HandleAllocated())
        return m_itemIndex;
    HWND window = const_cast<TCustomListBox*>(this)->Handle();
    // With multiple selection the current line is the one with the focus
    // rectangle.
    if (m_multiSelect)
        return static_cast<int32_t>(SendMessageA(window, LB_GETCARETINDEX, 0, 0));
    return static_cast<int32_t>(SendMessageA(window, LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(int32_t value)
{
    if (!HandleAllocated()) {
        m_itemIndex = value;
        return;
    }
    if (m_multiSelect)
        Perform(LB_SETCARETINDEX, static_cast<WPARAM>(value), FALSE);
    else
        Perform(LB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

int32_t TCustomListBox::SelCount() const
{
    if (!HandleAllocated())
        return 0;
    HWND window = const_cast<TCustomListBox*>(this)->Handle();
    if (!m_multiSelect)
        return SendMessageA(window, LB_GETCURSEL, 0, 0) >= 0 ? 1 : 0;
    return static_cast<int32_t>(SendMessageA(window, LB_GETSELCOUNT, 0, 0));
}

bool TCustomListBox::Selected(int32_t index) const
{
    HWND window = const_cast<TCustomListBox*>(this)->Handle();
    const LRESULT state = SendMessageA(window, LB_GETSEL, static_cast<WPARAM>(index), 0);
    if (state == LB_ERR)
        throw EListError(StrId::SListIndexError);
    return state != 0;
}

void TCustomListBox::SetSelected(int32_t index, bool value)
{
    HWND window = Handle();
    LRESULT result;
    if (m_multiSelect) {
        result = SendMessageA(window, LB_SETSEL, value ? TRUE : FALSE, static_cast<LPARAM>(index));
    } else if (index < 0 || index >= static_cast<int32_t>(SendMessageA(window, LB_GETCOUNT, 0, 0))) {
        result = LB_ERR;
    } else if (value) {
        result = SendMessageA(window, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    } else {
        result = 0;
        if (SendMessageA(window, LB_GETCURSEL, 0, 0) == index)
            SendMessageA(window, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    }
    if (result == LB_ERR)
        throw EListError(StrId::SListIndexError);
}

void TCustomListBox::SelectAll()
{
    if (!m_multiSelect)
        return;
    HWND window = Handle();
    // NOTE: one message for all lines: selecting them one by one moves the
    // focus and scrolls the list for each, which took the platform's list
    // box over a second for ten thousand lines.
    SendMessageA(window, LB_SETSEL, TRUE, -1);
    const LRESULT last = SendMessageA(window, LB_GETCOUNT, 0, 0) - 1;
    if (last >= 0) {
        SendMessageA(window, LB_SETANCHORINDEX, static_cast<WPARAM>(last), 0);
        SendMessageA(window, LB_SETCARETINDEX, static_cast<WPARAM>(last), FALSE);
    }
}

// ---------------------------------------------------------------------------
// TCustomComboBox

const TClassInfo& TCustomComboBox::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TCustomComboBox, TWinControl>("TCustomComboBox").Build();
    return info;
}

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner), m_items(std::make_unique<TWindowStrings>(*this, m_saved, ComboBoxMessages))
{
    SetBounds(0, 0, 145, 21);
    // The platform gives the selection field the height of its font.
    SetControlStyle(ControlStyle().Include(csFixedHeight));
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

// The window goes while this object is still whole, so that its last
// messages (and the saving of its lines) reach this class.
TCustomComboBox::~TCustomComboBox()
{
    DestroyHandle();
}

void TCustomComboBox::SetMaxLength(int32_t value)
{
    m_maxLength = value;
    if (HandleAllocated())
        Perform(CB_LIMITTEXT, static_cast<WPARAM>(value), 0);
}

int32_t TCustomComboBox::ItemIndex() const
{
    if (!HandleAllocated())
        return m_itemIndex;
    return static_cast<int32_t>(SendMessageA(const_cast<TCustomComboBox*>(this)->Handle(), CB_GETCURSEL, 0, 0));
}

void TCustomComboBox::SetItemIndex(int32_t value)
{
    if (!HandleAllocated()) {
        m_itemIndex = value;
        return;
    }
    Perform(CB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

void TCustomComboBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClass = "COMBOBOX";
    params.Style |= WS_VSCROLL | CBS_HASSTRINGS | CBS_AUTOHSCROLL;
    switch (m_style) {
    case csDropDown:
        params.Style |= CBS_DROPDOWN;
        break;
    case csSimple:
        params.Style |= CBS_SIMPLE;
        break;
    case csDropDownList:
        params.Style |= CBS_DROPDOWNLIST;
        break;
    case csOwnerDrawFixed:
        params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED;
        break;
    case csOwnerDrawVariable:
        params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE;
        break;
    }
    if (m_sorted)
        params.Style |= CBS_SORT;
    // The window's height includes the dropped-down list.
    if (m_style != csSimple)
        params.Height = Height() + m_itemHeight * m_dropDownCount + 2;
}

void TCustomComboBox::CreateHandleDone()
{
    HWND window = Handle();
    if (m_style == csOwnerDrawFixed)
        SendMessageA(window, CB_SETITEMHEIGHT, 0, m_itemHeight);
    if (m_maxLength != 0)
        SendMessageA(window, CB_LIMITTEXT, static_cast<WPARAM>(m_maxLength), 0);
    RestoreLines(window, m_saved, ComboBoxMessages);
    if (m_itemIndex >= 0)
        SendMessageA(window, CB_SETCURSEL, static_cast<WPARAM>(m_itemIndex), 0);
}

void TCustomComboBox::WndProc(TMessage& message)
{
    if (message.Msg == WM_DESTROY) {
        SaveLines(*m_items, m_saved);
        m_itemIndex = static_cast<int32_t>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
    }
    TWinControl::WndProc(message);
}

bool TCustomComboBox::CnCommand(WORD notifyCode)
{
    switch (notifyCode) {
    case CBN_SELCHANGE:
        Click();
        return true;
    case CBN_DROPDOWN:
        m_onDropDown(this);
        return true;
    default:
        return false;
    }
}

bool TCustomComboBox::CnDrawItem(DRAWITEMSTRUCT& item)
{
    DispatchDrawItem(*this, item, [this](int index, const RECT& rect, TOwnerDrawState state, TItemCanvas& canvas) {
        DrawItem(index, rect, state, canvas);
    });
    return true;
}

void TCustomComboBox::DrawItem(int index, const RECT& rect, TOwnerDrawState, TItemCanvas& canvas)
{
    DrawItemText(*m_items, index, rect, canvas);
}

void TCustomComboBox::SetItems(TStrings* value)
{
    if (value)
        m_items->Assign(*value);
}

void TCustomComboBox::SetItemHeight(int32_t value)
{
    if (value <= 0)
        return;
    m_itemHeight = value;
    if (HandleAllocated() && m_style == csOwnerDrawFixed) {
        Perform(CB_SETITEMHEIGHT, 0, value);
        Invalidate();
    }
}

// ---------------------------------------------------------------------------
// TLabel

const TClassInfo& TLabel::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TLabel, TGraphicControl>("TLabel")
        .Property<&TLabel::Align, &TLabel::SetAlign>("Align", alNone)
        .Property<&TLabel::Alignment, &TLabel::SetAlignment>("Alignment", taLeftJustify)
        .Property<&TLabel::AutoSize, &TLabel::SetAutoSize>("AutoSize", true)
        .Property<&TLabel::Caption, &TLabel::SetCaption>("Caption")
        .Property<&TLabel::Color, &TLabel::SetColor>("Color")
        .Property<&TLabel::DragCursor, &TLabel::SetDragCursor>("DragCursor", static_cast<TCursor>(-12))
        .Property<&TLabel::DragMode, &TLabel::SetDragMode>("DragMode", dmManual)
        .Property<&TLabel::Enabled, &TLabel::SetEnabled>("Enabled", true)
        .Property<&TLabel::FocusControl, &TLabel::SetFocusControl>("FocusControl")
        .Property<&TLabel::Font, &TLabel::SetFont>("Font")
        .Property<&TLabel::ParentColor, &TLabel::SetParentColor>("ParentColor", true)
        .Property<&TLabel::ParentFont, &TLabel::SetParentFont>("ParentFont", true)
        .Property<&TLabel::ParentShowHint, &TLabel::SetParentShowHint>("ParentShowHint", true)
        .Property<&TLabel::PopupMenu, &TLabel::SetPopupMenu>("PopupMenu")
        .Property<&TLabel::ShowAccelChar, &TLabel::SetShowAccelChar>("ShowAccelChar", true)
        .Property<&TLabel::ShowHint, &TLabel::SetShowHint>("ShowHint", false)
        .Property<&TLabel::Transparent, &TLabel::SetTransparent>("Transparent", false)
        .Property<&TLabel::Visible, &TLabel::SetVisible>("Visible", true)
        .Property<&TLabel::WordWrap, &TLabel::SetWordWrap>("WordWrap", false)
        .Property<&TLabel::OnClick, &TLabel::SetOnClick>("OnClick")
        .Property<&TLabel::OnDblClick, &TLabel::SetOnDblClick>("OnDblClick")
        .Property<&TLabel::OnDragDrop, &TLabel::SetOnDragDrop>("OnDragDrop")
        .Property<&TLabel::OnDragOver, &TLabel::SetOnDragOver>("OnDragOver")
        .Property<&TLabel::OnEndDrag, &TLabel::SetOnEndDrag>("OnEndDrag")
        .Property<&TLabel::OnMouseDown, &TLabel::SetOnMouseDown>("OnMouseDown")
        .Property<&TLabel::OnMouseMove, &TLabel::SetOnMouseMove>("OnMouseMove")
        .Property<&TLabel::OnMouseUp, &TLabel::SetOnMouseUp>("OnMouseUp")
        .Property<&TLabel::OnStartDrag, &TLabel::SetOnStartDrag>("OnStartDrag")
        .Build();
    return info;
}

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner)
{
    SetBounds(0, 0, 65, 17);
    SetControlStyle(ControlStyle().Include(csOpaque));
}

void TLabel::SetAlignment(TAlignment value)
{
    if (value == m_alignment)
        return;
    m_alignment = value;
    Changed();
    AdjustBounds();
}

void TLabel::SetAutoSize(bool value)
{
    if (value == m_autoSize)
        return;
    m_autoSize = value;
    AdjustBounds();
}

void TLabel::SetFocusControl(TWinControl* value)
{
    m_focusControl = value;
    if (value)
        value->FreeNotification(this);
}

void TLabel::SetShowAccelChar(bool value)
{
    if (value == m_showAccelChar)
        return;
    m_showAccelChar = value;
    Changed();
    AdjustBounds();
}

void TLabel::SetTransparent(bool value)
{
    if (value == m_transparent)
        return;
    m_transparent = value;
    // A label that fills its rectangle needs no erasing behind it.
    TControlStyle style = ControlStyle();
    if (value)
        style.Exclude(csOpaque);
    else
        style.Include(csOpaque);
    SetControlStyle(style);
    Changed();
}

void TLabel::SetWordWrap(bool value)
{
    if (value == m_wordWrap)
        return;
    m_wordWrap = value;
    Changed();
    AdjustBounds();
}

void TLabel::SetText(const std::string& value)
{
    if (value == StoredText())
        return;
    TGraphicControl::SetText(value);
    AdjustBounds();
}

void TLabel::FontChanged()
{
    TGraphicControl::FontChanged();
    AdjustBounds();
}

// The size waits until the whole label has been read: its caption, font and
// alignment arrive one by one.
void TLabel::Loaded()
{
    TGraphicControl::Loaded();
    AdjustBounds();
}

UINT TLabel::TextFlags() const
{
    UINT flags = DT_EXPANDTABS;
    if (m_wordWrap)
        flags |= DT_WORDBREAK;
    switch (m_alignment) {
    case taLeftJustify:
        flags |= DT_LEFT;
        break;
    case taRightJustify:
        flags |= DT_RIGHT;
        break;
    case taCenter:
        flags |= DT_CENTER;
        break;
    }
    if (!m_showAccelChar)
        flags |= DT_NOPREFIX;
    return flags;
}

void TLabel::AdjustBounds()
{
    if (!m_autoSize || IsLoading())
        return;
    const std::string caption = Caption();
    // An empty caption still takes the room of one line.
    const bool blank = caption.empty() || (m_showAccelChar && caption == "&");
    const std::string text = blank ? std::string(1, ' ') : caption;
    RECT r = ClientRect();
    {
        ScopedDC screen;
        ScopedSelect font(screen.Get(), Font()->Handle());
        DrawTextA(screen.Get(), text.c_str(), -1, &r, TextFlags() | DT_CALCRECT);
    }
    const int32_t width = r.right - r.left;
    const int32_t height = r.bottom - r.top;
    int32_t left = Left();
    if (m_alignment == taRightJustify)
        left += Width() - width;
    SetBounds(left, Top(), width, height);
}

void TLabel::Paint(HDC dc)
{
    RECT r = ClientRect();
    if (!m_transparent) {
        Brush background(CreateSolidBrush(ColorToRGB(Color())));
        FillRect(dc, &r, background.Get());
    }
    const std::string text = Caption();
    if (text.empty())
        return;
    ScopedSelect font(dc, Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Enabled() ? ColorToRGB(Font()->Color()) : GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(dc, text.c_str(), -1, &r, TextFlags());
}

void TLabel::Notification(TComponent* component, TOperation operation)
{
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == m_focusControl)
        m_focusControl = nullptr;
}

// ---------------------------------------------------------------------------
// TButton

const TClassInfo& TButton::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TButton, TWinControl>("TButton")
        .Property<&TButton::Cancel, &TButton::SetCancel>("Cancel", false)
        .Property<&TButton::Caption, &TButton::SetCaption>("Caption")
        .Property<&TButton::Default, &TButton::SetDefault>("Default", false)
        .Property<&TButton::DragCursor, &TButton::SetDragCursor>("DragCursor", static_cast<TCursor>(-12))
        .Property<&TButton::DragMode, &TButton::SetDragMode>("DragMode", dmManual)
        .Property<&TButton::Enabled, &TButton::SetEnabled>("Enabled", true)
        .Property<&TButton::Font, &TButton::SetFont>("Font")
        .Property<&TButton::ModalResult, &TButton::SetModalResult>("ModalResult", 0)
        .Property<&TButton::ParentFont, &TButton::SetParentFont>("ParentFont", true)
        .Property<&TButton::ParentShowHint, &TButton::SetParentShowHint>("ParentShowHint", true)
        .Property<&TButton::PopupMenu, &TButton::SetPopupMenu>("PopupMenu")
        .Property<&TButton::ShowHint, &TButton::SetShowHint>("ShowHint", false)
        .Property<&TButton::TabOrder, &TButton::SetTabOrder>("TabOrder", -1)
        .Property<&TButton::TabStop, &TButton::SetTabStop>("TabStop", true)
        .Property<&TButton::Visible, &TButton::SetVisible>("Visible", true)
        .Property<&TButton::OnClick, &TButton::SetOnClick>("OnClick")
        .Property<&TButton::OnDragDrop, &TButton::SetOnDragDrop>("OnDragDrop")
        .Property<&TButton::OnDragOver, &TButton::SetOnDragOver>("OnDragOver")
        .Property<&TButton::OnEndDrag, &TButton::SetOnEndDrag>("OnEndDrag")
        .Property<&TButton::OnEnter, &TButton::SetOnEnter>("OnEnter")
        .Property<&TButton::OnExit, &TButton::SetOnExit>("OnExit")
        .Property<&TButton::OnKeyDown, &TButton::SetOnKeyDown>("OnKeyDown")
        .Property<&TButton::OnKeyPress, &TButton::SetOnKeyPress>("OnKeyPress")
        .Property<&TButton::OnKeyUp, &TButton::SetOnKeyUp>("OnKeyUp")
        .Property<&TButton::OnMouseDown, &TButton::SetOnMouseDown>("OnMouseDown")
        .Property<&TButton::OnMouseMove, &TButton::SetOnMouseMove>("OnMouseMove")
        .Property<&TButton::OnMouseUp, &TButton::SetOnMouseUp>("OnMouseUp")
        .Property<&TButton::OnStartDrag, &TButton::SetOnStartDrag>("OnStartDrag")
        .Build();
    return info;
}

TButton::TButton(TComponent* owner) : TWinControl(owner)
{
    // The size a button has until its design gives it one.
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClass = "BUTTON";
    params.Style |= m_default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

bool TButton::CnCommand(WORD notifyCode)
{
    if (notifyCode != BN_CLICKED)
        return false;
    Click();
    return true;
}

// The form learns the button's result first, so that OnClick may read or
// override it.
void TButton::Click()
{
    if (TForm* form = ParentForm())
        form->SetModalResult(m_modalResult);
    TWinControl::Click();
}

void TButton::CreateHandleDone()
{
    // Also for a button put on its form through a parent that was not on
    // the form yet when Default or Cancel was set.
    RegisterWithForm();
}

void TButton::RegisterWithForm()
{
    if (TForm* form = ParentForm())
        form->SetDialogButtons(this, m_default, m_cancel);
}

void TButton::SetCancel(bool value)
{
    m_cancel = value;
    RegisterWithForm();
}

bool TButton::IsAccelerator(char key) const
{
    // The character after the first "&" of the caption that is not "&&".
    const std::string caption = Caption();
    size_t at = caption.find('&');
    while (at != std::string::npos && at + 1 < caption.size() && caption[at + 1] == '&')
        at = caption.find('&', at + 2);
    const char accelerator = at != std::string::npos && at + 1 < caption.size() ? caption[at + 1] : '\0';
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return upper(accelerator) == upper(key);
}

void TButton::SetDefault(bool value)
{
    if (value == m_default)
        return;
    m_default = value;
    RegisterWithForm();
    if (!HandleAllocated())
        return;
    TButton* focused = dynamic_cast<TButton*>(FindControl(GetFocus()));
    ShowDefaultFrame(focused ? focused == this : value);
}

void TButton::ShowDefaultFrame(bool on)
{
    if (!HandleAllocated())
        return;
    const auto style = static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)) & BS_TYPEMASK;
    const DWORD wanted = on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if (style != wanted)
        SendMessageA(Handle(), BM_SETSTYLE, wanted, TRUE);
}

void TButton::UpdateDefaultFrames(TWinControl* parent, TButton* focused)
{
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* control = dynamic_cast<TWinControl*>(parent->Controls(i));
        if (!control)
            continue;
        if (auto* button = dynamic_cast<TButton*>(control))
            button->ShowDefaultFrame(focused ? button == focused : button->Default());
        UpdateDefaultFrames(control, focused);
    }
}

// A focused button is the one Enter presses, so it takes the default frame
// from the form's default button for as long as it has the focus.
void TButton::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_SETFOCUS:
        if (TForm* form = ParentForm())
            UpdateDefaultFrames(form, this);
        break;
    case WM_KILLFOCUS: {
        auto* next = dynamic_cast<TButton*>(FindControl(reinterpret_cast<HWND>(message.WParam)));
        if (!next) {
            if (TForm* form = ParentForm())
                UpdateDefaultFrames(form, nullptr);
        }
        break;
    }
    default:
        break;
    }
    TWinControl::WndProc(message);
}

// ---------------------------------------------------------------------------
// TRadioButton

const TClassInfo& TRadioButton::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TRadioButton, TWinControl>("TRadioButton")
        .Property<&TRadioButton::Alignment, &TRadioButton::SetAlignment>("Alignment", TLeftRight::taRightJustify)
        .Property<&TRadioButton::Caption, &TRadioButton::SetCaption>("Caption")
        .Property<&TRadioButton::Checked, &TRadioButton::SetChecked>("Checked", false)
        .Property<&TRadioButton::Color, &TRadioButton::SetColor>("Color")
        .Property<&TRadioButton::Ctl3D, &TRadioButton::SetCtl3D>("Ctl3D", true)
        .Property<&TRadioButton::DragCursor, &TRadioButton::SetDragCursor>("DragCursor", static_cast<TCursor>(-12))
        .Property<&TRadioButton::DragMode, &TRadioButton::SetDragMode>("DragMode", dmManual)
        .Property<&TRadioButton::Enabled, &TRadioButton::SetEnabled>("Enabled", true)
        .Property<&TRadioButton::Font, &TRadioButton::SetFont>("Font")
        .Property<&TRadioButton::ParentColor, &TRadioButton::SetParentColor>("ParentColor", true)
        .Property<&TRadioButton::ParentCtl3D, &TRadioButton::SetParentCtl3D>("ParentCtl3D", true)
        .Property<&TRadioButton::ParentFont, &TRadioButton::SetParentFont>("ParentFont", true)
        .Property<&TRadioButton::ParentShowHint, &TRadioButton::SetParentShowHint>("ParentShowHint", true)
        .Property<&TRadioButton::PopupMenu, &TRadioButton::SetPopupMenu>("PopupMenu")
        .Property<&TRadioButton::ShowHint, &TRadioButton::SetShowHint>("ShowHint", false)
        .Property<&TRadioButton::TabOrder, &TRadioButton::SetTabOrder>("TabOrder", -1)
        .Property<&TRadioButton::TabStop, &TRadioButton::SetTabStop>("TabStop", false)
        .Property<&TRadioButton::Visible, &TRadioButton::SetVisible>("Visible", true)
        .Property<&TRadioButton::OnClick, &TRadioButton::SetOnClick>("OnClick")
        .Property<&TRadioButton::OnDblClick, &TRadioButton::SetOnDblClick>("OnDblClick")
        .Property<&TRadioButton::OnDragDrop, &TRadioButton::SetOnDragDrop>("OnDragDrop")
        .Property<&TRadioButton::OnDragOver, &TRadioButton::SetOnDragOver>("OnDragOver")
        .Property<&TRadioButton::OnEndDrag, &TRadioButton::SetOnEndDrag>("OnEndDrag")
        .Property<&TRadioButton::OnEnter, &TRadioButton::SetOnEnter>("OnEnter")
        .Property<&TRadioButton::OnExit, &TRadioButton::SetOnExit>("OnExit")
        .Property<&TRadioButton::OnKeyDown, &TRadioButton::SetOnKeyDown>("OnKeyDown")
        .Property<&TRadioButton::OnKeyPress, &TRadioButton::SetOnKeyPress>("OnKeyPress")
        .Property<&TRadioButton::OnKeyUp, &TRadioButton::SetOnKeyUp>("OnKeyUp")
        .Property<&TRadioButton::OnMouseDown, &TRadioButton::SetOnMouseDown>("OnMouseDown")
        .Property<&TRadioButton::OnMouseMove, &TRadioButton::SetOnMouseMove>("OnMouseMove")
        .Property<&TRadioButton::OnMouseUp, &TRadioButton::SetOnMouseUp>("OnMouseUp")
        .Property<&TRadioButton::OnStartDrag, &TRadioButton::SetOnStartDrag>("OnStartDrag")
        .Build();
    return info;
}

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner)
{
    // The size a radio button has until its design gives it one.
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::SetAlignment(TLeftRight value)
{
    if (value == m_alignment)
        return;
    m_alignment = value;
    if (HandleAllocated()) {
        auto style = static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE));
        style = value == TLeftRight::taLeftJustify ? style | BS_LEFTTEXT : style & ~static_cast<DWORD>(BS_LEFTTEXT);
        SetWindowLongA(Handle(), GWL_STYLE, static_cast<LONG>(style));
    }
    Changed();
}

// Not the automatic kind: the check mark follows Checked, which also
// unchecks the siblings.
void TRadioButton::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClass = "BUTTON";
    params.Style |= BS_RADIOBUTTON;
    if (m_alignment == TLeftRight::taLeftJustify)
        params.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateHandleDone()
{
    SendMessageA(Handle(), BM_SETCHECK, m_checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TRadioButton::CnCommand(WORD notifyCode)
{
    if (notifyCode != BN_CLICKED)
        return false;
    SetChecked(true);
    Click();
    return true;
}

// Only the checked button of a group is a tab stop, so that Tab enters the
// group at its selection; the arrow keys move within it.
void TRadioButton::SetChecked(bool value)
{
    if (value == m_checked)
        return;
    m_checked = value;
    SetTabStop(value);
    if (HandleAllocated()) {
        SendMessageA(Handle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
        // The window's tab stop follows, so that Tab enters the group here.
        auto style = static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE));
        style = value ? style | WS_TABSTOP : style & ~static_cast<DWORD>(WS_TABSTOP);
        SetWindowLongA(Handle(), GWL_STYLE, static_cast<LONG>(style));
    }
    Changed();
    if (!value)
        return;
    TWinControl* parent = Parent();
    if (!parent)
        return;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i));
        if (sibling && sibling != this)
            sibling->SetChecked(false);
    }
}

// ---------------------------------------------------------------------------
// TEdit

const TClassInfo& TEdit::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TEdit, TWinControl>("TEdit")
        .Property<&TEdit::AutoSelect, &TEdit::SetAutoSelect>("AutoSelect", true)
        .Property<&TEdit::AutoSize, &TEdit::SetAutoSize>("AutoSize", true)
        .Property<&TEdit::BorderStyle, &TEdit::SetBorderStyle>("BorderStyle", TBorderStyle::bsSingle)
        .Property<&TEdit::CharCase, &TEdit::SetCharCase>("CharCase", ecNormal)
        .Property<&TEdit::Color, &TEdit::SetColor>("Color")
        .Property<&TEdit::Ctl3D, &TEdit::SetCtl3D>("Ctl3D", true)
        .Property<&TEdit::DragCursor, &TEdit::SetDragCursor>("DragCursor", static_cast<TCursor>(-12))
        .Property<&TEdit::DragMode, &TEdit::SetDragMode>("DragMode", dmManual)
        .Property<&TEdit::Enabled, &TEdit::SetEnabled>("Enabled", true)
        .Property<&TEdit::Font, &TEdit::SetFont>("Font")
        .Property<&TEdit::HideSelection, &TEdit::SetHideSelection>("HideSelection", true)
        .Property<&TEdit::MaxLength, &TEdit::SetMaxLength>("MaxLength", 0)
        .Property<&TEdit::OEMConvert, &TEdit::SetOEMConvert>("OEMConvert", false)
        .Property<&TEdit::ParentColor, &TEdit::SetParentColor>("ParentColor", false)
        .Property<&TEdit::ParentCtl3D, &TEdit::SetParentCtl3D>("ParentCtl3D", true)
        .Property<&TEdit::ParentFont, &TEdit::SetParentFont>("ParentFont", true)
        .Property<&TEdit::ParentShowHint, &TEdit::SetParentShowHint>("ParentShowHint", true)
        .Property<&TEdit::PasswordChar, &TEdit::SetPasswordChar>("PasswordChar", '\0')
        .Property<&TEdit::PopupMenu, &TEdit::SetPopupMenu>("PopupMenu")
        .Property<&TEdit::ReadOnly, &TEdit::SetReadOnly>("ReadOnly", false)
        .Property<&TEdit::ShowHint, &TEdit::SetShowHint>("ShowHint", false)
        .Property<&TEdit::TabOrder, &TEdit::SetTabOrder>("TabOrder", -1)
        .Property<&TEdit::TabStop, &TEdit::SetTabStop>("TabStop", true)
        .Property<&TEdit::Text, &TEdit::SetText>("Text")
        .Property<&TEdit::Visible, &TEdit::SetVisible>("Visible", true)
        .Property<&TEdit::OnChange, &TEdit::SetOnChange>("OnChange")
        .Property<&TEdit::OnClick, &TEdit::SetOnClick>("OnClick")
        .Property<&TEdit::OnDblClick, &TEdit::SetOnDblClick>("OnDblClick")
        .Property<&TEdit::OnDragDrop, &TEdit::SetOnDragDrop>("OnDragDrop")
        .Property<&TEdit::OnDragOver, &TEdit::SetOnDragOver>("OnDragOver")
        .Property<&TEdit::OnEndDrag, &TEdit::SetOnEndDrag>("OnEndDrag")
        .Property<&TEdit::OnEnter, &TEdit::SetOnEnter>("OnEnter")
        .Property<&TEdit::OnExit, &TEdit::SetOnExit>("OnExit")
        .Property<&TEdit::OnKeyDown, &TEdit::SetOnKeyDown>("OnKeyDown")
        .Property<&TEdit::OnKeyPress, &TEdit::SetOnKeyPress>("OnKeyPress")
        .Property<&TEdit::OnKeyUp, &TEdit::SetOnKeyUp>("OnKeyUp")
        .Property<&TEdit::OnMouseDown, &TEdit::SetOnMouseDown>("OnMouseDown")
        .Property<&TEdit::OnMouseMove, &TEdit::SetOnMouseMove>("OnMouseMove")
        .Property<&TEdit::OnMouseUp, &TEdit::SetOnMouseUp>("OnMouseUp")
        .Property<&TEdit::OnStartDrag, &TEdit::SetOnStartDrag>("OnStartDrag")
        .Build();
    return info;
}

TEdit::TEdit(TComponent* owner) : TWinControl(owner)
{
    // The size an edit box has until its design gives it one.
    SetBounds(0, 0, 121, 25);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

void TEdit::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClass = "EDIT";
    params.Style |= ES_AUTOHSCROLL;
    if (m_borderStyle == TBorderStyle::bsSingle) {
        if (Ctl3D())
            params.ExStyle |= WS_EX_CLIENTEDGE;
        else
            params.Style |= WS_BORDER;
    }
    if (m_readOnly)
        params.Style |= ES_READONLY;
    if (!m_hideSelection)
        params.Style |= ES_NOHIDESEL;
    if (m_oemConvert)
        params.Style |= ES_OEMCONVERT;
    if (m_charCase == ecUpperCase)
        params.Style |= ES_UPPERCASE;
    else if (m_charCase == ecLowerCase)
        params.Style |= ES_LOWERCASE;
}

void TEdit::CreateHandleDone()
{
    SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(m_maxLength), 0);
    if (m_passwordChar != '\0')
        SendMessageA(Handle(), EM_SETPASSWORDCHAR, static_cast<unsigned char>(m_passwordChar), 0);
}

bool TEdit::CnCommand(WORD notifyCode)
{
    if (notifyCode != EN_CHANGE)
        return false;
    m_onChange(this);
    return true;
}

void TEdit::SetMaxLength(int32_t value)
{
    m_maxLength = value;
    if (HandleAllocated())
        SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(value), 0);
}

void TEdit::SetReadOnly(bool value)
{
    m_readOnly = value;
    if (HandleAllocated())
        SendMessageA(Handle(), EM_SETREADONLY, value ? TRUE : FALSE, 0);
}

void TEdit::SetBorderStyle(TBorderStyle value)
{
    if (value == m_borderStyle)
        return;
    m_borderStyle = value;
    Changed();
}

void TEdit::SetCharCase(TEditCharCase value)
{
    if (value == m_charCase)
        return;
    m_charCase = value;
    if (HandleAllocated()) {
        auto style = static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)) &
                     ~static_cast<DWORD>(ES_UPPERCASE | ES_LOWERCASE);
        if (value == ecUpperCase)
            style |= ES_UPPERCASE;
        else if (value == ecLowerCase)
            style |= ES_LOWERCASE;
        SetWindowLongA(Handle(), GWL_STYLE, static_cast<LONG>(style));
    }
    Changed();
}

void TEdit::SetPasswordChar(char value)
{
    if (value == m_passwordChar)
        return;
    m_passwordChar = value;
    if (HandleAllocated())
        SendMessageA(Handle(), EM_SETPASSWORDCHAR, static_cast<unsigned char>(value), 0);
    Changed();
}

// ---------------------------------------------------------------------------
// TListBox

const TClassInfo& TListBox::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TListBox, TCustomListBox>("TListBox")
        .Property<&TListBox::Align, &TListBox::SetAlign>("Align", alNone)
        .Property<&TListBox::BorderStyle, &TListBox::SetBorderStyle>("BorderStyle", TBorderStyle::bsSingle)
        .Property<&TListBox::Color, &TListBox::SetColor>("Color")
        .Property<&TListBox::Columns, &TListBox::SetColumns>("Columns", 0)
        .Property<&TListBox::Ctl3D, &TListBox::SetCtl3D>("Ctl3D", true)
        .Property<&TListBox::DragCursor, &TListBox::SetDragCursor>("DragCursor", static_cast<TCursor>(-12))
        .Property<&TListBox::DragMode, &TListBox::SetDragMode>("DragMode", dmManual)
        .Property<&TListBox::Enabled, &TListBox::SetEnabled>("Enabled", true)
        .Property<&TListBox::ExtendedSelect, &TListBox::SetExtendedSelect>("ExtendedSelect", true)
        .Property<&TListBox::Font, &TListBox::SetFont>("Font")
        .Property<&TListBox::IntegralHeight, &TListBox::SetIntegralHeight>("IntegralHeight", false)
        // No default: a design stores its item height even when it is 16.
        .Property<&TListBox::ItemHeight, &TListBox::SetItemHeight>("ItemHeight")
        .Property<&TListBox::Items, &TListBox::SetItems>("Items")
        .Property<&TListBox::MultiSelect, &TListBox::SetMultiSelect>("MultiSelect", false)
        .Property<&TListBox::ParentColor, &TListBox::SetParentColor>("ParentColor", false)
        .Property<&TListBox::ParentCtl3D, &TListBox::SetParentCtl3D>("ParentCtl3D", true)
        .Property<&TListBox::ParentFont, &TListBox::SetParentFont>("ParentFont", true)
        .Property<&TListBox::ParentShowHint, &TListBox::SetParentShowHint>("ParentShowHint", true)
        .Property<&TListBox::PopupMenu, &TListBox::SetPopupMenu>("PopupMenu")
        .Property<&TListBox::ShowHint, &TListBox::SetShowHint>("ShowHint", false)
        .Property<&TListBox::Sorted, &TListBox::SetSorted>("Sorted", false)
        .Property<&TListBox::Style, &TListBox::SetStyle>("Style", lbStandard)
        .Property<&TListBox::TabOrder, &TListBox::SetTabOrder>("TabOrder", -1)
        .Property<&TListBox::TabStop, &TListBox::SetTabStop>("TabStop", true)
        .Property<&TListBox::TabWidth, &TListBox::SetTabWidth>("TabWidth", 0)
        .Property<&TListBox::Visible, &TListBox::SetVisible>("Visible", true)
        .Property<&TListBox::OnClick, &TListBox::SetOnClick>("OnClick")
        .Property<&TListBox::OnDblClick, &TListBox::SetOnDblClick>("OnDblClick")
        .Property<&TListBox::OnDragDrop, &TListBox::SetOnDragDrop>("OnDragDrop")
        .Property<&TListBox::OnDragOver, &TListBox::SetOnDragOver>("OnDragOver")
        .Property<&TListBox::OnEndDrag, &TListBox::SetOnEndDrag>("OnEndDrag")
        .Property<&TListBox::OnEnter, &TListBox::SetOnEnter>("OnEnter")
        .Property<&TListBox::OnExit, &TListBox::SetOnExit>("OnExit")
        .Property<&TListBox::OnKeyDown, &TListBox::SetOnKeyDown>("OnKeyDown")
        .Property<&TListBox::OnKeyPress, &TListBox::SetOnKeyPress>("OnKeyPress")
        .Property<&TListBox::OnKeyUp, &TListBox::SetOnKeyUp>("OnKeyUp")
        .Property<&TListBox::OnMouseDown, &TListBox::SetOnMouseDown>("OnMouseDown")
        .Property<&TListBox::OnMouseMove, &TListBox::SetOnMouseMove>("OnMouseMove")
        .Property<&TListBox::OnMouseUp, &TListBox::SetOnMouseUp>("OnMouseUp")
        .Property<&TListBox::OnStartDrag, &TListBox::SetOnStartDrag>("OnStartDrag")
        .Build();
    return info;
}

// ---------------------------------------------------------------------------
// TGroupBox

const TClassInfo& TGroupBox::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TGroupBox, TWinControl>("TGroupBox")
        .Property<&TGroupBox::Align, &TGroupBox::SetAlign>("Align", alNone)
        .Property<&TGroupBox::Caption, &TGroupBox::SetCaption>("Caption")
        .Property<&TGroupBox::Color, &TGroupBox::SetColor>("Color")
        .Property<&TGroupBox::Ctl3D, &TGroupBox::SetCtl3D>("Ctl3D", true)
        .Property<&TGroupBox::DragCursor, &TGroupBox::SetDragCursor>("DragCursor", static_cast<TCursor>(-12))
        .Property<&TGroupBox::DragMode, &TGroupBox::SetDragMode>("DragMode", dmManual)
        .Property<&TGroupBox::Enabled, &TGroupBox::SetEnabled>("Enabled", true)
        .Property<&TGroupBox::Font, &TGroupBox::SetFont>("Font")
        .Property<&TGroupBox::ParentColor, &TGroupBox::SetParentColor>("ParentColor", true)
        .Property<&TGroupBox::ParentCtl3D, &TGroupBox::SetParentCtl3D>("ParentCtl3D", true)
        .Property<&TGroupBox::ParentFont, &TGroupBox::SetParentFont>("ParentFont", true)
        .Property<&TGroupBox::ParentShowHint, &TGroupBox::SetParentShowHint>("ParentShowHint", true)
        .Property<&TGroupBox::PopupMenu, &TGroupBox::SetPopupMenu>("PopupMenu")
        .Property<&TGroupBox::ShowHint, &TGroupBox::SetShowHint>("ShowHint", false)
        .Property<&TGroupBox::TabOrder, &TGroupBox::SetTabOrder>("TabOrder", -1)
        .Property<&TGroupBox::TabStop, &TGroupBox::SetTabStop>("TabStop", false)
        .Property<&TGroupBox::Visible, &TGroupBox::SetVisible>("Visible", true)
        .Property<&TGroupBox::OnClick, &TGroupBox::SetOnClick>("OnClick")
        .Property<&TGroupBox::OnDblClick, &TGroupBox::SetOnDblClick>("OnDblClick")
        .Property<&TGroupBox::OnDragDrop, &TGroupBox::SetOnDragDrop>("OnDragDrop")
        .Property<&TGroupBox::OnDragOver, &TGroupBox::SetOnDragOver>("OnDragOver")
        .Property<&TGroupBox::OnEndDrag, &TGroupBox::SetOnEndDrag>("OnEndDrag")
        .Property<&TGroupBox::OnEnter, &TGroupBox::SetOnEnter>("OnEnter")
        .Property<&TGroupBox::OnExit, &TGroupBox::SetOnExit>("OnExit")
        .Property<&TGroupBox::OnMouseDown, &TGroupBox::SetOnMouseDown>("OnMouseDown")
        .Property<&TGroupBox::OnMouseMove, &TGroupBox::SetOnMouseMove>("OnMouseMove")
        .Property<&TGroupBox::OnMouseUp, &TGroupBox::SetOnMouseUp>("OnMouseUp")
        .Property<&TGroupBox::OnStartDrag, &TGroupBox::SetOnStartDrag>("OnStartDrag")
        .Build();
    return info;
}

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner)
{
    // The size a group box has until its design gives it one.
    SetBounds(0, 0, 185, 105);
}

// The frame sits half a caption line down, so that the caption interrupts
// its top edge; the caption is drawn over the frame on the box's colour.
void TGroupBox::PaintWindow(HDC dc)
{
    RECT client;
    GetClientRect(Handle(), &client);
    ScopedSelect font(dc, Font()->Handle());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    RECT frame = client;
    frame.top += metrics.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    const std::string text = Caption();
    if (text.empty())
        return;
    RECT caption{8, 0, 0, metrics.tmHeight};
    DrawTextA(dc, text.c_str(), -1, &caption, DT_CALCRECT | DT_SINGLELINE | DT_LEFT);
    caption.right = std::min(caption.right, client.right - 8);
    Brush background(CreateSolidBrush(ColorToRGB(Color())));
    RECT behind = caption;
    behind.left -= 1;
    behind.right += 1;
    FillRect(dc, &behind, background.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Enabled() ? ColorToRGB(Font()->Color()) : GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(dc, text.c_str(), -1, &caption, DT_SINGLELINE | DT_LEFT);
}
