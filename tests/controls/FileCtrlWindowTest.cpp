// The drive combo box and the directory list box on real windows of a shown
// form: what window creation selects, the user's double-clicks, Enter and
// arrow keys, the drawing of items, and drive changes through the link, on
// real folders under C: and on the test bed's floppy drive A:.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "controls/FileCtrl.h"
#include "framework/Application.h"
#include "framework/GdiHandles.h"
#include "runtime/Exceptions.h"
#include "runtime/Files.h"
#include "runtime/Paths.h"
#include "runtime/ScopeGuard.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/support/ProgramPaths.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiDriver.h"

namespace {

// A directory list that counts its rebuilds and lets the tests draw items.
class CountingDirList : public TDirectoryListBox {
public:
    using TDirectoryListBox::TDirectoryListBox;
    void BuildList() override
    {
        ++Builds;
        TDirectoryListBox::BuildList();
    }
    using TDirectoryListBox::DrawItem;
    int Builds = 0;
};

class DrawableCombo : public TDriveComboBox {
public:
    using TDriveComboBox::TDriveComboBox;
    using TDriveComboBox::DrawItem;
};

// A form on the screen with a directory list and a drive combo box linked
// to it, in a tree of real folders: alpha (with inner), Beta, Gamma, a
// hidden folder and a file.
class ShownControls : public CurrentDirTest {
protected:
    void SetUp() override
    {
        CurrentDirTest::SetUp();
        InitializeFramework();
        for (const char* name : {"Beta", "alpha", "Gamma", "Hidden", "alpha\\inner"})
            ASSERT_TRUE(CreateDirectoryA((dir / name).c_str(), nullptr)) << name;
        ASSERT_TRUE(SetFileAttributesA((dir / "Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN));
        dir.WriteFile("file.txt", "text");
        root = NoSlash(dir.Path());
        ASSERT_TRUE(SetCurrentDirectoryA(root.c_str()));

        form = new TForm(Application);
        form->SetBounds(40, 40, 320, 320);
        list = new CountingDirList(form);
        list->SetBounds(8, 40, 280, 230);
        list->SetParent(form);
        combo = new DrawableCombo(form);
        combo->SetBounds(8, 8, 280, 19);
        combo->SetParent(form);
        combo->SetDirList(list);
        combo->SetOnChange(comboChanges.Event());
        list->SetOnChange(listChanges.Event());
    }
    void TearDown() override
    {
        FinalizeFramework();
        SetFileAttributesA((dir / "Hidden").c_str(), FILE_ATTRIBUTE_NORMAL);
        CurrentDirTest::TearDown();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    void ShowForm()
    {
        form->Show();
        PumpFor(100);
        ASSERT_TRUE(list->HandleAllocated());
        ASSERT_TRUE(combo->HandleAllocated());
    }

    void DoubleClick(int index) { ASSERT_TRUE(DoubleClickItem(list->Handle(), index)); }

    TempDir dir;
    std::string root;
    TForm* form = nullptr;
    CountingDirList* list = nullptr;
    DrawableCombo* combo = nullptr;
    EventLog comboChanges;
    EventLog listChanges;
};

// The folder behind A:, reached through the bed's drive Z:; empty when the
// bed has no floppy drive.
std::string FloppyFolderThroughZ()
{
    const char* unixPath = std::getenv("WINEBED_FLOPPY");
    return unixPath ? ThroughDriveZ(unixPath) : std::string();
}

// The text in upper case: the system reports a drive root with its letter
// in the case it was entered with.
std::string Upper(std::string text)
{
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

int Backslashes(const std::string& path)
{
    return static_cast<int>(std::count(path.begin(), path.end(), '\\'));
}

} // namespace

// ---------------------------------------------------------------------------
// Window creation

TEST_F(ShownControls, WindowCreationBuildsBothListsAndSelectsWhereTheyStand)
{
    ShowForm();
    // The combo box selects the drive of the current directory and tells
    // the list, which stands on that drive already: the list does not move.
    ASSERT_GE(combo->ItemIndex(), 0);
    EXPECT_EQ(combo->Items()->Get(combo->ItemIndex()).substr(0, 2),
              (std::string{static_cast<char>(root[0] | 0x20), ':'}));
    EXPECT_EQ(comboChanges.Count, 1);
    EXPECT_EQ(listChanges.Count, 0);
    EXPECT_EQ(list->DirectoryPath(), root);

    // The chain down to the directory, then its visible subdirectories in
    // the locale's order ignoring case; the entry at the directory's depth
    // (its own) is selected.
    const int depth = Backslashes(root);
    const std::vector<std::string> items = ItemTexts(*list->Items());
    ASSERT_EQ(static_cast<int>(items.size()), depth + 1 + 3);
    EXPECT_EQ(items[0], root.substr(0, 3));
    EXPECT_EQ(items[static_cast<size_t>(depth)], FileNamePart(root));
    EXPECT_EQ(std::vector<std::string>(items.end() - 3, items.end()),
              (std::vector<std::string>{"alpha", "Beta", "Gamma"}));
    EXPECT_EQ(list->ItemIndex(), depth);
    EXPECT_EQ(list->Items()->Objects(depth), list->CurrentGlyph());
}

TEST_F(ShownControls, WindowsAreOwnerDrawnListsOfFixedHeight)
{
    ShowForm();
    const LONG comboStyle = GetWindowLongA(combo->Handle(), GWL_STYLE);
    EXPECT_EQ(comboStyle & 3, CBS_DROPDOWNLIST);  // no edit field
    for (const LONG flag : {CBS_OWNERDRAWFIXED, CBS_HASSTRINGS, CBS_AUTOHSCROLL})
        EXPECT_TRUE(comboStyle & flag) << std::hex << flag;
    EXPECT_FALSE(comboStyle & CBS_SORT);
    EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETITEMHEIGHT, 0, 0), combo->ItemHeight());
    const LONG listStyle = GetWindowLongA(list->Handle(), GWL_STYLE);
    EXPECT_TRUE(listStyle & LBS_OWNERDRAWFIXED);
    EXPECT_FALSE(listStyle & LBS_SORT);
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETITEMHEIGHT, 0, 0), list->ItemHeight());
}

TEST_F(ShownControls, AtADriveRootTheFirstSubdirectoryIsSelected)
{
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    auto* atRoot = new TDirectoryListBox(form);
    atRoot->SetBounds(8, 40, 280, 230);
    atRoot->SetParent(form);
    ShowForm();
    ASSERT_EQ(atRoot->DirectoryPath(), "C:\\");
    ASSERT_GT(atRoot->Items()->Count(), 1);
    EXPECT_EQ(atRoot->ItemIndex(), 1);
    EXPECT_EQ(atRoot->Items()->Objects(1), atRoot->ClosedGlyph());
}

TEST_F(ShownControls, WithNothingSelectedOpeningFailsAndNothingMoves)
{
    // A drive root without subdirectories: window creation selects past
    // the end, so nothing.
    if (FloppyFolderThroughZ().empty())
        GTEST_SKIP() << "no floppy drive A: in this bed";
    const std::string floppyRoot = "A:\\";
    ASSERT_TRUE(SetCurrentDirectoryA(floppyRoot.c_str()));
    {
        WIN32_FIND_DATAA data;
        HANDLE search = FindFirstFileA("A:\\*", &data);
        bool hasDirectory = false;
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = data.cFileName;
                if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..")
                    hasDirectory = true;
            } while (FindNextFileA(search, &data));
            FindClose(search);
        }
        if (hasDirectory)
            GTEST_SKIP() << "drive A: has folders";
    }
    auto* onFloppy = new TDirectoryListBox(form);
    onFloppy->SetBounds(8, 40, 280, 230);
    onFloppy->SetParent(form);
    ShowForm();
    EXPECT_EQ(onFloppy->DirectoryPath(), floppyRoot);
    EXPECT_EQ(onFloppy->ItemIndex(), -1);
    EventLog changes;
    onFloppy->SetOnChange(changes.Event());
    EXPECT_EQ(ErrorOf<EStringListError>([&] { onFloppy->OpenCurrent(); }), "List index out of bounds");
    EXPECT_EQ(onFloppy->DirectoryPath(), floppyRoot);
    EXPECT_EQ(changes.Count, 0);
}

// ---------------------------------------------------------------------------
// Opening entries

TEST_F(ShownControls, DoubleClicksMoveOnceAndNotifyOnce)
{
    ShowForm();
    list->SetDirectoryPath(root + "\\alpha");
    const int depth = Backslashes(root);  // the index of the tree's own item now
    int builds = list->Builds;
    int changes = listChanges.Count;
    auto expectOneMove = [&](const std::string& where) {
        EXPECT_EQ(list->DirectoryPath(), where);
        EXPECT_EQ(CurrentDir(), where);
        EXPECT_EQ(list->Builds, builds + 1);
        EXPECT_EQ(listChanges.Count, changes + 1);
        builds = list->Builds;
        changes = listChanges.Count;
    };
    {
        SCOPED_TRACE("an ancestor");
        ASSERT_EQ(list->Items()->Get(depth), FileNamePart(root));
        DoubleClick(depth);
        expectOneMove(root);
    }
    {
        SCOPED_TRACE("a subdirectory");
        ASSERT_EQ(list->Items()->Get(depth + 2), "Beta");
        DoubleClick(depth + 2);
        expectOneMove(root + "\\Beta");
    }
    {
        SCOPED_TRACE("the root");
        DoubleClick(0);
        expectOneMove(root.substr(0, 3));
        EXPECT_EQ(list->Items()->Objects(0), list->CurrentGlyph());
    }
    // The combo box was not involved: the drive stayed.
    EXPECT_EQ(comboChanges.Count, 1);
}

TEST_F(ShownControls, EnterReachingTheListOpensTheSelectedEntry)
{
    // The host form has no default button, so Enter reaches the list.
    ShowForm();
    list->SetFocus();
    const int depth = Backslashes(root);
    list->SetItemIndex(depth + 1);
    ASSERT_EQ(list->Items()->Get(depth + 1), "alpha");
    const int changes = listChanges.Count;
    PostMessageA(list->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    PostMessageA(list->Handle(), WM_KEYUP, VK_RETURN, 0xC0000001);
    Watchdog watchdog;
    EXPECT_TRUE(PumpUntil([&] { return listChanges.Count > changes; }));
    EXPECT_EQ(list->DirectoryPath(), root + "\\alpha");
    EXPECT_EQ(listChanges.Count, changes + 1);
}

// ---------------------------------------------------------------------------
// The drive combo box and its link

TEST_F(ShownControls, ADriveChangeThroughTheComboBoxRebuildsTheListOnce)
{
    if (FloppyFolderThroughZ().empty())
        GTEST_SKIP() << "no floppy drive A: in this bed";
    ShowForm();
    // The user moves up through the closed list with the arrow keys until
    // the floppy drive's entry: every step is a choice of a drive.
    ASSERT_EQ(combo->Items()->Get(0), "a:");
    EXPECT_EQ(combo->Items()->Objects(0), combo->FloppyGlyph());
    int clicks = 0;
    char letterInOnClick = '?';
    struct ClickProbe : TObject {
        int* Clicks;
        char* Letter;
        TDriveComboBox* Combo;
        void Handler(TObject*)
        {
            if (++*Clicks == 1)
                *Letter = Combo->DriveLetter();
        }
    } probe;
    probe.Clicks = &clicks;
    probe.Letter = &letterInOnClick;
    probe.Combo = combo;
    combo->SetOnClick(TNotifyEvent::Of<&ClickProbe::Handler>(&probe));
    const char startLetter = combo->DriveLetter();
    const int builds = list->Builds;
    const int changes = listChanges.Count;
    combo->SetFocus();
    Watchdog watchdog;
    // One step up at a time: the combo box reports each.
    for (int step = 0; step < 26 && combo->ItemIndex() > 0; ++step) {
        const int before = combo->ItemIndex();
        PostMessageA(combo->Handle(), WM_KEYDOWN, VK_UP, 1);
        PostMessageA(combo->Handle(), WM_KEYUP, VK_UP, 0xC0000001);
        ASSERT_TRUE(PumpUntil([&] { return combo->ItemIndex() != before; }));
    }
    ASSERT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(combo->DriveLetter(), 'a');
    // OnClick came before the drive was applied.
    EXPECT_GE(clicks, 1);
    EXPECT_EQ(letterInOnClick, startLetter);
    EXPECT_EQ(Upper(list->DirectoryPath()).substr(0, 3), "A:\\");
    EXPECT_EQ(CurrentDir(), list->DirectoryPath());
    // Each drive visited rebuilt the list once and notified once.
    EXPECT_EQ(list->Builds - builds, clicks);
    EXPECT_EQ(listChanges.Count - changes, clicks);
}

TEST_F(ShownControls, WritingAPathOnAnotherDriveMovesTheComboBoxAndRebuildsOnce)
{
    if (FloppyFolderThroughZ().empty())
        GTEST_SKIP() << "no floppy drive A: in this bed";
    ASSERT_TRUE(CreateDirectoryA("A:\\DATA", nullptr));
    struct RemoveData {
        std::string back;
        ~RemoveData()
        {
            SetCurrentDirectoryA(back.c_str());
            RemoveDirectoryA("A:\\DATA");
        }
    } removeData{root};
    ShowForm();
    // When the combo box tells that the drive changed, the list has not
    // been rebuilt for it: it is rebuilt once, for the whole path, after.
    struct Probe : TObject {
        CountingDirList* List = nullptr;
        std::vector<std::string> Paths;
        std::vector<int> Builds;
        void Handler(TObject*)
        {
            Paths.push_back(List->DirectoryPath());
            Builds.push_back(List->Builds);
        }
    } probe;
    probe.List = list;
    combo->SetOnChange(TNotifyEvent::Of<&Probe::Handler>(&probe));
    const int builds = list->Builds;
    const int changes = listChanges.Count;
    list->SetDirectoryPath("A:\\DATA");
    EXPECT_EQ(Upper(list->DirectoryPath()), "A:\\DATA");
    EXPECT_EQ(CurrentDir(), list->DirectoryPath());
    EXPECT_EQ(combo->DriveLetter(), 'a');
    EXPECT_EQ(combo->Items()->Get(combo->ItemIndex()), "a:");
    EXPECT_EQ(probe.Builds, std::vector<int>{builds});
    EXPECT_EQ(list->Builds, builds + 1);
    EXPECT_EQ(listChanges.Count, changes + 1);

    // Chosen in the combo box, a drive moves the list to where it stood on
    // that drive before the combo box tells about it.
    probe.Paths.clear();
    probe.Builds.clear();
    combo->SetDriveLetter(root[0]);
    EXPECT_EQ(list->DirectoryPath(), root);
    EXPECT_EQ(probe.Paths, std::vector<std::string>{root});
    EXPECT_EQ(probe.Builds, std::vector<int>{builds + 2});
    EXPECT_EQ(listChanges.Count, changes + 2);
}

TEST_F(ShownControls, ARemovableDriveWithoutAMediumRaisesAndTheListStays)
{
    if (FloppyFolderThroughZ().empty())
        GTEST_SKIP() << "no floppy drive A: in this bed";
    ShowForm();
    // Taking the folder away behind A: is the bed's way of removing the
    // diskette.
    const std::string folder = FloppyFolderThroughZ();
    const std::string away = folder + ".out";
    ASSERT_TRUE(MoveFileA(folder.c_str(), away.c_str())) << folder << " error " << GetLastError();
    const ScopeExit putBack([&] { MoveFileA(away.c_str(), folder.c_str()); });
    const std::vector<std::string> before = ItemTexts(*list->Items());
    const int changes = listChanges.Count;
    EXPECT_THROW(list->SetDirectoryPath("A:\\"), EInOutError);
    EXPECT_THROW(list->SetDriveLetter('a'), EInOutError);
    EXPECT_EQ(list->DirectoryPath(), root);
    EXPECT_EQ(CurrentDir(), root);
    EXPECT_EQ(ItemTexts(*list->Items()), before);
    EXPECT_EQ(listChanges.Count, changes);
    // Through the combo box: the letter and entry have changed already,
    // the list stays, and OnChange does not fire.
    const int comboBefore = comboChanges.Count;
    EXPECT_THROW(combo->SetDriveLetter('a'), EInOutError);
    EXPECT_EQ(combo->DriveLetter(), 'a');
    EXPECT_EQ(comboChanges.Count, comboBefore);
    EXPECT_EQ(list->DirectoryPath(), root);
}

TEST_F(ShownControls, TextCaseRewritesTheEntriesReselectsAndFires)
{
    ShowForm();
    const int before = comboChanges.Count;
    combo->SetTextCase(tcUpperCase);
    EXPECT_EQ(comboChanges.Count, before + 1);
    ASSERT_GE(combo->ItemIndex(), 0);
    const std::string selected = combo->Items()->Get(combo->ItemIndex());
    EXPECT_EQ(selected[0], static_cast<char>(root[0] & ~0x20));
    for (const std::string& text : ItemTexts(*combo->Items())) {
        std::string upper = text;
        CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
        EXPECT_EQ(text, upper);
    }
    // The same value again still rebuilds, re-selects and fires.
    combo->SetTextCase(tcUpperCase);
    EXPECT_EQ(comboChanges.Count, before + 2);
    EXPECT_EQ(combo->Items()->Get(combo->ItemIndex()), selected);
    EXPECT_EQ(list->DirectoryPath(), root);
}

TEST_F(ShownControls, AFontChangeMakesTheComboBoxWindowAgain)
{
    ShowForm();
    HWND first = combo->Handle();
    const int before = comboChanges.Count;
    combo->Font()->SetHeight(-24);
    EXPECT_EQ(combo->ItemHeight(), std::max(ItemTextHeight(*combo->Font()), 11));
    EXPECT_TRUE(combo->HandleAllocated());
    EXPECT_NE(combo->Handle(), first);
    EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETITEMHEIGHT, 0, 0), combo->ItemHeight());
    // The new window has its entries and the drive selected again.
    ASSERT_GE(combo->ItemIndex(), 0);
    EXPECT_EQ(combo->Items()->Get(combo->ItemIndex())[0], static_cast<char>(root[0] | 0x20));
    EXPECT_EQ(comboChanges.Count, before + 1);
}

// ---------------------------------------------------------------------------
// Drawing

namespace {

// A white 400 x 20 canvas in 32-bit colour, as the owner-draw dispatch would
// prepare it, with text in a colour no glyph has.
class TestCanvas {
public:
    static constexpr COLORREF Ink = RGB(1, 2, 250);
    TestCanvas() : m_dc(nullptr), m_brush(CreateSolidBrush(RGB(255, 255, 255)))
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = 400;
        info.bmiHeader.biHeight = -20;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_select = SelectObject(m_dc.Get(), m_bitmap.Get());
        SetTextColor(m_dc.Get(), Ink);
        SetBkColor(m_dc.Get(), RGB(255, 255, 255));
    }
    ~TestCanvas() { SelectObject(m_dc.Get(), m_select); }

    TItemCanvas Canvas() { return TItemCanvas{m_dc.Get(), m_brush.Get()}; }
    HDC DC() const { return m_dc.Get(); }
    // The leftmost column with a pixel for which test holds, or -1.
    int LeftmostWhere(const std::function<bool(COLORREF)>& test) const
    {
        for (int x = 0; x < 400; ++x)
            for (int y = 0; y < 20; ++y)
                if (test(GetPixel(m_dc.Get(), x, y)))
                    return x;
        return -1;
    }

private:
    MemoryDC m_dc;
    Brush m_brush;
    Bitmap m_bitmap;
    HGDIOBJ m_select = nullptr;
};

// The first column of a glyph that has a pixel other than its transparent
// colour and other than the canvas's white.
int FirstOpaqueColumn(const TBitmap& glyph)
{
    // Asked first: a bitmap can be selected into one device context only.
    const COLORREF transparent = glyph.CornerColor();
    ScopedDC screen;
    MemoryDC dc(screen.Get());
    ScopedSelect select(dc.Get(), glyph.Handle());
    for (int x = 0; x < glyph.Width(); ++x)
        for (int y = 0; y < glyph.Height(); ++y)
            if (const COLORREF p = GetPixel(dc.Get(), x, y); p != transparent && p != RGB(255, 255, 255))
                return x;
    return -1;
}

bool IsGlyphPixel(COLORREF c)
{
    return c != RGB(255, 255, 255) && c != TestCanvas::Ink;
}

} // namespace

TEST_F(ShownControls, TheSelectedEntrysGlyphSitsOnTheHighlight)
{
    ShowForm();
    const int index = list->ItemIndex();
    ASSERT_GE(index, 0);
    RECT r;
    ASSERT_NE(SendMessageA(list->Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)),
              LB_ERR);
    RedrawWindow(list->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpFor(50);
    // The glyph's first column and its top row are transparent: they show
    // the item's highlight, as does the space before the glyph.
    const int x = r.left + list->ItemIndent(index);
    const int y = (r.top + r.bottom - list->CurrentGlyph()->Height()) / 2;
    ScopedDC dc(list->Handle());
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(GetPixel(dc.Get(), x, y), highlight);
    EXPECT_EQ(GetPixel(dc.Get(), x - 1, y + 5), highlight);
    // The entry below is not selected: the list's own colour.
    EXPECT_EQ(GetPixel(dc.Get(), x, y + list->ItemHeight()), GetSysColor(COLOR_WINDOW));
}

TEST_F(ShownControls, DirectoryItemsAreIndentedByTheirDepth)
{
    list->SetDirectoryPath(root + "\\alpha");
    const int depth = Backslashes(root + "\\alpha");
    const int count = list->Items()->Count();
    ASSERT_EQ(count, depth + 1 + 1);  // the chain, then "inner"
    const RECT rect{0, 0, 400, 20};
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(list->Items()->Get(i));
        const int indent = i < count - 1 ? 4 * i + 2 : 4 * (depth + 1) + 2;
        EXPECT_EQ(list->ItemIndent(i), indent);
        TestCanvas canvas;
        TItemCanvas c = canvas.Canvas();
        list->DrawItem(i, rect, {}, c);
        const auto* glyph = dynamic_cast<const TBitmap*>(list->Items()->Objects(i));
        ASSERT_NE(glyph, nullptr);
        EXPECT_EQ(canvas.LeftmostWhere(IsGlyphPixel), indent + FirstOpaqueColumn(*glyph));
        // The glyph's transparent colour became the brush: no pure blue.
        EXPECT_EQ(canvas.LeftmostWhere([](COLORREF p) { return p == RGB(0, 0, 255); }), -1);
        // The text starts after the glyph, 4 pixels on.
        const int text = canvas.LeftmostWhere([](COLORREF p) { return p == TestCanvas::Ink; });
        EXPECT_GE(text, indent + 16 + 4);
        EXPECT_LE(text, indent + 16 + 4 + 2);
    }
}

TEST_F(ShownControls, DriveItemsHaveTheirGlyphAtTwoAndTextAfterIt)
{
    combo->BuildList();
    const RECT rect{0, 0, 400, 20};
    for (int i = 0; i < combo->Items()->Count(); ++i) {
        SCOPED_TRACE(combo->Items()->Get(i));
        TestCanvas canvas;
        TItemCanvas c = canvas.Canvas();
        combo->DrawItem(i, rect, {}, c);
        const auto* glyph = dynamic_cast<const TBitmap*>(combo->Items()->Objects(i));
        ASSERT_NE(glyph, nullptr);
        EXPECT_EQ(canvas.LeftmostWhere(IsGlyphPixel), 2 + FirstOpaqueColumn(*glyph));
        const int text = canvas.LeftmostWhere([](COLORREF p) { return p == TestCanvas::Ink; });
        EXPECT_GE(text, 16 + 6);
        EXPECT_LE(text, 16 + 6 + 2);
    }
    {
        // The glyphs' transparent blue became the brush.
        TestCanvas canvas;
        TItemCanvas c = canvas.Canvas();
        combo->DrawItem(0, rect, {}, c);
        EXPECT_EQ(canvas.LeftmostWhere([](COLORREF p) { return p == RGB(0, 0, 255); }), -1);
    }
        // An item without a glyph counts 16 pixels for it: text at 22.
    combo->Items()->AddObject("x: [plain]", nullptr);
    TestCanvas canvas;
    TItemCanvas c = canvas.Canvas();
    combo->DrawItem(combo->Items()->Count() - 1, rect, {}, c);
    EXPECT_EQ(canvas.LeftmostWhere(IsGlyphPixel), -1);
    const int text = canvas.LeftmostWhere([](COLORREF p) { return p == TestCanvas::Ink; });
    EXPECT_GE(text, 22);
    EXPECT_LE(text, 24);
}
