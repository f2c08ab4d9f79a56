// The roots of the class tree: TObject (type information), TPersistent
// (objects whose properties can be stored) and TComponent, which adds a name,
// an owner that frees it, the components it owns, and notification of
// insertion, removal and freeing. The component tree is the ownership tree.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/TypeInfo.h"

class TFiler;
class TReader;
class TWriter;

class TObject {
public:
    TObject() = default;
    virtual ~TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;

    static const TClassInfo& StaticClassInfo();
    virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }
    std::string_view ClassName() const { return ClassInfo().Name; }
    bool InheritsFrom(const TClassInfo& other) const { return ClassInfo().InheritsFrom(other); }
};

class TPersistent : public TObject {
    DECLARE_CLASS_INFO(TPersistent)
public:
    TPersistent() = default;

    // Declares the values the object stores besides its published properties
    // (TFiler::DefineProperty); none by default.
    virtual void DefineProperties(TFiler& filer);
};

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag { csLoading, csReading, csWriting, csDestroying, csDesigning, csFixups };
template <>
const TEnumTypeInfo& EnumTypeOf<TComponentStateFlag>();
using TComponentState = TSet<TComponentStateFlag>;

class TComponent : public TPersistent {
    DECLARE_CLASS_INFO(TComponent)
public:
    // The new component is owned by owner (none: nobody frees it but its
    // creator) and is inserted into the owner's list at once.
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    // Frees a component: BeforeDestruction runs while the whole object still
    // exists, then the object is deleted. Use this rather than delete.
    static void Free(TComponent* component);
    // The first steps of freeing; by default PrepareDestroy. A class that
    // runs handlers when it goes (a form's OnDestroy) runs them here first.
    virtual void BeforeDestruction();

    // Properties
    const std::string& Name() const { return m_name; }
    // Raises EComponentError for an invalid identifier or a name another
    // component of the same owner has.
    void SetName(const std::string& name);
    int32_t Tag() const { return m_tag; }
    void SetTag(int32_t tag) { m_tag = tag; }

    TComponent* Owner() const { return m_owner; }
    int ComponentCount() const { return static_cast<int>(m_components.size()); }
    TComponent* Components(int index) const { return m_components.at(static_cast<size_t>(index)); }
    int ComponentIndex() const;
    // The owned component of that name (ignoring ASCII case), or none.
    TComponent* FindComponent(std::string_view name) const;

    TComponentState ComponentState() const { return m_state; }
    bool IsLoading() const { return m_state.Contains(csLoading); }
    bool IsDestroying() const { return m_state.Contains(csDestroying); }

    // Ownership
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    // Frees every owned component, the most recently inserted first.
    void DestroyComponents();
    // Marks this component and everything it owns as being destroyed.
    void Destroying();

    // Asks to be told (through Notification with opRemove) when component is
    // freed. Both sides keep the link, so either may go first.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // Streaming. The reader calls these; a class changes them to read more
    // than its properties and children, or to take a parent.
    virtual void ReadState(TReader& reader);
    virtual void Loaded();
    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent*) {}
    // Where the components read inside this one's record go: their parent
    // and (always the root for the program's forms) their owner.
    virtual TComponent* GetChildParent() { return this; }
    virtual TComponent* GetChildOwner() { return nullptr; }
    virtual void SetChildOrder(TComponent* child, int order);
    // The components written inside this one's record, in order.
    virtual std::vector<TComponent*> GetChildren(TComponent* root) const;
    virtual void WriteState(TWriter& writer);

    void SetLoading(bool on) { SetState(csLoading, on); }
    void SetReading(bool on) { SetState(csReading, on); }
    void SetFixups(bool on) { SetState(csFixups, on); }

    // The design position of a non-visual component, kept but unused at run time.
    int32_t DesignLeft() const { return m_designLeft; }
    int32_t DesignTop() const { return m_designTop; }
    void SetDesignPosition(int32_t left, int32_t top) { m_designLeft = left; m_designTop = top; }

    void DefineProperties(TFiler& filer) override;

protected:
    // Told of components inserted into or removed from the owner, and of the
    // freeing of components this one asked to be told about.
    virtual void Notification(TComponent* component, TOperation operation);
    // Runs the first steps of freeing while the whole object still exists:
    // free notifications, the destroying mark and the owned components. A
    // class whose owned components need it intact calls this first in its
    // destructor; it does nothing the second time.
    void PrepareDestroy();
    void SetState(TComponentStateFlag flag, bool on)
    {
        if (on)
            m_state.Include(flag);
        else
            m_state.Exclude(flag);
    }

private:
    void Insert(TComponent* component);
    void Remove(TComponent* component);
    void SetOwnerField(TComponent* value, std::string_view name);

    std::string m_name;
    int32_t m_tag = 0;
    TComponent* m_owner = nullptr;               // not owned; cleared when the owner removes this component
    std::vector<TComponent*> m_components;       // owned
    std::vector<TComponent*> m_freeNotifies;     // not owned; each side removes itself when freed
    TComponentState m_state;
    bool m_prepared = false;
    int32_t m_designLeft = 0;
    int32_t m_designTop = 0;
};

// Whether name is empty or a letter or "_" followed by letters, digits or "_".
bool IsValidIdent(std::string_view name);

// Errors of the component model.
#include "runtime/Exceptions.h"
class EComponentError : public Exception {
public:
    using Exception::Exception;
};
class EClassNotFound : public EFilerError {
public:
    using EFilerError::EFilerError;
};

// An owning pointer to a component that frees it (see TComponent::Free) on
// every way out of the scope that holds it.
struct FreeComponent {
    void operator()(TComponent* component) const { TComponent::Free(component); }
};
template <typename T>
using ComponentPtr = std::unique_ptr<T, FreeComponent>;
