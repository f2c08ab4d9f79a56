// Run-time type information for the component classes: what the reader and
// the writer need to create components by class name, set and get their
// published properties by name, fill a form's published fields and bind its
// events to its published methods. Each class describes itself once, next to
// its declaration, with the ClassInfoBuilder below; nothing here depends on
// the operating system.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

class TObject;
class TPersistent;
class TComponent;
struct TClassInfo;
struct TMethodInfo;

// Compares two names ignoring the case of the ASCII letters only.
bool SameName(std::string_view a, std::string_view b);

// ---------------------------------------------------------------------------
// Type details

enum class TTypeKind { Integer, Char, Enumeration, Float, String, Set, Class, Method };

// An enumeration's element names, in order of their values (from 0).
struct TEnumTypeInfo {
    std::string_view Name;
    std::vector<std::string_view> Names;

    // The value of an element name (ignoring ASCII case), or -1.
    int ValueOf(std::string_view name) const;
    std::string_view NameOf(int value) const;
};

// Identifiers an integer type may be stored as (the colour names, say).
struct TIdentEntry {
    int32_t Value;
    std::string_view Name;
};

struct TIntTypeInfo {
    std::string_view Name;
    std::vector<TIdentEntry> Idents;  // empty: plain integers only

    bool IdentToInt(std::string_view ident, int32_t& value) const;
    bool IntToIdent(int32_t value, std::string_view& ident) const;
};

// The signature of an event type; an event can be bound only to a method of
// the same signature.
struct TEventTypeInfo {
    std::string_view Name;
};

// The enumeration names of E, from EnumTypeOf<E>() specialised next to E.
template <typename E>
const TEnumTypeInfo& EnumTypeOf();

template <>
const TEnumTypeInfo& EnumTypeOf<bool>();

// An enumeration's names, one for each of its values in order, for an
// EnumTypeOf specialisation. Last is the enumeration's last value, so that a
// name missing or left over does not compile.
template <auto Last, size_t N>
TEnumTypeInfo EnumType(std::string_view name, const std::string_view (&names)[N])
{
    static_assert(std::is_enum_v<decltype(Last)> || std::is_same_v<decltype(Last), bool>);
    static_assert(N == static_cast<size_t>(Last) + 1, "an enumeration needs one name for each of its values");
    return TEnumTypeInfo{name, std::vector<std::string_view>(names, names + N)};
}

// A set of up to 32 elements of the enumeration E.
template <typename E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> elements)
    {
        for (E e : elements)
            Include(e);
    }
    static constexpr TSet FromBits(uint32_t bits)
    {
        TSet s;
        s.m_bits = bits;
        return s;
    }

    constexpr bool Contains(E e) const { return static_cast<unsigned>(e) < 32 && (m_bits >> static_cast<unsigned>(e) & 1); }
    constexpr TSet& Include(E e)
    {
        if (static_cast<unsigned>(e) < 32)
            m_bits |= 1u << static_cast<unsigned>(e);
        return *this;
    }
    constexpr TSet& Exclude(E e)
    {
        if (static_cast<unsigned>(e) < 32)
            m_bits &= ~(1u << static_cast<unsigned>(e));
        return *this;
    }
    constexpr bool Empty() const { return m_bits == 0; }
    constexpr uint32_t Bits() const { return m_bits; }
    friend constexpr bool operator==(TSet a, TSet b) { return a.m_bits == b.m_bits; }

private:
    uint32_t m_bits = 0;
};

// ---------------------------------------------------------------------------
// Events: a method of some object, bound by the reader or by code.

struct TMethod {
    TObject* Data = nullptr;            // the object the method is called on
    const TMethodInfo* Code = nullptr;  // the method; none: the event is not set

    explicit operator bool() const { return Code != nullptr; }
    friend bool operator==(const TMethod& a, const TMethod& b) { return a.Data == b.Data && a.Code == b.Code; }
};

// A published method: its name, signature and a caller that turns the object
// pointer back into the class the method belongs to.
struct TMethodInfo {
    std::string_view Name;
    const TEventTypeInfo* Signature;
    void (*Thunk)();  // really void (*)(TObject*, Args...) for the signature's Args
};

namespace detail {
template <auto Method>
struct MethodTraits;
template <typename C, typename... Args, void (C::*Method)(Args...)>
struct MethodTraits<Method> {
    using Class = C;
    static void Call(TObject* self, Args... args) { (static_cast<C*>(self)->*Method)(args...); }
};
} // namespace detail

// An event property's value: a bound method with the argument list Args.
template <const TEventTypeInfo& Signature, typename... Args>
class TEvent {
public:
    using Caller = void (*)(TObject*, Args...);

    TEvent() = default;
    explicit TEvent(TMethod method) : m_method(method) {}

    // Binds a method of an object from code; the method needs no name.
    template <auto Method>
    static TEvent Of(typename detail::MethodTraits<Method>::Class* object)
    {
        static const TMethodInfo info{std::string_view(), &Signature,
                                      reinterpret_cast<void (*)()>(&detail::MethodTraits<Method>::Call)};
        return TEvent(TMethod{object, &info});
    }

    static const TEventTypeInfo& Type() { return Signature; }
    const TMethod& Method() const { return m_method; }
    explicit operator bool() const { return static_cast<bool>(m_method); }
    void operator()(Args... args) const
    {
        if (m_method)
            reinterpret_cast<Caller>(m_method.Code->Thunk)(m_method.Data, args...);
    }
    friend bool operator==(const TEvent& a, const TEvent& b) { return a.m_method == b.m_method; }

private:
    TMethod m_method;
};

extern const TEventTypeInfo NotifyEventType;
extern const TEventTypeInfo CloseEventType;
extern const TEventTypeInfo CloseQueryEventType;

enum TCloseAction { caNone, caHide, caFree, caMinimize };
template <>
const TEnumTypeInfo& EnumTypeOf<TCloseAction>();

using TNotifyEvent = TEvent<NotifyEventType, TObject*>;
using TCloseEvent = TEvent<CloseEventType, TObject*, TCloseAction&>;
using TCloseQueryEvent = TEvent<CloseQueryEventType, TObject*, bool&>;

// ---------------------------------------------------------------------------
// Published properties, fields and classes

struct TPropInfo {
    std::string_view Name;
    TTypeKind Kind;
    const TEnumTypeInfo* EnumType = nullptr;   // Enumeration; Set: the element type
    const TIntTypeInfo* IntType = nullptr;     // Integer types with identifiers
    const TClassInfo* (*PropClass)() = nullptr;  // Class: the class of the object held
    const TEventTypeInfo* EventType = nullptr;   // Method
    bool HasDefault = false;
    int64_t Default = 0;  // ordinal kinds: not written when the value equals it
    // When set and answering false, the writer leaves the property out
    // (for example a colour taken from the parent).
    bool (*Stored)(const TObject*) = nullptr;

    // Accessors for the property's kind; a missing setter makes it read-only.
    int64_t (*GetOrd)(const TObject*) = nullptr;
    void (*SetOrd)(TObject*, int64_t) = nullptr;
    long double (*GetFloat)(const TObject*) = nullptr;
    void (*SetFloat)(TObject*, long double) = nullptr;
    std::string (*GetStr)(const TObject*) = nullptr;
    void (*SetStr)(TObject*, const std::string&) = nullptr;
    TObject* (*GetObj)(const TObject*) = nullptr;
    void (*SetObj)(TObject*, TObject*) = nullptr;
    TMethod (*GetMethod)(const TObject*) = nullptr;
    void (*SetMethod)(TObject*, const TMethod&) = nullptr;

    bool IsReadOnly() const { return !SetOrd && !SetFloat && !SetStr && !SetObj && !SetMethod; }
};

// A published field of a form class: the reader fills it when a component of
// that name is owned by the form, and clears it when the component goes.
struct TFieldInfo {
    std::string_view Name;
    const TClassInfo* (*FieldClass)();
    void (*Set)(TObject* owner, TComponent* value);
    TComponent* (*Get)(const TObject* owner);
};

struct TClassInfo {
    std::string_view Name;
    const TClassInfo* Parent = nullptr;
    // Creates an instance owned by owner; none for classes a reader cannot
    // create (abstract classes, objects that are not components).
    TComponent* (*Create)(TComponent* owner) = nullptr;
    std::vector<TPropInfo> Properties;  // this class's own, in declaration order
    // Properties this class declares with their accessors and defaults but
    // leaves for its descendants to publish by name (ClassInfoBuilder::Publish).
    std::vector<TPropInfo> Unpublished;
    std::vector<TFieldInfo> Fields;
    std::vector<TMethodInfo> Methods;

    bool InheritsFrom(const TClassInfo& other) const;
    // Lookups by name ignoring ASCII case, through the class chain.
    const TPropInfo* FindProperty(std::string_view name) const;
    const TFieldInfo* FindField(std::string_view name) const;
    const TMethodInfo* FindMethod(std::string_view name) const;
    // The classes of the published fields of this class and its ancestors,
    // by class name ignoring ASCII case.
    const TClassInfo* FindFieldClass(std::string_view name) const;
    // All published properties, ancestors' first.
    std::vector<const TPropInfo*> AllProperties() const;
    // A property this class or an ancestor publishes or declares, by name
    // ignoring ASCII case; throws std::logic_error when there is none.
    const TPropInfo& DeclaredProperty(std::string_view name) const;
};

// ---------------------------------------------------------------------------
// Declaring a class's type information
//
//   class TLabel : public TGraphicControl {
//       DECLARE_CLASS_INFO(TLabel)
//       ...
//   };
//   const TClassInfo& TLabel::StaticClassInfo()
//   {
//       static const TClassInfo info = ClassInfoBuilder<TLabel, TGraphicControl>("TLabel")
//           .Property<&TLabel::Alignment, &TLabel::SetAlignment>("Alignment", taLeftJustify)
//           .Publish("Caption", "Color")   // declared by TControl
//           .Build();
//       return info;
//   }

#define DECLARE_CLASS_INFO(Class)                                              \
public:                                                                        \
    static const TClassInfo& StaticClassInfo();                                \
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); } \
                                                                               \
private:

namespace detail {

template <typename T>
struct IsSet : std::false_type {};
template <typename E>
struct IsSet<TSet<E>> : std::true_type {
    using Element = E;
};

template <typename T>
struct IsEvent : std::false_type {};
template <const TEventTypeInfo& S, typename... Args>
struct IsEvent<TEvent<S, Args...>> : std::true_type {};

// The integer type with identifiers that T stands for, if any: a type that
// has one declares `const TIntTypeInfo& IntTypeOf(T)` next to it.
template <typename T, typename = void>
struct HasIntType : std::false_type {};
template <typename T>
struct HasIntType<T, std::void_t<decltype(IntTypeOf(std::declval<T>()))>> : std::true_type {};

template <typename T>
using Bare = std::remove_cvref_t<T>;

template <auto Getter>
struct GetterTraits;
template <typename C, typename R, R (C::*Getter)() const>
struct GetterTraits<Getter> {
    using Class = C;
    using Value = Bare<R>;
    static Value Get(const TObject* obj) { return (static_cast<const C*>(obj)->*Getter)(); }
};

template <auto Setter>
struct SetterTraits;
template <typename C, typename A, void (C::*Setter)(A)>
struct SetterTraits<Setter> {
    using Class = C;
    using Value = Bare<A>;
    static void Set(TObject* obj, Value value) { (static_cast<C*>(obj)->*Setter)(value); }
};

template <typename T>
int64_t ToOrd(const T& value)
{
    if constexpr (IsSet<T>::value)
        return value.Bits();
    else
        return static_cast<int64_t>(value);
}

template <typename T>
T FromOrd(int64_t value)
{
    if constexpr (IsSet<T>::value)
        return T::FromBits(static_cast<uint32_t>(value));
    else if constexpr (std::is_same_v<T, bool>)
        return value != 0;
    else
        return static_cast<T>(value);
}

} // namespace detail

template <typename C, typename Base>
class ClassInfoBuilder {
public:
    explicit ClassInfoBuilder(std::string_view name)
    {
        m_info.Name = name;
        m_info.Parent = &Base::StaticClassInfo();
        if constexpr (std::is_base_of_v<TComponent, C> && !std::is_abstract_v<C> && std::is_constructible_v<C, TComponent*>)
            m_info.Create = [](TComponent* owner) -> TComponent* { return new C(owner); };
    }

    // A published property with a getter and a setter (or none: read-only).
    // The kind follows from the value type. An ordinal property may have a
    // default value, which the writer leaves out.
    template <auto Getter, auto Setter = nullptr, typename... D>
    ClassInfoBuilder& Property(std::string_view name, D... defaultValue)
    {
        m_info.Properties.push_back(MakeProperty<Getter, Setter>(name, defaultValue...));
        return *this;
    }

    // A property declared for descendants to publish by name (see Publish);
    // like Property, but not published by this class.
    template <auto Getter, auto Setter = nullptr, typename... D>
    ClassInfoBuilder& Declare(std::string_view name, D... defaultValue)
    {
        m_info.Unpublished.push_back(MakeProperty<Getter, Setter>(name, defaultValue...));
        return *this;
    }

    // Publishes properties an ancestor declares or publishes, in the order
    // given, with the ancestor's accessors and defaults.
    template <typename... Names>
        requires(std::is_convertible_v<Names, std::string_view> && ...)
    ClassInfoBuilder& Publish(Names... names)
    {
        (m_info.Properties.push_back(m_info.Parent->DeclaredProperty(names)), ...);
        return *this;
    }

    // Publishes one with a default of this class's own.
    template <typename D>
        requires(!std::is_convertible_v<D, std::string_view>)
    ClassInfoBuilder& Publish(std::string_view name, D defaultValue)
    {
        TPropInfo info = m_info.Parent->DeclaredProperty(name);
        info.HasDefault = true;
        info.Default = detail::ToOrd(defaultValue);
        m_info.Properties.push_back(info);
        return *this;
    }

    // Makes the property added last stored only while the instance's
    // predicate (a const member function returning bool) answers true.
    template <auto Predicate>
    ClassInfoBuilder& StoredWhen()
    {
        m_info.Properties.back().Stored = [](const TObject* instance) {
            return (static_cast<const C*>(instance)->*Predicate)();
        };
        return *this;
    }

    // A published field of a form class, holding a component of type T.
    template <auto Member>
    ClassInfoBuilder& Field(std::string_view name)
    {
        using T = std::remove_pointer_t<detail::Bare<decltype(static_cast<C*>(nullptr)->*Member)>>;
        m_info.Fields.push_back(TFieldInfo{
            name,
            []() { return &T::StaticClassInfo(); },
            [](TObject* owner, TComponent* value) { static_cast<C*>(owner)->*Member = static_cast<T*>(value); },
            [](const TObject* owner) -> TComponent* { return static_cast<const C*>(owner)->*Member; },
        });
        return *this;
    }

    // A published method (an event handler the reader may bind by name).
    template <typename EventType, auto Handler>
    ClassInfoBuilder& Method(std::string_view name)
    {
        m_info.Methods.push_back(TMethodInfo{name, &EventType::Type(),
                                             reinterpret_cast<void (*)()>(&detail::MethodTraits<Handler>::Call)});
        return *this;
    }

    TClassInfo Build() { return std::move(m_info); }

private:
    template <auto Getter, auto Setter, typename... D>
    static TPropInfo MakeProperty(std::string_view name, D... defaultValue)
    {
        static_assert(sizeof...(D) <= 1, "a property has one default at most");
        using G = detail::GetterTraits<Getter>;
        using T = typename G::Value;
        TPropInfo info;
        info.Name = name;
        constexpr bool hasSetter = !std::is_same_v<decltype(Setter), std::nullptr_t>;
        if constexpr (hasSetter)
            static_assert(std::is_same_v<typename detail::SetterTraits<Setter>::Value, T>,
                          "getter and setter of a property must agree on its type");

        if constexpr (std::is_same_v<T, std::string>) {
            info.Kind = TTypeKind::String;
            info.GetStr = [](const TObject* obj) { return G::Get(obj); };
            if constexpr (hasSetter)
                info.SetStr = [](TObject* obj, const std::string& v) { detail::SetterTraits<Setter>::Set(obj, v); };
        } else if constexpr (std::is_floating_point_v<T>) {
            info.Kind = TTypeKind::Float;
            info.GetFloat = [](const TObject* obj) { return static_cast<long double>(G::Get(obj)); };
            if constexpr (hasSetter)
                info.SetFloat = [](TObject* obj, long double v) { detail::SetterTraits<Setter>::Set(obj, static_cast<T>(v)); };
        } else if constexpr (std::is_pointer_v<T>) {
            using P = std::remove_pointer_t<T>;
            info.Kind = TTypeKind::Class;
            info.PropClass = []() { return &P::StaticClassInfo(); };
            info.GetObj = [](const TObject* obj) -> TObject* { return G::Get(obj); };
            if constexpr (hasSetter)
                info.SetObj = [](TObject* obj, TObject* v) { detail::SetterTraits<Setter>::Set(obj, static_cast<T>(v)); };
        } else if constexpr (detail::IsEvent<T>::value) {
            info.Kind = TTypeKind::Method;
            info.EventType = &T::Type();
            info.GetMethod = [](const TObject* obj) { return G::Get(obj).Method(); };
            if constexpr (hasSetter)
                info.SetMethod = [](TObject* obj, const TMethod& m) { detail::SetterTraits<Setter>::Set(obj, T(m)); };
        } else {
            if constexpr (detail::IsSet<T>::value) {
                info.Kind = TTypeKind::Set;
                info.EnumType = &EnumTypeOf<typename detail::IsSet<T>::Element>();
            } else if constexpr (std::is_same_v<T, char>) {
                info.Kind = TTypeKind::Char;
            } else if constexpr (std::is_enum_v<T> && !detail::HasIntType<T>::value) {
                info.Kind = TTypeKind::Enumeration;
                info.EnumType = &EnumTypeOf<T>();
            } else if constexpr (std::is_same_v<T, bool>) {
                info.Kind = TTypeKind::Enumeration;
                info.EnumType = &EnumTypeOf<bool>();
            } else {
                static_assert(std::is_integral_v<T> || detail::HasIntType<T>::value, "unsupported property type");
                info.Kind = TTypeKind::Integer;
                if constexpr (detail::HasIntType<T>::value)
                    info.IntType = &IntTypeOf(T{});
            }
            info.GetOrd = [](const TObject* obj) { return detail::ToOrd(G::Get(obj)); };
            if constexpr (hasSetter)
                info.SetOrd = [](TObject* obj, int64_t v) { detail::SetterTraits<Setter>::Set(obj, detail::FromOrd<T>(v)); };
        }
        if constexpr (sizeof...(D) == 1) {
            info.HasDefault = true;
            info.Default = (detail::ToOrd(static_cast<T>(defaultValue)), ...);
        }
        return info;
    }

    TClassInfo m_info;
};
