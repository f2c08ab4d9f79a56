// The root classes' information, and the component's life: its name, its owner
// and the components it owns, freeing newest first, and the notifications that
// keep other components' references from dangling.
#include "framework/Component.h"

#include <algorithm>

#include "framework/Filer.h"
#include "framework/Reader.h"
#include "framework/Writer.h"

const TClassInfo& TObject::StaticClassInfo()
{
    static const TClassInfo info = [] {
        TClassInfo root;
        root.Name = "TObject";
        return root;
    }();
    return info;
}

const TClassInfo& TPersistent::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TPersistent, TObject>("TPersistent").Build();
    return info;
}

void TPersistent::DefineProperties(TFiler&) {}

template <>
const TEnumTypeInfo& EnumTypeOf<TComponentStateFlag>()
{
    static const TEnumTypeInfo info = EnumType<csFixups>(
        "TComponentStateFlag", {"csLoading", "csReading", "csWriting", "csDestroying", "csDesigning", "csFixups"});
    return info;
}

const TClassInfo& TComponent::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TComponent, TPersistent>("TComponent")
        .Property<&TComponent::Name, &TComponent::SetName>("Name")
        .Property<&TComponent::Tag, &TComponent::SetTag>("Tag", 0)
        .Build();
    return info;
}

bool IsValidIdent(std::string_view name)
{
    auto isAlpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    if (name.empty())
        return true;
    if (!isAlpha(name[0]))
        return false;
    return std::all_of(name.begin() + 1, name.end(), [&](char c) { return isAlpha(c) || (c >= '0' && c <= '9'); });
}

TComponent::TComponent(TComponent* owner)
{
    if (owner)
        owner->InsertComponent(this);
}

TComponent::~TComponent()
{
    PrepareDestroy();
    // A reference waiting for its root to be read must not outlive the
    // component it is to be assigned to, nor the root it was read into,
    // whatever the class of that root.
    TReader::RemoveFixups(this);
    if (m_owner)
        m_owner->RemoveComponent(this);
}

void TComponent::Free(TComponent* component)
{
    if (!component)
        return;
    component->BeforeDestruction();
    delete component;
}

void TComponent::BeforeDestruction()
{
    PrepareDestroy();
}

void TComponent::PrepareDestroy()
{
    if (m_prepared)
        return;
    m_prepared = true;
    Destroying();
    // Each component on the list is told, and drops its own link to this one.
    while (!m_freeNotifies.empty()) {
        TComponent* other = m_freeNotifies.back();
        m_freeNotifies.pop_back();
        other->m_freeNotifies.erase(std::remove(other->m_freeNotifies.begin(), other->m_freeNotifies.end(), this),
                                    other->m_freeNotifies.end());
        other->Notification(this, opRemove);
    }
    DestroyComponents();
}

void TComponent::Destroying()
{
    if (m_state.Contains(csDestroying))
        return;
    m_state.Include(csDestroying);
    for (TComponent* c : m_components)
        c->Destroying();
}

void TComponent::DestroyComponents()
{
    // Each component removes itself from the list as it is freed.
    while (!m_components.empty())
        Free(m_components.back());
}

void TComponent::SetName(const std::string& name)
{
    if (name == m_name)
        return;
    if (!IsValidIdent(name))
        throw EComponentError(StrId::SInvalidName, {name});
    if (m_owner && !SameName(name, m_name) && m_owner->FindComponent(name))
        throw EComponentError(StrId::SDuplicateName, {name});
    if (m_owner)
        m_owner->SetOwnerField(nullptr, m_name);
    m_name = name;
    if (m_owner)
        m_owner->SetOwnerField(this, m_name);
}

// Sets the published field called name of this component (the owner) to
// value, or clears it when value is none. A field that holds another
// component, or whose class does not fit, is left alone.
void TComponent::SetOwnerField(TComponent* value, std::string_view name)
{
    if (name.empty())
        return;
    const TFieldInfo* field = ClassInfo().FindField(name);
    if (!field)
        return;
    if (value) {
        if (value->InheritsFrom(*field->FieldClass()))
            field->Set(this, value);
    } else if (const TComponent* current = field->Get(this); current && SameName(current->Name(), name)) {
        field->Set(this, nullptr);
    }
}

int TComponent::ComponentIndex() const
{
    if (!m_owner)
        return -1;
    const auto& list = m_owner->m_components;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

TComponent* TComponent::FindComponent(std::string_view name) const
{
    if (name.empty())
        return nullptr;
    for (TComponent* c : m_components)
        if (SameName(c->m_name, name))
            return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component)
{
    if (!component->m_name.empty() && FindComponent(component->m_name))
        throw EComponentError(StrId::SDuplicateName, {component->m_name});
    if (component->m_owner)
        component->m_owner->RemoveComponent(component);
    Insert(component);
    SetOwnerField(component, component->m_name);
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component)
{
    if (component->m_owner != this)
        return;
    SetOwnerField(nullptr, component->m_name);
    Notification(component, opRemove);
    Remove(component);
}

void TComponent::Insert(TComponent* component)
{
    m_components.push_back(component);
    component->m_owner = this;
}

void TComponent::Remove(TComponent* component)
{
    m_components.erase(std::remove(m_components.begin(), m_components.end(), component), m_components.end());
    component->m_owner = nullptr;
}

void TComponent::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove)
        RemoveFreeNotification(component);
    // The owner passes the news on to the components it owns, unless it is
    // being freed itself and they are about to go too.
    if (!m_state.Contains(csDestroying))
        for (TComponent* c : std::vector<TComponent*>(m_components))
            if (c != component)
                c->Notification(component, operation);
}

void TComponent::FreeNotification(TComponent* component)
{
    if (!component || component == this)
        return;
    if (std::find(m_freeNotifies.begin(), m_freeNotifies.end(), component) == m_freeNotifies.end())
        m_freeNotifies.push_back(component);
    if (std::find(component->m_freeNotifies.begin(), component->m_freeNotifies.end(), this) == component->m_freeNotifies.end())
        component->m_freeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component)
{
    if (!component)
        return;
    m_freeNotifies.erase(std::remove(m_freeNotifies.begin(), m_freeNotifies.end(), component), m_freeNotifies.end());
    component->m_freeNotifies.erase(std::remove(component->m_freeNotifies.begin(), component->m_freeNotifies.end(), this),
                                    component->m_freeNotifies.end());
}

void TComponent::ReadState(TReader& reader)
{
    reader.ReadData(this);
}

void TComponent::WriteState(TWriter& writer)
{
    writer.WriteData(this);
}

void TComponent::Loaded()
{
    SetLoading(false);
}

void TComponent::SetChildOrder(TComponent*, int) {}

std::vector<TComponent*> TComponent::GetChildren(TComponent*) const
{
    return {};
}

void TComponent::DefineProperties(TFiler& filer)
{
    // A component that is not a control keeps the position it had in the
    // designer; it has no effect at run time.
    if (HasParent())
        return;
    const bool stored = m_designLeft != 0 || m_designTop != 0;
    filer.DefineProperty(
        "Left", [this](TReader& r) { m_designLeft = r.ReadInteger(); },
        [this](TWriter& w) { w.WriteInteger(m_designLeft); }, stored);
    filer.DefineProperty(
        "Top", [this](TReader& r) { m_designTop = r.ReadInteger(); },
        [this](TWriter& w) { w.WriteInteger(m_designTop); }, stored);
}
