// The splash form: the first form created, the backdrop behind every dialog
// of the run; at start-up it fills the setup state with the folders and the
// script (or, for a log the command line names, the log's title), and shows
// the script's messages.
#pragma once

#include <string>

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "setup/engine/SetupState.h"

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

    // The setup state this form shows and fills at start-up; set by the
    // program's start before the form is shown.
    void UseState(SetupState& state) { m_state = &state; }

    // Reads the setup script beside the program into the setup state, and
    // shows the product's title it names (also when a later record fails).
    void ReadSetupFile();

    // The path with one backslash appended unless it already ends in one.
    std::string CheckPath(const std::string& path) const;

    // Special folders and shortcuts
    // Fills the setup state's folders (see GetDirectories in SetupState).
    void GetDirectories();
    // Writes the link file LinkFile pointing to Target; Arguments and
    // Description may be null. With LoadFirst an existing link is loaded
    // first and keeps its other settings. Reports nothing; a name longer
    // than the platform's path limit writes no link.
    void MakeShortcut(const char* Target, const char* Arguments, const char* Description,
                      const std::string& LinkFile, bool LoadFirst);

    // True once the start-up failed; Esc on the splash then ends the program.
    bool StartFailed() const { return m_startFailed; }

protected:
    void WndProc(TMessage& message) override;

private:
    void ShowStartFailure();
    // Whether the command line names a log to remove: the splash then
    // shows the log's title instead of reading the script, and hands over
    // to the uninstaller instead of the mode choice.
    bool RemovesNamedLog() const;
    void ShowLogTitle();

    SetupState* m_state = nullptr;  // not owned: the program's start owns it and outlives the forms
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

extern TForm1* Form1;
