// The splash form: the first form created, the backdrop behind every dialog
// of the run, and the keeper of the setup state that all forms share.
#pragma once

#include <memory>
#include <string>

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "framework/StringList.h"

class TForm1 : public TForm {
    DECLARE_CLASS_INFO(TForm1)
public:
    explicit TForm1(TComponent* owner) : TForm(owner) {}

    // Published fields
    TImage* Image1 = nullptr;
    TTimer* Timer1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;

    // Published methods
    void Form1Show(TObject* sender);
    void Timer1Timer(TObject* sender);
    void Form1Create(TObject* sender);
    void Form1Destroy(TObject* sender);

    // The path with one backslash appended unless it already ends in one.
    std::string CheckPath(const std::string& path) const;

    // Special folders and shortcuts
    // Fills ExeDir, WinDir, SysDir, StartupDir and ProgramsDir; the Start
    // Menu folders come from the current user's Shell Folders key, or from
    // fixed places below WinDir when the key cannot be opened. Raises
    // ERegistryException for a folder value that is not a string.
    void GetDirectories();
    // Writes the link file LinkFile pointing to Target; Arguments and
    // Description may be null. With LoadFirst an existing link is loaded
    // first and keeps its other settings. Reports nothing; a name longer
    // than the platform's path limit writes no link.
    void MakeShortcut(const char* Target, const char* Arguments, const char* Description,
                      const std::string& LinkFile, bool LoadFirst);

    // Setup state
    std::string WinDir;
    std::string SysDir;
    std::string SourceDir;
    std::string DestDir;
    std::string ProductTitle;
    std::string ExeDir;
    std::string StartupDir;
    std::string ProgramsDir;
    std::string DestName;
    std::string GroupName;
    // Created by Form1Create and freed by Form1Destroy, in this order.
    std::unique_ptr<TStringList> FileList;
    std::unique_ptr<TStringList> ItemList;
    std::unique_ptr<TStringList> UninstallList;
    std::unique_ptr<TStringList> OptionList;
    std::unique_ptr<TStringList> MessageList;
    std::unique_ptr<TStringList> PifList;

    // True once the start-up failed; Esc on the splash then ends the program.
    bool StartFailed() const { return m_startFailed; }

protected:
    void WndProc(TMessage& message) override;

private:
    void ShowStartFailure();

    bool m_startFailed = false;
    TLabel* m_failureHint = nullptr;  // owned by the form
};

// The slide-in of the splash: the image rises to its resting top, then the
// title comes in from the right until it stands a gap away from the image.
namespace Splash {
constexpr int32_t Step = 25;
constexpr int32_t ImageTop = 23;
constexpr int32_t Gap = 12;
}

// Reads the setup script beside the program (ExeDir + "setup.fls") into the
// setup state of Form1.
void ReadSetupFile();

extern TForm1* Form1;
