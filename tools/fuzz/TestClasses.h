// Component classes for the tests of the component model and its streams,
// also built natively for the reader's fuzzing (so nothing here may need the
// platform). Together they publish a property of every kind, a form-like
// root with published fields and handler methods, controls that nest, and
// they count their live instances and log loading, freeing and
// notifications, so that a test can see what a read created and left behind.
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "framework/Collection.h"
#include "framework/Component.h"

// ---------------------------------------------------------------------------
// Types of the test properties

// An integer type that may be stored as identifiers: a small colour table.
enum TTestColor : int32_t {};
inline constexpr TTestColor tcBlack{0};
inline constexpr TTestColor tcMaroon{0x000080};
inline constexpr TTestColor tcRed{0x0000FF};
inline constexpr TTestColor tcWhite{0xFFFFFF};
inline constexpr TTestColor tcBtnFace{static_cast<int32_t>(0x8000000F)};
inline constexpr TTestColor tcNone{0x1FFFFFFF};
const TIntTypeInfo& IntTypeOf(TTestColor);

enum TTestShape { tshCircle, tshSquare, tshTriangle };
template <>
const TEnumTypeInfo& EnumTypeOf<TTestShape>();

enum TTestStyle { tstBold, tstItalic, tstUnderline, tstStrikeOut };
template <>
const TEnumTypeInfo& EnumTypeOf<TTestStyle>();
using TTestStyles = TSet<TTestStyle>;

// More elements than a set holds: the ones numbered 32 and up can be named
// in a stream but never stored.
enum TTestElement {
    te0, te1, te2, te3, te4, te5, te6, te7, te8, te9,
    te10, te11, te12, te13, te14, te15, te16, te17, te18, te19,
    te20, te21, te22, te23, te24, te25, te26, te27, te28, te29,
    te30, te31, te32, te33, te34, te35, te36, te37, te38, te39,
};
template <>
const TEnumTypeInfo& EnumTypeOf<TTestElement>();
using TTestElements = TSet<TTestElement>;

// ---------------------------------------------------------------------------
// Instance counting and the event log

// A member of every test class: counts the instances alive, so that a test
// can tell whether a failed read freed what it made.
class TestInstanceCounter {
public:
    TestInstanceCounter() { ++s_alive; }
    ~TestInstanceCounter() { --s_alive; }
    TestInstanceCounter(const TestInstanceCounter&) = delete;
    TestInstanceCounter& operator=(const TestInstanceCounter&) = delete;
    static int Alive() { return s_alive; }

private:
    static inline int s_alive = 0;
};

// What the test components did, in order: "Loaded Comp1", "Free Comp1".
std::vector<std::string>& TestLog();
// The entries of the log that begin with prefix, with the prefix removed.
std::vector<std::string> TestLogEntries(const std::string& prefix);

struct TestNotification {
    TComponent* Component;  // not owned: compared only, it may be gone
    TOperation Operation;
};

// ---------------------------------------------------------------------------
// Owned sub-objects and collections

class TTestFont : public TPersistent {
    DECLARE_CLASS_INFO(TTestFont)
public:
    TTestFont() = default;

    // Properties
    int32_t Height() const { return m_height; }
    void SetHeight(int32_t height) { m_height = height; }
    TTestColor Color() const { return m_color; }
    void SetColor(TTestColor color) { m_color = color; }
    const std::string& Name() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    TTestStyles Style() const { return m_style; }
    void SetStyle(TTestStyles style) { m_style = style; }

    void Assign(const TTestFont& other);

private:
    TestInstanceCounter m_counter;
    int32_t m_height = 8;
    TTestColor m_color = tcBlack;
    std::string m_name;
    TTestStyles m_style;
};

class TTestItem : public TCollectionItem {
    DECLARE_CLASS_INFO(TTestItem)
public:
    explicit TTestItem(TCollection* collection) : TCollectionItem(collection) {}

    // Properties
    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption) { m_caption = caption; }
    int32_t Value() const { return m_value; }
    void SetValue(int32_t value) { m_value = value; }

private:
    TestInstanceCounter m_counter;
    std::string m_caption;
    int32_t m_value = 0;
};

class TTestCollection : public TCollection {
    DECLARE_CLASS_INFO(TTestCollection)
public:
    TTestCollection();

    TTestItem* Item(int index) const { return static_cast<TTestItem*>(Items(index)); }
    TTestItem* AddItem() { return static_cast<TTestItem*>(Add()); }
    void Assign(const TTestCollection& other);
    // How often the collection announced a change (once per batch of updates).
    int ChangeCount() const { return m_changes; }

protected:
    void Changed() override { ++m_changes; }

private:
    TestInstanceCounter m_counter;
    int m_changes = 0;
};

// ---------------------------------------------------------------------------
// Components

// A non-visual component with a published property of every kind, a
// read-only one, and values it defines itself ("Extra", binary "Blob", the
// list "Lines").
class TTestComponent : public TComponent {
    DECLARE_CLASS_INFO(TTestComponent)
public:
    explicit TTestComponent(TComponent* owner);
    ~TTestComponent() override;

    // Properties
    int32_t Number() const { return m_number; }
    // The number FailedAllocation stands for a setter whose memory runs
    // out: it raises the language's own exception, not one of the framework.
    static constexpr int32_t FailedAllocation = -999;
    void SetNumber(int32_t number)
    {
        if (number == FailedAllocation)
            throw std::bad_alloc();
        m_number = number;
    }
    TTestColor Color() const { return m_color; }
    void SetColor(TTestColor color) { m_color = color; }
    char Letter() const { return m_letter; }
    void SetLetter(char letter) { m_letter = letter; }
    TTestShape Shape() const { return m_shape; }
    void SetShape(TTestShape shape) { m_shape = shape; }
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    double Ratio() const { return m_ratio; }
    void SetRatio(double ratio) { m_ratio = ratio; }
    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption) { m_caption = caption; }
    TTestElements Elements() const { return m_elements; }
    void SetElements(TTestElements elements) { m_elements = elements; }
    TTestFont* Font() const { return m_font.get(); }
    void SetFont(TTestFont* font);
    TTestComponent* Buddy() const { return m_buddy; }
    void SetBuddy(TTestComponent* buddy);
    TTestCollection* Items() const { return m_items.get(); }
    void SetItems(TTestCollection* items);
    // Read-only: how many times the component was loaded.
    int32_t LoadCount() const { return m_loadCount; }

    // Events
    const TNotifyEvent& OnClick() const { return m_onClick; }
    void SetOnClick(const TNotifyEvent& event) { m_onClick = event; }
    const TCloseEvent& OnClose() const { return m_onClose; }
    void SetOnClose(const TCloseEvent& event) { m_onClose = event; }

    // Defined values
    int32_t Extra() const { return m_extra; }
    void SetExtra(int32_t extra) { m_extra = extra; }
    const std::vector<uint8_t>& Blob() const { return m_blob; }
    void SetBlob(std::vector<uint8_t> blob) { m_blob = std::move(blob); }
    // Stored as a list of strings.
    const std::vector<std::string>& Lines() const { return m_lines; }
    void SetLines(std::vector<std::string> lines) { m_lines = std::move(lines); }

    // Whether the component was in the loading state when Loaded came.
    bool WasLoadingWhenLoaded() const { return m_loadingWhenLoaded; }
    const std::vector<TestNotification>& Notifications() const { return m_notifications; }

    void Loaded() override;
    void DefineProperties(TFiler& filer) override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TestInstanceCounter m_counter;
    int32_t m_number = 0;
    TTestColor m_color = tcBlack;
    char m_letter = 'a';
    TTestShape m_shape = tshCircle;
    bool m_enabled = true;
    double m_ratio = 0;
    std::string m_caption;
    TTestElements m_elements;
    std::unique_ptr<TTestFont> m_font;
    TTestComponent* m_buddy = nullptr;  // not owned: cleared by the removal or free notification
    std::unique_ptr<TTestCollection> m_items;
    int32_t m_loadCount = 0;
    TNotifyEvent m_onClick;
    TCloseEvent m_onClose;
    int32_t m_extra = 0;
    std::vector<uint8_t> m_blob;
    std::vector<std::string> m_lines;
    bool m_loadingWhenLoaded = false;
    std::vector<TestNotification> m_notifications;
};

class TTestControl;

// What a component that other controls can sit in keeps: its children in
// order. A control's parent is not its owner; the root owns them all.
class TestContainer {
public:
    const std::vector<TTestControl*>& ChildControls() const { return m_children; }

protected:
    friend class TTestControl;
    void MoveChild(TTestControl* child, int position);
    // Frees the children; a windowed parent takes its children with it.
    void FreeChildren();

    std::vector<TTestControl*> m_children;  // not owned: the root owns them; each leaves the list when freed
};

// A control: it takes the reader's current parent as its parent and is the
// parent of the components read inside its record.
class TTestControl : public TTestComponent, public TestContainer {
    DECLARE_CLASS_INFO(TTestControl)
public:
    explicit TTestControl(TComponent* owner) : TTestComponent(owner) {}
    ~TTestControl() override;

    // Properties
    int32_t Width() const { return m_width; }
    void SetWidth(int32_t width) { m_width = width; }

    TComponent* Parent() const { return m_parent; }
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override { return m_parent; }
    void SetParentComponent(TComponent* parent) override;
    TComponent* GetChildParent() override { return this; }
    void SetChildOrder(TComponent* child, int order) override;
    std::vector<TComponent*> GetChildren(TComponent* root) const override;

private:
    TComponent* m_parent = nullptr;  // not owned: a parent frees its children before it goes
    int32_t m_width = 0;
};

// An unrelated non-visual component: a reference to it does not fit a
// property that holds a TTestComponent.
class TTestTimer : public TComponent {
    DECLARE_CLASS_INFO(TTestTimer)
public:
    explicit TTestTimer(TComponent* owner) : TComponent(owner) {}
    ~TTestTimer() override;

    // Properties
    int32_t Interval() const { return m_interval; }
    void SetInterval(int32_t interval) { m_interval = interval; }

    // Events
    const TNotifyEvent& OnTimer() const { return m_onTimer; }
    void SetOnTimer(const TNotifyEvent& event) { m_onTimer = event; }

    void Loaded() override;

private:
    TestInstanceCounter m_counter;
    int32_t m_interval = 1000;
    TNotifyEvent m_onTimer;
};

// A form-like root: published fields for the components it owns, published
// handler methods of both signatures, and a few properties of its own.
class TTestForm : public TComponent, public TestContainer {
    DECLARE_CLASS_INFO(TTestForm)
public:
    explicit TTestForm(TComponent* owner);
    ~TTestForm() override;

    // Published fields
    TTestComponent* Comp1 = nullptr;
    TTestComponent* Comp2 = nullptr;
    TTestComponent* Comp3 = nullptr;
    TTestControl* Panel1 = nullptr;
    TTestControl* Button1 = nullptr;
    TTestControl* Button2 = nullptr;
    TTestTimer* Timer1 = nullptr;

    // Properties
    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption) { m_caption = caption; }
    TTestColor Color() const { return m_color; }
    void SetColor(TTestColor color) { m_color = color; }
    TTestFont* Font() const { return m_font.get(); }
    void SetFont(TTestFont* font);

    // Events
    const TNotifyEvent& OnShow() const { return m_onShow; }
    void SetOnShow(const TNotifyEvent& event) { m_onShow = event; }
    const TCloseEvent& OnClose() const { return m_onClose; }
    void SetOnClose(const TCloseEvent& event) { m_onClose = event; }

    // Published handlers; each call is logged as "Call <handler> <sender name>".
    void Form1Show(TObject* sender);
    void Form1Close(TObject* sender, TCloseAction& action);
    void ButtonClick(TObject* sender);

    const std::vector<TestNotification>& Notifications() const { return m_notifications; }

    TComponent* GetChildParent() override { return this; }
    void SetChildOrder(TComponent* child, int order) override;
    std::vector<TComponent*> GetChildren(TComponent* root) const override;
    void Loaded() override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TestInstanceCounter m_counter;
    std::string m_caption;
    TTestColor m_color = tcBtnFace;
    std::unique_ptr<TTestFont> m_font;
    TNotifyEvent m_onShow;
    TCloseEvent m_onClose;
    std::vector<TestNotification> m_notifications;
};
