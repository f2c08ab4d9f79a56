// How reading a stream fails: each failure with its exception class and the
// exact text from the string table, and what a failed read leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/framework/StreamHelpers.h"
#include "tools/fuzz/TestClasses.h"

namespace {

class ReaderErrorsTest : public FrameworkTest {};

// A stream of a form named Form1 with one component Comp1 whose record
// holds the property records that properties writes.
Bytes Comp1Stream(const WriteFn& properties)
{
    return RootStream("TTestForm", "Form1", {},
                      [&](TWriter& w) { ChildRecord(w, "TTestComponent", "Comp1", properties); });
}

// One property record of Comp1: path and value.
Bytes Comp1Property(std::string_view path, const WriteFn& value)
{
    return Comp1Stream([&](TWriter& w) { Prop(w, path, value); });
}

// The message of the EReadError raised when bytes are read into a new form.
std::string ReadError(const Bytes& bytes)
{
    TTestForm form(nullptr);
    return ErrorOf<EReadError>([&] { ReadStream(bytes, &form); });
}

// A stream that reads without error: a few components, nested controls and
// properties of several kinds.
Bytes ValidStream()
{
    return RootStream(
        "TTestForm", "Form1",
        [](TWriter& w) {
            Prop(w, "Caption", [](TWriter& w) { w.WriteString("The form"); });
            Prop(w, "Font.Height", [](TWriter& w) { w.WriteInteger(-11); });
        },
        [](TWriter& w) {
            ChildRecord(w, "TTestComponent", "Comp1", [](TWriter& w) {
                Prop(w, "Number", [](TWriter& w) { w.WriteInteger(70000); });
                Prop(w, "Elements", [](TWriter& w) { w.WriteSet({"te1", "te2"}); });
                Prop(w, "Blob", [](TWriter& w) { w.WriteBinary("abcdef", 6); });
                Prop(w, "Buddy", [](TWriter& w) { w.WriteIdent("Button1"); });
            });
            ChildRecord(w, "TTestControl", "Panel1", {}, [](TWriter& w) {
                ChildRecord(w, "TTestControl", "Button1", [](TWriter& w) {
                    Prop(w, "OnClick", [](TWriter& w) { w.WriteIdent("ButtonClick"); });
                    Prop(w, "Ratio", [](TWriter& w) { w.WriteFloat(0.5L); });
                });
            });
        });
}

TEST_F(ReaderErrorsTest, ValidStreamReads)
{
    TTestForm form(nullptr);
    ReadStream(ValidStream(), &form);
    ASSERT_NE(form.Button1, nullptr);
    EXPECT_EQ(form.Comp1->Buddy(), form.Button1);
    EXPECT_EQ(form.ComponentCount(), 3);
}

TEST_F(ReaderErrorsTest, BadSignatureCreatesNothing)
{
    ScopedRegistration registration(TTestForm::StaticClassInfo());
    const Bytes good = ValidStream();
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        Bytes bad = good;
        bad[i] ^= 0x20;
        TTestForm form(nullptr);
        const int alive = TestInstanceCounter::Alive();
        EXPECT_EQ(ErrorOf<EReadError>([&] { ReadStream(bad, &form); }), "Invalid stream format");
        EXPECT_EQ(form.Name(), "");
        EXPECT_EQ(form.ComponentCount(), 0);
        EXPECT_EQ(ErrorOf<EReadError>([&] { ReadStream(bad, nullptr); }), "Invalid stream format");
        EXPECT_EQ(TestInstanceCounter::Alive(), alive);
    }
    EXPECT_EQ(ReadError(Bytes{'T', 'P', 'F'}), "Stream read error");
}

TEST_F(ReaderErrorsTest, EveryEarlyEndIsAReadError)
{
    ScopedRegistration registration(TTestForm::StaticClassInfo());
    const Bytes good = ValidStream();
    for (size_t length = 4; length < good.size(); ++length) {
        SCOPED_TRACE(length);
        const Bytes cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(length));
        // Inside a property record the error is reported with the property.
        const std::string message = ReadError(cut);
        EXPECT_TRUE(message == "Stream read error" ||
                    (message.starts_with("Error reading ") && message.ends_with(": Stream read error")))
            << message;
        EXPECT_EQ(ErrorOf<EReadError>([&] { ReadStream(cut, nullptr); }), message);
    }
    // Cut inside the value of Comp1's Number.
    const Bytes number{6, 'N', 'u', 'm', 'b', 'e', 'r', vaInt32};
    const auto at = std::search(good.begin(), good.end(), number.begin(), number.end());
    ASSERT_NE(at, good.end());
    EXPECT_EQ(ReadError(Bytes(good.begin(), at + static_cast<ptrdiff_t>(number.size()) + 2)),
              "Error reading Comp1.Number: Stream read error");
}

TEST_F(ReaderErrorsTest, UnknownClasses)
{
    // A class the reader could create but that is neither registered nor
    // among the form's field classes.
    TTestForm form(nullptr);
    const Bytes unlisted = RootStream("TTestForm", "Form1", {}, [](TWriter& w) { ChildRecord(w, "TTestForm", "Inner", {}); });
    EXPECT_EQ(ErrorOf<EClassNotFound>([&] { ReadStream(unlisted, &form); }), "Class TTestForm not found");

    ScopedRegistration registration(TTestForm::StaticClassInfo());
    const Bytes child =
        RootStream("TTestForm", "Form1", {}, [](TWriter& w) { ChildRecord(w, "TNoSuch", "Thing1", {}); });
    EXPECT_EQ(ErrorOf<EClassNotFound>([&] { ReadStream(child, &form); }), "Class TNoSuch not found");
    EXPECT_EQ(form.ComponentCount(), 0);

    const Bytes root = RootStream("TNoSuch", "Form1", {});
    EXPECT_EQ(ErrorOf<EClassNotFound>([&] { ReadStream(root, nullptr); }), "Class TNoSuch not found");
    // Registered, the class is found.
    EXPECT_NO_THROW(ReadStream(unlisted, &form));
    EXPECT_EQ(form.ComponentCount(), 1);
}

TEST_F(ReaderErrorsTest, MissingAncestor)
{
    const Bytes bytes = RootStream("TTestForm", "Form1", {}, [](TWriter& w) {
        ChildRecord(w, "TTestComponent", "X", [](TWriter& w) { Prop(w, "Number", [](TWriter& w) { w.WriteInteger(1); }); },
                    {}, ffInherited);
    });
    EXPECT_EQ(ReadError(bytes), "Ancestor for 'X' not found");
}

TEST_F(ReaderErrorsTest, InvalidPropertyValues)
{
    struct Case {
        const char* path;
        WriteFn value;
        const char* message;
    };
    const Case cases[] = {
        // Wrong value types.
        {"Number", [](TWriter& w) { w.WriteString("12"); }, "Error reading Comp1.Number: Invalid property value"},
        {"Number", [](TWriter& w) { w.WriteValue(vaNull); }, "Error reading Comp1.Number: Invalid property value"},
        {"Number", [](TWriter& w) { w.WriteFloat(1.0L); }, "Error reading Comp1.Number: Invalid property value"},
        {"Caption", [](TWriter& w) { w.WriteInteger(5); }, "Error reading Comp1.Caption: Invalid property value"},
        {"Letter", [](TWriter& w) { w.WriteString("ab"); }, "Error reading Comp1.Letter: Invalid property value"},
        {"Letter", [](TWriter& w) { w.WriteString(""); }, "Error reading Comp1.Letter: Invalid property value"},
        {"Letter", [](TWriter& w) { w.WriteInteger(65); }, "Error reading Comp1.Letter: Invalid property value"},
        {"Ratio", [](TWriter& w) { w.WriteString("1.5"); }, "Error reading Comp1.Ratio: Invalid property value"},
        {"Shape", [](TWriter& w) { w.WriteInteger(1); }, "Error reading Comp1.Shape: Invalid property value"},
        {"Elements", [](TWriter& w) { w.WriteIdent("te1"); }, "Error reading Comp1.Elements: Invalid property value"},
        {"Buddy", [](TWriter& w) { w.WriteString("Comp1"); }, "Error reading Comp1.Buddy: Invalid property value"},
        {"Items", [](TWriter& w) { w.WriteInteger(0); }, "Error reading Comp1.Items: Invalid property value"},
        {"Blob", [](TWriter& w) { w.WriteString("data"); }, "Error reading Comp1.Blob: Invalid property value"},
        // Identifiers that name nothing.
        {"Color", [](TWriter& w) { w.WriteIdent("clPink"); }, "Error reading Comp1.Color: Invalid property value"},
        {"Number", [](TWriter& w) { w.WriteIdent("clRed"); }, "Error reading Comp1.Number: Invalid property value"},
        {"Shape", [](TWriter& w) { w.WriteIdent("tshHexagon"); }, "Error reading Comp1.Shape: Invalid property value"},
        {"Enabled", [](TWriter& w) { w.WriteIdent("Maybe"); }, "Error reading Comp1.Enabled: Invalid property value"},
        {"Elements", [](TWriter& w) { w.WriteSet({"te1", "teNone", "te2"}); },
         "Error reading Comp1.Elements: Invalid property value"},
        {"Font.Style", [](TWriter& w) { w.WriteSet({"Bold"}); }, "Error reading Comp1.Font.Style: Invalid property value"},
        // Handlers the form does not publish, or of the wrong signature.
        {"OnClick", [](TWriter& w) { w.WriteIdent("NoSuchHandler"); }, "Error reading Comp1.OnClick: Invalid property value"},
        {"OnClick", [](TWriter& w) { w.WriteIdent("Form1Close"); }, "Error reading Comp1.OnClick: Invalid property value"},
        {"OnClose", [](TWriter& w) { w.WriteIdent("ButtonClick"); }, "Error reading Comp1.OnClose: Invalid property value"},
        {"OnClick", [](TWriter& w) { w.WriteString("ButtonClick"); }, "Error reading Comp1.OnClick: Invalid property value"},
        // Unknown properties and paths.
        {"Nope", [](TWriter& w) { w.WriteInteger(1); }, "Error reading Comp1.Nope: Property does not exist"},
        {"Font.Nope", [](TWriter& w) { w.WriteInteger(1); }, "Error reading Comp1.Font.Nope: Property does not exist"},
        {"Nope.Height", [](TWriter& w) { w.WriteInteger(1); }, "Error reading Comp1.Nope.Height: Property does not exist"},
        {"Number.Height", [](TWriter& w) { w.WriteInteger(1); },
         "Error reading Comp1.Number.Height: Invalid property path"},
        {"Buddy.Number", [](TWriter& w) { w.WriteInteger(1); }, "Error reading Comp1.Buddy.Number: Invalid property path"},
        {"Font..Height", [](TWriter& w) { w.WriteInteger(1); }, "Error reading Comp1.Font..Height: Property does not exist"},
        {"Font.", [](TWriter& w) { w.WriteInteger(1); }, "Error reading Comp1.Font.: Property does not exist"},
        {".Height", [](TWriter& w) { w.WriteInteger(1); }, "Error reading Comp1..Height: Property does not exist"},
        // A property without a setter.
        {"LoadCount", [](TWriter& w) { w.WriteInteger(1); }, "Error reading Comp1.LoadCount: Property is read-only"},
        // An exception of a setter.
        {"Name", [](TWriter& w) { w.WriteString("1abc"); },
         "Error reading Comp1.Name: ''1abc'' is not a valid component name"},
        {"Number", [](TWriter& w) { w.WriteInteger(TTestComponent::FailedAllocation); },
         "Error reading Comp1.Number: std::bad_alloc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " / " + c.message);
        EXPECT_EQ(ReadError(Comp1Property(c.path, c.value)), c.message);
    }
}

TEST_F(ReaderErrorsTest, HandlerErrorsOfTheRootNameTheForm)
{
    const Bytes missing = RootStream("TTestForm", "Form1",
                                     [](TWriter& w) { Prop(w, "OnShow", [](TWriter& w) { w.WriteIdent("Form1Hide"); }); });
    EXPECT_EQ(ReadError(missing), "Error reading Form1.OnShow: Invalid property value");
    const Bytes wrongSignature = RootStream(
        "TTestForm", "Form1", [](TWriter& w) { Prop(w, "OnShow", [](TWriter& w) { w.WriteIdent("Form1Close"); }); });
    EXPECT_EQ(ReadError(wrongSignature), "Error reading Form1.OnShow: Invalid property value");
}

TEST_F(ReaderErrorsTest, UnnamedInstancesAreNamedByTheirClass)
{
    const Bytes child = RootStream("TTestForm", "Form1", {}, [](TWriter& w) {
        ChildRecord(w, "TTestControl", "", [](TWriter& w) { Prop(w, "Width", [](TWriter& w) { w.WriteString("wide"); }); });
    });
    EXPECT_EQ(ReadError(child), "Error reading TTestControl.Width: Invalid property value");
    const Bytes root =
        RootStream("TTestForm", "", [](TWriter& w) { Prop(w, "Unknown", [](TWriter& w) { w.WriteInteger(0); }); });
    EXPECT_EQ(ReadError(root), "Error reading TTestForm.Unknown: Property does not exist");
}

TEST_F(ReaderErrorsTest, ValueErrorsLeaveTheReaderBehindTheValue)
{
    // Read property by property: after each failed record the reader stands
    // at the next one.
    const uint8_t marker = 0xAB;
    const Bytes bytes = WriteBytes([&](TWriter& w) {
        Prop(w, "Elements", [](TWriter& w) { w.WriteSet({"te1", "teNone", "te2", "te3"}); });
        w.Write(&marker, 1);
        Prop(w, "Letter", [](TWriter& w) { w.WriteString("long"); });
        w.Write(&marker, 1);
        Prop(w, "Unknown.Path", [](TWriter& w) { w.WriteString(std::string(1000, 'v')); });
        w.Write(&marker, 1);
        Prop(w, "Number.Path", [](TWriter& w) {
            w.WriteListBegin();
            w.WriteInteger(1);
            w.WriteListEnd();
        });
        w.Write(&marker, 1);
        Prop(w, "Nothing", [](TWriter& w) { w.WriteBinary("abc", 3); });
        w.Write(&marker, 1);
        Prop(w, "Blob", [](TWriter& w) { w.WriteSet({"x"}); });
        w.Write(&marker, 1);
        Prop(w, "Buddy", [](TWriter& w) { w.WriteString("Comp2"); });
        w.Write(&marker, 1);
        Prop(w, "Items", [](TWriter& w) { w.WriteSet({"x"}); });
        w.Write(&marker, 1);
    });
    TTestComponent comp(nullptr);
    comp.SetName("Comp1");
    TMemoryStream stream(bytes);
    TReader reader(stream);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_THROW(reader.ReadProperty(&comp), EReadError);
        uint8_t next = 0;
        reader.Read(&next, 1);
        EXPECT_EQ(next, marker);
    }
    EXPECT_TRUE(comp.Elements().Empty());
}

TEST_F(ReaderErrorsTest, FarCollectionIndexesAreRefused)
{
    // Every item record may name an index beyond the items there are, and
    // the items up to it are added: a few kilobytes of such records must
    // not be able to add millions of items.
    TTestForm form(nullptr);
    form.SetName("Form1");
    auto* comp1 = new TTestComponent(&form);
    comp1->SetName("Comp1");
    const Bytes bytes = RootStream("TTestForm", "Form1", {}, [](TWriter& w) {
        ChildRecord(
            w, "TTestComponent", "Comp1",
            [](TWriter& w) {
                Prop(w, "Items", [](TWriter& w) {
                    w.WriteCollectionBegin();
                    for (int i = 1; i <= 1000; ++i) {
                        w.WriteCollectionItem(i * 65536);
                        w.WriteListEnd();
                    }
                    w.WriteListEnd();
                });
            },
            {}, ffInherited);
    });
    EXPECT_LT(bytes.size(), 8000u);
    EXPECT_EQ(ErrorOf<EReadError>([&] { ReadStream(bytes, &form); }),
              "Error reading Comp1.Items: Invalid property value");
    EXPECT_LT(comp1->Items()->Count(), 65536);
}

TEST_F(ReaderErrorsTest, ReadOnlyIsRefusedBeforeTheValueIsRead)
{
    const Bytes bytes = WriteBytes([](TWriter& w) { Prop(w, "LoadCount", [](TWriter& w) { w.WriteInteger(100000); }); });
    TTestComponent comp(nullptr);
    TMemoryStream stream(bytes);
    TReader reader(stream);
    EXPECT_EQ(ErrorOf<EReadError>([&] { reader.ReadProperty(&comp); }),
              "Error reading TTestComponent.LoadCount: Property is read-only");
    EXPECT_EQ(reader.ReadValue(), vaInt32);
}

TEST_F(ReaderErrorsTest, InvalidAndDuplicateNames)
{
    const Bytes invalid = RootStream("TTestForm", "Form1", {}, [](TWriter& w) {
        ChildRecord(w, "TTestComponent", "1abc", [](TWriter& w) { Prop(w, "Number", [](TWriter& w) { w.WriteInteger(1); }); },
                    [](TWriter& w) { ChildRecord(w, "TTestComponent", "Inner", {}); });
    });
    TTestForm form(nullptr);
    EXPECT_EQ(ErrorOf<EComponentError>([&] { ReadStream(invalid, &form); }), "''1abc'' is not a valid component name");
    EXPECT_EQ(form.ComponentCount(), 0);

    for (const char* name : {"a b", "a-b", "\xE4", "9"}) {
        SCOPED_TRACE(name);
        TTestComponent comp(nullptr);
        EXPECT_EQ(ErrorOf<EComponentError>([&] { comp.SetName(name); }),
                  std::string("''") + name + "'' is not a valid component name");
    }

    const Bytes duplicate = RootStream("TTestForm", "Form1", {}, [](TWriter& w) {
        ChildRecord(w, "TTestComponent", "Comp1", {});
        ChildRecord(w, "TTestComponent", "COMP1", {});
    });
    TTestForm second(nullptr);
    EXPECT_EQ(ErrorOf<EComponentError>([&] { ReadStream(duplicate, &second); }),
              "A component named COMP1 already exists");
    ASSERT_EQ(second.ComponentCount(), 1);
    EXPECT_EQ(second.Comp1, second.Components(0));

    // Renaming to a name the owner has: refused; a change of case only: allowed.
    auto* comp2 = new TTestComponent(&second);
    EXPECT_EQ(ErrorOf<EComponentError>([&] { comp2->SetName("comp1"); }), "A component named comp1 already exists");
    second.Comp1->SetName("COMP1");
    EXPECT_EQ(second.Comp1->Name(), "COMP1");
}

TEST_F(ReaderErrorsTest, RegisteringTwoClassesOfOneName)
{
    static const TClassInfo impostor = ClassInfoBuilder<TTestTimer, TComponent>("ttestcomponent").Build();
    ScopedRegistration registration(TTestComponent::StaticClassInfo());
    // The same class again is no error.
    EXPECT_NO_THROW(TReader::RegisterClass(TTestComponent::StaticClassInfo()));
    EXPECT_EQ(ErrorOf<EFilerError>([&] { TReader::RegisterClass(impostor); }),
              "A class named ttestcomponent already exists");
    EXPECT_EQ(TReader::FindRegisteredClass("TTESTCOMPONENT"), &TTestComponent::StaticClassInfo());
}

// The failure comes in the middle of the second child of a control: the
// first child and the control are freed with the one that failed.
Bytes FailsInSecondChild()
{
    return RootStream(
        "TTestForm", "Form1", [](TWriter& w) { Prop(w, "Caption", [](TWriter& w) { w.WriteString("set"); }); },
        [](TWriter& w) {
            ChildRecord(w, "TTestControl", "Panel1", {}, [](TWriter& w) {
                ChildRecord(w, "TTestControl", "Button1", [](TWriter& w) {
                    Prop(w, "Buddy", [](TWriter& w) { w.WriteIdent("Button2"); });
                    Prop(w, "OnClick", [](TWriter& w) { w.WriteIdent("ButtonClick"); });
                });
                ChildRecord(
                    w, "TTestControl", "Button2",
                    [](TWriter& w) {
                        Prop(w, "Width", [](TWriter& w) { w.WriteInteger(10); });
                        Prop(w, "Shape", [](TWriter& w) { w.WriteIdent("tshNone"); });
                        Prop(w, "Width", [](TWriter& w) { w.WriteInteger(20); });
                    },
                    [](TWriter& w) { ChildRecord(w, "TTestComponent", "Comp1", {}); });
            });
        });
}

TEST_F(ReaderErrorsTest, FailedReadFreesWhatItCreated)
{
    const Bytes bytes = FailsInSecondChild();
    {
        TTestForm form(nullptr);
        const int alive = TestInstanceCounter::Alive();
        EXPECT_EQ(ErrorOf<EReadError>([&] { ReadStream(bytes, &form); }),
                  "Error reading Button2.Shape: Invalid property value");
        EXPECT_EQ(TestInstanceCounter::Alive(), alive);
        EXPECT_EQ(form.ComponentCount(), 0);
        EXPECT_EQ(form.Panel1, nullptr);
        EXPECT_EQ(form.Button1, nullptr);
        EXPECT_EQ(form.Button2, nullptr);
        EXPECT_TRUE(form.ChildControls().empty());
        // What was read before the failure stays read.
        EXPECT_EQ(form.Caption(), "set");
        EXPECT_EQ(TestLogEntries("Loaded "), std::vector<std::string>{});
    }

    // The reader made the root: it goes too.
    ScopedRegistration registration(TTestForm::StaticClassInfo());
    const int alive = TestInstanceCounter::Alive();
    EXPECT_EQ(ErrorOf<EReadError>([&] { ReadStream(bytes, nullptr); }),
              "Error reading Button2.Shape: Invalid property value");
    EXPECT_EQ(TestInstanceCounter::Alive(), alive);
}

TEST_F(ReaderErrorsTest, FailedReadKeepsEarlierSiblings)
{
    // Components of the root that were read completely before the failing
    // one stay with the root, which its creator frees.
    const Bytes bytes = RootStream("TTestForm", "Form1", {}, [](TWriter& w) {
        ChildRecord(w, "TTestComponent", "Comp1", {});
        ChildRecord(w, "TTestComponent", "Comp2", [](TWriter& w) { Prop(w, "Nope", [](TWriter& w) { w.WriteInteger(1); }); });
    });
    auto form = std::make_unique<TTestForm>(nullptr);
    EXPECT_EQ(ErrorOf<EReadError>([&] { ReadStream(bytes, form.get()); }),
              "Error reading Comp2.Nope: Property does not exist");
    ASSERT_EQ(form->ComponentCount(), 1);
    EXPECT_EQ(form->Comp1, form->Components(0));
    EXPECT_EQ(form->Comp2, nullptr);
    EXPECT_TRUE(form->Comp1->IsLoading());
}

TEST_F(ReaderErrorsTest, FailureWhileNamingFreesAndSkipsTheRecord)
{
    // The duplicate's properties and children are skipped, and nothing of
    // them is created.
    const Bytes bytes = RootStream("TTestForm", "Form1", {}, [](TWriter& w) {
        ChildRecord(w, "TTestComponent", "Comp1", {});
        ChildRecord(
            w, "TTestControl", "comp1", [](TWriter& w) { Prop(w, "Width", [](TWriter& w) { w.WriteInteger(1); }); },
            [](TWriter& w) { ChildRecord(w, "TTestControl", "Button1", {}); });
    });
    TTestForm form(nullptr);
    TMemoryStream stream(bytes);
    {
        TReader reader(stream);
        EXPECT_THROW(reader.ReadRootComponent(&form), EComponentError);
    }
    EXPECT_EQ(form.ComponentCount(), 1);
    EXPECT_EQ(form.Button1, nullptr);
    // Only the end marker of the root's children is left unread.
    EXPECT_EQ(stream.Position(), static_cast<int64_t>(bytes.size()) - 1);
}

TEST_F(ReaderErrorsTest, FailedReadDropsItsGlobalFixups)
{
    ScopedGlobalRoots roots;
    const Bytes bytes = RootStream("TTestForm", "Form1", {}, [](TWriter& w) {
        ChildRecord(w, "TTestComponent", "Comp1", [](TWriter& w) { Prop(w, "Buddy", [](TWriter& w) { w.WriteIdent("Other.Comp1"); }); });
        ChildRecord(w, "TNoSuch", "Comp2", {});
    });
    TTestForm form(nullptr);
    EXPECT_THROW(ReadStream(bytes, &form), EClassNotFound);
    EXPECT_EQ(TReader::PendingGlobalFixups(), 0u);
}

} // namespace
