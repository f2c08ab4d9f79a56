#include "framework/ListCtrls.h"

#include <functional>

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
    static const TClassInfo info = ClassInfoBuilder<TCustomComboBox, TWinControl>("TCustomComboBox")
        .Declare<&TCustomComboBox::OnDropDown, &TCustomComboBox::SetOnDropDown>("OnDropDown")
        .Build();
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
