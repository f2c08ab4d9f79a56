// The six forms as the program carries them: each stored design is in
// setup.exe, consists of exactly one root record, and reads into its class
// with every published field referring to its component and the values of
// the design in place.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/DirForm.h"
#include "framework/Reader.h"
#include "framework/Screen.h"
#include "runtime/Exceptions.h"
#include "runtime/Stream.h"
#include "setup/forms/Setup1.h"
#include "setup/forms/Setup2.h"
#include "setup/forms/Setup3.h"
#include "setup/forms/Setup4.h"
#include "setup/forms/Setup5.h"
#include "setup/forms/Setup6.h"

namespace {

// Frees a form (and what it owns) when the test ends, however it ends.
struct FormDeleter {
    void operator()(TComponent* c) const { TComponent::Free(c); }
};
template <typename T>
using FormPtr = std::unique_ptr<T, FormDeleter>;

template <typename T>
FormPtr<T> Build()
{
    return FormPtr<T>(CreateForm<T>(nullptr));
}

// The program file beside the test programs' folder.
std::string SetupExePath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    dir.erase(dir.find_last_of('\\'));          // tests folder
    dir.erase(dir.find_last_of('\\') + 1);      // build folder
    return dir + "setup.exe";
}

struct Resource {
    const void* Data = nullptr;
    DWORD Size = 0;
};

Resource FindFormResource(HMODULE module, const char* name)
{
    Resource r;
    HRSRC info = FindResourceA(module, name, MAKEINTRESOURCEA(10));
    if (!info)
        return r;
    r.Data = LockResource(LoadResource(module, info));
    r.Size = SizeofResource(module, info);
    return r;
}

// Every published field of a form refers to the form's component of the
// same name.
void ExpectFieldsBound(const TForm& form)
{
    for (const TClassInfo* c = &form.ClassInfo(); c; c = c->Parent) {
        for (const TFieldInfo& field : c->Fields) {
            SCOPED_TRACE(std::string(form.ClassName()) + "." + std::string(field.Name));
            TComponent* value = field.Get(&form);
            ASSERT_NE(value, nullptr);
            EXPECT_EQ(value, form.FindComponent(field.Name));
            EXPECT_EQ(value->Owner(), &form);
            EXPECT_TRUE(value->InheritsFrom(*field.FieldClass()));
        }
    }
}

std::string BoundHandler(const TMethod& method)
{
    return method ? std::string(method.Code->Name) : std::string();
}

} // namespace

TEST(FormResources, SetupExeCarriesEachFormAsOneRootRecord)
{
    HMODULE exe = LoadLibraryExA(SetupExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr) << SetupExePath();
    struct Case {
        const char* Resource;
        std::function<TComponent*()> Make;
    };
    const std::vector<Case> cases = {
        {"TFORM1", [] { return new TForm1(nullptr); }},
        {"TFORM2", [] { return new TForm2(nullptr); }},
        {"TFORM3", [] { return new TForm3(nullptr); }},
        {"TFORM4", [] { return new TForm4(nullptr); }},
        {"TFORM5", [] { return new TForm5(nullptr); }},
        {"TFORM6", [] { return new TForm6(nullptr); }},
        {"TFDIRFORM", [] { return new TFDIRFORM(nullptr); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Resource);
        const Resource r = FindFormResource(exe, c.Resource);
        ASSERT_NE(r.Data, nullptr);
        ASSERT_GT(r.Size, 4u);
        EXPECT_EQ(std::string(static_cast<const char*>(r.Data), 4), "TPF0");
        // Lower-case lookups find the same resource.
        std::string lower = c.Resource;
        for (char& ch : lower)
            ch = static_cast<char>(tolower(ch));
        EXPECT_EQ(FindFormResource(exe, lower.c_str()).Data, r.Data);

        FormPtr<TComponent> form(c.Make());
        TMemoryViewStream stream(r.Data, r.Size);
        {
            TReader reader(stream);
            reader.ReadRootComponent(form.get());
        }
        EXPECT_EQ(stream.Position(), static_cast<int64_t>(r.Size)) << "the root record does not end on the last byte";
    }
    FreeLibrary(exe);
}

TEST(FormResources, Form1StreamStartsAsDesigned)
{
    const Resource r = FindFormResource(GetModuleHandleA(nullptr), "TFORM1");
    ASSERT_NE(r.Data, nullptr);
    const auto* bytes = static_cast<const uint8_t*>(r.Data);
    const std::vector<uint8_t> start(bytes, bytes + 4 + 7 + 6 + 5 + 3);
    const std::vector<uint8_t> expected = {'T', 'P', 'F', '0', 6, 'T', 'F', 'o', 'r', 'm', '1', 5, 'F', 'o', 'r', 'm', '1',
                                           4, 'L', 'e', 'f', 't', 3, 203, 0};
    EXPECT_EQ(start, expected);

    // Walk the root's property records and look at the value codes.
    TMemoryViewStream stream(r.Data, r.Size);
    TReader reader(stream);
    reader.ReadSignature();
    uint8_t flags;
    int childPos;
    reader.ReadPrefix(flags, childPos);
    EXPECT_EQ(flags, 0);
    EXPECT_EQ(reader.ReadStr(), "TForm1");
    EXPECT_EQ(reader.ReadStr(), "Form1");
    bool sawBorderIcons = false, sawColor = false, sawIcon = false;
    while (!reader.EndOfList()) {
        const std::string name = reader.ReadStr();
        if (name == "BorderIcons") {
            sawBorderIcons = true;
            EXPECT_EQ(reader.ReadValue(), vaSet);
            EXPECT_EQ(reader.ReadStr(), "") << "BorderIcons is not the empty set";
        } else if (name == "Color") {
            sawColor = true;
            EXPECT_EQ(reader.NextValue(), vaIdent);
            EXPECT_EQ(reader.ReadIdent(), "clBlack");
        } else if (name == "Icon.Data") {
            sawIcon = true;
            EXPECT_EQ(reader.ReadValue(), vaBinary);
            uint8_t length[4];
            reader.Read(length, 4);
            EXPECT_EQ(length[0] | length[1] << 8 | length[2] << 16 | length[3] << 24, 318);
            std::vector<uint8_t> icon(318);
            reader.Read(icon.data(), icon.size());
        } else {
            reader.SkipValue();
        }
    }
    EXPECT_TRUE(sawBorderIcons);
    EXPECT_TRUE(sawColor);
    EXPECT_TRUE(sawIcon);
}

TEST(FormResources, Form1ReadsIntoItsClass)
{
    auto form = Build<TForm1>();
    ExpectFieldsBound(*form);
    EXPECT_EQ(form->Name(), "Form1");
    EXPECT_EQ(form->Caption(), "Setup");
    EXPECT_EQ(form->Left(), 203);
    EXPECT_EQ(form->Top(), 115);
    EXPECT_EQ(form->ClientWidth(), 291);
    EXPECT_EQ(form->ClientHeight(), 101);
    EXPECT_EQ(form->BorderStyle(), bsNone);
    EXPECT_TRUE(form->BorderIcons().Empty());
    EXPECT_EQ(form->Color(), clBlack);
    EXPECT_EQ(form->WindowState(), wsMaximized);
    EXPECT_EQ(form->Font()->Name(), "MS Sans Serif");
    EXPECT_EQ(form->Font()->Height(), -11);
    EXPECT_EQ(form->Icon()->Width(), 16);
    EXPECT_EQ(form->Icon()->FileData().size(), 318u);
    EXPECT_EQ(BoundHandler(form->OnCreate().Method()), "Form1Create");
    EXPECT_EQ(BoundHandler(form->OnDestroy().Method()), "Form1Destroy");
    EXPECT_EQ(BoundHandler(form->OnShow().Method()), "Form1Show");
    EXPECT_EQ(form->OnShow().Method().Data, form.get());

    EXPECT_EQ(form->Image1->Left(), 12);
    EXPECT_EQ(form->Image1->Top(), 23);
    EXPECT_EQ(form->Image1->Width(), 122);
    EXPECT_EQ(form->Image1->Height(), 148);
    ASSERT_NE(form->Image1->Picture()->Bitmap(), nullptr);
    EXPECT_EQ(form->Image1->Picture()->Width(), 122);
    EXPECT_EQ(form->Image1->Picture()->Height(), 148);
    EXPECT_EQ(form->Image1->Picture()->Bitmap()->BitsPerPixel(), 8);

    EXPECT_EQ(form->Label1->Caption(), "Halvarn 95 Setup");
    // The title sizes itself to its text in the font it is drawn with; its
    // left edge is the design's.
    EXPECT_EQ(form->Label1->Left(), 142);
    EXPECT_EQ(form->Label1->Font()->Name(), "Arial");
    EXPECT_EQ(form->Label1->Font()->Height(), -37);
    EXPECT_TRUE(form->Label1->Font()->Style().Contains(fsItalic));
    EXPECT_EQ(form->Label1->Font()->Color(), clYellow);
    EXPECT_EQ(form->Label1->Color(), clBlack);
    EXPECT_FALSE(form->Label1->ParentColor());
    EXPECT_FALSE(form->Label1->ParentFont());
    EXPECT_EQ(form->Label2->Left(), 455);
    EXPECT_EQ(form->Label2->Font()->Color(), clWhite);

    EXPECT_FALSE(form->Timer1->Enabled());
    EXPECT_EQ(form->Timer1->Interval(), 100u);
    EXPECT_EQ(BoundHandler(form->Timer1->OnTimer().Method()), "Timer1Timer");
    for (int i = 0; i < form->ComponentCount(); ++i)
        EXPECT_FALSE(form->Components(i)->IsLoading()) << form->Components(i)->Name();
}

TEST(FormResources, Form2ReadsIntoItsClass)
{
    auto form = Build<TForm2>();
    ExpectFieldsBound(*form);
    EXPECT_EQ(form->BorderStyle(), bsDialog);
    EXPECT_EQ(form->FormStyle(), fsStayOnTop);
    EXPECT_EQ(form->Position(), poScreenCenter);
    EXPECT_EQ(form->ClientWidth(), 246);
    EXPECT_EQ(form->ClientHeight(), 113);
    EXPECT_EQ(form->Button1->Caption(), "O K");
    EXPECT_TRUE(form->Button1->Default());
    EXPECT_EQ(form->Button2->Caption(), "Exit");
    EXPECT_TRUE(form->Button2->Cancel());
    EXPECT_TRUE(form->RadioButton1->Checked());
    EXPECT_FALSE(form->RadioButton2->Checked());
    EXPECT_EQ(form->RadioButton2->Left(), 60);
    EXPECT_EQ(form->Image1->Width(), 37);
    EXPECT_EQ(form->Image1->Height(), 34);
    EXPECT_EQ(BoundHandler(form->Button1->OnClick().Method()), "Button1Click");
    EXPECT_EQ(BoundHandler(form->OnShow().Method()), "Form2Show");
    const std::vector<TWinControl*> tabs = form->TabList();
    ASSERT_EQ(tabs.size(), 4u);
    EXPECT_EQ(tabs[0], form->RadioButton1);
    EXPECT_EQ(tabs[1], form->RadioButton2);
    EXPECT_EQ(tabs[2], form->Button1);
    EXPECT_EQ(tabs[3], form->Button2);
}

TEST(FormResources, Form3ReadsIntoItsClass)
{
    auto form = Build<TForm3>();
    ExpectFieldsBound(*form);
    EXPECT_EQ(form->Width(), 343);
    EXPECT_EQ(form->Height(), 267);
    EXPECT_EQ(form->Caption(), "Installation Settings");
    EXPECT_EQ(form->Button5->Caption(), "Br&owse");
    EXPECT_EQ(BoundHandler(form->Button5->OnClick().Method()), "Button4Click");
    EXPECT_EQ(form->Button1->Caption(), "<< &Back");
    EXPECT_EQ(form->Button2->Caption(), "&Next >>");
    EXPECT_FALSE(form->Button2->Default());
    EXPECT_TRUE(form->Button3->Cancel());
    EXPECT_EQ(form->GroupBox1->Caption(), "Hard Drive Space Needed     -     Available");
    // The group box's labels are the form's components and the box's children.
    for (TLabel* label : {form->Label5, form->Label6, form->Label7}) {
        EXPECT_EQ(label->Owner(), form.get());
        EXPECT_EQ(label->Parent(), form->GroupBox1);
    }
    EXPECT_EQ(form->Label6->Alignment(), taRightJustify);
    EXPECT_EQ(form->Label1->Alignment(), taCenter);
    EXPECT_TRUE(form->Label1->WordWrap());
    EXPECT_TRUE(form->Label1->Font()->Style().Contains(fsBold));
    EXPECT_EQ(form->OpenDialog1->Caption(), "Select A Directory");
    EXPECT_EQ(BoundHandler(form->OnCreate().Method()), "Form3Create");
    EXPECT_EQ(form->Edit2->TabOrder(), 0);
    EXPECT_EQ(form->Button1->TabOrder(), 1);
    EXPECT_EQ(form->Button2->TabOrder(), 2);
    EXPECT_EQ(form->Button3->TabOrder(), 3);
    EXPECT_EQ(form->Button5->TabOrder(), 4);
    EXPECT_EQ(form->GroupBox1->TabOrder(), 5);
}

TEST(FormResources, Form4ReadsIntoItsClass)
{
    auto form = Build<TForm4>();
    ExpectFieldsBound(*form);
    EXPECT_EQ(form->Caption(), "Select Items to Uninstall");
    EXPECT_EQ(form->Label1->Caption(),
              "Click on an item above to select it.  Hold down <Ctrl> to select more than one.  "
              "Then click on Uninstall to uninstall the selected items.");
    EXPECT_TRUE(form->ListBox1->MultiSelect());
    EXPECT_EQ(form->ListBox1->ItemHeight(), 13);
    EXPECT_TRUE(form->Button1->Default());
    EXPECT_TRUE(form->Button3->Cancel());
    EXPECT_EQ(form->OpenDialog1->DesignLeft(), 1);
    EXPECT_EQ(form->OpenDialog1->DesignTop(), 177);
}

TEST(FormResources, Form5ReadsIntoItsClass)
{
    auto form = Build<TForm5>();
    ExpectFieldsBound(*form);
    EXPECT_EQ(form->Caption(), "Installing");
    EXPECT_EQ(form->BorderIcons(), TBorderIcons{biSystemMenu});
    EXPECT_EQ(form->Gauge1->Progress(), 0);
    EXPECT_EQ(form->Gauge1->Width(), 241);
    EXPECT_EQ(form->Button1->Caption(), "Cancel");
    EXPECT_TRUE(form->Button1->Cancel());
    EXPECT_EQ(form->ProgMan1->ShowGroup(), activateNormalSize);
    EXPECT_EQ(form->ProgMan1->DesignLeft(), 136);
    EXPECT_EQ(BoundHandler(form->OnClose().Method()), "Form5Close");
    EXPECT_EQ(BoundHandler(form->OnActivate().Method()), "Form5Activate");
}

TEST(FormResources, Form6ReadsIntoItsClass)
{
    auto form = Build<TForm6>();
    ExpectFieldsBound(*form);
    EXPECT_EQ(form->Caption(), "Uninstalling");
    EXPECT_EQ(form->BorderIcons(), TBorderIcons{biSystemMenu});
    EXPECT_EQ(form->FormStyle(), fsStayOnTop);
    EXPECT_EQ(form->Font()->Name(), "MS Sans Serif");
    EXPECT_EQ(form->Gauge1->Progress(), 0);
    EXPECT_EQ(form->Gauge1->Width(), 241);
    EXPECT_EQ(form->Gauge1->Left(), 9);
    EXPECT_EQ(BoundHandler(form->OnClose().Method()), "Form6Close");
}

TEST(FormResources, DirectoryFormReadsWithItsReference)
{
    auto form = Build<TFDIRFORM>();
    ExpectFieldsBound(*form);
    EXPECT_EQ(form->Name(), "FDIRFORM");
    EXPECT_EQ(form->DriveComboBox1->DirList(), form->DirectoryListBox1);
    EXPECT_EQ(BoundHandler(form->DirectoryListBox1->OnChange().Method()), "DirectoryChange");
    EXPECT_FALSE(form->HorzScrollBar()->Visible());
    EXPECT_FALSE(form->VertScrollBar()->Visible());
    EXPECT_TRUE(form->BT_OK->Default());
    EXPECT_EQ(form->BT_OK->ModalResult(), 1);
    EXPECT_EQ(form->BT_Cancel->ModalResult(), 2);

    // A second directory form while the first exists gets a name of its own.
    auto second = Build<TFDIRFORM>();
    EXPECT_EQ(second->Name(), "FDIRFORM_1");
    auto third = Build<TFDIRFORM>();
    EXPECT_EQ(third->Name(), "FDIRFORM_2");
}

namespace {

// Form1's design read into a class that does not publish Form1Show.
class TForm1WithoutShow : public TForm {
    DECLARE_CLASS_INFO(TForm1WithoutShow)
public:
    explicit TForm1WithoutShow(TComponent* owner) : TForm(owner) {}
    TImage* Image1 = nullptr;
    TTimer* Timer1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    void Form1Create(TObject*) {}
    void Form1Destroy(TObject*) {}
    void Timer1Timer(TObject*) {}
};

const TClassInfo& TForm1WithoutShow::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TForm1WithoutShow, TForm>("TForm1WithoutShow")
        .Field<&TForm1WithoutShow::Image1>("Image1")
        .Field<&TForm1WithoutShow::Timer1>("Timer1")
        .Field<&TForm1WithoutShow::Label1>("Label1")
        .Field<&TForm1WithoutShow::Label2>("Label2")
        .Method<TNotifyEvent, &TForm1WithoutShow::Form1Create>("Form1Create")
        .Method<TNotifyEvent, &TForm1WithoutShow::Form1Destroy>("Form1Destroy")
        .Method<TNotifyEvent, &TForm1WithoutShow::Timer1Timer>("Timer1Timer")
        .Build();
    return info;
}

} // namespace

TEST(FormResources, UnpublishedHandlerStopsTheRead)
{
    FormPtr<TForm1WithoutShow> form(new TForm1WithoutShow(nullptr));
    try {
        ReadComponentResource("TFORM1", form.get());
        FAIL() << "the read went through";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Error reading Form1.OnShow: Invalid property value");
    }
}

TEST(FormResources, FormWithoutDesignIsRefused)
{
    // A class of its own with no resource of its name.
    try {
        auto form = Build<TForm1WithoutShow>();
        FAIL() << "a form without a design was built";
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), "Resource TForm1WithoutShow not found");
    }
}
