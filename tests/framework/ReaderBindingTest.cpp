// What the reader binds by name: classes, properties, identifiers, events
// and component references, all ignoring ASCII case; unique root names;
// and when the loaded notifications come.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/framework/StreamHelpers.h"
#include "tools/fuzz/TestClasses.h"

namespace {

class ReaderBindingTest : public FrameworkTest {};

void RawIdent(TWriter& w, std::string_view text)
{
    // Written as an identifier even where the writer would pick code 8 or 9.
    w.WriteValue(vaIdent);
    w.WriteStr(text);
}

TEST_F(ReaderBindingTest, NamesMatchIgnoringCase)
{
    const Bytes bytes = RootStream(
        "ttestform", "Form1",
        [](TWriter& w) {
            Prop(w, "onSHOW", [](TWriter& w) { w.WriteIdent("FORM1SHOW"); });
            Prop(w, "COLOR", [](TWriter& w) { w.WriteIdent("clwhite"); });
        },
        [](TWriter& w) {
            ChildRecord(w, "TTESTCONTROL", "panel1", [](TWriter& w) {
                Prop(w, "NUMBER", [](TWriter& w) { w.WriteInteger(3); });
                Prop(w, "color", [](TWriter& w) { w.WriteIdent("clblack"); });
                Prop(w, "font.color", [](TWriter& w) { w.WriteIdent("CLMAROON"); });
                Prop(w, "FONT.HEIGHT", [](TWriter& w) { w.WriteInteger(9); });
                Prop(w, "Font.STYLE", [](TWriter& w) { w.WriteSet({"TSTBOLD", "tstunderline"}); });
                Prop(w, "SHAPE", [](TWriter& w) { w.WriteIdent("TSHSQUARE"); });
                Prop(w, "elements", [](TWriter& w) { w.WriteSet({"TE3", "te33", "Te30"}); });
                Prop(w, "enabled", [](TWriter& w) { RawIdent(w, "fAlSe"); });
                Prop(w, "onclick", [](TWriter& w) { w.WriteIdent("buttonCLICK"); });
                Prop(w, "ONCLOSE", [](TWriter& w) { w.WriteIdent("form1close"); });
                Prop(w, "BUDDY", [](TWriter& w) { w.WriteIdent("COMP1"); });
                Prop(w, "EXTRA", [](TWriter& w) { w.WriteInteger(5); });
            });
            ChildRecord(w, "TtestComponent", "comp1", [](TWriter& w) {
                Prop(w, "lEfT", [](TWriter& w) { w.WriteInteger(12); });
                Prop(w, "tOP", [](TWriter& w) { w.WriteInteger(34); });
            });
        });
    TTestForm form(nullptr);
    ReadStream(bytes, &form);

    EXPECT_EQ(form.Color(), tcWhite);
    ASSERT_TRUE(form.OnShow());
    form.OnShow()(&form);
    // The stored names are kept as they stand; the fields are found anyway.
    ASSERT_NE(form.Panel1, nullptr);
    ASSERT_NE(form.Comp1, nullptr);
    EXPECT_EQ(form.Panel1->Name(), "panel1");
    EXPECT_EQ(form.Comp1->Name(), "comp1");
    EXPECT_EQ(form.Comp1->DesignLeft(), 12);
    EXPECT_EQ(form.Comp1->DesignTop(), 34);

    const TTestControl& panel = *form.Panel1;
    EXPECT_EQ(panel.Number(), 3);
    EXPECT_EQ(panel.Color(), tcBlack);
    EXPECT_EQ(panel.Font()->Color(), tcMaroon);
    EXPECT_EQ(panel.Font()->Height(), 9);
    EXPECT_EQ(panel.Font()->Style(), (TTestStyles{tstBold, tstUnderline}));
    EXPECT_EQ(panel.Shape(), tshSquare);
    EXPECT_EQ(panel.Elements(), (TTestElements{te3, te30}));
    EXPECT_FALSE(panel.Enabled());
    EXPECT_EQ(panel.Buddy(), form.Comp1);
    EXPECT_EQ(panel.Extra(), 5);
    panel.OnClick()(form.Panel1);
    TCloseAction action = caNone;
    panel.OnClose()(form.Panel1, action);
    EXPECT_EQ(TestLogEntries("Call "),
              (std::vector<std::string>{"Form1Show Form1", "ButtonClick panel1", "Form1Close panel1"}));
}

TEST_F(ReaderBindingTest, RootClassesAreFoundIgnoringCase)
{
    ScopedRegistration registration(TTestForm::StaticClassInfo());
    const Bytes bytes = RootStream("TTESTFORM", "Created", {}, [](TWriter& w) { ChildRecord(w, "ttesttimer", "Timer1", {}); });
    TComponent* root = ReadStream(bytes, nullptr);
    ASSERT_NE(root, nullptr);
    auto* form = dynamic_cast<TTestForm*>(root);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Name(), "Created");
    EXPECT_NE(form->Timer1, nullptr);
    EXPECT_EQ(form->Owner(), nullptr);
    EXPECT_FALSE(form->IsLoading());
    TComponent::Free(root);
}

TEST_F(ReaderBindingTest, TheRootRecordsClassNameIsIgnoredForAGivenRoot)
{
    const Bytes bytes = RootStream("TSomethingElse", "Form7",
                                   [](TWriter& w) { Prop(w, "Caption", [](TWriter& w) { w.WriteString("x"); }); });
    TTestForm form(nullptr);
    EXPECT_EQ(ReadStream(bytes, &form), &form);
    EXPECT_EQ(form.Name(), "Form7");
    EXPECT_EQ(form.Caption(), "x");
}

TEST_F(ReaderBindingTest, LocalReferences)
{
    const Bytes bytes = RootStream("TTestForm", "Form1", {}, [](TWriter& w) {
        // Comp2 comes later in the stream.
        ChildRecord(w, "TTestComponent", "Comp1", [](TWriter& w) { Prop(w, "Buddy", [](TWriter& w) { w.WriteIdent("comp2"); }); });
        // No such component: empty, no error.
        ChildRecord(w, "TTestComponent", "Comp2", [](TWriter& w) { Prop(w, "Buddy", [](TWriter& w) { w.WriteIdent("Comp9"); }); });
        // A component of a class the property cannot hold: empty.
        ChildRecord(w, "TTestComponent", "Comp3", [](TWriter& w) { Prop(w, "Buddy", [](TWriter& w) { w.WriteIdent("Timer1"); }); });
        ChildRecord(w, "TTestTimer", "Timer1", {});
        // The root itself is not one of its components.
        ChildRecord(w, "TTestControl", "Button1", [](TWriter& w) { Prop(w, "Buddy", [](TWriter& w) { w.WriteIdent("Form1"); }); });
        // A control refers to a component of its own parent.
        ChildRecord(w, "TTestControl", "Panel1", {}, [](TWriter& w) {
            ChildRecord(w, "TTestControl", "Button2", [](TWriter& w) { Prop(w, "Buddy", [](TWriter& w) { w.WriteIdent("Panel1"); }); });
        });
    });
    TTestForm form(nullptr);
    ASSERT_NO_THROW(ReadStream(bytes, &form));
    ASSERT_NE(form.Comp3, nullptr);
    EXPECT_EQ(form.Comp1->Buddy(), form.Comp2);
    EXPECT_EQ(form.Comp2->Buddy(), nullptr);
    EXPECT_EQ(form.Comp3->Buddy(), nullptr);
    EXPECT_EQ(form.Button1->Buddy(), nullptr);
    EXPECT_EQ(form.Button2->Buddy(), form.Panel1);
    EXPECT_EQ(TReader::PendingGlobalFixups(), 0u);
}

TEST_F(ReaderBindingTest, GlobalReferences)
{
    ScopedGlobalRoots roots;
    const Bytes first = RootStream("TTestForm", "Form1", {}, [](TWriter& w) {
        ChildRecord(w, "TTestComponent", "Comp1", [](TWriter& w) { Prop(w, "Buddy", [](TWriter& w) { w.WriteIdent("Other.Comp9"); }); });
        ChildRecord(w, "TTestComponent", "Comp2", [](TWriter& w) { Prop(w, "Buddy", [](TWriter& w) { w.WriteIdent("OTHER.comp8"); }); });
        ChildRecord(w, "TTestComponent", "Comp3", [](TWriter& w) { Prop(w, "Buddy", [](TWriter& w) { w.WriteIdent("Nobody.Comp1"); }); });
    });
    auto form1 = std::make_unique<TTestForm>(nullptr);
    ReadStream(first, form1.get());
    roots.Add(form1.get());

    // No root named Other yet: the references wait, the properties stay empty.
    EXPECT_EQ(TReader::PendingGlobalFixups(), 3u);
    EXPECT_EQ(form1->Comp1->Buddy(), nullptr);
    EXPECT_TRUE(form1->Comp1->ComponentState().Contains(csFixups));

    auto other = std::make_unique<TTestForm>(nullptr);
    other->SetName("Other");
    auto* comp9 = new TTestComponent(other.get());
    comp9->SetName("Comp9");
    roots.Add(other.get());
    // A reference still waiting whose property got a value meanwhile is dropped.
    form1->Comp3->SetBuddy(form1->Comp1);

    // The end of the next read resolves what can be resolved.
    TTestForm form2(nullptr);
    ReadStream(RootStream("TTestForm", "Form2", {}), &form2);
    EXPECT_EQ(form1->Comp1->Buddy(), comp9);
    EXPECT_FALSE(form1->Comp1->ComponentState().Contains(csFixups));
    EXPECT_EQ(form1->Comp2->Buddy(), nullptr);
    EXPECT_FALSE(form1->Comp2->ComponentState().Contains(csFixups));
    EXPECT_EQ(form1->Comp3->Buddy(), form1->Comp1);
    EXPECT_EQ(TReader::PendingGlobalFixups(), 0u);

    // A component of another owner tells the one that refers to it when it goes.
    TComponent::Free(comp9);
    EXPECT_EQ(form1->Comp1->Buddy(), nullptr);

    // Dropped with the root they were read into.
    const Bytes third = RootStream("TTestForm", "Form3", {}, [](TWriter& w) {
        ChildRecord(w, "TTestComponent", "Comp1", [](TWriter& w) { Prop(w, "Buddy", [](TWriter& w) { w.WriteIdent("Later.Comp1"); }); });
    });
    TTestForm form3(nullptr);
    ReadStream(third, &form3);
    ReadStream(RootStream("TTestForm", "Form4", {}, [](TWriter& w) {
                   ChildRecord(w, "TTestComponent", "Comp1",
                               [](TWriter& w) { Prop(w, "Buddy", [](TWriter& w) { w.WriteIdent("Later.Comp1"); }); });
               }),
               &form2);
    EXPECT_EQ(TReader::PendingGlobalFixups(), 2u);
    TReader::RemoveFixups(&form3);
    EXPECT_EQ(TReader::PendingGlobalFixups(), 1u);
    TReader::RemoveFixups(&form2);
    EXPECT_EQ(TReader::PendingGlobalFixups(), 0u);
}

WriteFn BuddyIs(std::string_view reference)
{
    return [reference](TWriter& w) { Prop(w, "Buddy", [reference](TWriter& w) { w.WriteIdent(reference); }); };
}

TEST_F(ReaderBindingTest, FreeingDropsWaitingGlobalReferences)
{
    // A root of a class that is not a form, read with a reference to a root
    // not known yet: its reference must go when it goes, or the next read
    // would assign to freed memory.
    ScopedGlobalRoots roots;
    ScopedRegistration registration(TTestComponent::StaticClassInfo());
    TComponent* lonely = ReadStream(RootStream("TTestComponent", "Lonely", BuddyIs("Later.Comp1")), nullptr);
    EXPECT_EQ(TReader::PendingGlobalFixups(), 1u);
    TComponent::Free(lonely);
    EXPECT_EQ(TReader::PendingGlobalFixups(), 0u);

    // A component freed while its root lives takes its waiting references along.
    TTestForm form(nullptr);
    ReadStream(RootStream("TTestForm", "Form1", {},
                          [](TWriter& w) {
                              ChildRecord(w, "TTestComponent", "Comp1", BuddyIs("Later.Comp1"));
                              ChildRecord(w, "TTestComponent", "Comp2", BuddyIs("Later.Comp2"));
                          }),
               &form);
    EXPECT_EQ(TReader::PendingGlobalFixups(), 2u);
    TComponent::Free(form.Comp1);
    EXPECT_EQ(TReader::PendingGlobalFixups(), 1u);

    TTestForm later(nullptr);
    later.SetName("Later");
    auto* target = new TTestComponent(&later);
    target->SetName("Comp2");
    roots.Add(&later);
    TTestForm next(nullptr);
    ReadStream(RootStream("TTestForm", "Form2", {}), &next);
    EXPECT_EQ(form.Comp2->Buddy(), target);
    EXPECT_EQ(TReader::PendingGlobalFixups(), 0u);
}

TEST_F(ReaderBindingTest, MakeUniqueName)
{
    ScopedGlobalRoots roots;
    EXPECT_EQ(TReader::MakeUniqueName("FDIRFORM"), "FDIRFORM");

    const Bytes bytes = RootStream("TTestForm", "FDIRFORM", {});
    std::vector<std::unique_ptr<TTestForm>> forms;
    for (const char* expected : {"FDIRFORM", "FDIRFORM_1", "FDIRFORM_2"}) {
        forms.push_back(std::make_unique<TTestForm>(nullptr));
        ReadStream(bytes, forms.back().get());
        EXPECT_EQ(forms.back()->Name(), expected);
        roots.Add(forms.back().get());
    }
    // Other names are compared ignoring case too.
    forms[1]->SetName("fdirform_3");
    EXPECT_EQ(TReader::MakeUniqueName("FDIRFORM"), "FDIRFORM_1");
    EXPECT_EQ(TReader::MakeUniqueName("fdirForm_2"), "fdirForm_2_1");
    roots.Remove(forms[0].get());
    EXPECT_EQ(TReader::MakeUniqueName("FDIRFORM"), "FDIRFORM");
}

TEST_F(ReaderBindingTest, PreviousRootLookupIsPutBack)
{
    TReader::FindGlobalComponentProc before = TReader::SetFindGlobalComponent(nullptr);
    {
        ScopedGlobalRoots roots;
        TTestForm form(nullptr);
        form.SetName("Known");
        roots.Add(&form);
        EXPECT_EQ(TReader::FindGlobalComponent("KNOWN"), &form);
    }
    EXPECT_EQ(TReader::FindGlobalComponent("Known"), nullptr);
    EXPECT_EQ(TReader::SetFindGlobalComponent(before), nullptr);
}

Bytes FirstStream()
{
    return RootStream(
        "TTestForm", "Form1", [](TWriter& w) { Prop(w, "Caption", [](TWriter& w) { w.WriteString("one"); }); },
        [](TWriter& w) {
            ChildRecord(w, "TTestComponent", "Comp1", {});
            ChildRecord(w, "TTestControl", "Panel1", {}, [](TWriter& w) { ChildRecord(w, "TTestControl", "Button1", {}); });
        });
}

Bytes SecondStream()
{
    // The next class's part of the same form: the root and Comp1 again, and
    // a component of its own.
    return RootStream(
        "TTestForm", "Form1", [](TWriter& w) { Prop(w, "Color", [](TWriter& w) { w.WriteIdent("clRed"); }); },
        [](TWriter& w) {
            ChildRecord(
                w, "TTestComponent", "Comp1", [](TWriter& w) { Prop(w, "Number", [](TWriter& w) { w.WriteInteger(2); }); },
                {}, ffInherited);
            ChildRecord(w, "TTestTimer", "Timer1", {});
        });
}

TEST_F(ReaderBindingTest, LoadedComesOnceAfterAllStreamsInReadingOrder)
{
    TTestForm form(nullptr);
    const bool result = TReader::ReadWithGlobalLoading([&] {
        ReadStream(FirstStream(), &form);
        ReadStream(SecondStream(), &form);
        // Nothing is loaded before the last stream is read.
        EXPECT_TRUE(TestLogEntries("Loaded ").empty());
        EXPECT_TRUE(form.IsLoading());
        for (int i = 0; i < form.ComponentCount(); ++i)
            EXPECT_TRUE(form.Components(i)->IsLoading()) << form.Components(i)->Name();
        return true;
    });
    EXPECT_TRUE(result);
    // A component is in the list when its record is complete, so a child
    // comes before its parent.
    EXPECT_EQ(TestLogEntries("Loaded "), (std::vector<std::string>{"Form1", "Comp1", "Button1", "Panel1", "Timer1"}));
    EXPECT_FALSE(form.IsLoading());
    EXPECT_EQ(form.Comp1->Number(), 2);
    EXPECT_EQ(form.Color(), tcRed);
    EXPECT_EQ(form.Caption(), "one");
    for (TTestComponent* c : {form.Comp1, static_cast<TTestComponent*>(form.Panel1), static_cast<TTestComponent*>(form.Button1)}) {
        EXPECT_EQ(c->LoadCount(), 1) << c->Name();
        EXPECT_TRUE(c->WasLoadingWhenLoaded()) << c->Name();
        EXPECT_FALSE(c->IsLoading()) << c->Name();
    }
}

TEST_F(ReaderBindingTest, LoadedAfterOneStreamWithoutAGlobalList)
{
    TTestForm form(nullptr);
    ReadStream(FirstStream(), &form);
    EXPECT_EQ(TestLogEntries("Loaded "), (std::vector<std::string>{"Form1", "Comp1", "Button1", "Panel1"}));
    EXPECT_FALSE(form.Comp1->IsLoading());
}

TEST_F(ReaderBindingTest, GlobalLoadingIsRestoredAfterAnError)
{
    TTestForm form(nullptr);
    EXPECT_THROW(TReader::ReadWithGlobalLoading([&] {
                     ReadStream(FirstStream(), &form);
                     throw EReadError(StrId::SReadError);
                     return true;
                 }),
                 EReadError);
    EXPECT_TRUE(TestLogEntries("Loaded ").empty());
    EXPECT_TRUE(form.Comp1->IsLoading());

    // A read afterwards keeps a list of its own again.
    TTestForm other(nullptr);
    ReadStream(FirstStream(), &other);
    EXPECT_EQ(TestLogEntries("Loaded "), (std::vector<std::string>{"Form1", "Comp1", "Button1", "Panel1"}));

    // Nested runs: each run's components are loaded at its own end.
    TTestForm outer(nullptr);
    TTestForm inner(nullptr);
    TestLog().clear();
    TReader::ReadWithGlobalLoading([&] {
        ReadStream(FirstStream(), &outer);
        TReader::ReadWithGlobalLoading([&] {
            ReadStream(RootStream("TTestForm", "Inner", {}), &inner);
            return false;
        });
        EXPECT_EQ(TestLogEntries("Loaded "), std::vector<std::string>{"Inner"});
        return true;
    });
    EXPECT_EQ(TestLogEntries("Loaded "), (std::vector<std::string>{"Inner", "Form1", "Comp1", "Button1", "Panel1"}));
}

} // namespace
