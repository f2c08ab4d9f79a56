// The standard controls, the image, the timer and the file-open dialog as
// component classes: what they publish and with which defaults, the logic
// they have without a window (radio-button exclusion, image sizing, the
// dialog's initial directory), and that stored designs read into them, the
// program's own form resources among them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/ListCtrls.h"
#include "framework/GdiHandles.h"
#include "framework/Reader.h"
#include "framework/Screen.h"
#include "framework/StdCtrls.h"
#include "framework/Writer.h"
#include "runtime/Exceptions.h"
#include "runtime/Stream.h"
#include "tools/fuzz/StreamBuilder.h"

namespace {

using Bytes = std::vector<uint8_t>;

// ---------------------------------------------------------------------------
// Forms to read designs into: each publishes the fields and handlers its
// designs name, so that the reader finds the control classes through them.

class TControlsHost : public TForm {
    DECLARE_CLASS_INFO(TControlsHost)
public:
    explicit TControlsHost(TComponent* owner) : TForm(owner) {}

    TLabel* Label1 = nullptr;
    TLabel* Label5 = nullptr;
    TButton* Button1 = nullptr;
    TRadioButton* RadioButton1 = nullptr;
    TEdit* Edit2 = nullptr;
    TListBox* ListBox1 = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TImage* Image1 = nullptr;
    TTimer* Timer1 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;

    void ButtonClick(TObject* sender)
    {
        ++Clicks;
        LastSender = sender;
    }
    void TimerTick(TObject* sender)
    {
        ++Ticks;
        LastSender = sender;
    }

    int Clicks = 0;
    int Ticks = 0;
    TObject* LastSender = nullptr;
};

const TClassInfo& TControlsHost::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TControlsHost, TForm>("TControlsHost")
        .Field<&TControlsHost::Label1>("Label1")
        .Field<&TControlsHost::Label5>("Label5")
        .Field<&TControlsHost::Button1>("Button1")
        .Field<&TControlsHost::RadioButton1>("RadioButton1")
        .Field<&TControlsHost::Edit2>("Edit2")
        .Field<&TControlsHost::ListBox1>("ListBox1")
        .Field<&TControlsHost::GroupBox1>("GroupBox1")
        .Field<&TControlsHost::Image1>("Image1")
        .Field<&TControlsHost::Timer1>("Timer1")
        .Field<&TControlsHost::OpenDialog1>("OpenDialog1")
        .Method<TNotifyEvent, &TControlsHost::ButtonClick>("ButtonClick")
        .Method<TNotifyEvent, &TControlsHost::TimerTick>("TimerTick")
        .Build();
    return info;
}

// The fields and handlers of the splash form's design.
class TSplashHost : public TForm {
    DECLARE_CLASS_INFO(TSplashHost)
public:
    explicit TSplashHost(TComponent* owner) : TForm(owner) {}

    TImage* Image1 = nullptr;
    TTimer* Timer1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;

    void Form1Show(TObject*) {}
    void Timer1Timer(TObject*) { ++Ticks; }
    void Form1Create(TObject*) {}
    void Form1Destroy(TObject*) {}

    int Ticks = 0;
};

const TClassInfo& TSplashHost::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TSplashHost, TForm>("TSplashHost")
        .Field<&TSplashHost::Image1>("Image1")
        .Field<&TSplashHost::Timer1>("Timer1")
        .Field<&TSplashHost::Label1>("Label1")
        .Field<&TSplashHost::Label2>("Label2")
        .Method<TNotifyEvent, &TSplashHost::Form1Show>("Form1Show")
        .Method<TNotifyEvent, &TSplashHost::Timer1Timer>("Timer1Timer")
        .Method<TNotifyEvent, &TSplashHost::Form1Create>("Form1Create")
        .Method<TNotifyEvent, &TSplashHost::Form1Destroy>("Form1Destroy")
        .Build();
    return info;
}

// The fields and handlers of the mode choice's design.
class TModeChoiceHost : public TForm {
    DECLARE_CLASS_INFO(TModeChoiceHost)
public:
    explicit TModeChoiceHost(TComponent* owner) : TForm(owner) {}

    TRadioButton* RadioButton1 = nullptr;
    TRadioButton* RadioButton2 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TImage* Image1 = nullptr;

    void Button1Click(TObject*) {}
    void Button2Click(TObject*) {}
    void Form2Show(TObject*) {}
    void Form2Close(TObject*, TCloseAction&) {}
};

const TClassInfo& TModeChoiceHost::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TModeChoiceHost, TForm>("TModeChoiceHost")
        .Field<&TModeChoiceHost::RadioButton1>("RadioButton1")
        .Field<&TModeChoiceHost::RadioButton2>("RadioButton2")
        .Field<&TModeChoiceHost::Button1>("Button1")
        .Field<&TModeChoiceHost::Button2>("Button2")
        .Field<&TModeChoiceHost::Image1>("Image1")
        .Method<TNotifyEvent, &TModeChoiceHost::Button1Click>("Button1Click")
        .Method<TNotifyEvent, &TModeChoiceHost::Button2Click>("Button2Click")
        .Method<TNotifyEvent, &TModeChoiceHost::Form2Show>("Form2Show")
        .Method<TCloseEvent, &TModeChoiceHost::Form2Close>("Form2Close")
        .Build();
    return info;
}

// The fields and handlers of the uninstaller's design.
class TUninstallHost : public TForm {
    DECLARE_CLASS_INFO(TUninstallHost)
public:
    explicit TUninstallHost(TComponent* owner) : TForm(owner) {}

    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TButton* Button3 = nullptr;
    TLabel* Label1 = nullptr;
    TListBox* ListBox1 = nullptr;
    TButton* Button4 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;

    void Button2Click(TObject*) {}
    void Button3Click(TObject*) {}
    void Button1Click(TObject*) {}
    void Form4Show(TObject*) {}
    void Form4Close(TObject*, TCloseAction&) {}
    void Button4Click(TObject*) {}
};

const TClassInfo& TUninstallHost::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TUninstallHost, TForm>("TUninstallHost")
        .Field<&TUninstallHost::Button1>("Button1")
        .Field<&TUninstallHost::Button2>("Button2")
        .Field<&TUninstallHost::Button3>("Button3")
        .Field<&TUninstallHost::Label1>("Label1")
        .Field<&TUninstallHost::ListBox1>("ListBox1")
        .Field<&TUninstallHost::Button4>("Button4")
        .Field<&TUninstallHost::OpenDialog1>("OpenDialog1")
        .Method<TNotifyEvent, &TUninstallHost::Button2Click>("Button2Click")
        .Method<TNotifyEvent, &TUninstallHost::Button3Click>("Button3Click")
        .Method<TNotifyEvent, &TUninstallHost::Button1Click>("Button1Click")
        .Method<TNotifyEvent, &TUninstallHost::Form4Show>("Form4Show")
        .Method<TCloseEvent, &TUninstallHost::Form4Close>("Form4Close")
        .Method<TNotifyEvent, &TUninstallHost::Button4Click>("Button4Click")
        .Build();
    return info;
}

// Frees a component at the end of a scope.
template <typename T>
class Owned {
public:
    explicit Owned(T* component) : m_component(component) {}
    ~Owned() { TComponent::Free(m_component); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    T* operator->() const { return m_component; }
    T* get() const { return m_component; }

private:
    T* m_component;
};

// ---------------------------------------------------------------------------
// Streams

// A whole stream with a root of class TControlsHost and the given children.
Bytes HostStream(const WriteFn& children)
{
    return WriteBytes([&](TWriter& w) {
        w.WriteSignature();
        ChildRecord(w, "TControlsHost", "Host", {}, children);
    });
}

void ReadInto(const Bytes& bytes, TComponent* root)
{
    TMemoryStream stream(bytes);
    TReader reader(stream);
    reader.ReadRootComponent(root);
}

// A 256-colour bitmap file of the given size, every pixel colour index 1.
Bytes BitmapFile(int32_t width, int32_t height)
{
    const uint32_t stride = (static_cast<uint32_t>(width) + 3) & ~3u;
    const uint32_t bitsOffset = 14 + 40 + 256 * 4;
    const uint32_t imageSize = stride * static_cast<uint32_t>(height);
    Bytes file;
    auto put16 = [&](uint32_t v) {
        file.push_back(static_cast<uint8_t>(v));
        file.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto put32 = [&](uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    file.push_back('B');
    file.push_back('M');
    put32(bitsOffset + imageSize);
    put32(0);
    put32(bitsOffset);
    put32(40);
    put32(static_cast<uint32_t>(width));
    put32(static_cast<uint32_t>(height));
    put16(1);
    put16(8);
    put32(0);  // uncompressed
    put32(imageSize);
    put32(0);
    put32(0);
    put32(256);
    put32(0);
    for (uint32_t i = 0; i < 256; ++i)
        put32(i * 0x010101u);
    file.insert(file.end(), imageSize, 1);
    return file;
}

// A picture's stored "Data": the graphic class name, then the bitmap's byte
// count and file.
Bytes PictureData(const Bytes& bitmapFile)
{
    Bytes data{7, 'T', 'B', 'i', 't', 'm', 'a', 'p'};
    const auto size = static_cast<uint32_t>(bitmapFile.size());
    for (int shift = 0; shift < 32; shift += 8)
        data.push_back(static_cast<uint8_t>(size >> shift));
    data.insert(data.end(), bitmapFile.begin(), bitmapFile.end());
    return data;
}

void WriteBinary(TWriter& w, const Bytes& data)
{
    w.WriteBinary(data.data(), static_cast<int32_t>(data.size()));
}

// ---------------------------------------------------------------------------
// Type information

using ClassInfoFn = const TClassInfo& (*)();

} // namespace

// The options' bit numbers are those of the platform flags they stand for.
TEST(ControlClasses, OpenOptionsAreNumberedAsThePlatformFlags)
{
    const TEnumTypeInfo& options = EnumTypeOf<TOpenOption>();
    ASSERT_EQ(options.Names.size(), 18u);
    EXPECT_EQ(options.ValueOf("ofReadOnly"), 0);
    EXPECT_EQ(options.ValueOf("ofShowHelp"), 4);
    EXPECT_EQ(options.ValueOf("ofNoValidate"), 5);
    EXPECT_EQ(options.ValueOf("ofAllowMultiSelect"), 6);
    EXPECT_EQ(options.ValueOf("ofExtensionDifferent"), 7);
    EXPECT_EQ(options.ValueOf("ofFileMustExist"), 9);
    EXPECT_EQ(options.ValueOf("ofNoLongNames"), 15);
    EXPECT_EQ(options.ValueOf("ofOldStyleDialog"), 16);
    EXPECT_EQ(options.ValueOf("ofNoDereferenceLinks"), 17);
    EXPECT_EQ(static_cast<int>(ofNoDereferenceLinks), 17);
}

// ---------------------------------------------------------------------------
// Defaults after construction, and the defaults the writer leaves out

// A new instance holds every default the writer leaves out, so that a design
// read back without those values is the design that was written; the other
// ordinal values start as listed.
TEST(ControlClasses, OrdinalDefaultsAfterConstruction)
{
    TComponent owner(nullptr);
    for (ClassInfoFn classInfo : {&TLabel::StaticClassInfo, &TButton::StaticClassInfo, &TRadioButton::StaticClassInfo,
                                  &TEdit::StaticClassInfo, &TListBox::StaticClassInfo, &TGroupBox::StaticClassInfo,
                                  &TImage::StaticClassInfo, &TTimer::StaticClassInfo, &TOpenDialog::StaticClassInfo}) {
        const TClassInfo& info = classInfo();
        TComponent* instance = info.Create(&owner);
        for (const TPropInfo* prop : info.AllProperties()) {
            if (!prop->HasDefault || prop->Stored)
                continue;
            EXPECT_EQ(prop->GetOrd(instance), prop->Default) << info.Name << "." << prop->Name;
        }
        TComponent::Free(instance);
    }

    struct Case {
        ClassInfoFn info;
        const char* prop;
        int64_t value;
    };
    const std::vector<Case> cases = {
        {&TLabel::StaticClassInfo, "Width", 65},        {&TLabel::StaticClassInfo, "Height", 17},
        {&TEdit::StaticClassInfo, "Color", clWindow},   {&TListBox::StaticClassInfo, "Width", 121},
        {&TListBox::StaticClassInfo, "Height", 97},     {&TListBox::StaticClassInfo, "ItemHeight", 16},
        {&TImage::StaticClassInfo, "Width", 105},       {&TImage::StaticClassInfo, "Height", 105},
        {&TOpenDialog::StaticClassInfo, "FileEditStyle", fsEdit},
    };
    for (const Case& c : cases) {
        const TClassInfo& info = c.info();
        const TPropInfo* prop = info.FindProperty(c.prop);
        ASSERT_NE(prop, nullptr) << info.Name << "." << c.prop;
        TComponent* instance = info.Create(&owner);
        EXPECT_EQ(prop->GetOrd(instance), c.value) << info.Name << "." << c.prop;
        TComponent::Free(instance);
    }
    EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST(ControlClasses, StringAndObjectDefaultsAfterConstruction)
{
    TComponent owner(nullptr);
    struct Case {
        ClassInfoFn info;
        const char* prop;
    };
    // Texts start empty.
    const std::vector<Case> empty = {
        {&TLabel::StaticClassInfo, "Caption"},      {&TButton::StaticClassInfo, "Caption"},
        {&TRadioButton::StaticClassInfo, "Caption"}, {&TEdit::StaticClassInfo, "Text"},
        {&TGroupBox::StaticClassInfo, "Caption"},   {&TOpenDialog::StaticClassInfo, "DefaultExt"},
        {&TOpenDialog::StaticClassInfo, "FileName"}, {&TOpenDialog::StaticClassInfo, "Filter"},
        {&TOpenDialog::StaticClassInfo, "InitialDir"}, {&TOpenDialog::StaticClassInfo, "Title"},
    };
    for (const Case& c : empty) {
        const TPropInfo* prop = c.info().FindProperty(c.prop);
        if (!prop || !prop->GetStr) {
            ADD_FAILURE() << c.info().Name << " has no string property " << c.prop;
            continue;
        }
        TComponent* instance = c.info().Create(&owner);
        EXPECT_EQ(prop->GetStr(instance), "") << c.info().Name << "." << c.prop;
        TComponent::Free(instance);
    }

    // Owned objects exist from the start; references start empty.
    auto* label = new TLabel(&owner);
    EXPECT_EQ(TLabel::StaticClassInfo().FindProperty("FocusControl")->GetObj(label), nullptr);
    EXPECT_NE(TLabel::StaticClassInfo().FindProperty("Font")->GetObj(label), nullptr);
    auto* image = new TImage(&owner);
    TObject* picture = TImage::StaticClassInfo().FindProperty("Picture")->GetObj(image);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture, image->Picture());
    EXPECT_EQ(image->Picture()->Graphic(), nullptr);
    auto* list = new TListBox(&owner);
    EXPECT_EQ(TListBox::StaticClassInfo().FindProperty("Items")->GetObj(list), list->Items());
    EXPECT_EQ(list->Items()->Count(), 0);
    auto* dialog = new TOpenDialog(&owner);
    EXPECT_EQ(TOpenDialog::StaticClassInfo().FindProperty("HistoryList")->GetObj(dialog), dialog->HistoryList());
    ASSERT_NE(dialog->HistoryList(), nullptr);
    EXPECT_EQ(dialog->HistoryList()->Count(), 0);
    ASSERT_NE(dialog->Files(), nullptr);
    EXPECT_EQ(dialog->Files()->Count(), 0);
    EXPECT_NE(static_cast<TObject*>(dialog->Files()), static_cast<TObject*>(dialog->HistoryList()));
    auto* timer = new TTimer(&owner);
    EXPECT_FALSE(timer->OnTimer());
}

// ---------------------------------------------------------------------------
// Radio buttons

TEST(RadioButton, CheckingOneUnchecksTheOthersOfItsParent)
{
    TComponent owner(nullptr);
    auto* group = new TGroupBox(&owner);
    auto* other = new TGroupBox(&owner);
    auto* first = new TRadioButton(&owner);
    auto* second = new TRadioButton(&owner);
    auto* elsewhere = new TRadioButton(&owner);
    auto* button = new TButton(&owner);
    first->SetParent(group);
    second->SetParent(group);
    button->SetParent(group);
    elsewhere->SetParent(other);

    first->SetChecked(true);
    elsewhere->SetChecked(true);
    EXPECT_TRUE(first->Checked());
    EXPECT_TRUE(first->TabStop());
    EXPECT_FALSE(second->Checked());
    EXPECT_FALSE(second->TabStop());

    second->SetChecked(true);
    EXPECT_TRUE(second->Checked());
    EXPECT_TRUE(second->TabStop());
    EXPECT_FALSE(first->Checked());
    EXPECT_FALSE(first->TabStop());
    // Radio buttons of another parent, and other controls, are untouched.
    EXPECT_TRUE(elsewhere->Checked());
    EXPECT_TRUE(elsewhere->TabStop());
    EXPECT_TRUE(button->TabStop());

    // Unchecking checks nothing else.
    second->SetChecked(false);
    EXPECT_FALSE(second->Checked());
    EXPECT_FALSE(second->TabStop());
    EXPECT_FALSE(first->Checked());
}

TEST(RadioButton, WritingTheSameValueChangesNothing)
{
    TComponent owner(nullptr);
    auto* group = new TGroupBox(&owner);
    auto* radio = new TRadioButton(&owner);
    radio->SetParent(group);
    radio->SetTabStop(true);
    radio->SetChecked(false);
    EXPECT_TRUE(radio->TabStop());

    radio->SetChecked(true);
    radio->SetTabStop(false);
    radio->SetChecked(true);
    EXPECT_FALSE(radio->TabStop());
}

TEST(RadioButton, WithoutParentItIsCheckedAlone)
{
    TComponent owner(nullptr);
    auto* a = new TRadioButton(&owner);
    auto* b = new TRadioButton(&owner);
    a->SetChecked(true);
    b->SetChecked(true);
    EXPECT_TRUE(a->Checked());
    EXPECT_TRUE(b->Checked());
}

TEST(RadioButton, CheckedThroughItsPublishedProperty)
{
    TComponent owner(nullptr);
    auto* group = new TGroupBox(&owner);
    auto* first = new TRadioButton(&owner);
    auto* second = new TRadioButton(&owner);
    first->SetParent(group);
    second->SetParent(group);
    const TPropInfo* checked = TRadioButton::StaticClassInfo().FindProperty("checked");
    ASSERT_NE(checked, nullptr);
    checked->SetOrd(first, 1);
    checked->SetOrd(second, 1);
    EXPECT_EQ(checked->GetOrd(first), 0);
    EXPECT_EQ(checked->GetOrd(second), 1);
    EXPECT_EQ(TRadioButton::StaticClassInfo().FindProperty("TabStop")->GetOrd(second), 1);
}

// ---------------------------------------------------------------------------
// Labels

TEST(Label, FocusControlIsDroppedWhenTheControlGoes)
{
    TComponent owner(nullptr);
    auto* label = new TLabel(&owner);
    auto* edit = new TEdit(&owner);
    label->SetFocusControl(edit);
    EXPECT_EQ(label->FocusControl(), edit);
    TComponent::Free(edit);
    EXPECT_EQ(label->FocusControl(), nullptr);

    // Also for a control of another owner.
    TComponent otherOwner(nullptr);
    auto* foreign = new TButton(&otherOwner);
    label->SetFocusControl(foreign);
    TComponent::Free(foreign);
    EXPECT_EQ(label->FocusControl(), nullptr);
}

// ---------------------------------------------------------------------------
// Images

TEST(Image, AutoSizeTakesThePictureSizeAsSoonAsItIsRead)
{
    const Bytes picture = PictureData(BitmapFile(37, 34));
    Owned<TControlsHost> host(new TControlsHost(nullptr));
    ReadInto(HostStream([&](TWriter& w) {
                 ChildRecord(w, "TImage", "Image1", [&](TWriter& p) {
                     Prop(p, "Left", [](TWriter& v) { v.WriteInteger(4); });
                     Prop(p, "Top", [](TWriter& v) { v.WriteInteger(57); });
                     Prop(p, "Width", [](TWriter& v) { v.WriteInteger(50); });
                     Prop(p, "Height", [](TWriter& v) { v.WriteInteger(60); });
                     Prop(p, "AutoSize", [](TWriter& v) { v.WriteBoolean(true); });
                     Prop(p, "Picture.Data", [&](TWriter& v) { WriteBinary(v, picture); });
                 });
             }),
             host.get());
    TImage* image = host->Image1;
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Parent(), host.get());
    ASSERT_NE(image->Picture()->Bitmap(), nullptr);
    EXPECT_EQ(image->Picture()->Width(), 37);
    EXPECT_EQ(image->Picture()->Height(), 34);
    EXPECT_EQ(image->Left(), 4);
    EXPECT_EQ(image->Top(), 57);
    EXPECT_EQ(image->Width(), 37);
    EXPECT_EQ(image->Height(), 34);
}

TEST(Image, WithoutAutoSizeItKeepsItsSizeUntilAutoSizeIsSet)
{
    const Bytes picture = PictureData(BitmapFile(37, 34));
    Owned<TControlsHost> host(new TControlsHost(nullptr));
    ReadInto(HostStream([&](TWriter& w) {
                 ChildRecord(w, "TImage", "Image1", [&](TWriter& p) {
                     Prop(p, "Left", [](TWriter& v) { v.WriteInteger(7); });
                     Prop(p, "Top", [](TWriter& v) { v.WriteInteger(169); });
                     Prop(p, "Width", [](TWriter& v) { v.WriteInteger(50); });
                     Prop(p, "Height", [](TWriter& v) { v.WriteInteger(60); });
                     Prop(p, "Picture.Data", [&](TWriter& v) { WriteBinary(v, picture); });
                 });
             }),
             host.get());
    TImage* image = host->Image1;
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 50);
    EXPECT_EQ(image->Height(), 60);

    image->SetAutoSize(true);
    EXPECT_EQ(image->Left(), 7);
    EXPECT_EQ(image->Top(), 169);
    EXPECT_EQ(image->Width(), 37);
    EXPECT_EQ(image->Height(), 34);
}

TEST(Image, AnEmptyPictureLeavesTheSizeAlone)
{
    TComponent owner(nullptr);
    auto* image = new TImage(&owner);
    image->SetBounds(3, 4, 50, 60);
    image->SetAutoSize(true);
    EXPECT_EQ(image->Width(), 50);
    EXPECT_EQ(image->Height(), 60);
    image->Picture()->SetGraphic(std::make_unique<TBitmap>());
    EXPECT_EQ(image->Width(), 50);
    EXPECT_EQ(image->Height(), 60);
}

TEST(Image, AssigningAPictureCopiesItAndResizes)
{
    TComponent owner(nullptr);
    auto* source = new TImage(&owner);
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromFileData(BitmapFile(37, 34));
    source->Picture()->SetGraphic(std::move(bitmap));
    EXPECT_EQ(source->Width(), 105);  // no AutoSize

    auto* target = new TImage(&owner);
    target->SetBounds(10, 20, 105, 105);
    target->SetAutoSize(true);
    target->SetPicture(source->Picture());
    ASSERT_NE(target->Picture()->Bitmap(), nullptr);
    EXPECT_NE(target->Picture()->Bitmap(), source->Picture()->Bitmap());
    EXPECT_EQ(target->Picture()->Bitmap()->FileData(), source->Picture()->Bitmap()->FileData());
    EXPECT_EQ(target->Left(), 10);
    EXPECT_EQ(target->Top(), 20);
    EXPECT_EQ(target->Width(), 37);
    EXPECT_EQ(target->Height(), 34);

    // Assigning none empties the picture.
    target->SetPicture(nullptr);
    EXPECT_EQ(target->Picture()->Graphic(), nullptr);
    EXPECT_NE(source->Picture()->Graphic(), nullptr);
}

TEST(Image, BrokenBitmapDataStopsTheRead)
{
    Bytes file = BitmapFile(4, 4);
    file[0] = 'X';
    const Bytes picture = PictureData(file);
    Owned<TControlsHost> host(new TControlsHost(nullptr));
    std::string message;
    try {
        ReadInto(HostStream([&](TWriter& w) {
                     ChildRecord(w, "TImage", "Image1", [&](TWriter& p) {
                         Prop(p, "Picture.Data", [&](TWriter& v) { WriteBinary(v, picture); });
                     });
                 }),
                 host.get());
    } catch (const EReadError& e) {
        message = e.Message();
    }
    EXPECT_EQ(message, "Error reading Image1.Picture.Data: Bitmap image is not valid");
    EXPECT_EQ(host->Image1, nullptr);
}

// ---------------------------------------------------------------------------
// Timers and the file-open dialog

TEST(Timer, HoldsItsProperties)
{
    TComponent owner(nullptr);
    auto* timer = new TTimer(&owner);
    EXPECT_TRUE(timer->Enabled());
    EXPECT_EQ(timer->Interval(), 1000u);
    timer->SetEnabled(false);
    timer->SetInterval(100);
    EXPECT_FALSE(timer->Enabled());
    EXPECT_EQ(timer->Interval(), 100u);
    EXPECT_FALSE(timer->HasParent());
}

TEST(OpenDialog, InitialDirDropsOneTrailingBackslashExceptAtADriveRoot)
{
    TComponent owner(nullptr);
    auto* dialog = new TOpenDialog(&owner);
    const struct {
        const char* written;
        const char* kept;
    } cases[] = {
        {"C:\\DATA\\", "C:\\DATA"},
        {"C:\\SETUP\\", "C:\\SETUP"},
        {"C:\\", "C:\\"},
        {"C:\\DATA", "C:\\DATA"},
        {"C:\\DATA\\\\", "C:\\DATA\\"},
        {"\\\\SERVER\\SHARE\\", "\\\\SERVER\\SHARE"},
        {"", ""},
    };
    for (const auto& c : cases) {
        dialog->SetInitialDir(c.written);
        EXPECT_EQ(dialog->InitialDir(), c.kept) << c.written;
    }
    // The rule holds for a write through the published property too.
    TOpenDialog::StaticClassInfo().FindProperty("InitialDir")->SetStr(dialog, "D:\\HALVARN\\");
    EXPECT_EQ(dialog->InitialDir(), "D:\\HALVARN");
}

TEST(OpenDialog, HistoryListIsACopyKeptByTheDialog)
{
    TComponent owner(nullptr);
    auto* dialog = new TOpenDialog(&owner);
    TStringList lines;
    lines.Add("C:\\ONE");
    lines.Add("C:\\TWO");
    dialog->SetHistoryList(&lines);
    lines.Clear();
    ASSERT_EQ(dialog->HistoryList()->Count(), 2);
    EXPECT_EQ(dialog->HistoryList()->Get(1), "C:\\TWO");
    dialog->SetHistoryList(nullptr);
    EXPECT_EQ(dialog->HistoryList()->Count(), 0);
}

// ---------------------------------------------------------------------------
// Reading designs

TEST(StoredDesign, SetsLabelAndButtonPropertiesByNameIgnoringCase)
{
    Owned<TControlsHost> host(new TControlsHost(nullptr));
    ReadInto(HostStream([](TWriter& w) {
                 ChildRecord(w, "tlabel", "Label1", [](TWriter& p) {
                     Prop(p, "caption", [](TWriter& v) { v.WriteString("Halvarn 95 Setup"); });
                     Prop(p, "ALIGNMENT", [](TWriter& v) { v.WriteIdent("TARIGHTJUSTIFY"); });
                     Prop(p, "autosize", [](TWriter& v) { v.WriteBoolean(false); });
                     Prop(p, "WordWrap", [](TWriter& v) { v.WriteBoolean(true); });
                     Prop(p, "font.style", [](TWriter& v) { v.WriteSet({"FSBOLD", "fsItalic"}); });
                     Prop(p, "Font.Color", [](TWriter& v) { v.WriteIdent("clyellow"); });
                     Prop(p, "Color", [](TWriter& v) { v.WriteIdent("clBlack"); });
                     Prop(p, "ParentColor", [](TWriter& v) { v.WriteBoolean(false); });
                     Prop(p, "ParentFont", [](TWriter& v) { v.WriteBoolean(false); });
                 });
                 ChildRecord(w, "TBUTTON", "Button1", [](TWriter& p) {
                     Prop(p, "default", [](TWriter& v) { v.WriteBoolean(true); });
                     Prop(p, "CANCEL", [](TWriter& v) { v.WriteBoolean(true); });
                     Prop(p, "modalresult", [](TWriter& v) { v.WriteInteger(2); });
                     Prop(p, "Caption", [](TWriter& v) { v.WriteString("&Cancel"); });
                     Prop(p, "taborder", [](TWriter& v) { v.WriteInteger(0); });
                     Prop(p, "onclick", [](TWriter& v) { v.WriteIdent("BUTTONCLICK"); });
                 });
             }),
             host.get());

    TLabel* label = host->Label1;
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Owner(), host.get());
    EXPECT_EQ(label->Parent(), host.get());
    EXPECT_EQ(label->Caption(), "Halvarn 95 Setup");
    EXPECT_EQ(label->Alignment(), taRightJustify);
    EXPECT_FALSE(label->AutoSize());
    EXPECT_TRUE(label->WordWrap());
    EXPECT_EQ(label->Font()->Style(), (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(label->Font()->Color(), clYellow);
    EXPECT_EQ(label->Color(), clBlack);
    EXPECT_FALSE(label->ParentColor());
    EXPECT_FALSE(label->ParentFont());

    TButton* button = host->Button1;
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->Default());
    EXPECT_TRUE(button->Cancel());
    EXPECT_EQ(button->ModalResult(), 2);
    EXPECT_EQ(button->Caption(), "&Cancel");
    EXPECT_EQ(button->TabOrder(), 0);
    EXPECT_TRUE(button->TabStop());
    ASSERT_TRUE(button->OnClick());
    button->OnClick()(button);
    EXPECT_EQ(host->Clicks, 1);
    EXPECT_EQ(host->LastSender, button);
}

// A design made for another text height is scaled to the one measured here:
// of each control only the bounds and the font that the design set.
TEST(StoredDesign, IsScaledByTheRatioOfTheTextHeightsAsFarAsItWasSet)
{
    constexpr int32_t designed = 26;
    Owned<TControlsHost> host(new TControlsHost(nullptr));
    ReadInto(WriteBytes([](TWriter& w) {
                 w.WriteSignature();
                 ChildRecord(
                     w, "TControlsHost", "Host",
                     [](TWriter& p) {
                         Prop(p, "ClientWidth", [](TWriter& v) { v.WriteInteger(400); });
                         Prop(p, "ClientHeight", [](TWriter& v) { v.WriteInteger(300); });
                         Prop(p, "PixelsPerInch", [](TWriter& v) { v.WriteInteger(96); });
                         Prop(p, "TextHeight", [](TWriter& v) { v.WriteInteger(designed); });
                     },
                     [](TWriter& w) {
                         ChildRecord(w, "TButton", "Button1", [](TWriter& p) {
                             Prop(p, "Left", [](TWriter& v) { v.WriteInteger(20); });
                             Prop(p, "Top", [](TWriter& v) { v.WriteInteger(40); });
                             Prop(p, "Width", [](TWriter& v) { v.WriteInteger(101); });
                             Prop(p, "Height", [](TWriter& v) { v.WriteInteger(31); });
                         });
                         ChildRecord(w, "TEdit", "Edit2", [](TWriter& p) {
                             Prop(p, "Left", [](TWriter& v) { v.WriteInteger(10); });
                             Prop(p, "Top", [](TWriter& v) { v.WriteInteger(12); });
                         });
                         ChildRecord(w, "TLabel", "Label1", [](TWriter& p) {
                             Prop(p, "AutoSize", [](TWriter& v) { v.WriteBoolean(false); });
                             Prop(p, "Font.Height", [](TWriter& v) { v.WriteInteger(-22); });
                             Prop(p, "ParentFont", [](TWriter& v) { v.WriteBoolean(false); });
                         });
                         ChildRecord(w, "TLabel", "Label5", [](TWriter& p) {
                             Prop(p, "AutoSize", [](TWriter& v) { v.WriteBoolean(false); });
                         });
                     });
             }),
             host.get());

    ScopedDC screen;
    ScopedSelect select(screen.Get(), host->Font()->Handle());
    SIZE zero{};
    GetTextExtentPoint32A(screen.Get(), "0", 1, &zero);
    ASSERT_NE(zero.cy, designed);
    auto scaled = [&](int32_t v) { return MulDiv(v, zero.cy, designed); };
    const TEdit defaults(nullptr);
    const TLabel labelDefaults(nullptr);

    EXPECT_EQ(host->ClientWidth(), scaled(400));
    EXPECT_EQ(host->ClientHeight(), scaled(300));
    {
        SCOPED_TRACE("every bound set: the right and bottom edges are scaled");
        TButton* button = host->Button1;
        EXPECT_EQ(button->Left(), scaled(20));
        EXPECT_EQ(button->Top(), scaled(40));
        EXPECT_EQ(button->Width(), scaled(121) - scaled(20));
        EXPECT_EQ(button->Height(), scaled(71) - scaled(40));
    }
    {
        SCOPED_TRACE("only the position set: the size stays");
        EXPECT_EQ(host->Edit2->Left(), scaled(10));
        EXPECT_EQ(host->Edit2->Top(), scaled(12));
        EXPECT_EQ(host->Edit2->Width(), defaults.Width());
        EXPECT_EQ(host->Edit2->Height(), defaults.Height());
    }
    {
        SCOPED_TRACE("a font of its own is scaled, the parent's is taken as it is");
        EXPECT_EQ(host->Label1->Font()->Height(), scaled(-22));
        EXPECT_EQ(host->Label1->Left(), 0);
        EXPECT_EQ(host->Label1->Width(), labelDefaults.Width());
        EXPECT_TRUE(host->Label5->ParentFont());
        EXPECT_EQ(host->Label5->Font()->Height(), host->Font()->Height());
    }
}

TEST(StoredDesign, AnUnknownAlignmentIsRefused)
{
    Owned<TControlsHost> host(new TControlsHost(nullptr));
    std::string message;
    try {
        ReadInto(HostStream([](TWriter& w) {
                     ChildRecord(w, "TLabel", "Label1", [](TWriter& p) {
                         Prop(p, "Alignment", [](TWriter& v) { v.WriteIdent("taMiddle"); });
                     });
                 }),
                 host.get());
    } catch (const EReadError& e) {
        message = e.Message();
    }
    EXPECT_EQ(message, "Error reading Label1.Alignment: Invalid property value");
    // A radio button's alignment knows only the two sides.
    message.clear();
    try {
        ReadInto(HostStream([](TWriter& w) {
                     ChildRecord(w, "TRadioButton", "RadioButton1", [](TWriter& p) {
                         Prop(p, "Alignment", [](TWriter& v) { v.WriteIdent("taCenter"); });
                     });
                 }),
                 host.get());
    } catch (const EReadError& e) {
        message = e.Message();
    }
    EXPECT_EQ(message, "Error reading RadioButton1.Alignment: Invalid property value");
}

TEST(StoredDesign, SetsTheOtherControlsAndComponents)
{
    Owned<TControlsHost> host(new TControlsHost(nullptr));
    ReadInto(HostStream([](TWriter& w) {
                 ChildRecord(w, "TTimer", "Timer1", [](TWriter& p) {
                     Prop(p, "Enabled", [](TWriter& v) { v.WriteBoolean(false); });
                     Prop(p, "Interval", [](TWriter& v) { v.WriteInteger(100); });
                     Prop(p, "OnTimer", [](TWriter& v) { v.WriteIdent("TimerTick"); });
                     Prop(p, "Left", [](TWriter& v) { v.WriteInteger(248); });
                     Prop(p, "Top", [](TWriter& v) { v.WriteInteger(64); });
                 });
                 ChildRecord(w, "TOpenDialog", "OpenDialog1", [](TWriter& p) {
                     Prop(p, "Ctl3D", [](TWriter& v) { v.WriteBoolean(false); });
                     Prop(p, "HelpContext", [](TWriter& v) { v.WriteInteger(12); });
                     Prop(p, "DefaultExt", [](TWriter& v) { v.WriteString("fls"); });
                     Prop(p, "FileEditStyle", [](TWriter& v) { v.WriteIdent("fsComboBox"); });
                     Prop(p, "FileName", [](TWriter& v) { v.WriteString("uninst.fls"); });
                     Prop(p, "Filter", [](TWriter& v) { v.WriteString("Uninstall File (uninst.fls)|uninst.fls"); });
                     Prop(p, "FilterIndex", [](TWriter& v) { v.WriteInteger(2); });
                     Prop(p, "HistoryList.Strings", [](TWriter& v) {
                         v.WriteListBegin();
                         v.WriteString("C:\\HALVARN");
                         v.WriteString("D:\\");
                         v.WriteListEnd();
                     });
                     Prop(p, "InitialDir", [](TWriter& v) { v.WriteString("C:\\DATA\\"); });
                     Prop(p, "Options", [](TWriter& v) { v.WriteSet({"ofHideReadOnly", "ofFileMustExist"}); });
                     Prop(p, "Title", [](TWriter& v) { v.WriteString("Could not Find - uninst.fls"); });
                     Prop(p, "Left", [](TWriter& v) { v.WriteInteger(1); });
                     Prop(p, "Top", [](TWriter& v) { v.WriteInteger(177); });
                 });
                 ChildRecord(
                     w, "TGroupBox", "GroupBox1",
                     [](TWriter& p) {
                         Prop(p, "Caption", [](TWriter& v) { v.WriteString("Space"); });
                         Prop(p, "TabOrder", [](TWriter& v) { v.WriteInteger(0); });
                     },
                     [](TWriter& c) {
                         ChildRecord(c, "TLabel", "Label5", [](TWriter& p) {
                             Prop(p, "Left", [](TWriter& v) { v.WriteInteger(19); });
                         });
                     });
                 ChildRecord(w, "TListBox", "ListBox1", [](TWriter& p) {
                     Prop(p, "ItemHeight", [](TWriter& v) { v.WriteInteger(13); });
                     Prop(p, "Items.Strings", [](TWriter& v) {
                         v.WriteListBegin();
                         v.WriteString("Directory - C:\\HALVARN");
                         v.WriteString("File - C:\\HALVARN\\A.EXE");
                         v.WriteListEnd();
                     });
                     Prop(p, "MultiSelect", [](TWriter& v) { v.WriteBoolean(true); });
                     Prop(p, "TabOrder", [](TWriter& v) { v.WriteInteger(2); });
                 });
                 ChildRecord(w, "TEdit", "Edit2", [](TWriter& p) {
                     Prop(p, "MaxLength", [](TWriter& v) { v.WriteInteger(79); });
                     Prop(p, "PasswordChar", [](TWriter& v) { v.WriteChar('*'); });
                     Prop(p, "CharCase", [](TWriter& v) { v.WriteIdent("ecUpperCase"); });
                     Prop(p, "TabOrder", [](TWriter& v) { v.WriteInteger(1); });
                     Prop(p, "Text", [](TWriter& v) { v.WriteString("C:\\HALVARN\\"); });
                 });
                 ChildRecord(w, "TRadioButton", "RadioButton1", [](TWriter& p) {
                     Prop(p, "Alignment", [](TWriter& v) { v.WriteIdent("taLeftJustify"); });
                     Prop(p, "Checked", [](TWriter& v) { v.WriteBoolean(true); });
                 });
             }),
             host.get());

    TTimer* timer = host->Timer1;
    ASSERT_NE(timer, nullptr);
    EXPECT_FALSE(timer->Enabled());
    EXPECT_EQ(timer->Interval(), 100u);
    EXPECT_EQ(timer->DesignLeft(), 248);
    EXPECT_EQ(timer->DesignTop(), 64);
    ASSERT_TRUE(timer->OnTimer());
    timer->OnTimer()(timer);
    EXPECT_EQ(host->Ticks, 1);
    EXPECT_EQ(host->LastSender, timer);

    TOpenDialog* dialog = host->OpenDialog1;
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->Ctl3D());
    EXPECT_EQ(dialog->HelpContext(), 12);
    EXPECT_EQ(dialog->DefaultExt(), "fls");
    EXPECT_EQ(dialog->FileEditStyle(), fsComboBox);
    EXPECT_EQ(dialog->FileName(), "uninst.fls");
    EXPECT_EQ(dialog->Filter(), "Uninstall File (uninst.fls)|uninst.fls");
    EXPECT_EQ(dialog->FilterIndex(), 2);
    ASSERT_EQ(dialog->HistoryList()->Count(), 2);
    EXPECT_EQ(dialog->HistoryList()->Get(0), "C:\\HALVARN");
    EXPECT_EQ(dialog->HistoryList()->Get(1), "D:\\");
    EXPECT_EQ(dialog->InitialDir(), "C:\\DATA");
    EXPECT_EQ(dialog->Options(), (TOpenOptions{ofHideReadOnly, ofFileMustExist}));
    EXPECT_EQ(dialog->Title(), "Could not Find - uninst.fls");
    EXPECT_EQ(dialog->DesignLeft(), 1);
    EXPECT_EQ(dialog->DesignTop(), 177);
    EXPECT_EQ(dialog->Files()->Count(), 0);

    // The group box's label belongs to the form but sits in the group box.
    TGroupBox* group = host->GroupBox1;
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->Caption(), "Space");
    ASSERT_NE(host->Label5, nullptr);
    EXPECT_EQ(host->Label5->Owner(), host.get());
    EXPECT_EQ(host->Label5->Parent(), group);
    EXPECT_EQ(host->Label5->Left(), 19);
    ASSERT_EQ(group->ControlCount(), 1);
    EXPECT_EQ(group->Controls(0), host->Label5);

    TListBox* list = host->ListBox1;
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->ItemHeight(), 13);
    EXPECT_TRUE(list->MultiSelect());
    EXPECT_TRUE(list->ExtendedSelect());
    ASSERT_EQ(list->Items()->Count(), 2);
    EXPECT_EQ(list->Items()->Get(1), "File - C:\\HALVARN\\A.EXE");

    TEdit* edit = host->Edit2;
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->MaxLength(), 79);
    EXPECT_EQ(edit->PasswordChar(), '*');
    EXPECT_EQ(edit->CharCase(), ecUpperCase);
    EXPECT_EQ(edit->Text(), "C:\\HALVARN\\");

    TRadioButton* radio = host->RadioButton1;
    ASSERT_NE(radio, nullptr);
    EXPECT_EQ(radio->Alignment(), TLeftRight::taLeftJustify);
    EXPECT_TRUE(radio->Checked());
    EXPECT_TRUE(radio->TabStop());

    // The stored tab orders hold among the form's windowed controls.
    EXPECT_EQ(group->TabOrder(), 0);
    EXPECT_EQ(edit->TabOrder(), 1);
    EXPECT_EQ(list->TabOrder(), 2);
}

// The program's own form resources: the splash, the mode choice and the
// uninstaller hold only the controls of this module, so each reads
// completely into a form with the same fields and handlers.

TEST(ProgramDesigns, SplashReads)
{
    Owned<TSplashHost> form(new TSplashHost(nullptr));
    ASSERT_TRUE(ReadComponentResource("TFORM1", form.get()));
    ASSERT_NE(form->Image1, nullptr);
    ASSERT_NE(form->Timer1, nullptr);
    ASSERT_NE(form->Label1, nullptr);
    ASSERT_NE(form->Label2, nullptr);

    EXPECT_TRUE(form->Image1->AutoSize());
    ASSERT_NE(form->Image1->Picture()->Bitmap(), nullptr);
    EXPECT_EQ(form->Image1->Picture()->Width(), 122);
    EXPECT_EQ(form->Image1->Picture()->Height(), 148);
    EXPECT_EQ(form->Image1->Picture()->Bitmap()->BitsPerPixel(), 8);

    EXPECT_FALSE(form->Timer1->Enabled());
    EXPECT_EQ(form->Timer1->Interval(), 100u);
    ASSERT_TRUE(form->Timer1->OnTimer());
    form->Timer1->OnTimer()(form->Timer1);
    EXPECT_EQ(form->Ticks, 1);

    EXPECT_EQ(form->Label1->Caption(), "Halvarn 95 Setup");
    EXPECT_EQ(form->Label1->Font()->Name(), "Arial");
    EXPECT_EQ(form->Label1->Font()->Color(), clYellow);
    EXPECT_EQ(form->Label1->Font()->Style(), TFontStyles{fsItalic});
    EXPECT_EQ(form->Label1->Color(), clBlack);
    EXPECT_FALSE(form->Label1->ParentColor());
    EXPECT_FALSE(form->Label1->ParentFont());
    EXPECT_EQ(form->Label2->Font()->Color(), clWhite);
    EXPECT_FALSE(form->Label2->ParentFont());
}

TEST(ProgramDesigns, ModeChoiceReads)
{
    Owned<TModeChoiceHost> form(new TModeChoiceHost(nullptr));
    ASSERT_TRUE(ReadComponentResource("TFORM2", form.get()));
    ASSERT_NE(form->RadioButton1, nullptr);
    ASSERT_NE(form->RadioButton2, nullptr);
    ASSERT_NE(form->Button1, nullptr);
    ASSERT_NE(form->Button2, nullptr);
    ASSERT_NE(form->Image1, nullptr);

    EXPECT_TRUE(form->RadioButton1->Checked());
    EXPECT_TRUE(form->RadioButton1->TabStop());
    EXPECT_FALSE(form->RadioButton2->Checked());
    EXPECT_FALSE(form->RadioButton2->TabStop());
    EXPECT_EQ(form->RadioButton2->Caption(), "Uninstall Halvarn 95");
    EXPECT_TRUE(form->Button1->Default());
    EXPECT_FALSE(form->Button1->Cancel());
    EXPECT_TRUE(form->Button2->Cancel());
    EXPECT_FALSE(form->Button2->Default());
    EXPECT_EQ(form->Button1->ModalResult(), 0);
    EXPECT_TRUE(form->Button1->OnClick());
    EXPECT_EQ(form->RadioButton1->TabOrder(), 0);
    EXPECT_EQ(form->RadioButton2->TabOrder(), 1);
    EXPECT_EQ(form->Button1->TabOrder(), 2);
    EXPECT_EQ(form->Button2->TabOrder(), 3);

    // Checking the second radio button unchecks the stored choice.
    form->RadioButton2->SetChecked(true);
    EXPECT_FALSE(form->RadioButton1->Checked());
    EXPECT_FALSE(form->RadioButton1->TabStop());
    EXPECT_TRUE(form->RadioButton2->TabStop());

    EXPECT_TRUE(form->Image1->AutoSize());
    EXPECT_EQ(form->Image1->Picture()->Width(), 37);
    EXPECT_EQ(form->Image1->Picture()->Height(), 34);
}

TEST(ProgramDesigns, UninstallerReads)
{
    Owned<TUninstallHost> form(new TUninstallHost(nullptr));
    ASSERT_TRUE(ReadComponentResource("TFORM4", form.get()));
    ASSERT_NE(form->ListBox1, nullptr);
    ASSERT_NE(form->Label1, nullptr);
    ASSERT_NE(form->OpenDialog1, nullptr);
    ASSERT_NE(form->Button1, nullptr);
    ASSERT_NE(form->Button3, nullptr);
    ASSERT_NE(form->Button4, nullptr);

    EXPECT_TRUE(form->ListBox1->MultiSelect());
    EXPECT_TRUE(form->ListBox1->ExtendedSelect());
    EXPECT_EQ(form->ListBox1->ItemHeight(), 13);
    EXPECT_EQ(form->ListBox1->TabOrder(), 3);
    EXPECT_EQ(form->Label1->Alignment(), taCenter);
    EXPECT_FALSE(form->Label1->AutoSize());
    EXPECT_TRUE(form->Label1->WordWrap());
    EXPECT_TRUE(form->Button1->Default());
    EXPECT_TRUE(form->Button3->Cancel());
    EXPECT_EQ(form->Button4->Caption(), "Select All");

    EXPECT_EQ(form->OpenDialog1->FileEditStyle(), fsEdit);
    EXPECT_EQ(form->OpenDialog1->FilterIndex(), 1);
    EXPECT_TRUE(form->OpenDialog1->Ctl3D());
    EXPECT_TRUE(form->OpenDialog1->Options().Empty());
    EXPECT_EQ(form->OpenDialog1->DesignLeft(), 1);
    EXPECT_EQ(form->OpenDialog1->DesignTop(), 177);
}
