// The component model: names bound to the owner's published fields, the
// order in which owned components are freed, and the notifications of
// insertion, removal and freeing.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/framework/StreamHelpers.h"
#include "tools/fuzz/TestClasses.h"

namespace {

class ComponentTest : public FrameworkTest {};

// How often notifications lists component with operation.
template <typename T>
int CountOf(const T& owner, const TComponent* component, TOperation operation)
{
    const auto& list = owner.Notifications();
    return static_cast<int>(std::count_if(list.begin(), list.end(), [&](const TestNotification& n) {
        return n.Component == component && n.Operation == operation;
    }));
}

TEST_F(ComponentTest, NamesBindTheOwnersFields)
{
    TTestForm form(nullptr);
    auto* comp = new TTestComponent(&form);
    EXPECT_EQ(form.Comp1, nullptr);

    comp->SetName("cOMP1");
    EXPECT_EQ(form.Comp1, comp);
    EXPECT_EQ(form.FindComponent("COMP1"), comp);

    comp->SetName("Comp2");
    EXPECT_EQ(form.Comp1, nullptr);
    EXPECT_EQ(form.Comp2, comp);

    comp->SetName("");
    EXPECT_EQ(form.Comp2, nullptr);
    EXPECT_EQ(form.FindComponent(""), nullptr);

    comp->SetName("Comp3");
    EXPECT_EQ(form.Comp3, comp);
    TComponent::Free(comp);
    EXPECT_EQ(form.Comp3, nullptr);
    EXPECT_EQ(form.ComponentCount(), 0);

    // A field that cannot hold the component's class is left alone.
    auto* timer = new TTestTimer(&form);
    timer->SetName("Comp1");
    EXPECT_EQ(form.Comp1, nullptr);
    timer->SetName("Timer1");
    EXPECT_EQ(form.Timer1, timer);

    // Moving to another owner clears the old owner's field and sets the new one's.
    TTestForm other(nullptr);
    form.RemoveComponent(timer);
    EXPECT_EQ(form.Timer1, nullptr);
    EXPECT_EQ(timer->Owner(), nullptr);
    other.InsertComponent(timer);
    EXPECT_EQ(other.Timer1, timer);
    EXPECT_EQ(timer->Owner(), &other);
    EXPECT_EQ(timer->ComponentIndex(), 0);

    // A name the new owner has already is refused on insertion.
    auto* second = new TTestTimer(&form);
    second->SetName("TIMER1");
    EXPECT_EQ(ErrorOf<EComponentError>([&] { other.InsertComponent(second); }), "A component named TIMER1 already exists");
    EXPECT_EQ(second->Owner(), &form);
}

TEST_F(ComponentTest, OwnedComponentsAreFreedNewestFirst)
{
    auto form = std::make_unique<TTestForm>(nullptr);
    form->SetName("Form1");
    for (const char* name : {"A", "B", "C"}) {
        auto* comp = new TTestComponent(form.get());
        comp->SetName(name);
    }
    auto* timer = new TTestTimer(form.get());
    timer->SetName("D");
    // An owned component's own components go with it, before it.
    auto* inner = new TTestComponent(form->Components(0));
    inner->SetName("A1");

    TestLog().clear();
    form.reset();
    EXPECT_EQ(TestLogEntries("Free "), (std::vector<std::string>{"D", "C", "B", "A1", "A", "Form1"}));
}

TEST_F(ComponentTest, DestroyingMarksEverythingOwned)
{
    TTestForm form(nullptr);
    auto* comp = new TTestComponent(&form);
    auto* inner = new TTestComponent(comp);
    form.Destroying();
    EXPECT_TRUE(form.IsDestroying());
    EXPECT_TRUE(comp->IsDestroying());
    EXPECT_TRUE(inner->IsDestroying());
    form.DestroyComponents();
    EXPECT_EQ(form.ComponentCount(), 0);
}

TEST_F(ComponentTest, InsertionAndRemovalAreToldToOwnerAndSiblings)
{
    TTestForm form(nullptr);
    auto* first = new TTestComponent(&form);
    auto* second = new TTestComponent(&form);
    // The owner hears of both; the first sibling hears of the second.
    EXPECT_EQ(CountOf(form, first, opInsert), 1);
    EXPECT_EQ(CountOf(form, second, opInsert), 1);
    EXPECT_EQ(CountOf(*first, second, opInsert), 1);
    EXPECT_EQ(CountOf(*second, second, opInsert), 0);

    auto* third = new TTestTimer(&form);
    EXPECT_EQ(CountOf(*first, third, opInsert), 1);
    EXPECT_EQ(CountOf(*second, third, opInsert), 1);

    TComponent::Free(third);
    EXPECT_EQ(CountOf(form, third, opRemove), 1);
    EXPECT_EQ(CountOf(*first, third, opRemove), 1);
    EXPECT_EQ(CountOf(*second, third, opRemove), 1);

    // Taken out of the owner without being freed: told the same way.
    form.RemoveComponent(first);
    EXPECT_EQ(CountOf(form, first, opRemove), 1);
    EXPECT_EQ(CountOf(*second, first, opRemove), 1);
    TComponent::Free(first);
}

TEST_F(ComponentTest, ReferencesAreClearedWhenTheReferencedOneGoes)
{
    TTestForm form1(nullptr);
    TTestForm form2(nullptr);
    auto* a = new TTestComponent(&form1);
    auto* sibling = new TTestComponent(&form1);
    auto* b = new TTestComponent(&form2);
    auto* c = new TTestComponent(&form2);

    // Another owner: only the free notification can tell a.
    a->SetBuddy(b);
    TComponent::Free(b);
    EXPECT_EQ(a->Buddy(), nullptr);

    // The same owner tells its components of the removal.
    a->SetBuddy(sibling);
    TComponent::Free(sibling);
    EXPECT_EQ(a->Buddy(), nullptr);

    // The link works both ways: when the one that asked goes first, the
    // other is told and forgets it, so that freeing it later tells nobody
    // that is gone.
    auto* d = new TTestComponent(&form1);
    d->SetBuddy(c);
    TComponent::Free(d);
    EXPECT_EQ(CountOf(*c, d, opRemove), 1);
    TComponent::Free(c);

    // FreeNotification between two components: both sides are told.
    auto* x = new TTestTimer(&form1);
    auto* y = new TTestComponent(&form2);
    auto* z = new TTestComponent(&form2);
    z->FreeNotification(x);
    TComponent::Free(x);
    EXPECT_EQ(CountOf(*z, x, opRemove), 1);
    EXPECT_EQ(CountOf(*y, x, opRemove), 0);
    // Switched off again: no longer told.
    auto* w = new TTestTimer(&form1);
    z->FreeNotification(w);
    z->RemoveFreeNotification(w);
    TComponent::Free(w);
    EXPECT_EQ(CountOf(*z, w, opRemove), 0);
}

TEST_F(ComponentTest, TheReaderBindsFieldsWhileParentsNest)
{
    // The controls inside the panel are owned by the form, their parent is
    // the panel.
    const Bytes bytes = RootStream("TTestForm", "Form1", {}, [](TWriter& w) {
        ChildRecord(w, "TTestControl", "Panel1", {}, [](TWriter& w) {
            ChildRecord(w, "TTestControl", "Button1", {});
            ChildRecord(w, "TTestComponent", "Comp1", {});
        });
    });
    TTestForm form(nullptr);
    ReadStream(bytes, &form);
    ASSERT_NE(form.Button1, nullptr);
    ASSERT_NE(form.Comp1, nullptr);
    EXPECT_EQ(form.Button1->Owner(), &form);
    EXPECT_EQ(form.Comp1->Owner(), &form);
    EXPECT_EQ(form.Button1->Parent(), form.Panel1);
    EXPECT_EQ(form.ComponentCount(), 3);
    EXPECT_EQ(form.Panel1->ComponentCount(), 0);
}

} // namespace
