// The drive combo box, the file list and the directory list: their items,
// glyphs and painting, the change of drive and of folder, and the links that
// keep them in step.
#include "controls/FileCtrl.h"

#include <windows.h>
#include <winnetwk.h>

#include <algorithm>
#include <vector>

#include "runtime/DirPaths.h"
#include "runtime/Exceptions.h"
#include "runtime/Files.h"
#include "runtime/Format.h"
#include "runtime/Paths.h"
#include "runtime/ScopeGuard.h"
#include "runtime/Search.h"

template <>
const TEnumTypeInfo& EnumTypeOf<TTextCase>()
{
    static const TEnumTypeInfo info = EnumType<tcUpperCase>("TTextCase", {"tcLowerCase", "tcUpperCase"});
    return info;
}

namespace {

bool SameLetter(char a, char b)
{
    return UpperCaseAscii(a) == UpperCaseAscii(b);
}

// A font selected into a screen device context, for measuring text.
class ScreenFont {
public:
    explicit ScreenFont(const TFont& font) : m_select(m_screen.Get(), font.Handle()) {}

    int32_t CellHeight() const
    {
        TEXTMETRICA metrics;
        if (!GetTextMetricsA(m_screen.Get(), &metrics))
            return 0;
        return metrics.tmHeight;
    }
    int32_t Width(std::string_view text) const
    {
        SIZE size;
        if (!GetTextExtentPoint32A(m_screen.Get(), text.data(), static_cast<int>(text.size()), &size))
            return 0;
        return size.cx;
    }

private:
    ScopedDC m_screen;
    ScopedSelect m_select;
};

// Upper-cases the text for an upper-case drive letter and lower-cases it
// otherwise, with the system's character-set mapping.
std::string CasedAsLetter(std::string text, char drive)
{
    if (text.empty())
        return text;
    if (drive >= 'A' && drive <= 'Z')
        CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    else
        CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

int BackslashCount(const std::string& path)
{
    return static_cast<int>(std::count(path.begin(), path.end(), '\\'));
}

// Compares two names as the user's locale sorts them: below, at or above 0.
int CompareNames(const std::string& a, const std::string& b, DWORD flags = NORM_IGNORECASE)
{
    return CompareStringA(LOCALE_USER_DEFAULT, flags, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) -
           CSTR_EQUAL;
}

// The owner-drawn item of a drive or directory list: fills its background
// and draws the line's glyph at left, centred in height. Answers the glyph's
// width, 16 for a line without one.
int DrawItemGlyph(TItemCanvas& canvas, const RECT& rect, const TObject* object, int left)
{
    FillRect(canvas.DC, &rect, canvas.Brush);
    const auto* glyph = dynamic_cast<const TBitmap*>(object);
    if (!glyph)
        return 16;
    BrushCopy(canvas.DC, left, (rect.top + rect.bottom - glyph->Height()) / 2, *glyph, glyph->CornerColor(),
              canvas.Brush);
    return glyph->Width();
}

} // namespace

// ---------------------------------------------------------------------------
// Helpers

int32_t ItemTextHeight(const TFont& font)
{
    return ScreenFont(font).CellHeight();
}

int32_t TextWidthIn(const TFont& font, std::string_view text)
{
    return ScreenFont(font).Width(text);
}

std::string VolumeLabelText(char drive)
{
    char name[261] = {};
    const char root[] = {drive, ':', '\\', '\0'};
    // A drive that is not ready must not bring up the system's error box.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    if (!GetVolumeInformationA(root, name, sizeof name, nullptr, nullptr, nullptr, nullptr, 0))
        name[0] = '\0';
    SetErrorMode(oldMode);
    return "[" + CasedAsLetter(name, drive) + "]";
}

std::string NetworkDriveText(char drive)
{
    char remote[261] = {};
    DWORD length = sizeof remote;
    const char local[] = {drive, ':', '\0'};
    if (WNetGetConnectionA(local, remote, &length) != NO_ERROR)
        return VolumeLabelText(drive);
    return CasedAsLetter(remote, drive);
}

// ---------------------------------------------------------------------------
// Glyphs

const TClassInfo& TFolderBitmap::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TFolderBitmap, TBitmap>("TFolderBitmap").Build();
    return info;
}

TFolderBitmap::TFolderBitmap()
{
    LoadFromFileData(BlankBitmapFile(16, 16));
}

// ---------------------------------------------------------------------------
// TDriveComboBox

const TClassInfo& TDriveComboBox::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TDriveComboBox, TCustomComboBox>("TDriveComboBox")
        .Publish("TabStop", true)
        .Publish("Color", clWindow)
        .Publish("Ctl3D")
        .Property<&TDriveComboBox::DirList, &TDriveComboBox::SetDirList>("DirList")
        .Publish("DragMode", "DragCursor", "Enabled", "Font")
        .Publish("ParentColor", false)
        .Publish("ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder")
        .Property<&TDriveComboBox::TextCase, &TDriveComboBox::SetTextCase>("TextCase", tcLowerCase)
        .Publish("Visible")
        .Property<&TDriveComboBox::OnChange, &TDriveComboBox::SetOnChange>("OnChange")
        .Publish("OnClick", "OnDblClick", "OnDragDrop", "OnDragOver", "OnDropDown", "OnEndDrag", "OnEnter", "OnExit")
        .Publish("OnKeyDown", "OnKeyPress", "OnKeyUp", "OnStartDrag")
        .Build();
    return info;
}

TDriveComboBox::TDriveComboBox(TComponent* owner)
    : TCustomComboBox(owner), m_floppy(std::make_unique<TBitmap>()), m_fixed(std::make_unique<TBitmap>()),
      m_network(std::make_unique<TBitmap>()), m_cdrom(std::make_unique<TBitmap>()), m_ram(std::make_unique<TBitmap>())
{
    SetStyle(csOwnerDrawFixed);
    LoadBitmapResource(*m_floppy, "FLOPPY");
    LoadBitmapResource(*m_fixed, "HARD");
    LoadBitmapResource(*m_network, "NETWORK");
    LoadBitmapResource(*m_cdrom, "CDROM");
    LoadBitmapResource(*m_ram, "RAM");
    // The drive of the current directory; a network path has none.
    const std::string current = CurrentDir();
    m_driveLetter = current.empty() || current[0] == '\\' ? '\0' : current[0];
    ResetItemHeight();
}

// The glyphs go with their unique_ptr members, before the base destructor runs.
TDriveComboBox::~TDriveComboBox() = default;

void TDriveComboBox::ResetItemHeight()
{
    // At least the glyph's height, so that no glyph is cut.
    SetItemHeight(std::max(ItemTextHeight(*Font()), m_floppy->Height()));
}

void TDriveComboBox::FontChanged()
{
    TCustomComboBox::FontChanged();
    if (!m_floppy)
        return;
    ResetItemHeight();
    RecreateWnd();
}

void TDriveComboBox::CreateWnd()
{
    TCustomComboBox::CreateWnd();
    if (!HandleAllocated())
        return;
    BuildList();
    // NOTE: the rebuilt list has no selection, so this always runs in full:
    // the entry is selected, a linked list is told and OnChange fires.
    SetDriveLetter(m_driveLetter);
}

void TDriveComboBox::Click()
{
    TCustomComboBox::Click();
    const int index = ItemIndex();
    if (index >= 0)
        SetDriveLetter(Items()->Get(index)[0]);
}

void TDriveComboBox::DrawItem(int index, const RECT& rect, TOwnerDrawState, TItemCanvas& canvas)
{
    const int width = DrawItemGlyph(canvas, rect, Items()->Objects(index), rect.left + 2);
    RECT textRect = rect;
    textRect.left += width + 6;
    const std::string text = Items()->Get(index);
    DrawTextA(canvas.DC, text.c_str(), -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void TDriveComboBox::BuildList()
{
    TStrings* items = Items();
    items->Clear();
    SetItemIndex(-1);
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if ((drives >> i & 1) == 0)
            continue;
        char letter = static_cast<char>('a' + i);
        const char root[] = {letter, ':', '\\', '\0'};
        const UINT kind = GetDriveTypeA(root);
        if (m_textCase == tcUpperCase)
            letter = UpperCaseAscii(letter);
        const std::string prefix(1, letter);
        switch (kind) {
        case DRIVE_REMOVABLE:
            // Never asked for a label: that would touch the diskette.
            items->AddObject(prefix + ":", m_floppy.get());
            break;
        case DRIVE_FIXED:
            items->AddObject(Format("%s: %s", {prefix, VolumeLabelText(letter)}), m_fixed.get());
            break;
        case DRIVE_REMOTE:
            items->AddObject(Format("%s: %s", {prefix, NetworkDriveText(letter)}), m_network.get());
            break;
        case DRIVE_CDROM:
            items->AddObject(Format("%s: %s", {prefix, VolumeLabelText(letter)}), m_cdrom.get());
            break;
        case DRIVE_RAMDISK:
            items->AddObject(Format("%s: %s", {prefix, VolumeLabelText(letter)}), m_ram.get());
            break;
        default:
            break;
        }
    }
}

void TDriveComboBox::SetDriveLetter(char value)
{
    if (ItemIndex() >= 0 && SameLetter(value, m_driveLetter))
        return;
    if (value == '\0') {
        m_driveLetter = '\0';
        SetItemIndex(-1);
    } else {
        m_driveLetter = m_textCase == tcUpperCase ? UpperCaseAscii(value) : static_cast<char>(UpperCaseAscii(value) + 32);
        // A letter no entry has leaves the old selection.
        TStrings* items = Items();
        for (int i = 0; i < items->Count(); ++i) {
            const std::string text = items->Get(i);
            if (text.size() >= 2 && SameLetter(text[0], m_driveLetter) && text[1] == ':') {
                SetItemIndex(i);
                break;
            }
        }
    }
    if (m_dirList)
        m_dirList->DriveChange(m_driveLetter);
    Change();
}

void TDriveComboBox::SetTextCase(TTextCase value)
{
    m_textCase = value;
    const char drive = m_driveLetter;
    BuildList();
    SetDriveLetter(drive);
}

void TDriveComboBox::SetDirList(TDirectoryListBox* value)
{
    if (m_dirList)
        m_dirList->m_driveCombo = nullptr;
    m_dirList = value;
    if (value) {
        value->m_driveCombo = this;
        FreeNotification(value);
    }
}

void TDriveComboBox::Notification(TComponent* component, TOperation operation)
{
    TCustomComboBox::Notification(component, operation);
    if (operation == opRemove && component == m_dirList)
        m_dirList = nullptr;
}

void TDriveComboBox::Change()
{
    if (m_onChange)
        m_onChange(this);
}

// ---------------------------------------------------------------------------
// TFileListBox

const TClassInfo& TFileListBox::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TFileListBox, TCustomListBox>("TFileListBox").Build();
    return info;
}

TFileListBox::TFileListBox(TComponent* owner) : TCustomListBox(owner) {}

void TFileListBox::Notification(TComponent* component, TOperation operation)
{
    TCustomListBox::Notification(component, operation);
    if (operation == opRemove && component == m_dirList)
        m_dirList = nullptr;
}

// ---------------------------------------------------------------------------
// TDirectoryListBox

const TClassInfo& TDirectoryListBox::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TDirectoryListBox, TCustomListBox>("TDirectoryListBox")
        .Publish("TabStop", true)
        .Publish("Align")
        .Publish("Color", clWindow)
        .Publish("Columns", "Ctl3D")
        .Property<&TDirectoryListBox::DirLabel, &TDirectoryListBox::SetDirLabel>("DirLabel")
        .Publish("DragCursor", "DragMode", "Enabled")
        .Property<&TDirectoryListBox::FileList, &TDirectoryListBox::SetFileList>("FileList")
        .Publish("Font", "IntegralHeight", "ItemHeight")
        .Publish("ParentColor", false)
        .Publish("ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "Visible")
        .Property<&TDirectoryListBox::OnChange, &TDirectoryListBox::SetOnChange>("OnChange")
        .Publish("OnClick", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter", "OnExit", "OnKeyDown")
        .Publish("OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnStartDrag")
        .Build();
    return info;
}

TDirectoryListBox::TDirectoryListBox(TComponent* owner) : TCustomListBox(owner)
{
    SetWidth(145);
    SetStyle(lbOwnerDrawFixed);
    SetSorted(false);
    ReadBitmaps();
    m_directory = CurrentDir();
    ResetItemHeight();
}

// The glyphs go with their unique_ptr members, before the base destructor runs.
TDirectoryListBox::~TDirectoryListBox() = default;

void TDirectoryListBox::ReadBitmaps()
{
    m_openedBmp = std::make_unique<TFolderBitmap>();
    LoadBitmapResource(*m_openedBmp, "OPENFOLDER");
    m_closedBmp = std::make_unique<TFolderBitmap>();
    LoadBitmapResource(*m_closedBmp, "CLOSEDFOLDER");
    m_currentBmp = std::make_unique<TFolderBitmap>();
    LoadBitmapResource(*m_currentBmp, "CURRENTFOLDER");
}

void TDirectoryListBox::ResetItemHeight()
{
    SetItemHeight(std::max(ItemTextHeight(*Font()), m_openedBmp->Height() + 1));
}

void TDirectoryListBox::FontChanged()
{
    TCustomListBox::FontChanged();
    if (m_openedBmp)
        ResetItemHeight();
}

void TDirectoryListBox::CreateWnd()
{
    TCustomListBox::CreateWnd();
    if (!HandleAllocated())
        return;
    BuildList();
    // NOTE: the entry at the depth of the directory: the current one for
    // C:\A\B, but the first subdirectory at a drive root, and further down
    // for a network path. Past the end nothing is selected (the platform's
    // list box would keep the selection the rebuild made).
    const int32_t depth = BackslashCount(m_directory);
    SetItemIndex(depth < Items()->Count() ? depth : -1);
}

void TDirectoryListBox::DblClick()
{
    TCustomListBox::DblClick();
    OpenCurrent();
}

void TDirectoryListBox::KeyPress(char& key)
{
    TCustomListBox::KeyPress(key);
    if (key == '\r')
        OpenCurrent();
}

void TDirectoryListBox::OpenCurrent()
{
    SetDirectoryPath(ItemPath(ItemIndex()));
}

int TDirectoryListBox::ItemIndent(int index) const
{
    if (Items()->Objects(index) == m_closedBmp.get())
        return 4 * (BackslashCount(m_directory) + 1) + 2;
    return 4 * index + 2;
}

void TDirectoryListBox::DrawItem(int index, const RECT& rect, TOwnerDrawState, TItemCanvas& canvas)
{
    const int indent = ItemIndent(index);
    const int width = DrawItemGlyph(canvas, rect, Items()->Objects(index), rect.left + indent);
    std::string text = Items()->Get(index);
    // A file system that keeps no case shows its names in lower case.
    if (!m_casePreserved && !m_caseSensitive && !text.empty())
        CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    TextOutA(canvas.DC, rect.left + width + indent + 4, rect.top, text.c_str(), static_cast<int>(text.size()));
}

bool TDirectoryListBox::SameDirectory(const std::string& a, const std::string& b) const
{
    return CompareNames(a, b, m_caseSensitive ? 0 : NORM_IGNORECASE) == 0;
}

void TDirectoryListBox::SetDirectoryPath(const std::string& value)
{
    if (value.empty() || SameDirectory(value, m_directory))
        return;
    char drive = '\0';
    std::string dir;
    std::string file;
    ProcessPath(value, drive, dir, file);
    if (drive != DriveLetter()) {
        // The list moves once, below; the drive change must not rebuild it
        // or notify on the way.
        m_inDriveChange = true;
        const ScopeExit moved([this] { m_inDriveChange = false; });
        if (m_driveCombo)
            m_driveCombo->SetDriveLetter(drive);
        else
            DriveChange(drive);
    }
    // Start from where the list stands, so that a relative directory part
    // means the same as it did for ProcessPath.
    ChangeDir(m_directory);
    ChDir(dir);
    m_directory = CurrentDir();
    BuildList();
    Change();
}

void TDirectoryListBox::SetDriveLetter(char value)
{
    DriveChange(value);
}

void TDirectoryListBox::DriveChange(char drive)
{
    if (SameLetter(drive, DriveLetter()))
        return;
    if (drive != '\0') {
        const char root[] = {drive, ':', '\0'};
        ChDir(root);
        m_directory = CurrentDir();
    }
    if (!m_inDriveChange) {
        BuildList();
        Change();
    }
}

void TDirectoryListBox::BuildList()
{
    TStrings* items = Items();
    int current = -1;  // the current directory's item
    {
        // The window is not repainted until the list is whole.
        const TStringsUpdate update(*items);
        items->Clear();
        const std::string root = FileDrivePart(m_directory) + "\\";
        DWORD flags = 0;
        if (!GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0))
            flags = 0;  // unknown: names show in lower case
        m_caseSensitive = (flags & FS_CASE_SENSITIVE) != 0;
        m_casePreserved = (flags & (FS_CASE_SENSITIVE | FS_CASE_IS_PRESERVED)) != 0;

        // The chain from the root down to the current directory.
        const DirectoryChain chain = SplitDirectoryChain(m_directory);
        for (const std::string& name : chain.Ancestors)
            items->AddObject(name, m_openedBmp.get());
        if (!chain.Current.empty())
            items->AddObject(chain.Current, m_currentBmp.get());
        current = items->Count() - 1;

        // The subdirectories, sorted as the user's locale sorts names,
        // ignoring case; names that compare equal are listed once.
        std::vector<std::string> names;
        TSearchRec record;
        for (int result = SearchFirst(JoinDir(m_directory, "*.*"), faDirectory, record); result == 0;
             result = SearchNext(record)) {
            if ((record.Attr & faDirectory) == 0 || record.Name == "." || record.Name == "..")
                continue;
            auto at = std::lower_bound(names.begin(), names.end(), record.Name,
                                       [](const std::string& a, const std::string& b) {
                                           return CompareNames(a, b) < 0;
                                       });
            if (at == names.end() || CompareNames(*at, record.Name) != 0)
                names.insert(at, record.Name);
        }
        for (const std::string& name : names)
            items->AddObject(name, m_closedBmp.get());
    }
    if (HandleAllocated())
        SetItemIndex(current);
}

std::string TDirectoryListBox::ItemPath(int index) const
{
    const TStrings* items = Items();
    if (index >= items->Count())
        return std::string();
    if (index == 0)
        return FileDrivePart(m_directory) + "\\";
    const TObject* glyph = items->Objects(index);
    if (glyph == m_closedBmp.get())
        return JoinDir(m_directory, items->Get(index));
    if (glyph == m_currentBmp.get())
        return m_directory;
    // An ancestor: resolved on the current drive when written.
    return AncestorPath(m_directory, index);
}

void TDirectoryListBox::SetFileList(TFileListBox* value)
{
    if (m_fileList)
        m_fileList->m_dirList = nullptr;
    m_fileList = value;
    if (value) {
        value->m_dirList = this;
        FreeNotification(value);
    }
}

void TDirectoryListBox::SetDirLabel(TLabel* value)
{
    m_dirLabel = value;
    if (value)
        FreeNotification(value);
    UpdateLabel();
}

void TDirectoryListBox::UpdateLabel()
{
    if (!m_dirLabel)
        return;
    // A label that sizes itself may take this list's width.
    const int32_t width = m_dirLabel->AutoSize() ? Width() : m_dirLabel->Width();
    const ScreenFont font(*m_dirLabel->Font());
    m_dirLabel->SetCaption(
        MinimizePath(m_directory, width, [&font](const std::string& text) { return font.Width(text); }));
}

void TDirectoryListBox::Change()
{
    if (m_fileList)
        m_fileList->SetDirectory(m_directory);
    UpdateLabel();
    if (m_onChange)
        m_onChange(this);
}

void TDirectoryListBox::Notification(TComponent* component, TOperation operation)
{
    TCustomListBox::Notification(component, operation);
    if (operation != opRemove)
        return;
    if (component == m_fileList)
        m_fileList = nullptr;
    if (component == m_driveCombo)
        m_driveCombo = nullptr;
    if (component == m_dirLabel)
        m_dirLabel = nullptr;
}
