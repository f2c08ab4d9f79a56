// The application object: the hidden window that gives the program its
// task-bar entry and owns every form's window, the message loop with its
// nested forms (PumpMessages, modal forms, message boxes), the reporting of
// exceptions that escape event handlers, and the end of the program.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/ErrorRouting.h"
#include "framework/Forms.h"
#include "framework/MessageLoop.h"
#include "framework/WindowProc.h"

class TApplication : public TComponent {
    DECLARE_CLASS_INFO(TApplication)
public:
    explicit TApplication(TComponent* owner);
    ~TApplication() override;

    // Runs the start-up hook a unit may install; none is installed.
    void Initialize() {}

    // Properties
    // The task-bar caption.
    std::string Title() const;
    void SetTitle(const std::string& title);
    HWND Handle() const { return m_window.Handle(); }
    TForm* MainForm() const { return static_cast<TForm*>(ProgramMainForm()); }
    bool Terminated() const { return LoopTerminated(); }
    // The full path of the running program file.
    std::string ExecutablePath() const;
    HICON Icon() const { return m_icon; }

    // Creates a form of class T owned by the application into reference;
    // the reference is set before the form's design is read, so that its
    // OnCreate can use it. The first form created is the main form.
    template <typename T>
    void CreateAppForm(T*& reference)
    {
        ComponentPtr<T> form(new T(this));
        reference = form.get();
        try {
            form->FinishConstruction();
        } catch (...) {
            reference = nullptr;  // before the form is freed
            throw;
        }
        FormCreated(form.release());
    }

    // The message loop
    // Shows the main form and handles messages until Terminated.
    void Run();
    // Posts the request to end; the loops notice it when they take it.
    void Terminate() { TerminateLoop(); }
    // Handles every waiting message, then returns; never waits.
    void PumpMessages() { PumpWaitingMessages(); }
    // Handles one waiting message, or waits for one.
    void HandleOneMessage() { HandleOneMessageOrWait(); }

    // Exceptions
    // Reports the exception being handled; call it only inside a catch block.
    void ReportException(TObject* sender);
    void ShowExceptionMessage(const Exception& e);
    // The platform's message box over the program's windows, which are
    // disabled meanwhile.
    int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags);

    // Takes the stay-on-top forms out of the topmost band, and puts them back.
    void SuspendTopMost();
    void ResumeTopMost();

    // The end of the program: hides the owned windows and frees the forms,
    // the newest first.
    void Shutdown();

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void FormCreated(TForm* form);
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);

    HICON m_icon = ProgramIcon();  // from the program's resources or the platform: not destroyed
    UtilityWindow m_window;
    std::vector<HWND> m_topMost;  // suspended stay-on-top windows, in the order collected
    int m_topMostLevel = 0;
    std::vector<HWND> m_taskWindows;  // disabled while the application's window is disabled
};

// The application object, made by InitializeFramework.
extern TApplication* Application;

// The framework's start-up: the application object with its window, the
// screen, the reporting of handler exceptions through the application, and
// then the start-up steps that units above the framework have registered. A
// step that raises undoes the start-up and lets the exception go on.
void InitializeFramework();

// A start-up step of a unit above the framework; it runs once the application
// object exists, and what it creates it gives to the application to own, so
// that it lives until the program ends.
using UnitStartup = void (*)();
// Registers a start-up step, to run in the order of registration. Units call
// it while the program's static data is initialised; the result is always
// true, so that a registration can initialise a namespace-scope constant.
bool RegisterUnitStartup(UnitStartup step);
// The framework's end: shuts the application down and frees it.
void FinalizeFramework();

// The default title for a program file: C:\DIR\SETUP.EXE gives "Setup" (the
// file name without its directory, cut at its first full stop, every
// character but the first in lower case).
std::string TitleFromProgramFile(const std::string& path);

// The last-chance report of an exception nothing else caught: the text of
// its error box (the exception's class, the program file's name, where in
// the program it was raised, and its message with a full stop), the text for
// the exception being handled (inside a catch block only; any exception at
// all), and the box itself, task-modal under "Application Error", which ends
// nothing (inside a catch block only).
std::string LastChanceText(const std::exception& e);
std::string CurrentExceptionText();
void ShowRuntimeErrorBox() noexcept;
