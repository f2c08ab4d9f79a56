// The test classes' published properties and defined values, the log of what
// they did, and the parent and child order of the test controls.
#include "tools/fuzz/TestClasses.h"

#include <algorithm>

#include "framework/Filer.h"
#include "framework/Reader.h"
#include "framework/Writer.h"
#include "runtime/Stream.h"

// ---------------------------------------------------------------------------
// Types

const TIntTypeInfo& IntTypeOf(TTestColor)
{
    static const TIntTypeInfo info{"TTestColor",
                                   {
                                       {tcBlack, "clBlack"},
                                       {tcMaroon, "clMaroon"},
                                       {tcRed, "clRed"},
                                       {tcWhite, "clWhite"},
                                       {tcBtnFace, "clBtnFace"},
                                       {tcNone, "clNone"},
                                   }};
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TTestShape>()
{
    static const TEnumTypeInfo info = EnumType<tshTriangle>("TTestShape", {"tshCircle", "tshSquare", "tshTriangle"});
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TTestStyle>()
{
    static const TEnumTypeInfo info =
        EnumType<tstStrikeOut>("TTestStyle", {"tstBold", "tstItalic", "tstUnderline", "tstStrikeOut"});
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TTestElement>()
{
    static const TEnumTypeInfo info = EnumType<te39>(
        "TTestElement",
        {"te0",  "te1",  "te2",  "te3",  "te4",  "te5",  "te6",  "te7",  "te8",  "te9",
         "te10", "te11", "te12", "te13", "te14", "te15", "te16", "te17", "te18", "te19",
         "te20", "te21", "te22", "te23", "te24", "te25", "te26", "te27", "te28", "te29",
         "te30", "te31", "te32", "te33", "te34", "te35", "te36", "te37", "te38", "te39"});
    return info;
}

std::vector<std::string>& TestLog()
{
    static std::vector<std::string> log;
    return log;
}

std::vector<std::string> TestLogEntries(const std::string& prefix)
{
    std::vector<std::string> result;
    for (const std::string& entry : TestLog())
        if (entry.compare(0, prefix.size(), prefix) == 0)
            result.push_back(entry.substr(prefix.size()));
    return result;
}

// ---------------------------------------------------------------------------
// TTestFont, TTestItem, TTestCollection

const TClassInfo& TTestFont::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TTestFont, TPersistent>("TTestFont")
        .Property<&TTestFont::Height, &TTestFont::SetHeight>("Height")
        .Property<&TTestFont::Color, &TTestFont::SetColor>("Color", tcBlack)
        .Property<&TTestFont::Name, &TTestFont::SetName>("Name")
        .Property<&TTestFont::Style, &TTestFont::SetStyle>("Style", TTestStyles{})
        .Build();
    return info;
}

void TTestFont::Assign(const TTestFont& other)
{
    m_height = other.m_height;
    m_color = other.m_color;
    m_name = other.m_name;
    m_style = other.m_style;
}

const TClassInfo& TTestItem::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TTestItem, TCollectionItem>("TTestItem")
        .Property<&TTestItem::Caption, &TTestItem::SetCaption>("Caption")
        .Property<&TTestItem::Value, &TTestItem::SetValue>("Value", 0)
        .Build();
    return info;
}

const TClassInfo& TTestCollection::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TTestCollection, TCollection>("TTestCollection").Build();
    return info;
}

TTestCollection::TTestCollection()
    : TCollection([](TCollection* owner) -> std::unique_ptr<TCollectionItem> { return std::make_unique<TTestItem>(owner); })
{
}

void TTestCollection::Assign(const TTestCollection& other)
{
    BeginUpdate();
    Clear();
    for (int i = 0; i < other.Count(); ++i) {
        TTestItem* item = AddItem();
        item->SetCaption(other.Item(i)->Caption());
        item->SetValue(other.Item(i)->Value());
    }
    EndUpdate();
}

// ---------------------------------------------------------------------------
// TTestComponent

const TClassInfo& TTestComponent::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TTestComponent, TComponent>("TTestComponent")
        .Property<&TTestComponent::Number, &TTestComponent::SetNumber>("Number")
        .Property<&TTestComponent::Color, &TTestComponent::SetColor>("Color", tcBlack)
        .Property<&TTestComponent::Letter, &TTestComponent::SetLetter>("Letter", 'a')
        .Property<&TTestComponent::Shape, &TTestComponent::SetShape>("Shape", tshCircle)
        .Property<&TTestComponent::Enabled, &TTestComponent::SetEnabled>("Enabled", true)
        .Property<&TTestComponent::Ratio, &TTestComponent::SetRatio>("Ratio")
        .Property<&TTestComponent::Caption, &TTestComponent::SetCaption>("Caption")
        .Property<&TTestComponent::Elements, &TTestComponent::SetElements>("Elements", TTestElements{})
        .Property<&TTestComponent::Font, &TTestComponent::SetFont>("Font")
        .Property<&TTestComponent::Buddy, &TTestComponent::SetBuddy>("Buddy")
        .Property<&TTestComponent::Items, &TTestComponent::SetItems>("Items")
        .Property<&TTestComponent::LoadCount>("LoadCount")
        .Property<&TTestComponent::OnClick, &TTestComponent::SetOnClick>("OnClick")
        .Property<&TTestComponent::OnClose, &TTestComponent::SetOnClose>("OnClose")
        .Build();
    return info;
}

TTestComponent::TTestComponent(TComponent* owner)
    : TComponent(owner), m_font(std::make_unique<TTestFont>()), m_items(std::make_unique<TTestCollection>())
{
}

TTestComponent::~TTestComponent()
{
    // Logged once what it owns is gone, so that the log shows the order in
    // which freeing completes.
    PrepareDestroy();
    TestLog().push_back("Free " + Name());
}

void TTestComponent::SetFont(TTestFont* font)
{
    if (font)
        m_font->Assign(*font);
}

void TTestComponent::SetBuddy(TTestComponent* buddy)
{
    if (buddy == m_buddy)
        return;
    if (m_buddy && m_buddy->Owner() != Owner())
        m_buddy->RemoveFreeNotification(this);
    m_buddy = buddy;
    // A buddy of the same owner is reported through the owner when it goes;
    // one of another owner is asked to report it itself.
    if (buddy && buddy->Owner() != Owner())
        buddy->FreeNotification(this);
}

void TTestComponent::SetItems(TTestCollection* items)
{
    if (items)
        m_items->Assign(*items);
    else
        m_items->Clear();
}

void TTestComponent::Loaded()
{
    m_loadingWhenLoaded = IsLoading();
    ++m_loadCount;
    TComponent::Loaded();
    TestLog().push_back("Loaded " + Name());
}

void TTestComponent::DefineProperties(TFiler& filer)
{
    TComponent::DefineProperties(filer);
    filer.DefineProperty(
        "Extra", [this](TReader& reader) { m_extra = reader.ReadInteger(); },
        [this](TWriter& writer) { writer.WriteInteger(m_extra); }, m_extra != 0);
    filer.DefineBinaryProperty(
        "Blob",
        [this](TStream& stream) {
            m_blob.assign(static_cast<size_t>(stream.Size()), 0);
            stream.ReadBuffer(m_blob.data(), static_cast<int64_t>(m_blob.size()));
        },
        [this](TStream& stream) { stream.WriteBuffer(m_blob.data(), static_cast<int64_t>(m_blob.size())); },
        !m_blob.empty());
    filer.DefineProperty(
        "Lines",
        [this](TReader& reader) {
            m_lines.clear();
            reader.ReadListBegin();
            while (!reader.EndOfList())
                m_lines.push_back(reader.ReadString());
            reader.ReadListEnd();
        },
        [this](TWriter& writer) {
            writer.WriteListBegin();
            for (const std::string& line : m_lines)
                writer.WriteString(line);
            writer.WriteListEnd();
        },
        !m_lines.empty());
}

void TTestComponent::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    m_notifications.push_back({component, operation});
    if (operation == opRemove && component == m_buddy)
        m_buddy = nullptr;
}

// ---------------------------------------------------------------------------
// TestContainer, TTestControl

void TestContainer::MoveChild(TTestControl* child, int position)
{
    auto it = std::find(m_children.begin(), m_children.end(), child);
    if (it == m_children.end())
        return;
    m_children.erase(it);
    position = std::clamp(position, 0, static_cast<int>(m_children.size()));
    m_children.insert(m_children.begin() + position, child);
}

void TestContainer::FreeChildren()
{
    // Each child leaves the list as it is freed.
    while (!m_children.empty())
        TComponent::Free(m_children.back());
}

const TClassInfo& TTestControl::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TTestControl, TTestComponent>("TTestControl")
        .Property<&TTestControl::Width, &TTestControl::SetWidth>("Width", 0)
        .Build();
    return info;
}

TTestControl::~TTestControl()
{
    // The children refer to this control as their parent: they go first.
    PrepareDestroy();
    FreeChildren();
    SetParentComponent(nullptr);
}

void TTestControl::SetParentComponent(TComponent* parent)
{
    auto* container = dynamic_cast<TestContainer*>(parent);
    if (container == dynamic_cast<TestContainer*>(m_parent))
        return;
    if (auto* old = dynamic_cast<TestContainer*>(m_parent))
        std::erase(old->m_children, this);
    // A component that cannot hold controls is no parent.
    m_parent = container ? parent : nullptr;
    if (container)
        container->m_children.push_back(this);
}

void TTestControl::SetChildOrder(TComponent* child, int order)
{
    if (auto* control = dynamic_cast<TTestControl*>(child))
        MoveChild(control, order);
}

std::vector<TComponent*> TTestControl::GetChildren(TComponent*) const
{
    return {m_children.begin(), m_children.end()};
}

// ---------------------------------------------------------------------------
// TTestTimer

const TClassInfo& TTestTimer::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TTestTimer, TComponent>("TTestTimer")
        .Property<&TTestTimer::Interval, &TTestTimer::SetInterval>("Interval", 1000)
        .Property<&TTestTimer::OnTimer, &TTestTimer::SetOnTimer>("OnTimer")
        .Build();
    return info;
}

TTestTimer::~TTestTimer()
{
    PrepareDestroy();
    TestLog().push_back("Free " + Name());
}

void TTestTimer::Loaded()
{
    TComponent::Loaded();
    TestLog().push_back("Loaded " + Name());
}

// ---------------------------------------------------------------------------
// TTestForm

const TClassInfo& TTestForm::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TTestForm, TComponent>("TTestForm")
        .Property<&TTestForm::Caption, &TTestForm::SetCaption>("Caption")
        .Property<&TTestForm::Color, &TTestForm::SetColor>("Color", tcBtnFace)
        .Property<&TTestForm::Font, &TTestForm::SetFont>("Font")
        .Property<&TTestForm::OnShow, &TTestForm::SetOnShow>("OnShow")
        .Property<&TTestForm::OnClose, &TTestForm::SetOnClose>("OnClose")
        .Field<&TTestForm::Comp1>("Comp1")
        .Field<&TTestForm::Comp2>("Comp2")
        .Field<&TTestForm::Comp3>("Comp3")
        .Field<&TTestForm::Panel1>("Panel1")
        .Field<&TTestForm::Button1>("Button1")
        .Field<&TTestForm::Button2>("Button2")
        .Field<&TTestForm::Timer1>("Timer1")
        .Method<TNotifyEvent, &TTestForm::Form1Show>("Form1Show")
        .Method<TCloseEvent, &TTestForm::Form1Close>("Form1Close")
        .Method<TNotifyEvent, &TTestForm::ButtonClick>("ButtonClick")
        .Build();
    return info;
}

TTestForm::TTestForm(TComponent* owner) : TComponent(owner), m_font(std::make_unique<TTestFont>()) {}

TTestForm::~TTestForm()
{
    // The owned controls refer to the form as their parent: they go while
    // it is whole, and so do controls of another owner placed on it.
    PrepareDestroy();
    FreeChildren();
    TestLog().push_back("Free " + Name());
}

void TTestForm::SetFont(TTestFont* font)
{
    if (font)
        m_font->Assign(*font);
}

namespace {

std::string SenderName(TObject* sender)
{
    auto* component = dynamic_cast<TComponent*>(sender);
    return component ? component->Name() : std::string("-");
}

} // namespace

void TTestForm::Form1Show(TObject* sender)
{
    TestLog().push_back("Call Form1Show " + SenderName(sender));
}

void TTestForm::Form1Close(TObject* sender, TCloseAction& action)
{
    TestLog().push_back("Call Form1Close " + SenderName(sender));
    action = caFree;
}

void TTestForm::ButtonClick(TObject* sender)
{
    TestLog().push_back("Call ButtonClick " + SenderName(sender));
}

void TTestForm::SetChildOrder(TComponent* child, int order)
{
    if (auto* control = dynamic_cast<TTestControl*>(child))
        MoveChild(control, order);
}

std::vector<TComponent*> TTestForm::GetChildren(TComponent*) const
{
    // Non-visual components and the controls that sit on the form itself,
    // in the order the form owns them; the other controls are written
    // inside their parents' records.
    std::vector<TComponent*> children;
    for (int i = 0; i < ComponentCount(); ++i) {
        TComponent* component = Components(i);
        if (!component->HasParent() || component->GetParentComponent() == this)
            children.push_back(component);
    }
    return children;
}

void TTestForm::Loaded()
{
    TComponent::Loaded();
    TestLog().push_back("Loaded " + Name());
}

void TTestForm::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    m_notifications.push_back({component, operation});
}
