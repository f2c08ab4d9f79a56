#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "controls/FileCtrl.h"
#include "runtime/Exceptions.h"
#include "runtime/Files.h"
#include "runtime/Paths.h"
#include "runtime/ScopeGuard.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/support/TempDir.h"

namespace {

class FileCtrl : public CurrentDirTest {};

// A tree of subdirectories: alpha, Beta, Gamma, a hidden one, a system one,
// and a file.
class DirectoryTree : public CurrentDirTest {
protected:
    void SetUp() override
    {
        CurrentDirTest::SetUp();
        for (const char* name : {"Beta", "alpha", "Gamma", "Hidden", "System"})
            ASSERT_TRUE(CreateDirectoryA((dir / name).c_str(), nullptr)) << name;
        ASSERT_TRUE(CreateDirectoryA((dir / "alpha\\inner").c_str(), nullptr));
        ASSERT_TRUE(SetFileAttributesA((dir / "Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN));
        ASSERT_TRUE(SetFileAttributesA((dir / "System").c_str(), FILE_ATTRIBUTE_SYSTEM));
        ASSERT_TRUE(GetFileAttributesA((dir / "System").c_str()) & FILE_ATTRIBUTE_SYSTEM);
        dir.WriteFile("file.txt", "text");
        root = NoSlash(dir.Path());
    }
    void TearDown() override
    {
        CurrentDirTest::TearDown();
        for (const char* name : {"Hidden", "System"})
            SetFileAttributesA((dir / name).c_str(), FILE_ATTRIBUTE_NORMAL);
    }

    TempDir dir;
    std::string root;  // the tree's directory as the system reports it
};

} // namespace

// ---------------------------------------------------------------------------
// Type information

TEST(DriveComboBoxInfo, PublishesItsPropertiesInTypeInformationOrder)
{
    const std::vector<std::string> expected = {
        "Name", "Tag", "Left", "Top", "Width", "Height", "Cursor", "Hint", "HelpContext",
        "TabStop", "Color", "Ctl3D", "DirList", "DragMode", "DragCursor", "Enabled", "Font", "ParentColor",
        "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "TextCase", "Visible",
        "OnChange", "OnClick", "OnDblClick", "OnDragDrop", "OnDragOver", "OnDropDown", "OnEndDrag", "OnEnter",
        "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnStartDrag"};
    EXPECT_EQ(PublishedNames(TDriveComboBox::StaticClassInfo()), expected);
}

TEST(DirectoryListBoxInfo, PublishesItsPropertiesInTypeInformationOrder)
{
    const std::vector<std::string> expected = {
        "Name", "Tag", "Left", "Top", "Width", "Height", "Cursor", "Hint", "HelpContext",
        "TabStop", "Align", "Color", "Columns", "Ctl3D", "DirLabel", "DragCursor", "DragMode", "Enabled",
        "FileList", "Font", "IntegralHeight", "ItemHeight", "ParentColor", "ParentCtl3D", "ParentFont",
        "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "Visible",
        "OnChange", "OnClick", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter", "OnExit",
        "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnStartDrag"};
    EXPECT_EQ(PublishedNames(TDirectoryListBox::StaticClassInfo()), expected);
}

TEST_F(FileCtrl, DriveComboBoxDefaults)
{
    TDriveComboBox combo(nullptr);
    const TClassInfo& info = combo.ClassInfo();
    ExpectOrdDefaults(combo, {{"TabStop", 1}, {"Color", clWindow}, {"ParentColor", 0}, {"TextCase", tcLowerCase}});
    const TPropInfo* dirList = info.FindProperty("DirList");
    ASSERT_NE(dirList, nullptr);
    EXPECT_EQ(dirList->Kind, TTypeKind::Class);
    EXPECT_EQ(dirList->PropClass(), &TDirectoryListBox::StaticClassInfo());
    EXPECT_EQ(info.FindProperty("DriveLetter"), nullptr);  // public, not published
    EXPECT_EQ(combo.Style(), csOwnerDrawFixed);
    EXPECT_EQ(combo.Items()->Count(), 0);
}

TEST_F(FileCtrl, DirectoryListBoxDefaults)
{
    TDirectoryListBox list(nullptr);
    const TClassInfo& info = list.ClassInfo();
    ExpectOrdDefaults(list, {{"TabStop", 1}, {"Color", clWindow}, {"Columns", 0}, {"IntegralHeight", 0},
                             {"ParentColor", 0}});
    const TPropInfo* itemHeight = info.FindProperty("ItemHeight");
    ASSERT_NE(itemHeight, nullptr);
    EXPECT_FALSE(itemHeight->HasDefault);
    const TPropInfo* fileList = info.FindProperty("FileList");
    ASSERT_NE(fileList, nullptr);
    EXPECT_EQ(fileList->PropClass(), &TFileListBox::StaticClassInfo());
    const TPropInfo* dirLabel = info.FindProperty("DirLabel");
    ASSERT_NE(dirLabel, nullptr);
    EXPECT_EQ(dirLabel->PropClass(), &TLabel::StaticClassInfo());
    EXPECT_EQ(info.FindProperty("DirectoryPath"), nullptr);
    EXPECT_EQ(info.FindProperty("DriveLetter"), nullptr);
    EXPECT_EQ(list.Width(), 145);
    EXPECT_EQ(list.Style(), lbOwnerDrawFixed);
    EXPECT_FALSE(list.Sorted());
    EXPECT_EQ(list.Items()->Count(), 0);
}

// ---------------------------------------------------------------------------
// Construction

TEST_F(FileCtrl, ControlsStartInTheCurrentDirectory)
{
    TempDir dir;
    ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
    const std::string current = CurrentDir();
    TDriveComboBox combo(nullptr);
    TDirectoryListBox list(nullptr);
    EXPECT_EQ(list.DirectoryPath(), current);
    EXPECT_EQ(list.DriveLetter(), current[0]);
    EXPECT_EQ(combo.DriveLetter(), current[0]);
}

TEST_F(FileCtrl, GlyphsComeFromTheProgramsBitmaps)
{
    TDriveComboBox combo(nullptr);
    for (TBitmap* glyph : {combo.FloppyGlyph(), combo.FixedGlyph(), combo.NetworkGlyph(), combo.CDROMGlyph(),
                           combo.RamGlyph()}) {
        ASSERT_NE(glyph, nullptr);
        EXPECT_EQ(glyph->Width(), 16);
        EXPECT_EQ(glyph->Height(), 11);
        EXPECT_EQ(glyph->BitsPerPixel(), 4);
    }
    TDirectoryListBox list(nullptr);
    for (TBitmap* glyph : {list.ClosedGlyph(), list.OpenedGlyph(), list.CurrentGlyph()}) {
        ASSERT_NE(glyph, nullptr);
        EXPECT_TRUE(glyph->InheritsFrom(TFolderBitmap::StaticClassInfo()));
        EXPECT_EQ(glyph->Width(), 16);
        EXPECT_EQ(glyph->Height(), 15);
    }
    // Until a resource replaces it, a folder glyph is 16 x 16.
    TFolderBitmap blank;
    EXPECT_EQ(blank.Width(), 16);
    EXPECT_EQ(blank.Height(), 16);
    EXPECT_THROW(LoadBitmapResource(blank, "NOSUCHBITMAP"), EResNotFound);
}

TEST_F(FileCtrl, ItemHeightsFollowTheFont)
{
    TDriveComboBox combo(nullptr);
    TDirectoryListBox list(nullptr);
    const int32_t textHeight = ItemTextHeight(*combo.Font());
    ASSERT_GT(textHeight, 0);
    EXPECT_EQ(combo.ItemHeight(), std::max(textHeight, 11));
    EXPECT_EQ(list.ItemHeight(), std::max(textHeight, 16));

    // A big font makes the items taller than any glyph.
    combo.Font()->SetHeight(-40);
    list.Font()->SetHeight(-40);
    const int32_t big = ItemTextHeight(*combo.Font());
    ASSERT_GT(big, 16);
    EXPECT_EQ(combo.ItemHeight(), big);
    EXPECT_EQ(list.ItemHeight(), big);

    // A stored item height stands until the font changes again.
    list.SetItemHeight(16);
    EXPECT_EQ(list.ItemHeight(), 16);
    list.Font()->SetHeight(-11);
    EXPECT_EQ(list.ItemHeight(), std::max(ItemTextHeight(*list.Font()), 16));

    // A tiny scalable font: the glyphs set the least height, 11 and 16.
    for (TFont* font : {combo.Font(), list.Font()}) {
        font->SetName("Arial");
        font->SetHeight(-5);
    }
    ASSERT_LT(ItemTextHeight(*combo.Font()), 11);
    EXPECT_EQ(combo.ItemHeight(), 11);
    EXPECT_EQ(list.ItemHeight(), 16);
}

// ---------------------------------------------------------------------------
// Links

TEST_F(FileCtrl, DirListLinkIsTwoWayAndClearedWhenEitherSideIsFreed)
{
    TComponent owner(nullptr);
    auto* combo = new TDriveComboBox(&owner);
    auto* list1 = new TDirectoryListBox(&owner);
    auto* list2 = new TDirectoryListBox(&owner);
    combo->SetDirList(list1);
    EXPECT_EQ(combo->DirList(), list1);
    EXPECT_EQ(list1->DriveCombo(), combo);
    combo->SetDirList(list2);
    EXPECT_EQ(list1->DriveCombo(), nullptr);
    EXPECT_EQ(list2->DriveCombo(), combo);
    combo->SetDirList(nullptr);
    EXPECT_EQ(list2->DriveCombo(), nullptr);
    EXPECT_EQ(combo->DirList(), nullptr);

    // Each side has another owner, so only the free notification can tell
    // the other that it is freed.
    TComponent other(nullptr);
    auto* list = new TDirectoryListBox(&other);
    combo->SetDirList(list);
    TComponent::Free(list);
    EXPECT_EQ(combo->DirList(), nullptr);

    list = new TDirectoryListBox(&other);
    combo->SetDirList(list);
    TComponent::Free(combo);
    EXPECT_EQ(list->DriveCombo(), nullptr);
}

TEST_F(FileCtrl, FileListLinkIsTwoWayAndClearedOnFree)
{
    TComponent owner1(nullptr);
    TComponent owner2(nullptr);
    auto* list = new TDirectoryListBox(&owner1);
    auto* files1 = new TFileListBox(&owner2);
    auto* files2 = new TFileListBox(&owner2);
    list->SetFileList(files1);
    EXPECT_EQ(files1->DirList(), list);
    list->SetFileList(files2);
    EXPECT_EQ(files1->DirList(), nullptr);
    EXPECT_EQ(files2->DirList(), list);
    TComponent::Free(files2);
    EXPECT_EQ(list->FileList(), nullptr);

    list->SetFileList(files1);
    TComponent::Free(list);
    EXPECT_EQ(files1->DirList(), nullptr);
}

TEST_F(FileCtrl, DirLabelShowsTheDirectoryAndIsClearedOnFree)
{
    TComponent owner1(nullptr);
    TComponent owner2(nullptr);
    auto* list = new TDirectoryListBox(&owner1);
    auto* label = new TLabel(&owner2);
    // An auto-sized label takes the list's width: wide enough for any path.
    list->SetWidth(4000);
    list->SetDirLabel(label);
    EXPECT_EQ(list->DirLabel(), label);
    EXPECT_EQ(label->Caption(), list->DirectoryPath());
    TComponent::Free(label);
    EXPECT_EQ(list->DirLabel(), nullptr);
}

TEST_F(FileCtrl, ALabelNarrowsThePathStepByStep)
{
    // A real path of the shape C:\WINDOWS\SYSTEM\COLOR, in the prefix's own
    // system directory.
    char windows[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryA(windows, sizeof windows), 0u);
    const std::string system = std::string(windows) + "\\system";
    ASSERT_TRUE(IsExistingDirectory(system));
    const std::string color = system + "\\COLOR";
    ASSERT_TRUE(CreateDirectoryA(color.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    const ScopeExit remove([&color] { RemoveDirectoryA(color.c_str()); });
    ASSERT_EQ(std::count(color.begin(), color.end(), '\\'), 3);

    TDirectoryListBox list(nullptr);
    list.SetDirectoryPath(color);
    const std::string path = list.DirectoryPath();
    const std::string drive = path.substr(0, 2);
    const std::string systemName = FileNamePart(FileDirPart(path).substr(0, FileDirPart(path).size() - 1));
    TLabel label(nullptr);
    label.SetAutoSize(false);
    const std::vector<std::string> steps = {path, drive + "\\...\\" + systemName + "\\COLOR", drive + "\\...\\COLOR",
                                            "...\\COLOR", "COLOR"};
    for (const std::string& step : steps) {
        SCOPED_TRACE(step);
        // Exactly wide enough for this step, too narrow for the one before.
        label.SetWidth(TextWidthIn(*label.Font(), step));
        list.SetDirLabel(&label);
        EXPECT_EQ(label.Caption(), step);
    }
    list.SetDirLabel(nullptr);
}

// ---------------------------------------------------------------------------
// Drive combo box behaviour

TEST_F(FileCtrl, BuildListNamesEveryDriveWithItsGlyph)
{
    TDriveComboBox combo(nullptr);
    combo.BuildList();
    const DWORD drives = GetLogicalDrives();
    int expected = 0;
    for (int i = 0; i < 26; ++i) {
        if ((drives >> i & 1) == 0)
            continue;
        const char root[] = {static_cast<char>('a' + i), ':', '\\', '\0'};
        const UINT kind = GetDriveTypeA(root);
        if (kind < DRIVE_REMOVABLE || kind > DRIVE_RAMDISK)
            continue;
        ASSERT_LT(expected, combo.Items()->Count());
        const std::string text = combo.Items()->Get(expected);
        TObject* glyph = combo.Items()->Objects(expected);
        EXPECT_EQ(text.substr(0, 2), std::string(root, 2));
        if (kind == DRIVE_REMOVABLE) {
            EXPECT_EQ(text, std::string(root, 2));
            EXPECT_EQ(glyph, combo.FloppyGlyph());
        } else {
            EXPECT_EQ(text.substr(2, 2), " [") << text;
            EXPECT_EQ(text.back(), ']') << text;
            // Lower-case letters give lower-case labels.
            std::string lower = text;
            CharLowerBuffA(lower.data(), static_cast<DWORD>(lower.size()));
            EXPECT_EQ(text, lower);
            TBitmap* want = kind == DRIVE_FIXED ? combo.FixedGlyph()
                            : kind == DRIVE_REMOTE ? combo.NetworkGlyph()
                            : kind == DRIVE_CDROM ? combo.CDROMGlyph()
                                                  : combo.RamGlyph();
            EXPECT_EQ(glyph, want) << text;
        }
        ++expected;
    }
    EXPECT_EQ(combo.Items()->Count(), expected);
    EXPECT_GT(expected, 0);
    EXPECT_EQ(combo.ItemIndex(), -1);
}

TEST_F(FileCtrl, VolumeLabelTextFollowsTheLettersCaseAndPutsTheErrorModeBack)
{
    char name[261] = {};
    GetVolumeInformationA("C:\\", name, sizeof name, nullptr, nullptr, nullptr, nullptr, 0);
    std::string upper = name;
    std::string lower = name;
    CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
    CharLowerBuffA(lower.data(), static_cast<DWORD>(lower.size()));
    EXPECT_EQ(VolumeLabelText('C'), "[" + upper + "]");
    EXPECT_EQ(VolumeLabelText('c'), "[" + lower + "]");
    // Not a network drive: the connection cannot be asked.
    EXPECT_EQ(NetworkDriveText('c'), "[" + lower + "]");

    SCOPED_TRACE("critical-error boxes are suppressed only while the drive is asked");
    const UINT before = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    VolumeLabelText('c');
    VolumeLabelText('a');  // removable: may have no medium
    EXPECT_EQ(SetErrorMode(before), static_cast<UINT>(SEM_NOOPENFILEERRORBOX));
}

TEST_F(FileCtrl, SelectingADriveFiresOnChangeUnlessAlreadySelected)
{
    TempDir dir;
    ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
    TDriveComboBox combo(nullptr);
    EventLog changes;
    combo.SetOnChange(changes.Event());
    combo.BuildList();
    const char drive = CurrentDir()[0];
    combo.SetDriveLetter(drive);
    EXPECT_EQ(changes.Count, 1);
    EXPECT_EQ(changes.Sender, &combo);
    // Stored in lower case by default, and the entry is selected.
    EXPECT_EQ(combo.DriveLetter(), static_cast<char>(drive | 0x20));
    ASSERT_GE(combo.ItemIndex(), 0);
    EXPECT_EQ(combo.Items()->Get(combo.ItemIndex()).substr(0, 2), (std::string{static_cast<char>(drive | 0x20), ':'}));

    // The same letter in the other case: nothing.
    combo.SetDriveLetter(static_cast<char>(drive & ~0x20));
    EXPECT_EQ(changes.Count, 1);

    // A letter without an entry is stored, the selection stays.
    const int selected = combo.ItemIndex();
    combo.SetDriveLetter('Q');
    EXPECT_EQ(combo.DriveLetter(), 'q');
    EXPECT_EQ(combo.ItemIndex(), selected);
    EXPECT_EQ(changes.Count, 2);

    // Zero clears the selection.
    combo.SetDriveLetter('\0');
    EXPECT_EQ(combo.DriveLetter(), '\0');
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(changes.Count, 3);
}

TEST_F(FileCtrl, TextCaseRebuildsAndReselectsEveryTime)
{
    TempDir dir;
    ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
    TDriveComboBox combo(nullptr);
    EventLog changes;
    combo.SetOnChange(changes.Event());
    const char drive = CurrentDir()[0];

    combo.SetTextCase(tcUpperCase);
    EXPECT_EQ(changes.Count, 1);
    EXPECT_EQ(combo.DriveLetter(), static_cast<char>(drive & ~0x20));
    ASSERT_GE(combo.ItemIndex(), 0);
    for (const std::string& text : ItemTexts(*combo.Items())) {
        std::string upper = text;
        CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
        EXPECT_EQ(text, upper);
    }
    combo.SetTextCase(tcUpperCase);
    EXPECT_EQ(changes.Count, 2);

    combo.SetTextCase(tcLowerCase);
    EXPECT_EQ(changes.Count, 3);
    EXPECT_EQ(combo.DriveLetter(), static_cast<char>(drive | 0x20));
}

// ---------------------------------------------------------------------------
// Directory list box behaviour

TEST_F(DirectoryTree, WritingAPathMovesTheListAndTheProcess)
{
    TDirectoryListBox list(nullptr);
    EventLog changes;
    list.SetOnChange(changes.Event());
    list.SetDirectoryPath(dir.Path());
    EXPECT_EQ(list.DirectoryPath(), root);
    EXPECT_EQ(CurrentDir(), root);
    EXPECT_EQ(changes.Count, 1);

    // The chain to the directory, then its visible subdirectories, sorted
    // ignoring case.
    const std::vector<std::string> items = ItemTexts(*list.Items());
    ASSERT_GE(items.size(), 4u);
    const std::vector<std::string> subdirectories(items.end() - 3, items.end());
    EXPECT_EQ(subdirectories, (std::vector<std::string>{"alpha", "Beta", "Gamma"}));
    const int current = static_cast<int>(items.size()) - 4;
    EXPECT_EQ(items[static_cast<size_t>(current)], FileNamePart(root));
    EXPECT_EQ(items[0], root.substr(0, 3));
    EXPECT_EQ(list.Items()->Objects(current), list.CurrentGlyph());
    EXPECT_EQ(list.Items()->Objects(0), list.OpenedGlyph());
    EXPECT_EQ(list.Items()->Objects(current + 1), list.ClosedGlyph());
}

TEST_F(DirectoryTree, CaseFlagsComeFromTheVolumesFileSystemFlags)
{
    TDirectoryListBox list(nullptr);
    list.SetDirectoryPath(root);
    DWORD flags = 0;
    ASSERT_TRUE(GetVolumeInformationA(root.substr(0, 3).c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0));
    EXPECT_EQ(list.CaseSensitive(), (flags & FS_CASE_SENSITIVE) != 0);
    EXPECT_EQ(list.CasePreserved(), (flags & (FS_CASE_SENSITIVE | FS_CASE_IS_PRESERVED)) != 0);
}

TEST_F(DirectoryTree, OpeningAnItemPathMovesThere)
{
    TDirectoryListBox list(nullptr);
    list.SetDirectoryPath(root + "\\alpha");
    const int count = list.Items()->Count();
    EXPECT_EQ(list.ItemPath(count - 2), root + "\\alpha");
    EXPECT_EQ(list.ItemPath(count - 1), root + "\\alpha\\inner");
    EXPECT_EQ(list.ItemPath(count), "");
    EXPECT_EQ(ErrorOf<EStringListError>([&] { list.ItemPath(-1); }), "List index out of bounds");
    EventLog changes;
    list.SetOnChange(changes.Event());
    // The parent, an ancestor item written without its drive.
    const int parent = count - 3;
    ASSERT_EQ(list.Items()->Get(parent + 1), "alpha");
    list.SetDirectoryPath(list.ItemPath(parent));
    EXPECT_EQ(list.DirectoryPath(), root);
    EXPECT_EQ(changes.Count, 1);
    // The root item.
    list.SetDirectoryPath(list.ItemPath(0));
    EXPECT_EQ(list.DirectoryPath(), root.substr(0, 3));
    EXPECT_EQ(list.Items()->Get(0), root.substr(0, 3));
    EXPECT_EQ(list.Items()->Objects(0), list.CurrentGlyph());
    EXPECT_EQ(changes.Count, 2);
}

TEST_F(DirectoryTree, AFileOrAPatternIsDroppedFromThePath)
{
    TDirectoryListBox list(nullptr);
    list.SetDirectoryPath(root + "\\alpha");
    list.SetDirectoryPath(root + "\\file.txt");
    EXPECT_EQ(list.DirectoryPath(), root);
    list.SetDirectoryPath(root + "\\alpha\\*.TXT");
    EXPECT_EQ(list.DirectoryPath(), root + "\\alpha");
    EXPECT_EQ(ItemTexts(*list.Items()).back(), "inner");
}

TEST_F(DirectoryTree, ARelativePathStartsFromTheList)
{
    TDirectoryListBox list(nullptr);
    list.SetDirectoryPath(root);
    list.SetDirectoryPath("alpha\\inner");
    EXPECT_EQ(list.DirectoryPath(), root + "\\alpha\\inner");
    EXPECT_EQ(CurrentDir(), root + "\\alpha\\inner");
}

TEST_F(DirectoryTree, AMissingDirectoryChangesNothing)
{
    TDirectoryListBox list(nullptr);
    list.SetDirectoryPath(root);
    const std::vector<std::string> before = ItemTexts(*list.Items());
    EventLog changes;
    list.SetOnChange(changes.Event());
    EXPECT_THROW(list.SetDirectoryPath(root + "\\NOPE"), EInOutError);
    EXPECT_THROW(list.SetDirectoryPath(root + "\\NOPE\\deeper"), EInOutError);
    EXPECT_EQ(list.DirectoryPath(), root);
    EXPECT_EQ(CurrentDir(), root);
    EXPECT_EQ(ItemTexts(*list.Items()), before);
    EXPECT_EQ(changes.Count, 0);
}

TEST_F(DirectoryTree, TheSameOrAnEmptyPathDoesNothing)
{
    TDirectoryListBox list(nullptr);
    list.SetDirectoryPath(root);
    EventLog changes;
    list.SetOnChange(changes.Event());
    list.SetDirectoryPath(root);
    list.SetDirectoryPath("");
    EXPECT_EQ(changes.Count, 0);
    if (!list.CaseSensitive()) {
        std::string other = root;
        CharUpperBuffA(other.data(), static_cast<DWORD>(other.size()));
        list.SetDirectoryPath(other);
        EXPECT_EQ(changes.Count, 0);
        EXPECT_EQ(list.DirectoryPath(), root);
    }
}

TEST_F(DirectoryTree, ChangeNotificationFeedsAFileList)
{
    TComponent owner(nullptr);
    auto* list = new TDirectoryListBox(&owner);
    auto* files = new TFileListBox(&owner);
    list->SetFileList(files);
    list->SetDirectoryPath(root + "\\Beta");
    EXPECT_EQ(files->Directory(), root + "\\Beta");
}

namespace {

// A fixed drive other than the one of dir, or zero.
char OtherFixedDrive(char current)
{
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        const char letter = static_cast<char>('A' + i);
        const char root[] = {letter, ':', '\\', '\0'};
        if ((drives >> i & 1) && letter != (current & ~0x20) && GetDriveTypeA(root) == DRIVE_FIXED)
            return letter;
    }
    return '\0';
}

} // namespace

TEST_F(DirectoryTree, DriveChangeGoesToThatDrivesCurrentDirectory)
{
    const char other = OtherFixedDrive(root[0]);
    if (!other)
        GTEST_SKIP() << "only one fixed drive";
    TDirectoryListBox list(nullptr);
    list.SetDirectoryPath(root);
    EventLog changes;
    list.SetOnChange(changes.Event());
    list.SetDriveLetter(static_cast<char>(root[0] | 0x20));
    EXPECT_EQ(changes.Count, 0);

    list.SetDriveLetter(other);
    EXPECT_EQ(list.DirectoryPath()[0], other);
    EXPECT_EQ(CurrentDir(), list.DirectoryPath());
    EXPECT_EQ(changes.Count, 1);
    // Back on the first drive, the list returns to where it was there.
    list.SetDriveLetter(root[0]);
    EXPECT_EQ(list.DirectoryPath(), root);
    EXPECT_EQ(changes.Count, 2);
}

TEST_F(DirectoryTree, ADrivesDirectoryRemovedMeanwhileGivesWayToItsRoot)
{
    // The list left alpha for another drive; alpha went meanwhile. Coming
    // back to the drive must not fail for ever: the root takes its place.
    const char other = OtherFixedDrive(root[0]);
    if (!other)
        GTEST_SKIP() << "only one fixed drive";
    TDirectoryListBox list(nullptr);
    list.SetDirectoryPath(root + "\\Gamma");
    list.SetDriveLetter(other);
    ASSERT_TRUE(RemoveDirectoryA((dir / "Gamma").c_str()));
    list.SetDriveLetter(root[0]);
    EXPECT_EQ(list.DirectoryPath(), root.substr(0, 3));
    EXPECT_EQ(CurrentDir(), root.substr(0, 3));
}

TEST_F(DirectoryTree, ALinkedComboBoxFollowsADriveChangeOnce)
{
    const char other = OtherFixedDrive(root[0]);
    if (!other)
        GTEST_SKIP() << "only one fixed drive";
    TComponent owner(nullptr);
    auto* combo = new TDriveComboBox(&owner);
    auto* list = new TDirectoryListBox(&owner);
    list->SetDirectoryPath(root);
    combo->BuildList();
    combo->SetDirList(list);
    combo->SetDriveLetter(root[0]);
    EventLog comboChanges;
    EventLog listChanges;
    combo->SetOnChange(comboChanges.Event());
    list->SetOnChange(listChanges.Event());

    const std::string target = std::string(1, other) + ":\\";
    list->SetDirectoryPath(target);
    EXPECT_EQ(list->DirectoryPath(), target);
    EXPECT_EQ(comboChanges.Count, 1);
    EXPECT_EQ(listChanges.Count, 1);
    EXPECT_EQ(combo->DriveLetter(), static_cast<char>(other | 0x20));
    ASSERT_GE(combo->ItemIndex(), 0);
    EXPECT_EQ(combo->Items()->Get(combo->ItemIndex())[0], static_cast<char>(other | 0x20));

    // Choosing the first drive in the combo box moves the list back there.
    combo->SetDriveLetter(root[0]);
    EXPECT_EQ(list->DirectoryPath(), root);
    EXPECT_EQ(comboChanges.Count, 2);
    EXPECT_EQ(listChanges.Count, 2);
}
