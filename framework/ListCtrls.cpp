// The list and combo boxes: their lines kept before the window exists and
// handed to it after, selection, owner-drawn items, and the notifications of
// the platform's controls.
#include "framework/ListCtrls.h"

#include "framework/GdiHandles.h"

template <>
const TEnumTypeInfo& EnumTypeOf<TListBoxStyle>()
{
    static const TEnumTypeInfo info =
        EnumType<lbOwnerDrawVariable>("TListBoxStyle", {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable"});
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TComboBoxStyle>()
{
    static const TEnumTypeInfo info = EnumType<csOwnerDrawVariable>(
        "TComboBoxStyle", {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"});
    return info;
}

// The messages of the platform's list box or combo box that a list control
// reads and writes its lines, its selection and its item height with.
struct TListWindowMessages {
    UINT GetCount, GetTextLen, GetText, GetItemData, SetItemData, AddString, InsertString, DeleteString,
        ResetContent, GetCurSel, SetCurSel, SetItemHeight;
};

namespace {

constexpr TListWindowMessages ListBoxMessages{
    LB_GETCOUNT,     LB_GETTEXTLEN,   LB_GETTEXT,      LB_GETITEMDATA, LB_SETITEMDATA, LB_ADDSTRING,
    LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT, LB_GETCURSEL,   LB_SETCURSEL,   LB_SETITEMHEIGHT};
constexpr TListWindowMessages ComboBoxMessages{
    CB_GETCOUNT,     CB_GETLBTEXTLEN, CB_GETLBTEXT,    CB_GETITEMDATA, CB_SETITEMDATA, CB_ADDSTRING,
    CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT, CB_GETCURSEL,   CB_SETCURSEL,   CB_SETITEMHEIGHT};
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

} // namespace

// ---------------------------------------------------------------------------
// TListControl

TListControl::TListControl(TComponent* owner, const TListWindowMessages& messages)
    : TWinControl(owner), m_msg(messages), m_items(std::make_unique<TWindowStrings>(*this, m_saved, messages))
{
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

TListControl::~TListControl()
{
    DestroyHandle();
}

void TListControl::SetItems(TStrings* value)
{
    if (value)
        m_items->Assign(*value);
}

void TListControl::SetItemHeight(int32_t value)
{
    if (value <= 0)
        return;
    m_itemHeight = value;
    if (HandleAllocated() && FixedHeightItems()) {
        Perform(m_msg.SetItemHeight, 0, value);
        Invalidate();
    }
}

int32_t TListControl::ItemIndex() const
{
    if (!HandleAllocated())
        return m_itemIndex;
    return static_cast<int32_t>(SendMessageA(const_cast<TListControl*>(this)->Handle(), m_msg.GetCurSel, 0, 0));
}

void TListControl::SetItemIndex(int32_t value)
{
    if (!HandleAllocated()) {
        m_itemIndex = value;
        return;
    }
    Perform(m_msg.SetCurSel, static_cast<WPARAM>(value), 0);
}

void TListControl::RestoreLines(bool select)
{
    HWND window = Handle();
    if (FixedHeightItems())
        SendMessageA(window, m_msg.SetItemHeight, 0, m_itemHeight);
    for (int i = 0; i < m_saved.Count(); ++i) {
        const LRESULT index =
            SendMessageA(window, m_msg.AddString, 0, reinterpret_cast<LPARAM>(m_saved.Get(i).c_str()));
        if (index >= 0)
            SendMessageA(window, m_msg.SetItemData, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(m_saved.Objects(i)));
    }
    m_saved.Clear();
    if (select && m_itemIndex >= 0)
        SendMessageA(window, m_msg.SetCurSel, static_cast<WPARAM>(m_itemIndex), 0);
}

void TListControl::WndProc(TMessage& message)
{
    if (message.Msg == WM_DESTROY) {
        // The lines outlive the window, for a window made again later.
        m_saved.Clear();
        const int count = m_items->Count();
        for (int i = 0; i < count; ++i)
            m_saved.AddObject(m_items->Get(i), m_items->Objects(i));
        m_itemIndex = static_cast<int32_t>(SendMessageA(Handle(), m_msg.GetCurSel, 0, 0));
    }
    TWinControl::WndProc(message);
}

// The owner-draw dispatch: prepares the canvas (the control's font, its
// Color or the highlight colours for a selected item), lets DrawItem paint
// the item, then adds the focus rectangle of a focused item.
bool TListControl::CnDrawItem(DRAWITEMSTRUCT& item)
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
    const COLORREF brushColor = ColorToRGB(selected ? clHighlight : Color());
    Brush brush(CreateSolidBrush(brushColor));
    ScopedSaveDC saved(item.hDC);
    SelectObject(item.hDC, Font()->Handle());
    SelectObject(item.hDC, brush.Get());
    SetTextColor(item.hDC, ColorToRGB(selected ? clHighlightText : Font()->Color()));
    SetBkColor(item.hDC, brushColor);
    TItemCanvas canvas{item.hDC, brush.Get()};
    if (static_cast<int>(item.itemID) >= 0) {
        DrawItem(static_cast<int>(item.itemID), item.rcItem, state, canvas);
    } else {
        // An empty list or combo box still shows the focus.
        FillRect(item.hDC, &item.rcItem, brush.Get());
    }
    if (state.Contains(odFocused))
        DrawFocusRect(item.hDC, &item.rcItem);
    return true;
}

void TListControl::DrawItem(int index, const RECT& rect, TOwnerDrawState, TItemCanvas& canvas)
{
    FillRect(canvas.DC, &rect, canvas.Brush);
    const std::string text = index < m_items->Count() ? m_items->Get(index) : std::string();
    TextOutA(canvas.DC, rect.left + 2, rect.top, text.c_str(), static_cast<int>(text.size()));
}

// ---------------------------------------------------------------------------
// TCustomListBox

const TClassInfo& TCustomListBox::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TCustomListBox, TWinControl>("TCustomListBox")
        .Declare<&TCustomListBox::BorderStyle, &TCustomListBox::SetBorderStyle>("BorderStyle", TBorderStyle::bsSingle)
        .Declare<&TCustomListBox::Columns, &TCustomListBox::SetColumns>("Columns", 0)
        .Declare<&TCustomListBox::ExtendedSelect, &TCustomListBox::SetExtendedSelect>("ExtendedSelect", true)
        .Declare<&TCustomListBox::IntegralHeight, &TCustomListBox::SetIntegralHeight>("IntegralHeight", false)
        // No default: a design stores its item height even when it is 16.
        .Declare<&TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight>("ItemHeight")
        .Declare<&TCustomListBox::Items, &TCustomListBox::SetItems>("Items")
        .Declare<&TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect>("MultiSelect", false)
        .Declare<&TCustomListBox::Sorted, &TCustomListBox::SetSorted>("Sorted", false)
        .Declare<&TCustomListBox::Style, &TCustomListBox::SetStyle>("Style", lbStandard)
        .Declare<&TCustomListBox::TabWidth, &TCustomListBox::SetTabWidth>("TabWidth", 0)
        .Build();
    return info;
}

TCustomListBox::TCustomListBox(TComponent* owner) : TListControl(owner, ListBoxMessages)
{
    SetBounds(0, 0, 121, 97);
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
    if (Sorted())
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
    if (m_columns != 0)
        SendMessageA(window, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(Width() / m_columns), 0);
    if (m_tabWidth != 0) {
        UINT tabs = static_cast<UINT>(m_tabWidth);
        SendMessageA(window, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabs));
    }
    // A selection kept from before is not made again with multiple selection.
    RestoreLines(!m_multiSelect);
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

int32_t TCustomListBox::ItemIndex() const
{
    if (!HandleAllocated() || !m_multiSelect)
        return TListControl::ItemIndex();
    return static_cast<int32_t>(SendMessageA(const_cast<TCustomListBox*>(this)->Handle(), LB_GETCARETINDEX, 0, 0));
}

void TCustomListBox::SetItemIndex(int32_t value)
{
    if (!HandleAllocated() || !m_multiSelect)
        TListControl::SetItemIndex(value);
    else
        Perform(LB_SETCARETINDEX, static_cast<WPARAM>(value), FALSE);
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
    static const TClassInfo info = ClassInfoBuilder<TCustomComboBox, TWinControl>("TCustomComboBox")
        .Declare<&TCustomComboBox::OnDropDown, &TCustomComboBox::SetOnDropDown>("OnDropDown")
        .Build();
    return info;
}

TCustomComboBox::TCustomComboBox(TComponent* owner) : TListControl(owner, ComboBoxMessages)
{
    SetBounds(0, 0, 145, 21);
    // The platform gives the selection field the height of its font.
    SetControlStyle(ControlStyle().Include(csFixedHeight));
}

void TCustomComboBox::SetMaxLength(int32_t value)
{
    m_maxLength = value;
    if (HandleAllocated())
        Perform(CB_LIMITTEXT, static_cast<WPARAM>(value), 0);
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
    if (Sorted())
        params.Style |= CBS_SORT;
    // The window's height includes the dropped-down list.
    if (m_style != csSimple)
        params.Height = Height() + ItemHeight() * m_dropDownCount + 2;
}

void TCustomComboBox::CreateHandleDone()
{
    if (m_maxLength != 0)
        SendMessageA(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(m_maxLength), 0);
    RestoreLines(true);
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

// ---------------------------------------------------------------------------
// TListBox

const TClassInfo& TListBox::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TListBox, TCustomListBox>("TListBox")
        .Publish("Align", "BorderStyle", "Color", "Columns", "Ctl3D", "DragCursor", "DragMode", "Enabled")
        .Publish("ExtendedSelect", "Font", "IntegralHeight", "ItemHeight", "Items", "MultiSelect")
        .Publish("ParentColor", false)
        .Publish("ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "Sorted", "Style")
        .Publish("TabOrder")
        .Publish("TabStop", true)
        .Publish("TabWidth", "Visible", "OnClick", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter")
        .Publish("OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp")
        .Publish("OnStartDrag")
        .Build();
    return info;
}
