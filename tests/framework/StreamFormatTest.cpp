// The stream format as the writer produces it and the reader takes it back:
// every value code, the record prefix, collections, sets, skipping values,
// and where the reader leaves the stream.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/Collection.h"
#include "tests/framework/StreamHelpers.h"
#include "tools/fuzz/TestClasses.h"

namespace {

class StreamFormatTest : public FrameworkTest {};

// An event bound to one of the form's published handlers, as the reader
// would bind it.
template <typename Event>
Event Handler(TTestForm& form, std::string_view name)
{
    const TMethodInfo* method = form.ClassInfo().FindMethod(name);
    EXPECT_NE(method, nullptr) << name;
    return Event(TMethod{&form, method});
}

// A form with a component of every kind of property, nested controls and a
// non-visual component of another class.
std::unique_ptr<TTestForm> MakeRichForm()
{
    auto form = std::make_unique<TTestForm>(nullptr);
    form->SetName("Form1");
    form->SetCaption("Main window");
    form->SetColor(tcRed);
    form->Font()->SetHeight(-11);
    form->Font()->SetColor(tcMaroon);
    form->Font()->SetName("Sans");
    form->Font()->SetStyle({tstBold, tstStrikeOut});
    form->SetOnShow(Handler<TNotifyEvent>(*form, "Form1Show"));
    form->SetOnClose(Handler<TCloseEvent>(*form, "Form1Close"));

    auto* comp1 = new TTestComponent(form.get());
    comp1->SetName("Comp1");
    comp1->SetNumber(100000);
    comp1->SetColor(tcWhite);
    comp1->SetLetter('Q');
    comp1->SetShape(tshTriangle);
    comp1->SetEnabled(false);
    comp1->SetRatio(2.5);
    comp1->SetCaption(std::string(300, 'x') + "end");
    comp1->SetElements({te0, te5, te31});
    comp1->Font()->SetHeight(-13);
    comp1->Font()->SetStyle({tstItalic});
    comp1->Items()->AddItem()->SetCaption("first");
    comp1->Items()->AddItem()->SetValue(-7);
    comp1->SetOnClick(Handler<TNotifyEvent>(*form, "ButtonClick"));
    comp1->SetOnClose(Handler<TCloseEvent>(*form, "Form1Close"));
    comp1->SetExtra(-200);
    comp1->SetBlob({0, 1, 2, 0xFF, 'B', 'M'});
    comp1->SetLines({"one", "two", ""});
    comp1->SetDesignPosition(300, -5);

    auto* comp2 = new TTestComponent(form.get());
    comp2->SetName("Comp2");
    comp2->SetNumber(5);
    comp2->SetColor(TTestColor{0x123456});
    comp2->SetCaption("short");
    comp2->SetShape(tshSquare);
    // A reference to a component further on in the stream.
    comp1->SetBuddy(comp2);

    auto* panel = new TTestControl(form.get());
    panel->SetName("Panel1");
    panel->SetParentComponent(form.get());
    panel->SetWidth(200);
    auto* button1 = new TTestControl(form.get());
    button1->SetName("Button1");
    button1->SetParentComponent(panel);
    button1->SetWidth(75);
    button1->SetOnClick(Handler<TNotifyEvent>(*form, "ButtonClick"));
    auto* button2 = new TTestControl(form.get());
    button2->SetName("Button2");
    button2->SetParentComponent(panel);
    button2->SetBuddy(comp1);

    auto* timer = new TTestTimer(form.get());
    timer->SetName("Timer1");
    timer->SetInterval(250);
    timer->SetOnTimer(Handler<TNotifyEvent>(*form, "ButtonClick"));
    return form;
}

Bytes WriteRoot(TComponent* root)
{
    return WriteBytes([root](TWriter& w) { w.WriteRootComponent(root); });
}

TEST_F(StreamFormatTest, IntegersTakeTheSmallestCode)
{
    struct Case {
        int64_t value;
        Bytes bytes;
    };
    const Case cases[] = {
        {0, {2, 0x00}},
        {127, {2, 0x7F}},
        {-128, {2, 0x80}},
        {128, {3, 0x80, 0x00}},
        {-129, {3, 0x7F, 0xFF}},
        {32767, {3, 0xFF, 0x7F}},
        {-32768, {3, 0x00, 0x80}},
        {32768, {4, 0x00, 0x80, 0x00, 0x00}},
        {-32769, {4, 0xFF, 0x7F, 0xFF, 0xFF}},
        {2147483647, {4, 0xFF, 0xFF, 0xFF, 0x7F}},
        {-2147483647 - 1, {4, 0x00, 0x00, 0x00, 0x80}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const Bytes bytes = WriteBytes([&](TWriter& w) { w.WriteInteger(c.value); });
        EXPECT_EQ(bytes, c.bytes);
        TMemoryStream stream(bytes);
        TReader reader(stream);
        EXPECT_EQ(reader.ReadInteger(), c.value);
    }
}

TEST_F(StreamFormatTest, StringsIdentifiersAndShortStrings)
{
    EXPECT_EQ(WriteBytes([](TWriter& w) { w.WriteString("ab"); }), (Bytes{6, 2, 'a', 'b'}));
    EXPECT_EQ(WriteBytes([](TWriter& w) { w.WriteString(std::string(255, 'z')); }).size(), 2u + 255);
    const Bytes longString = WriteBytes([](TWriter& w) { w.WriteString(std::string(256, 'z')); });
    ASSERT_EQ(longString.size(), 5u + 256);
    EXPECT_EQ((Bytes{longString.begin(), longString.begin() + 5}), (Bytes{12, 0x00, 0x01, 0x00, 0x00}));

    EXPECT_EQ(WriteBytes([](TWriter& w) { w.WriteIdent("clRed"); }), (Bytes{7, 5, 'c', 'l', 'R', 'e', 'd'}));
    EXPECT_EQ(WriteBytes([](TWriter& w) { w.WriteIdent("FALSE"); }), (Bytes{8}));
    EXPECT_EQ(WriteBytes([](TWriter& w) { w.WriteIdent("true"); }), (Bytes{9}));
    EXPECT_EQ(WriteBytes([](TWriter& w) { w.WriteIdent("Nil"); }), (Bytes{13}));
    EXPECT_EQ(WriteBytes([](TWriter& w) { w.WriteStr(std::string(300, 'n')); }).size(), 1u + 255);

    // The identifier reader turns codes 8, 9 and 13 back into their words.
    TMemoryStream stream(WriteBytes([](TWriter& w) {
        w.WriteIdent("false");
        w.WriteIdent("TRUE");
        w.WriteIdent("NIL");
        w.WriteIdent("Other");
    }));
    TReader reader(stream);
    EXPECT_EQ(reader.ReadIdent(), "False");
    EXPECT_EQ(reader.ReadIdent(), "True");
    EXPECT_EQ(reader.ReadIdent(), "nil");
    EXPECT_EQ(reader.ReadIdent(), "Other");
}

TEST_F(StreamFormatTest, TypedReadersAcceptTheirCodesOnly)
{
    TMemoryStream stream(WriteBytes([](TWriter& w) {
        w.WriteInteger(-3);     // float from an integer
        w.WriteFloat(0.125L);   // float
        w.WriteBoolean(true);
        w.WriteBoolean(false);
        w.WriteIdent("Yes");    // boolean: only code 9 is true
        w.WriteChar('c');
        w.WriteString(std::string(400, 'L'));
        w.WriteString("s");     // not an integer
    }));
    TReader reader(stream);
    EXPECT_EQ(reader.ReadFloat(), -3.0L);
    EXPECT_EQ(reader.ReadFloat(), 0.125L);
    EXPECT_TRUE(reader.ReadBoolean());
    EXPECT_FALSE(reader.ReadBoolean());
    EXPECT_FALSE(reader.ReadBoolean());
    reader.ReadStr();  // the identifier's text
    EXPECT_EQ(reader.ReadChar(), 'c');
    EXPECT_EQ(reader.ReadString(), std::string(400, 'L'));
    EXPECT_EQ(ErrorOf<EReadError>([&] { reader.ReadInteger(); }), "Invalid property value");
}

TEST_F(StreamFormatTest, WholeFormRoundTrip)
{
    const auto original = MakeRichForm();
    const Bytes bytes = WriteRoot(original.get());

    // The record begins with the class and the name, as short strings.
    ASSERT_GT(bytes.size(), 20u);
    EXPECT_EQ((Bytes{bytes.begin(), bytes.begin() + 19}),
              (Bytes{'T', 'P', 'F', '0', 9, 'T', 'T', 'e', 's', 't', 'F', 'o', 'r', 'm', 5, 'F', 'o', 'r', 'm'}));
    // Every value code the properties give.
    EXPECT_EQ(ValueCodeOf(bytes, "Form1", "Caption"), vaString);
    EXPECT_EQ(ValueCodeOf(bytes, "Form1", "Color"), vaIdent);
    EXPECT_EQ(ValueCodeOf(bytes, "Form1", "Font.Height"), vaInt8);
    EXPECT_EQ(ValueCodeOf(bytes, "Form1", "Font.Style"), vaSet);
    EXPECT_EQ(ValueCodeOf(bytes, "Form1", "OnShow"), vaIdent);
    EXPECT_EQ(ValueCodeOf(bytes, "Comp1", "Number"), vaInt32);
    EXPECT_EQ(ValueCodeOf(bytes, "Comp1", "Letter"), vaString);
    EXPECT_EQ(ValueCodeOf(bytes, "Comp1", "Shape"), vaIdent);
    EXPECT_EQ(ValueCodeOf(bytes, "Comp1", "Enabled"), vaFalse);
    EXPECT_EQ(ValueCodeOf(bytes, "Comp1", "Ratio"), vaExtended);
    EXPECT_EQ(ValueCodeOf(bytes, "Comp1", "Caption"), vaLString);
    EXPECT_EQ(ValueCodeOf(bytes, "Comp1", "Elements"), vaSet);
    EXPECT_EQ(ValueCodeOf(bytes, "Comp1", "Buddy"), vaIdent);
    EXPECT_EQ(ValueCodeOf(bytes, "Comp1", "Items"), vaCollection);
    EXPECT_EQ(ValueCodeOf(bytes, "Comp1", "Extra"), vaInt16);
    EXPECT_EQ(ValueCodeOf(bytes, "Comp1", "Blob"), vaBinary);
    EXPECT_EQ(ValueCodeOf(bytes, "Comp1", "Lines"), vaList);
    EXPECT_EQ(ValueCodeOf(bytes, "Comp1", "Left"), vaInt16);
    EXPECT_EQ(ValueCodeOf(bytes, "Comp2", "Color"), vaInt32);
    // A read-only property and values equal to their defaults are not stored.
    EXPECT_EQ(ValueCodeOf(bytes, "Comp1", "LoadCount"), -1);
    EXPECT_EQ(ValueCodeOf(bytes, "Timer1", "Width"), -1);

    TTestForm copy(nullptr);
    ASSERT_NO_THROW(ReadStream(bytes, &copy));

    EXPECT_EQ(copy.Name(), "Form1");
    EXPECT_EQ(copy.Caption(), "Main window");
    EXPECT_EQ(copy.Color(), tcRed);
    EXPECT_EQ(copy.Font()->Height(), -11);
    EXPECT_EQ(copy.Font()->Color(), tcMaroon);
    EXPECT_EQ(copy.Font()->Name(), "Sans");
    EXPECT_EQ(copy.Font()->Style(), (TTestStyles{tstBold, tstStrikeOut}));

    ASSERT_EQ(copy.ComponentCount(), 6);
    ASSERT_NE(copy.Comp1, nullptr);
    ASSERT_NE(copy.Comp2, nullptr);
    ASSERT_NE(copy.Panel1, nullptr);
    ASSERT_NE(copy.Button1, nullptr);
    ASSERT_NE(copy.Button2, nullptr);
    ASSERT_NE(copy.Timer1, nullptr);
    EXPECT_EQ(copy.Comp3, nullptr);

    const TTestComponent& c1 = *copy.Comp1;
    EXPECT_EQ(c1.Number(), 100000);
    EXPECT_EQ(c1.Color(), tcWhite);
    EXPECT_EQ(c1.Letter(), 'Q');
    EXPECT_EQ(c1.Shape(), tshTriangle);
    EXPECT_FALSE(c1.Enabled());
    EXPECT_EQ(c1.Ratio(), 2.5);
    EXPECT_EQ(c1.Caption(), std::string(300, 'x') + "end");
    EXPECT_EQ(c1.Elements(), (TTestElements{te0, te5, te31}));
    EXPECT_EQ(c1.Font()->Height(), -13);
    EXPECT_EQ(c1.Font()->Style(), (TTestStyles{tstItalic}));
    ASSERT_EQ(c1.Items()->Count(), 2);
    EXPECT_EQ(c1.Items()->Item(0)->Caption(), "first");
    EXPECT_EQ(c1.Items()->Item(1)->Value(), -7);
    EXPECT_EQ(c1.Buddy(), copy.Comp2);
    EXPECT_EQ(c1.Extra(), -200);
    EXPECT_EQ(c1.Blob(), (Bytes{0, 1, 2, 0xFF, 'B', 'M'}));
    EXPECT_EQ(c1.Lines(), (std::vector<std::string>{"one", "two", ""}));
    EXPECT_EQ(c1.DesignLeft(), 300);
    EXPECT_EQ(c1.DesignTop(), -5);
    EXPECT_EQ(c1.LoadCount(), 1);

    EXPECT_EQ(copy.Comp2->Number(), 5);
    EXPECT_EQ(copy.Comp2->Color(), TTestColor{0x123456});
    EXPECT_EQ(copy.Comp2->Shape(), tshSquare);
    EXPECT_TRUE(copy.Comp2->Enabled());

    // The controls nest as they did, with the form as the panel's parent.
    EXPECT_EQ(copy.Panel1->Parent(), &copy);
    EXPECT_EQ(copy.Panel1->Width(), 200);
    EXPECT_EQ(copy.Button1->Parent(), copy.Panel1);
    EXPECT_EQ(copy.Button2->Parent(), copy.Panel1);
    EXPECT_EQ(copy.Button1->Width(), 75);
    EXPECT_EQ(copy.Button2->Buddy(), copy.Comp1);
    EXPECT_EQ(copy.Panel1->ChildControls(), (std::vector<TTestControl*>{copy.Button1, copy.Button2}));
    EXPECT_EQ(copy.ChildControls(), (std::vector<TTestControl*>{copy.Panel1}));
    EXPECT_EQ(copy.Timer1->Interval(), 250);

    // The events are bound to the new form's handlers.
    TestLog().clear();
    copy.OnShow()(&copy);
    TCloseAction action = caHide;
    copy.OnClose()(&copy, action);
    c1.OnClick()(copy.Comp1);
    copy.Button1->OnClick()(copy.Button1);
    copy.Timer1->OnTimer()(copy.Timer1);
    EXPECT_EQ(action, caFree);
    EXPECT_EQ(TestLogEntries("Call "),
              (std::vector<std::string>{"Form1Show Form1", "Form1Close Form1", "ButtonClick Comp1",
                                        "ButtonClick Button1", "ButtonClick Timer1"}));
    EXPECT_EQ(c1.OnClose().Method().Data, &copy);
    EXPECT_FALSE(copy.Comp2->OnClick());

    // Written again, the copy gives the same bytes.
    EXPECT_EQ(WriteRoot(&copy), bytes);
}

TEST_F(StreamFormatTest, SetElementsAbove31AreDropped)
{
    const Bytes bytes = RootStream("TTestForm", "Form1", {}, [](TWriter& w) {
        ChildRecord(w, "TTestComponent", "Comp1", [](TWriter& w) {
            Prop(w, "Elements", [](TWriter& w) { w.WriteSet({"te1", "te32", "te31", "te39", "te0"}); });
        });
        ChildRecord(w, "TTestComponent", "Comp2", [](TWriter& w) {
            Prop(w, "Elements", [](TWriter& w) { w.WriteSet({}); });
        });
    });
    TTestForm form(nullptr);
    form.SetName("Form1");
    ReadStream(bytes, &form);
    ASSERT_NE(form.Comp1, nullptr);
    EXPECT_EQ(form.Comp1->Elements().Bits(), (1u << 0) | (1u << 1) | (1u << 31));
    EXPECT_TRUE(form.Comp2->Elements().Empty());
}

TEST_F(StreamFormatTest, NilClearsReferencesAndEvents)
{
    TTestForm form(nullptr);
    form.SetName("Form1");
    auto* comp1 = new TTestComponent(&form);
    comp1->SetName("Comp1");
    auto* comp2 = new TTestComponent(&form);
    comp2->SetName("Comp2");
    comp1->SetBuddy(comp2);
    comp1->SetOnClick(TNotifyEvent::Of<&TTestForm::ButtonClick>(&form));
    comp1->Items()->AddItem();

    // The components exist already: records with the inherited flag.
    const Bytes bytes = RootStream("TTestForm", "Form1", {}, [](TWriter& w) {
        ChildRecord(
            w, "TTestComponent", "Comp1",
            [](TWriter& w) {
                Prop(w, "Buddy", [](TWriter& w) { w.WriteIdent("nil"); });
                Prop(w, "OnClick", [](TWriter& w) { w.WriteIdent("nil"); });
                Prop(w, "Items", [](TWriter& w) { w.WriteIdent("nil"); });
            },
            {}, ffInherited);
    });
    EXPECT_EQ(ValueCodeOf(bytes, "Comp1", "Buddy"), vaNil);
    ReadStream(bytes, &form);
    EXPECT_EQ(form.ComponentCount(), 2);
    EXPECT_EQ(comp1->Buddy(), nullptr);
    EXPECT_FALSE(comp1->OnClick());
    EXPECT_EQ(comp1->Items()->Count(), 0);
}

TEST_F(StreamFormatTest, CollectionsWithAndWithoutIndexes)
{
    TTestForm form(nullptr);
    form.SetName("Form1");
    auto* comp1 = new TTestComponent(&form);
    comp1->SetName("Comp1");
    comp1->Items()->AddItem()->SetValue(7);
    comp1->Items()->AddItem()->SetValue(8);
    const int changesBefore = comp1->Items()->ChangeCount();

    auto item = [](TWriter& w, int index, std::string_view caption) {
        w.WriteCollectionItem(index);
        Prop(w, "Caption", [&](TWriter& w) { w.WriteString(caption); });
        w.WriteListEnd();
    };
    const Bytes bytes = RootStream("TTestForm", "Form1", {}, [&](TWriter& w) {
        ChildRecord(
            w, "TTestComponent", "Comp1",
            [&](TWriter& w) {
                Prop(w, "Items", [&](TWriter& w) {
                    w.WriteCollectionBegin();
                    item(w, -1, "zero");  // the running index: 0, an existing item
                    item(w, 3, "three");  // items are added up to index 3
                    item(w, -1, "four");  // the running index goes on from there
                    item(w, 1, "one");    // back to an existing item
                    w.WriteListEnd();
                });
            },
            {}, ffInherited);
    });
    EXPECT_EQ(ValueCodeOf(bytes, "Comp1", "Items"), vaCollection);
    ReadStream(bytes, &form);

    const TTestCollection& items = *comp1->Items();
    ASSERT_EQ(items.Count(), 5);
    EXPECT_EQ(items.Item(0)->Caption(), "zero");
    EXPECT_EQ(items.Item(0)->Value(), 7);  // read over, not replaced
    EXPECT_EQ(items.Item(1)->Caption(), "one");
    EXPECT_EQ(items.Item(1)->Value(), 8);
    EXPECT_EQ(items.Item(2)->Caption(), "");
    EXPECT_EQ(items.Item(3)->Caption(), "three");
    EXPECT_EQ(items.Item(4)->Caption(), "four");
    // Updates were suspended while the items were read: one change in all.
    EXPECT_EQ(items.ChangeCount(), changesBefore + 1);
    EXPECT_EQ(items.UpdateCount(), 0);
}

TEST_F(StreamFormatTest, CollectionUpdatesResumeAfterAnError)
{
    TTestForm form(nullptr);
    form.SetName("Form1");
    auto* comp1 = new TTestComponent(&form);
    comp1->SetName("Comp1");
    const Bytes bytes = RootStream("TTestForm", "Form1", {}, [&](TWriter& w) {
        ChildRecord(
            w, "TTestComponent", "Comp1",
            [&](TWriter& w) {
                Prop(w, "Items", [&](TWriter& w) {
                    w.WriteCollectionBegin();
                    w.WriteCollectionItem();
                    Prop(w, "Value", [](TWriter& w) { w.WriteString("not a number"); });
                    w.WriteListEnd();
                    w.WriteListEnd();
                });
            },
            {}, ffInherited);
    });
    // The item is not a component: the class name stands for it.
    EXPECT_EQ(ErrorOf<EReadError>([&] { ReadStream(bytes, &form); }),
              "Error reading Comp1.Items: Error reading TTestItem.Value: Invalid property value");
    EXPECT_EQ(comp1->Items()->UpdateCount(), 0);
}

TEST_F(StreamFormatTest, PrefixFlags)
{
    TTestForm form(nullptr);
    form.SetName("Form1");
    auto* comp1 = new TTestComponent(&form);
    comp1->SetName("Comp1");

    const Bytes bytes = RootStream("TTestForm", "Form1", {}, [](TWriter& w) {
        // Inherited: read into the existing component, nothing created.
        ChildRecord(
            w, "TTestComponent", "comp1", [](TWriter& w) { Prop(w, "Number", [](TWriter& w) { w.WriteInteger(11); }); },
            {}, ffInherited);
        ChildRecord(w, "TTestControl", "Panel1", {}, [](TWriter& w) {
            ChildRecord(w, "TTestControl", "Button1", {});
            // Child position 0: moved in front of Button1.
            ChildRecord(w, "TTestControl", "Button2", {}, {}, ffChildPos, 0);
        });
        // Reserved bits are ignored.
        w.WriteValue(static_cast<TValueType>(0xF0 | 0x0C));
        w.WriteStr("TTestComponent");
        w.WriteStr("Comp2");
        w.WriteListEnd();
        w.WriteListEnd();
        ChildRecord(w, "TTestControl", "Comp3", {});
        // Both flags, with a 16-bit position: the existing control is moved
        // to the front of the form's controls (the form clamps the position).
        ChildRecord(w, "TTestControl", "Comp3", {}, {}, ffInherited | ffChildPos, -300);
    });
    const Bytes lastRecord{0xF3, vaInt16, 0xD4, 0xFE, 12, 'T', 'T', 'e', 's', 't', 'C', 'o', 'n', 't', 'r', 'o', 'l'};
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), lastRecord.begin(), lastRecord.end()), bytes.end());
    ReadStream(bytes, &form);

    EXPECT_EQ(comp1->Number(), 11);
    ASSERT_NE(form.Panel1, nullptr);
    ASSERT_NE(form.Comp2, nullptr);
    ASSERT_NE(form.Comp3, nullptr);
    EXPECT_EQ(form.ComponentCount(), 6);
    EXPECT_EQ(form.Panel1->ChildControls(), (std::vector<TTestControl*>{form.Button2, form.Button1}));
    EXPECT_EQ(form.ChildControls(), (std::vector<TTestControl*>{static_cast<TTestControl*>(form.Comp3), form.Panel1}));
}

TEST_F(StreamFormatTest, SkipValueConsumesExactlyOneValue)
{
    const uint8_t marker = 0xAB;
    struct Case {
        const char* what;
        WriteFn write;
    };
    const Case cases[] = {
        {"null", [](TWriter& w) { w.WriteValue(vaNull); }},
        {"list", [](TWriter& w) {
             w.WriteListBegin();
             w.WriteInteger(1);
             w.WriteListBegin();
             w.WriteString("inner");
             w.WriteListEnd();
             w.WriteListEnd();
         }},
        {"empty list", [](TWriter& w) {
             w.WriteListBegin();
             w.WriteListEnd();
         }},
        {"int8", [](TWriter& w) { w.WriteInteger(-1); }},
        {"int16", [](TWriter& w) { w.WriteInteger(1000); }},
        {"int32", [](TWriter& w) { w.WriteInteger(1 << 20); }},
        {"extended", [](TWriter& w) { w.WriteFloat(1.5L); }},
        {"string", [](TWriter& w) { w.WriteString("text"); }},
        {"identifier", [](TWriter& w) { w.WriteIdent("clRed"); }},
        {"false", [](TWriter& w) { w.WriteBoolean(false); }},
        {"true", [](TWriter& w) { w.WriteBoolean(true); }},
        {"binary", [](TWriter& w) { w.WriteBinary("\x00\xAB\x00", 3); }},
        {"set", [](TWriter& w) { w.WriteSet({"a", "bb"}); }},
        {"empty set", [](TWriter& w) { w.WriteSet({}); }},
        {"long string", [](TWriter& w) { w.WriteString(std::string(5000, '\xAB')); }},
        {"nil", [](TWriter& w) { w.WriteIdent("nil"); }},
        {"collection", [](TWriter& w) {
             w.WriteCollectionBegin();
             w.WriteCollectionItem();
             Prop(w, "Caption", [](TWriter& w) { w.WriteString("a"); });
             w.WriteListEnd();
             w.WriteCollectionItem(300);
             Prop(w, "Value", [](TWriter& w) { w.WriteInteger(3); });
             Prop(w, "Caption", [](TWriter& w) { w.WriteString("b"); });
             w.WriteListEnd();
             w.WriteCollectionItem(5);
             w.WriteListEnd();
             w.WriteListEnd();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMemoryStream stream(WriteBytes([&](TWriter& w) {
            c.write(w);
            w.Write(&marker, 1);
        }));
        TReader reader(stream);
        reader.SkipValue();
        uint8_t next = 0;
        reader.Read(&next, 1);
        EXPECT_EQ(next, marker);
    }

    // A byte that is no value code is refused.
    TMemoryStream bad(Bytes{15, marker});
    TReader reader(bad);
    EXPECT_EQ(ErrorOf<EReadError>([&] { reader.SkipValue(); }), "Invalid property value");
}

TEST_F(StreamFormatTest, ReaderLeavesTheStreamBehindWhatItRead)
{
    const auto first = MakeRichForm();
    TTestForm secondForm(nullptr);
    secondForm.SetName("Second");
    secondForm.SetCaption("second");
    const Bytes one = WriteRoot(first.get());
    const Bytes two = WriteRoot(&secondForm);

    TMemoryStream stream;
    stream.WriteBuffer(one.data(), static_cast<int64_t>(one.size()));
    stream.WriteBuffer(two.data(), static_cast<int64_t>(two.size()));
    stream.SetPosition(0);
    {
        TTestForm copy(nullptr);
        TReader reader(stream);
        reader.ReadRootComponent(&copy);
        EXPECT_EQ(copy.ComponentCount(), 6);
    }
    EXPECT_EQ(stream.Position(), static_cast<int64_t>(one.size()));
    {
        TTestForm copy(nullptr);
        TReader reader(stream);
        reader.ReadRootComponent(&copy);
        EXPECT_EQ(copy.Caption(), "second");
    }
    EXPECT_EQ(stream.Position(), static_cast<int64_t>(one.size() + two.size()));
}

TEST_F(StreamFormatTest, SkippingAComponentRecord)
{
    const auto form = MakeRichForm();
    const Bytes bytes = WriteRoot(form.get());
    TMemoryStream stream(bytes);
    {
        TReader reader(stream);
        reader.ReadSignature();
        reader.SkipComponent(true);
    }
    EXPECT_EQ(stream.Position(), static_cast<int64_t>(bytes.size()));
}

} // namespace
