// The stand-ins' published properties and defined values, and their
// registration under the names of the classes they stand for.
#include "tools/fuzz/StandIns.h"

#include <deque>

#include "framework/Filer.h"
#include "framework/Reader.h"
#include "runtime/Exceptions.h"
#include "runtime/Stream.h"

// ---------------------------------------------------------------------------
// Types

template <>
const TEnumTypeInfo& EnumTypeOf<TStandInAlignment>()
{
    static const TEnumTypeInfo info =
        EnumType<TStandInAlignment::taCenter>("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"});
    return info;
}

// ---------------------------------------------------------------------------
// Sub-objects

const TClassInfo& TStandInFont::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TStandInFont, TPersistent>("TFont")
        .Property<&TStandInFont::Charset, &TStandInFont::SetCharset>("Charset")
        .Property<&TStandInFont::Color, &TStandInFont::SetColor>("Color")
        .Property<&TStandInFont::Height, &TStandInFont::SetHeight>("Height")
        .Property<&TStandInFont::Name, &TStandInFont::SetName>("Name")
        .Property<&TStandInFont::Style, &TStandInFont::SetStyle>("Style")
        .Build();
    return info;
}

const TClassInfo& TStandInGraphic::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TStandInGraphic, TPersistent>("TPicture").Build();
    return info;
}

const TClassInfo& TStandInIcon::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TStandInIcon, TStandInGraphic>("TIcon").Build();
    return info;
}

void TStandInGraphic::DefineProperties(TFiler& filer)
{
    filer.DefineBinaryProperty(
        "Data", [this](TStream& stream) { ReadData(stream); }, {}, false);
}

void TStandInGraphic::ReadData(TStream& stream)
{
    if (m_picture) {
        uint8_t length = 0;
        stream.ReadBuffer(&length, 1);
        std::string graphicClass(length, '\0');
        stream.ReadBuffer(graphicClass.data(), length);
        if (graphicClass != "TBitmap" && graphicClass != "TIcon")
            return;  // no graphic class of that name: the picture stays as it is
        m_graphicClass = graphicClass;
        if (graphicClass == "TBitmap") {
            uint8_t count[4];
            stream.ReadBuffer(count, 4);
            const uint32_t size = static_cast<uint32_t>(count[0] | count[1] << 8 | count[2] << 16) |
                                  static_cast<uint32_t>(count[3]) << 24;
            if (size == 0) {
                m_data.clear();
                return;
            }
            if (size > static_cast<uint64_t>(stream.Size() - stream.Position()))
                throw EReadError(StrId::SReadError);
            m_data.assign(size, 0);
            stream.ReadBuffer(m_data.data(), size);
            if (size < 2 || m_data[0] != 'B' || m_data[1] != 'M')
                throw Exception(StrId::SInvalidBitmap);
            return;
        }
    }
    m_data.assign(static_cast<size_t>(stream.Size() - stream.Position()), 0);
    stream.ReadBuffer(m_data.data(), static_cast<int64_t>(m_data.size()));
}

const TClassInfo& TStandInScrollBar::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TStandInScrollBar, TPersistent>("TControlScrollBar")
        .Property<&TStandInScrollBar::Visible, &TStandInScrollBar::SetVisible>("Visible", true)
        .Build();
    return info;
}

// ---------------------------------------------------------------------------
// TStandInControl

const TClassInfo& TStandInControl::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TStandInControl, TTestControl>("TStandInControl")
        .Property<&TStandInControl::Left, &TStandInControl::SetLeft>("Left")
        .Property<&TStandInControl::Top, &TStandInControl::SetTop>("Top")
        .Property<&TStandInControl::Height, &TStandInControl::SetHeight>("Height")
        .Property<&TStandInControl::TabOrder, &TStandInControl::SetTabOrder>("TabOrder", -1)
        .Property<&TStandInControl::TabStop, &TStandInControl::SetTabStop>("TabStop", false)
        .Property<&TStandInControl::AutoSize, &TStandInControl::SetAutoSize>("AutoSize", true)
        .Property<&TStandInControl::Alignment, &TStandInControl::SetAlignment>("Alignment")
        .Property<&TStandInControl::WordWrap, &TStandInControl::SetWordWrap>("WordWrap", false)
        .Property<&TStandInControl::ParentFont, &TStandInControl::SetParentFont>("ParentFont", true)
        .Property<&TStandInControl::ParentColor, &TStandInControl::SetParentColor>("ParentColor", true)
        .Property<&TStandInControl::Color, &TStandInControl::SetColor>("Color")
        .Property<&TStandInControl::Font, &TStandInControl::SetFont>("Font")
        .Property<&TStandInControl::Cancel, &TStandInControl::SetCancel>("Cancel", false)
        .Property<&TStandInControl::Default, &TStandInControl::SetDefault>("Default", false)
        .Property<&TStandInControl::ModalResult, &TStandInControl::SetModalResult>("ModalResult", 0)
        .Property<&TStandInControl::ItemHeight, &TStandInControl::SetItemHeight>("ItemHeight")
        .Property<&TStandInControl::MultiSelect, &TStandInControl::SetMultiSelect>("MultiSelect", false)
        .Property<&TStandInControl::Text, &TStandInControl::SetText>("Text")
        .Property<&TStandInControl::Checked, &TStandInControl::SetChecked>("Checked", false)
        .Property<&TStandInControl::Progress, &TStandInControl::SetProgress>("Progress")
        .Property<&TStandInControl::Picture>("Picture")
        .Property<&TStandInControl::DirList, &TStandInControl::SetDirList>("DirList")
        .Property<&TStandInControl::OnChange, &TStandInControl::SetOnChange>("OnChange")
        .Build();
    return info;
}

TStandInControl::TStandInControl(TComponent* owner)
    : TTestControl(owner), m_font(std::make_unique<TStandInFont>()), m_picture(std::make_unique<TStandInGraphic>(true))
{
}

TStandInControl::~TStandInControl() = default;

void TStandInControl::SetDirList(TStandInControl* value)
{
    if (value == m_dirList)
        return;
    m_dirList = value;
    if (value && value->Owner() != Owner())
        value->FreeNotification(this);
}

void TStandInControl::Notification(TComponent* component, TOperation operation)
{
    TTestControl::Notification(component, operation);
    if (operation == opRemove && component == m_dirList)
        m_dirList = nullptr;
}

// ---------------------------------------------------------------------------
// TStandInComponent

const TClassInfo& TStandInComponent::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TStandInComponent, TTestComponent>("TStandInComponent")
        .Property<&TStandInComponent::Interval, &TStandInComponent::SetInterval>("Interval", 1000)
        .Property<&TStandInComponent::FileEditStyle, &TStandInComponent::SetFileEditStyle>("FileEditStyle",
                                                                                            fsComboBox)
        .Property<&TStandInComponent::ShowGroup, &TStandInComponent::SetShowGroup>("ShowGroup")
        .Property<&TStandInComponent::OnTimer, &TStandInComponent::SetOnTimer>("OnTimer")
        .Build();
    return info;
}

// ---------------------------------------------------------------------------
// TStandInForm

const TClassInfo& TStandInForm::StaticClassInfo()
{
    static const TClassInfo info = [] {
        ClassInfoBuilder<TStandInForm, TTestForm> builder("TStandInForm");
        builder.Property<&TStandInForm::Left, &TStandInForm::SetLeft>("Left")
            .Property<&TStandInForm::Top, &TStandInForm::SetTop>("Top")
            .Property<&TStandInForm::Width, &TStandInForm::SetWidth>("Width")
            .Property<&TStandInForm::Height, &TStandInForm::SetHeight>("Height")
            .Property<&TStandInForm::ClientWidth, &TStandInForm::SetClientWidth>("ClientWidth")
            .Property<&TStandInForm::ClientHeight, &TStandInForm::SetClientHeight>("ClientHeight")
            .Property<&TStandInForm::BorderStyle, &TStandInForm::SetBorderStyle>("BorderStyle")
            .Property<&TStandInForm::BorderIcons, &TStandInForm::SetBorderIcons>("BorderIcons")
            .Property<&TStandInForm::Color, &TStandInForm::SetColor>("Color")
            .Property<&TStandInForm::Font, &TStandInForm::SetFont>("Font")
            .Property<&TStandInForm::FormStyle, &TStandInForm::SetFormStyle>("FormStyle")
            .Property<&TStandInForm::Icon>("Icon")
            .Property<&TStandInForm::Position, &TStandInForm::SetPosition>("Position")
            .Property<&TStandInForm::WindowState, &TStandInForm::SetWindowState>("WindowState")
            .Property<&TStandInForm::HorzScrollBar>("HorzScrollBar")
            .Property<&TStandInForm::VertScrollBar>("VertScrollBar")
            .Property<&TStandInForm::OnActivate, &TStandInForm::SetOnActivate>("OnActivate")
            .Property<&TStandInForm::OnCreate, &TStandInForm::SetOnCreate>("OnCreate")
            .Property<&TStandInForm::OnDestroy, &TStandInForm::SetOnDestroy>("OnDestroy");
        for (const char* name : {"Button1Click", "Button2Click", "Button3Click", "Button4Click", "DirectoryChange",
                                 "Form1Create", "Form1Destroy", "Form2Show", "Form3Activate", "Form3Create",
                                 "Form3Destroy", "Form4Show", "Form5Activate", "Timer1Timer"})
            builder.Method<TNotifyEvent, &TStandInForm::Handler>(name);
        for (const char* name : {"Form5Close", "Form6Close"})
            builder.Method<TCloseEvent, &TStandInForm::CloseHandler>(name);
        return builder.Build();
    }();
    return info;
}

TStandInForm::TStandInForm(TComponent* owner)
    : TTestForm(owner),
      m_font(std::make_unique<TStandInFont>()),
      m_icon(std::make_unique<TStandInIcon>()),
      m_horzScrollBar(std::make_unique<TStandInScrollBar>()),
      m_vertScrollBar(std::make_unique<TStandInScrollBar>())
{
}

TStandInForm::~TStandInForm()
{
    // The controls refer to the form as their parent: they go while it is whole.
    PrepareDestroy();
}

void TStandInForm::DefineProperties(TFiler& filer)
{
    TTestForm::DefineProperties(filer);
    filer.DefineProperty(
        "PixelsPerInch", [this](TReader& reader) { m_pixelsPerInch = reader.ReadInteger(); }, {}, false);
    filer.DefineProperty(
        "TextHeight", [this](TReader& reader) { m_textHeight = reader.ReadInteger(); }, {}, false);
}

// ---------------------------------------------------------------------------
// Registration

namespace {

// A class of the stored forms, made as one of the stand-ins. The class
// information lasts for the whole run.
template <typename StandIn>
const TClassInfo& Alias(std::string_view name)
{
    static std::deque<TClassInfo> aliases;
    TClassInfo& info = aliases.emplace_back();
    info.Name = name;
    info.Parent = &StandIn::StaticClassInfo();
    info.Create = [](TComponent* owner) -> TComponent* { return new StandIn(owner); };
    return info;
}

} // namespace

const std::vector<const TClassInfo*>& StandInClasses()
{
    static const std::vector<const TClassInfo*> classes = [] {
        std::vector<const TClassInfo*> list;
        for (const char* name : {"TForm1", "TForm2", "TForm3", "TForm4", "TForm5", "TForm6", "TFDIRFORM"})
            list.push_back(&Alias<TStandInForm>(name));
        for (const char* name : {"TLabel", "TButton", "TEdit", "TRadioButton", "TGroupBox", "TImage", "TListBox",
                                 "TDirectoryListBox", "TDriveComboBox", "TGauge"})
            list.push_back(&Alias<TStandInControl>(name));
        for (const char* name : {"TTimer", "TOpenDialog", "TDirectoryDialog", "TProgMan"})
            list.push_back(&Alias<TStandInComponent>(name));
        return list;
    }();
    return classes;
}

void RegisterStandIns()
{
    TReader::RegisterClass(TTestForm::StaticClassInfo());
    for (const TClassInfo* info : StandInClasses())
        TReader::RegisterClass(*info);
}
