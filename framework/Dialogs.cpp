#include "framework/Dialogs.h"

// ---------------------------------------------------------------------------
// TCommonDialog

const TClassInfo& TCommonDialog::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TCommonDialog, TComponent>("TCommonDialog")
        .Property<&TCommonDialog::Ctl3D, &TCommonDialog::SetCtl3D>("Ctl3D", true)
        .Property<&TCommonDialog::HelpContext, &TCommonDialog::SetHelpContext>("HelpContext", 0)
        .Build();
    return info;
}

TCommonDialog::TCommonDialog(TComponent* owner) : TComponent(owner) {}

// ---------------------------------------------------------------------------
// TOpenDialog

template <>
const TEnumTypeInfo& EnumTypeOf<TFileEditStyle>()
{
    static const TEnumTypeInfo info{"TFileEditStyle", {"fsEdit", "fsComboBox"}};
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TOpenOption>()
{
    static const TEnumTypeInfo info{"TOpenOption",
                                    {
                                        "ofReadOnly",
                                        "ofOverwritePrompt",
                                        "ofHideReadOnly",
                                        "ofNoChangeDir",
                                        "ofShowHelp",
                                        "ofNoValidate",
                                        "ofAllowMultiSelect",
                                        "ofExtensionDifferent",
                                        "ofPathMustExist",
                                        "ofFileMustExist",
                                        "ofCreatePrompt",
                                        "ofShareAware",
                                        "ofNoReadOnlyReturn",
                                        "ofNoTestFileCreate",
                                        "ofNoNetworkButton",
                                        "ofNoLongNames",
                                        "ofOldStyleDialog",
                                        "ofNoDereferenceLinks",
                                    }};
    return info;
}

const TClassInfo& TOpenDialog::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TOpenDialog, TCommonDialog>("TOpenDialog")
        .Property<&TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt>("DefaultExt")
        // No default: a design stores its edit style, fsEdit included.
        .Property<&TOpenDialog::FileEditStyle, &TOpenDialog::SetFileEditStyle>("FileEditStyle")
        .Property<&TOpenDialog::FileName, &TOpenDialog::SetFileName>("FileName")
        .Property<&TOpenDialog::Filter, &TOpenDialog::SetFilter>("Filter")
        .Property<&TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex>("FilterIndex", 1)
        .Property<&TOpenDialog::HistoryList, &TOpenDialog::SetHistoryList>("HistoryList")
        .Property<&TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir>("InitialDir")
        .Property<&TOpenDialog::Options, &TOpenDialog::SetOptions>("Options", TOpenOptions{})
        .Property<&TOpenDialog::Title, &TOpenDialog::SetTitle>("Title")
        .Build();
    return info;
}

TOpenDialog::TOpenDialog(TComponent* owner)
    : TCommonDialog(owner), m_historyList(std::make_unique<TStringList>()), m_files(std::make_unique<TStringList>())
{
}

void TOpenDialog::SetHistoryList(TStrings* value)
{
    if (value == m_historyList.get())
        return;
    if (value)
        m_historyList->Assign(*value);
    else
        m_historyList->Clear();
}

void TOpenDialog::SetInitialDir(const std::string& value)
{
    const size_t length = value.size();
    if (length > 1 && value[length - 1] == '\\' && value[length - 2] != ':')
        m_initialDir = value.substr(0, length - 1);
    else
        m_initialDir = value;
}
