// The open dialog: its published settings, the platform's dialog run over the
// program's windows, its placing, and the reading back of the chosen file
// names and options.
#include "framework/Dialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "framework/Controls.h"
#include "framework/ErrorRouting.h"
#include "framework/MessageLoop.h"

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
const TEnumTypeInfo& EnumTypeOf<TOpenOption>()
{
    static const TEnumTypeInfo info = EnumType<ofNoDereferenceLinks>("TOpenOption", {
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
    });
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

namespace {

// The platform flag of each option, in the order of TOpenOption.
const DWORD OptionFlags[] = {
    OFN_READONLY,         OFN_OVERWRITEPROMPT,  OFN_HIDEREADONLY,    OFN_NOCHANGEDIR,    OFN_SHOWHELP,
    OFN_NOVALIDATE,       OFN_ALLOWMULTISELECT, OFN_EXTENSIONDIFFERENT, OFN_PATHMUSTEXIST, OFN_FILEMUSTEXIST,
    OFN_CREATEPROMPT,     OFN_SHAREAWARE,       OFN_NOREADONLYRETURN, OFN_NOTESTFILECREATE, OFN_NONETWORKBUTTON,
    OFN_NOLONGNAMES,      OFN_EXPLORER,         OFN_NODEREFERENCELINKS,
};
static_assert(std::size(OptionFlags) == ofNoDereferenceLinks + 1);

// The size of the record the dialog is given: the one of the platforms of
// major version 4, without the fields later versions added.
const DWORD OpenFileNameSize = 76;
static_assert(offsetof(OPENFILENAMEA, pvReserved) == OpenFileNameSize);

void PlaceDialog(HWND window)
{
    RECT r;
    if (!window || !GetWindowRect(window, &r))
        return;
    const POINT p = OpenDialogPosition(r, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    SetWindowPos(window, nullptr, p.x, p.y, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOZORDER);
}

// The hook of the old-style dialog, which is the dialog itself.
UINT_PTR CALLBACK OldStyleHook(HWND dialog, UINT msg, WPARAM, LPARAM)
{
    return GuardEntry<UINT_PTR>(nullptr, 0, [&]() -> UINT_PTR {
        if (msg != WM_INITDIALOG)
            return 0;
        PlaceDialog(dialog);
        // NOTE: the platform's dialogs draw with the three-dimensional look
        // themselves since the platforms of major version 4, so Ctl3D has
        // nothing left to switch on or off here.
        return TRUE;  // the dialog puts the focus on its first control
    });
}

// The hook of the explorer-style dialog: a child of the dialog's frame,
// told through notifications.
UINT_PTR CALLBACK ExplorerHook(HWND child, UINT msg, WPARAM, LPARAM lParam)
{
    return GuardEntry<UINT_PTR>(nullptr, 0, [&]() -> UINT_PTR {
        if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_INITDONE)
            PlaceDialog(GetParent(child));
        return 0;
    });
}

bool IsAbsoluteName(const std::string& name)
{
    return (!name.empty() && name[0] == '\\') || (name.size() >= 3 && name[1] == ':' && name[2] == '\\');
}

} // namespace

DWORD OpenDialogFlags(TOpenOptions options, unsigned platformMajorVersion)
{
    DWORD flags = OFN_ENABLEHOOK;
    for (int o = ofReadOnly; o <= ofNoDereferenceLinks; ++o)
        if (options.Contains(static_cast<TOpenOption>(o)))
            flags |= OptionFlags[o];
    if (platformMajorVersion >= 4)
        flags ^= OFN_EXPLORER;
    else
        flags &= ~static_cast<DWORD>(OFN_EXPLORER);
    return flags;
}

TOpenOptions ReadBackOptions(TOpenOptions options, DWORD returnedFlags)
{
    for (const TOpenOption o : {ofExtensionDifferent, ofReadOnly}) {
        if (returnedFlags & OptionFlags[o])
            options.Include(o);
        else
            options.Exclude(o);
    }
    return options;
}

std::string PlatformFilter(const std::string& filter)
{
    if (filter.empty())
        return filter;
    std::string result = filter;
    std::replace(result.begin(), result.end(), '|', '\0');
    result.push_back('\0');
    return result;
}

std::vector<std::string> ParseMultiSelection(const char* buffer, size_t size, bool explorerStyle)
{
    std::vector<std::string> entries;
    if (explorerStyle) {
        size_t start = 0;
        while (start < size && buffer[start] != '\0') {
            size_t end = start;
            while (end < size && buffer[end] != '\0')
                ++end;
            entries.emplace_back(buffer + start, end - start);
            start = end + 1;
        }
    } else {
        const size_t length = strnlen(buffer, size);
        size_t start = 0;
        while (start < length) {
            size_t end = start;
            while (end < length && buffer[end] != ' ')
                ++end;
            if (end > start)
                entries.emplace_back(buffer + start, end - start);
            start = end + 1;
        }
    }
    if (entries.size() <= 1)
        return entries;
    const std::string& directory = entries.front();
    // NOTE: the directory of files in a drive's root already ends in a
    // backslash ("C:\\"); no second one is put between it and the names.
    const std::string prefix = directory.back() == '\\' ? directory : directory + "\\";
    std::vector<std::string> files;
    for (size_t i = 1; i < entries.size(); ++i)
        files.push_back(IsAbsoluteName(entries[i]) ? entries[i] : prefix + entries[i]);
    return files;
}

POINT OpenDialogPosition(const RECT& window, int screenWidth, int screenHeight)
{
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    return POINT{(screenWidth - width) / 2, (screenHeight - height) / 3};
}

bool TOpenDialog::RunDialog()
{
    m_files->Clear();
    const bool multiSelect = m_options.Contains(ofAllowMultiSelect);
    const DWORD bufferSize = multiSelect ? 8192 : MAX_PATH;
    // Two NULs beyond the size the dialog is told of end even a full buffer.
    std::vector<char> buffer(bufferSize + 2, '\0');
    std::copy_n(m_fileName.begin(), std::min<size_t>(m_fileName.size(), bufferSize), buffer.begin());
    const std::string filter = PlatformFilter(m_filter);
    const std::string defaultExt = m_defaultExt.substr(0, 3);

    OPENFILENAMEA ofn{};
    ofn.lStructSize = OpenFileNameSize;
    ofn.hwndOwner = FormOwnerWindow();
    ofn.hInstance = GetModuleHandleA(nullptr);
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(m_filterIndex);
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = bufferSize;
    // Empty texts are passed as none: the platform then starts in the
    // current directory and shows its own caption.
    ofn.lpstrInitialDir = m_initialDir.empty() ? nullptr : m_initialDir.c_str();
    ofn.lpstrTitle = m_title.empty() ? nullptr : m_title.c_str();
    ofn.Flags = OpenDialogFlags(m_options, LOBYTE(LOWORD(GetVersion())));
    ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    const bool explorerStyle = (ofn.Flags & OFN_EXPLORER) != 0;
    ofn.lpfnHook = explorerStyle ? ExplorerHook : OldStyleHook;

    if (!RunTaskModal([&] { return GetOpenFileNameA(&ofn); }))
        return false;

    if (multiSelect) {
        for (const std::string& file : ParseMultiSelection(buffer.data(), buffer.size(), explorerStyle))
            m_files->Add(file);
        if (m_files->Count() > 0)
            m_fileName = m_files->Get(0);
    } else {
        m_fileName = buffer.data();
        m_files->Add(m_fileName);
    }
    m_options = ReadBackOptions(m_options, ofn.Flags);
    m_filterIndex = static_cast<int32_t>(ofn.nFilterIndex);
    return true;
}
