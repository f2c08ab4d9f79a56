// The file controls: a drop-down list of the machine's drives and a list of
// one directory shown as an indented tree, which can be linked so that
// choosing a drive moves the directory list, and a minimal file list that a
// directory list can keep informed. The directory list works through the
// process's current directory: every move changes it and reads it back.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "framework/Graphics.h"
#include "framework/ListCtrls.h"
#include "framework/StdCtrls.h"

class TDirectoryListBox;
class TFileListBox;

enum TTextCase { tcLowerCase, tcUpperCase };
template <>
const TEnumTypeInfo& EnumTypeOf<TTextCase>();

// ---------------------------------------------------------------------------
// Helpers shared by the controls

// The character cell height (tmHeight) of a font, measured on the screen.
int32_t ItemTextHeight(const TFont& font);
// The width of a text in a font, measured on the screen; 0 if it cannot be
// measured.
int32_t TextWidthIn(const TFont& font, std::string_view text);
// The volume name of x:\ as "[name]", upper-cased for an upper-case x and
// lower-cased otherwise; critical-error boxes are suppressed while the drive
// is asked.
std::string VolumeLabelText(char drive);
// The remote name of the connection x:, cased as above; the volume label
// text when the connection cannot be asked.
std::string NetworkDriveText(char drive);

// ---------------------------------------------------------------------------
// Glyphs

// A glyph of the directory list: starts as a blank 16 x 16 image until a
// resource replaces image and size.
class TFolderBitmap : public TBitmap {
    DECLARE_CLASS_INFO(TFolderBitmap)
public:
    TFolderBitmap();
};

// ---------------------------------------------------------------------------
// Drive combo box

class TDriveComboBox : public TCustomComboBox {
    DECLARE_CLASS_INFO(TDriveComboBox)
public:
    explicit TDriveComboBox(TComponent* owner);
    ~TDriveComboBox() override;

    // The selected drive letter, in the case TextCase gives it once chosen;
    // zero: no drive. Writing it selects the drive's entry, tells a linked
    // directory list the drive and fires OnChange, unless the entry is
    // already selected.
    char DriveLetter() const { return m_driveLetter; }
    void SetDriveLetter(char value);
    // Rebuilds the list and selects the current drive again, every time.
    TTextCase TextCase() const { return m_textCase; }
    void SetTextCase(TTextCase value);
    // Linked both ways: the list box knows this combo box too, and the link
    // is cleared when the list box is freed.
    TDirectoryListBox* DirList() const { return m_dirList; }
    void SetDirList(TDirectoryListBox* value);

    // Fills the items from the drives that exist, a to z, each with the
    // glyph of its kind. Removable drives are never asked for a label.
    virtual void BuildList();

    // The glyphs, in the order FLOPPY, HARD, NETWORK, CDROM, RAM.
    TBitmap* FloppyGlyph() const { return m_floppy.get(); }
    TBitmap* FixedGlyph() const { return m_fixed.get(); }
    TBitmap* NetworkGlyph() const { return m_network.get(); }
    TBitmap* CDROMGlyph() const { return m_cdrom.get(); }
    TBitmap* RamGlyph() const { return m_ram.get(); }

    // Events
    TNotifyEvent OnChange() const { return m_onChange; }
    void SetOnChange(TNotifyEvent e) { m_onChange = e; }

protected:
    void Notification(TComponent* component, TOperation operation) override;
    // The window is made: the list is built and DriveLetter selected again.
    void CreateWnd() override;
    // The glyph on the item's background, then the text beside it.
    void DrawItem(int index, const RECT& rect, TOwnerDrawState state, TItemCanvas& canvas) override;
    // The user picked an entry: OnClick, then that entry's drive.
    void Click() override;
    // The item height follows the font; the window is made again for it.
    void FontChanged() override;
    // The combo box's own change notification: fires OnChange.
    virtual void Change();

private:
    void ResetItemHeight();

    std::unique_ptr<TBitmap> m_floppy;
    std::unique_ptr<TBitmap> m_fixed;
    std::unique_ptr<TBitmap> m_network;
    std::unique_ptr<TBitmap> m_cdrom;
    std::unique_ptr<TBitmap> m_ram;
    TDirectoryListBox* m_dirList = nullptr;  // not owned: cleared through the free notification
    char m_driveLetter = '\0';
    TTextCase m_textCase = tcLowerCase;
    TNotifyEvent m_onChange;
};

// ---------------------------------------------------------------------------
// File list box

// Used by no form of the program: it only remembers the directory a linked
// directory list gives it, so that the link has a type and behaves as a link.
class TFileListBox : public TCustomListBox {
    DECLARE_CLASS_INFO(TFileListBox)
public:
    explicit TFileListBox(TComponent* owner);

    const std::string& Directory() const { return m_directory; }
    void SetDirectory(const std::string& value) { m_directory = value; }
    // The directory list that feeds this one; set through its FileList.
    TDirectoryListBox* DirList() const { return m_dirList; }

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TDirectoryListBox;
    std::string m_directory;
    TDirectoryListBox* m_dirList = nullptr;  // not owned: cleared through the free notification
};

// ---------------------------------------------------------------------------
// Directory list box

class TDirectoryListBox : public TCustomListBox {
    DECLARE_CLASS_INFO(TDirectoryListBox)
public:
    explicit TDirectoryListBox(TComponent* owner);
    ~TDirectoryListBox() override;

    // The directory shown, as the system reports the current directory.
    // Writing it moves the process's current directory there (a final
    // component naming a file, or holding wildcards, is dropped), rebuilds
    // the list and runs the change notification. A path that cannot be
    // entered raises EInOutError and changes nothing.
    const std::string& DirectoryPath() const { return m_directory; }
    virtual void SetDirectoryPath(const std::string& value);
    // The first character of DirectoryPath (a backslash for a network path).
    // Writing it changes to that drive's current directory.
    char DriveLetter() const { return m_directory.empty() ? '\0' : m_directory[0]; }
    void SetDriveLetter(char value);

    TFileListBox* FileList() const { return m_fileList; }
    void SetFileList(TFileListBox* value);
    TLabel* DirLabel() const { return m_dirLabel; }
    void SetDirLabel(TLabel* value);
    // The drive combo box linked to this list, set through its DirList.
    TDriveComboBox* DriveCombo() const { return m_driveCombo; }

    // Rebuilds the items: the chain from the root to the current directory,
    // then its subdirectories sorted by name.
    virtual void BuildList();
    // Moves to the path of the selected entry. With no entry selected it
    // raises EStringListError and nothing moves.
    void OpenCurrent();
    // The path an item stands for: empty past the end; the root for item 0;
    // DirectoryPath joined with the name for a subdirectory; DirectoryPath
    // for the current one; for an ancestor, the path without its drive up to
    // that ancestor. Raises EStringListError for an index below 0.
    std::string ItemPath(int index) const;

    // Whether the file system of the directory preserves the case of names,
    // and whether it tells names apart by case; read at every rebuild.
    bool CasePreserved() const { return m_casePreserved; }
    bool CaseSensitive() const { return m_caseSensitive; }

    // The glyphs: closed folder (a subdirectory), open folder (an ancestor),
    // current folder (the directory shown).
    TBitmap* ClosedGlyph() const { return m_closedBmp.get(); }
    TBitmap* OpenedGlyph() const { return m_openedBmp.get(); }
    TBitmap* CurrentGlyph() const { return m_currentBmp.get(); }

    // Events
    TNotifyEvent OnChange() const { return m_onChange; }
    void SetOnChange(TNotifyEvent e) { m_onChange = e; }

    // Where an item's glyph starts, in pixels from the item's left edge.
    int ItemIndent(int index) const;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    // The window is made: the list is built and the entry at the depth of
    // DirectoryPath selected.
    void CreateWnd() override;
    // The glyph at the item's indent on the item's background, then the text.
    void DrawItem(int index, const RECT& rect, TOwnerDrawState state, TItemCanvas& canvas) override;
    // A double-click, or Enter reaching the list, opens the selected entry.
    void DblClick() override;
    void KeyPress(char& key) override;
    void FontChanged() override;
    // Tells a linked file list and label the new directory, then fires OnChange.
    virtual void Change();
    virtual void ReadBitmaps();

private:
    friend class TDriveComboBox;  // keeps m_driveCombo in step with its DirList
    void DriveChange(char drive);
    void ResetItemHeight();
    void UpdateLabel();
    bool SameDirectory(const std::string& a, const std::string& b) const;

    TFileListBox* m_fileList = nullptr;       // not owned: cleared through the free notification
    TDriveComboBox* m_driveCombo = nullptr;   // not owned: cleared through the free notification
    TLabel* m_dirLabel = nullptr;             // not owned: cleared through the free notification
    bool m_inDriveChange = false;
    bool m_casePreserved = false;
    bool m_caseSensitive = false;
    std::unique_ptr<TFolderBitmap> m_closedBmp;
    std::unique_ptr<TFolderBitmap> m_openedBmp;
    std::unique_ptr<TFolderBitmap> m_currentBmp;
    std::string m_directory;
    TNotifyEvent m_onChange;
};
