#include "framework/Controls.h"

#include <algorithm>

template <>
const TEnumTypeInfo& EnumTypeOf<TAlign>()
{
    static const TEnumTypeInfo info{"TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}};
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TDragMode>()
{
    static const TEnumTypeInfo info{"TDragMode", {"dmManual", "dmAutomatic"}};
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TShiftStateFlag>()
{
    static const TEnumTypeInfo info{"TShiftStateFlag", {"ssShift", "ssAlt", "ssCtrl", "ssLeft", "ssRight", "ssMiddle", "ssDouble"}};
    return info;
}

const TEventTypeInfo MouseEventType{"TMouseEvent"};
const TEventTypeInfo MouseMoveEventType{"TMouseMoveEvent"};
const TEventTypeInfo KeyEventType{"TKeyEvent"};
const TEventTypeInfo KeyPressEventType{"TKeyPressEvent"};
const TEventTypeInfo DragDropEventType{"TDragDropEvent"};
const TEventTypeInfo DragOverEventType{"TDragOverEvent"};
const TEventTypeInfo EndDragEventType{"TEndDragEvent"};
const TEventTypeInfo StartDragEventType{"TStartDragEvent"};

// ---------------------------------------------------------------------------
// TControl

const TClassInfo& TControl::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TControl, TComponent>("TControl")
        .Property<&TControl::Left, &TControl::SetLeft>("Left")
        .Property<&TControl::Top, &TControl::SetTop>("Top")
        .Property<&TControl::Width, &TControl::SetWidth>("Width")
        .Property<&TControl::Height, &TControl::SetHeight>("Height")
        .Property<&TControl::Cursor, &TControl::SetCursor>("Cursor", crDefault)
        .Property<&TControl::Hint, &TControl::SetHint>("Hint")
        .Build();
    return info;
}

TControl::TControl(TComponent* owner) : TComponent(owner), m_font(std::make_unique<TFont>())
{
    m_font->OnChange = [this] { FontChanged(); };
}

TControl::~TControl()
{
    PrepareDestroy();
    if (m_parent)
        m_parent->RemoveControl(this);
}

void TControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height)
{
    if (left == m_left && top == m_top && width == m_width && height == m_height)
        return;
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    Changed();
}

void TControl::SetClientSize(int32_t width, int32_t height)
{
    SetBounds(m_left, m_top, m_width + width - ClientWidth(), m_height + height - ClientHeight());
}

void TControl::SetShowHint(bool value)
{
    m_showHint = value;
    m_parentShowHint = false;
}

void TControl::SetParentShowHint(bool value)
{
    m_parentShowHint = value;
}

void TControl::SetText(const std::string& value)
{
    if (value == m_text)
        return;
    m_text = value;
    Changed();
}

void TControl::SetVisible(bool value)
{
    if (value == m_visible)
        return;
    m_visible = value;
    Changed();
}

void TControl::SetEnabled(bool value)
{
    if (value == m_enabled)
        return;
    m_enabled = value;
    Changed();
}

void TControl::SetColor(TColor value)
{
    if (value == m_color) {
        m_parentColor = false;
        return;
    }
    m_color = value;
    m_parentColor = false;
    Changed();
}

void TControl::SetParentColor(bool value)
{
    if (value == m_parentColor)
        return;
    m_parentColor = value;
    if (value && m_parent)
        ParentColorChanged();
}

void TControl::ParentColorChanged()
{
    if (!m_parentColor || !m_parent)
        return;
    SetColor(m_parent->Color());
    m_parentColor = true;
}

void TControl::SetFont(TFont* value)
{
    if (value)
        m_font->Assign(*value);
}

// Any change of the font, other than taking the parent's, makes the font the
// control's own.
void TControl::FontChanged()
{
    if (!m_takingParentFont)
        m_parentFont = false;
    Changed();
}

void TControl::SetParentFont(bool value)
{
    if (value == m_parentFont)
        return;
    m_parentFont = value;
    if (value && m_parent)
        ParentFontChanged();
}

void TControl::ParentFontChanged()
{
    if (!m_parentFont || !m_parent)
        return;
    m_takingParentFont = true;
    m_font->Assign(*m_parent->Font());
    m_takingParentFont = false;
}

void TControl::SetPopupMenu(TComponent* value)
{
    m_popupMenu = value;
    if (value)
        value->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == m_popupMenu)
        m_popupMenu = nullptr;
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent == m_parent || parent == this)
        return;
    if (m_parent)
        m_parent->RemoveControl(this);
    if (parent) {
        parent->InsertControl(this);
        ParentFontChanged();
        ParentColorChanged();
    }
}

TComponent* TControl::GetParentComponent() const
{
    return m_parent;
}

void TControl::SetParentComponent(TComponent* parent)
{
    SetParent(dynamic_cast<TWinControl*>(parent));
}

// ---------------------------------------------------------------------------
// TWinControl

const TClassInfo& TWinControl::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TWinControl, TControl>("TWinControl")
        .Property<&TWinControl::HelpContext, &TWinControl::SetHelpContext>("HelpContext", 0)
        .Build();
    return info;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl()
{
    PrepareDestroy();
    // Controls parented here but owned elsewhere lose their parent.
    while (!m_controls.empty())
        RemoveControl(m_controls.back());
}

void TWinControl::InsertControl(TControl* control)
{
    m_controls.push_back(control);
    if (auto* windowed = dynamic_cast<TWinControl*>(control))
        m_tabList.push_back(windowed);
    control->m_parent = this;
}

void TWinControl::RemoveControl(TControl* control)
{
    m_controls.erase(std::remove(m_controls.begin(), m_controls.end(), control), m_controls.end());
    m_tabList.erase(std::remove(m_tabList.begin(), m_tabList.end(), control), m_tabList.end());
    if (control->m_parent == this)
        control->m_parent = nullptr;
}

int32_t TWinControl::TabOrder() const
{
    TWinControl* parent = Parent();
    if (!parent)
        return -1;
    const auto& list = parent->m_tabList;
    return static_cast<int32_t>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int32_t value)
{
    TWinControl* parent = Parent();
    if (!parent)
        return;
    auto& list = parent->m_tabList;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (IsLoading()) {
        // While a form is read its controls arrive in stream order, not tab
        // order: each goes before the first sibling that asked for a higher
        // position, so that the stored tab orders hold once all are read.
        m_requestedTabOrder = value;
        auto it = std::find_if(list.begin(), list.end(),
                               [value](const TWinControl* c) { return c->m_requestedTabOrder > value; });
        list.insert(it, this);
        return;
    }
    const auto count = static_cast<int32_t>(list.size());
    if (value < 0 || value > count)
        value = count;
    list.insert(list.begin() + value, this);
}

std::vector<TWinControl*> TWinControl::TabList() const
{
    return m_tabList;
}

void TWinControl::SetCtl3D(bool value)
{
    m_ctl3D = value;
    m_parentCtl3D = false;
}

void TWinControl::SetParentCtl3D(bool value)
{
    m_parentCtl3D = value;
    if (value && Parent())
        m_ctl3D = Parent()->Ctl3D();
}

std::vector<TComponent*> TWinControl::GetChildren(TComponent* root) const
{
    std::vector<TComponent*> children;
    for (TControl* control : m_controls)
        if (control->Owner() == root)
            children.push_back(control);
    return children;
}

void TWinControl::SetChildOrder(TComponent* child, int order)
{
    auto it = std::find(m_controls.begin(), m_controls.end(), child);
    if (it == m_controls.end())
        return;
    TControl* control = *it;
    m_controls.erase(it);
    order = std::clamp(order, 0, static_cast<int>(m_controls.size()));
    m_controls.insert(m_controls.begin() + order, control);
}

void TWinControl::FontChanged()
{
    TControl::FontChanged();
    for (TControl* control : m_controls)
        control->ParentFontChanged();
}

void TWinControl::ParentFontChanged()
{
    TControl::ParentFontChanged();
}

void TWinControl::ParentColorChanged()
{
    TControl::ParentColorChanged();
    for (TControl* control : m_controls)
        control->ParentColorChanged();
}

const TClassInfo& TGraphicControl::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TGraphicControl, TControl>("TGraphicControl").Build();
    return info;
}
