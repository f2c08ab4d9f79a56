// The dialog components: non-visual components that run one of the
// platform's common dialogs. TOpenDialog lets the user pick a file to open.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/Component.h"
#include "framework/DesignTypes.h"
#include "framework/StringList.h"

// What the dialog components share.
class TCommonDialog : public TComponent {
    DECLARE_CLASS_INFO(TCommonDialog)
public:
    explicit TCommonDialog(TComponent* owner);

    // Properties
    bool Ctl3D() const { return m_ctl3D; }
    void SetCtl3D(bool value) { m_ctl3D = value; }
    // The help topic the dialog's Help button opens; 0: none.
    int32_t HelpContext() const { return m_helpContext; }
    void SetHelpContext(int32_t value) { m_helpContext = value; }

private:
    bool m_ctl3D = true;
    int32_t m_helpContext = 0;
};

// The options of the file-open dialog, each standing for one flag of the
// platform's dialog.
enum TOpenOption {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
};
template <>
const TEnumTypeInfo& EnumTypeOf<TOpenOption>();
using TOpenOptions = TSet<TOpenOption>;

class TOpenDialog : public TCommonDialog {
    DECLARE_CLASS_INFO(TOpenDialog)
public:
    explicit TOpenDialog(TComponent* owner);

    // Properties
    // The extension given to a typed name that has none.
    const std::string& DefaultExt() const { return m_defaultExt; }
    void SetDefaultExt(const std::string& value) { m_defaultExt = value; }
    TFileEditStyle FileEditStyle() const { return m_fileEditStyle; }
    void SetFileEditStyle(TFileEditStyle value) { m_fileEditStyle = value; }
    // The file name the dialog starts with; after a run, the chosen file.
    const std::string& FileName() const { return m_fileName; }
    void SetFileName(const std::string& value) { m_fileName = value; }
    // Description and pattern pairs, every part separated from the next by "|".
    const std::string& Filter() const { return m_filter; }
    void SetFilter(const std::string& value) { m_filter = value; }
    // The filter in force, counted from 1.
    int32_t FilterIndex() const { return m_filterIndex; }
    void SetFilterIndex(int32_t value) { m_filterIndex = value; }
    TStrings* HistoryList() const { return m_historyList.get(); }
    void SetHistoryList(TStrings* value);
    const std::string& InitialDir() const { return m_initialDir; }
    // Drops one trailing backslash, but not the one of a drive's root
    // ("C:\DATA\" becomes "C:\DATA"; "C:\" stays).
    void SetInitialDir(const std::string& value);
    TOpenOptions Options() const { return m_options; }
    void SetOptions(TOpenOptions value) { m_options = value; }
    // The dialog's caption; empty: the platform's own.
    const std::string& Title() const { return m_title; }
    void SetTitle(const std::string& value) { m_title = value; }

    // The files chosen in the last successful run.
    TStrings* Files() const { return m_files.get(); }

    // Shows the platform's open-file dialog modally over the program's
    // windows; true when the user chose a file. Only a successful run
    // changes FileName, FilterIndex and the read-back options.
    bool RunDialog();

private:
    std::string m_defaultExt;
    TFileEditStyle m_fileEditStyle = fsEdit;
    std::string m_fileName;
    std::string m_filter;
    int32_t m_filterIndex = 1;
    std::unique_ptr<TStrings> m_historyList;
    std::string m_initialDir;
    TOpenOptions m_options;
    std::string m_title;
    std::unique_ptr<TStrings> m_files;
};

// The pieces of a run of the open-file dialog, each usable on its own.

// The platform dialog's flags for a set of options: the hook flag and one
// flag per option. On a platform of major version 4 or later the explorer
// flag is then toggled, so that ofOldStyleDialog turns the explorer-style
// dialog off; on older platforms it is cleared.
DWORD OpenDialogFlags(TOpenOptions options, unsigned platformMajorVersion);
// The options after a successful run: ofExtensionDifferent and ofReadOnly
// as the platform returned their flags, the others as they were.
TOpenOptions ReadBackOptions(TOpenOptions options, DWORD returnedFlags);
// The filter as the platform dialog reads it: every "|" becomes a NUL and
// one more NUL ends the list. The returned string holds the NULs; its c_str
// adds the final one.
std::string PlatformFilter(const std::string& filter);
// The files of a multiple selection: a directory followed by names,
// separated by NULs (explorer style) or by blanks (old style), ending at a
// double NUL. A buffer with a single entry is that file itself.
std::vector<std::string> ParseMultiSelection(const char* buffer, size_t size, bool explorerStyle);
// Where the hooks place the dialog: centred horizontally, with one third
// of the spare height above it.
POINT OpenDialogPosition(const RECT& window, int screenWidth, int screenHeight);
