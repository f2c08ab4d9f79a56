// The application object, the life of forms and the timer, on real windows
// of the test bed's 640 x 480 screen. Every test that waits for the user
// interface is bounded: message loops run for a limited time, and a watchdog
// timer ends a loop that would otherwise wait for ever, failing the test.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Screen.h"
#include "framework/StdCtrls.h"
#include "runtime/Exceptions.h"
#include "tests/support/FrameworkTest.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiDriver.h"

namespace {

// An event handler made of a function, so that each test states what its
// handlers do where it uses them.
template <typename... Args>
struct Handler : TObject {
    std::function<void(TObject*, Args...)> Body;
    void Call(TObject* sender, Args... args)
    {
        if (Body)
            Body(sender, args...);
    }
};
using NotifyHandler = Handler<>;
using CloseHandler = Handler<TCloseAction&>;
using CloseQueryHandler = Handler<bool&>;

TNotifyEvent Bind(NotifyHandler& h)
{
    return TNotifyEvent::Of<&NotifyHandler::Call>(&h);
}
TCloseEvent Bind(CloseHandler& h)
{
    return TCloseEvent::Of<&CloseHandler::Call>(&h);
}
TCloseQueryEvent Bind(CloseQueryHandler& h)
{
    return TCloseQueryEvent::Of<&CloseQueryHandler::Call>(&h);
}

// The message box this thread shows, if any.
HWND FindMessageBox()
{
    return FindThreadWindow("#32770");
}

// Watches for the thread's message boxes while it exists: records caption
// and text of each, lets a check run while the box is up, then presses OK.
// A box still up after the time limit is ended through the quit message.
class MessageBoxCloser {
public:
    explicit MessageBoxCloser(std::function<void()> whileShown = nullptr)
        : m_whileShown(std::move(whileShown)), m_timer(50, [this] { Tick(); })
    {
    }

    std::vector<std::string> Texts;
    std::vector<std::string> Captions;

private:
    void Tick()
    {
        HWND box = FindMessageBox();
        if (!box || box == m_closing)
            return;
        char text[512] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        Texts.emplace_back(text);
        GetWindowTextA(box, text, sizeof text);
        Captions.emplace_back(text);
        if (m_whileShown)
            m_whileShown();
        m_closing = box;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }

    std::function<void()> m_whileShown;
    HWND m_closing = nullptr;
    ThreadTimer m_timer;
};

// Each test has an application of its own.
class ApplicationTest : public FrameworkTest {
protected:
    TForm* NewForm(int left = 40, int top = 40, int width = 200, int height = 150)
    {
        auto* form = new TForm(Application);
        form->SetBounds(left, top, width, height);
        return form;
    }
};

// A form class without a stored design: building it fails.
int g_undesignedFreed = 0;
class TUndesignedForm : public TForm {
    DECLARE_CLASS_INFO(TUndesignedForm)
public:
    explicit TUndesignedForm(TComponent* owner) : TForm(owner) {}
    ~TUndesignedForm() override { ++g_undesignedFreed; }
};

} // namespace

const TClassInfo& TUndesignedForm::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TUndesignedForm, TForm>("TUndesignedForm").Build();
    return info;
}

// A form class with a stored design (tests/framework/forms) that sets
// Visible; its handlers record what they saw.
class TDesignedForm : public TForm {
    DECLARE_CLASS_INFO(TDesignedForm)
public:
    explicit TDesignedForm(TComponent* owner) : TForm(owner) {}
    void FormCreate(TObject*);
    void FormShow(TObject*) { Events.push_back(std::string("show ") + (s_reference == this ? "ref" : "no ref")); }

    static inline TDesignedForm* s_reference = nullptr;
    std::vector<std::string> Events;
};

void TDesignedForm::FormCreate(TObject*)
{
    Events.push_back(std::string("create ") + (s_reference == this ? "ref" : "no ref") +
                     (IsWindowVisible(HandleAllocated() ? Handle() : nullptr) ? " visible" : " hidden"));
}

const TClassInfo& TDesignedForm::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TDesignedForm, TForm>("TDesignedForm")
                                       .Method<TNotifyEvent, &TDesignedForm::FormCreate>("FormCreate")
                                       .Method<TNotifyEvent, &TDesignedForm::FormShow>("FormShow")
                                       .Build();
    return info;
}

namespace {

// ---------------------------------------------------------------------------
// The application object

TEST_F(ApplicationTest, FirstCreatedFormIsTheMainFormWithAHiddenWindow)
{
    EXPECT_EQ(Application->MainForm(), nullptr);
    {
        SCOPED_TRACE("without a main form Run returns at once");
        Watchdog watchdog;
        Application->Run();
        EXPECT_FALSE(Application->Terminated());
    }
    TForm* first = nullptr;
    Application->CreateAppForm(first);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Application->MainForm(), first);
    ASSERT_TRUE(first->HandleAllocated());
    EXPECT_FALSE(IsWindowVisible(first->Handle()));
    EXPECT_EQ(GetWindow(first->Handle(), GW_OWNER), Application->Handle());

    TForm* second = nullptr;
    Application->CreateAppForm(second);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(Application->MainForm(), first);
    EXPECT_FALSE(second->HandleAllocated());
    EXPECT_EQ(second->Owner(), Application);
}

// The reference is set before the design is read, OnCreate runs with the
// form still hidden, and a design that sets Visible shows the form right
// after OnCreate, inside CreateAppForm.
TEST_F(ApplicationTest, DesignThatSetsVisibleShowsTheFormAfterOnCreate)
{
    Application->CreateAppForm(TDesignedForm::s_reference);
    TDesignedForm* form = TDesignedForm::s_reference;
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(Application->MainForm(), form);
    EXPECT_EQ(form->Caption(), "Designed");
    ASSERT_EQ(form->Events.size(), 2u);
    EXPECT_EQ(form->Events[0], "create ref hidden");
    EXPECT_EQ(form->Events[1], "show ref");
    EXPECT_TRUE(form->Visible());
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    TDesignedForm::s_reference = nullptr;
}

TEST_F(ApplicationTest, FailedConstructionResetsTheReferenceAndFreesTheForm)
{
    const int forms = TScreen::Instance().FormCount();
    const int owned = Application->ComponentCount();
    g_undesignedFreed = 0;
    TUndesignedForm* form = reinterpret_cast<TUndesignedForm*>(1);
    try {
        Application->CreateAppForm(form);
        ADD_FAILURE() << "a form class without a design was built";
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), "Resource TUndesignedForm not found");
    }
    EXPECT_EQ(form, nullptr);
    EXPECT_EQ(g_undesignedFreed, 1);
    EXPECT_EQ(TScreen::Instance().FormCount(), forms);
    EXPECT_EQ(Application->ComponentCount(), owned);
    EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(ApplicationTest, DefaultTitleComesFromTheProgramFileName)
{
    // The test program's file is application_tests.exe; its first
    // character stays as it is.
    EXPECT_EQ(Application->Title(), "application_tests");
    char text[64] = {};
    GetWindowTextA(Application->Handle(), text, sizeof text);
    EXPECT_STREQ(text, "application_tests");
    EXPECT_EQ(TitleFromProgramFile("A:\\SETUP.EXE"), "Setup");
    EXPECT_EQ(TitleFromProgramFile("C:\\Some.Dir\\MY.SETUP.EXE"), "My");
    EXPECT_EQ(TitleFromProgramFile("C:\\WIN\\xINSTALL"), "xinstall");
    Application->SetTitle("Brisdane 95 Setup");
    EXPECT_EQ(Application->Title(), "Brisdane 95 Setup");
}

TEST_F(ApplicationTest, FrameworkCanStartAndEndManyTimes)
{
    for (int i = 0; i < 5; ++i) {
        FinalizeFramework();
        EXPECT_EQ(TScreen::Instance().FormCount(), 0);
        InitializeFramework();
        ASSERT_NE(Application, nullptr);
        ASSERT_TRUE(IsWindow(Application->Handle()));
        TForm* form = nullptr;
        Application->CreateAppForm(form);
        EXPECT_EQ(Application->MainForm(), form);
        EXPECT_EQ(TScreen::Instance().FormCount(), 1);
    }
}

TEST_F(ApplicationTest, TerminateInsideAHandlerThatPumpsEndsRunAfterTheHandler)
{
    TForm* main = nullptr;
    Application->CreateAppForm(main);
    bool terminatedBeforePump = true;
    bool terminatedAfterPump = false;
    bool handlerEnded = false;
    bool handlerRan = false;
    ThreadTimer handler(50, [&] {
        if (handlerRan)
            return;
        handlerRan = true;
        Application->Terminate();
        terminatedBeforePump = Application->Terminated();
        Application->PumpMessages();
        terminatedAfterPump = Application->Terminated();
        handlerEnded = true;
    });
    Watchdog watchdog(8000);
    Application->Run();
    EXPECT_TRUE(handlerRan);
    EXPECT_FALSE(terminatedBeforePump);
    EXPECT_TRUE(terminatedAfterPump);
    EXPECT_TRUE(handlerEnded);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_TRUE(IsWindowVisible(main->Handle()));

    // A modal form started now ends with Cancel once its loop has handled
    // one message, without waiting for the user.
    TForm* dialog = NewForm();
    PostMessageA(Application->Handle(), WM_NULL, 0, 0);
    const DWORD start = GetTickCount();
    EXPECT_EQ(dialog->RunModal(), 2);
    // Well before the watchdog; hiding a window under the test bed's X
    // server alone may take up to two seconds.
    EXPECT_LT(GetTickCount() - start, 4000u);
    EXPECT_FALSE(IsWindowVisible(dialog->Handle()));
}

TEST_F(ApplicationTest, AbortIsNotShown)
{
    MessageBoxCloser closer;
    try {
        throw EAbort();
    } catch (...) {
        Application->ReportException(nullptr);
    }
    PumpFor(200);
    EXPECT_TRUE(closer.Texts.empty());
}

TEST_F(ApplicationTest, ReportedExceptionShowsItsMessageWithAFullStopOverDisabledWindows)
{
    Application->SetTitle("Report Title");
    TForm* form = NewForm();
    form->Show();
    HWND formWindow = form->Handle();
    TForm* onTop = NewForm(300, 200);
    onTop->SetFormStyle(fsStayOnTop);
    onTop->Show();
    ASSERT_TRUE(GetWindowLongA(onTop->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    bool formEnabledMeanwhile = true;
    bool appEnabledMeanwhile = true;
    bool onTopTopmostMeanwhile = true;
    MessageBoxCloser closer([&] {
        formEnabledMeanwhile = IsWindowEnabled(formWindow);
        appEnabledMeanwhile = IsWindowEnabled(Application->Handle());
        onTopTopmostMeanwhile = GetWindowLongA(onTop->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST;
    });
    Watchdog watchdog;
    try {
        throw Exception("Disk full");
    } catch (...) {
        Application->ReportException(nullptr);
    }
    try {
        throw Exception("Already ended.");
    } catch (...) {
        Application->ReportException(nullptr);
    }
    ASSERT_EQ(closer.Texts.size(), 2u);
    EXPECT_EQ(closer.Texts[0], "Disk full.");
    EXPECT_EQ(closer.Texts[1], "Already ended..");
    EXPECT_EQ(closer.Captions[0], "Report Title");
    EXPECT_FALSE(formEnabledMeanwhile);
    EXPECT_FALSE(appEnabledMeanwhile);
    EXPECT_FALSE(onTopTopmostMeanwhile);
    EXPECT_TRUE(GetWindowLongA(onTop->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowEnabled(formWindow));
    EXPECT_TRUE(IsWindowEnabled(Application->Handle()));
}

// An object of no framework class gets the runtime's error box instead of
// the application's, and the program goes on after it.
TEST_F(ApplicationTest, ForeignExceptionShowsTheRuntimeErrorBoxAndTheProgramGoesOn)
{
    Application->SetTitle("Report Title");
    MessageBoxCloser closer;
    Watchdog watchdog;
    try {
        throw std::runtime_error("bad state");
    } catch (...) {
        Application->ReportException(nullptr);
    }
    try {
        throw 42;
    } catch (...) {
        Application->ReportException(nullptr);
    }
    ASSERT_EQ(closer.Texts.size(), 2u);
    EXPECT_EQ(closer.Captions[0], "Application Error");
    EXPECT_EQ(closer.Texts[0].rfind("Exception std::runtime_error in module application_tests.exe at ", 0), 0u)
        << closer.Texts[0];
    EXPECT_NE(closer.Texts[0].find(".\nbad state."), std::string::npos) << closer.Texts[0];
    EXPECT_EQ(closer.Captions[1], "Application Error");
    EXPECT_EQ(closer.Texts[1], "Exception of unknown type in module application_tests.exe.");
    EXPECT_FALSE(Application->Terminated());
}

TEST_F(ApplicationTest, ExceptionFromAWindowMessageHandlerIsReported)
{
    TForm* form = NewForm();
    NotifyHandler onHide;
    onHide.Body = [](TObject*) { throw Exception("Hide failed"); };
    form->SetOnHide(Bind(onHide));
    form->Show();
    MessageBoxCloser closer;
    Watchdog watchdog;
    form->Hide();
    ASSERT_EQ(closer.Texts.size(), 1u);
    EXPECT_EQ(closer.Texts[0], "Hide failed.");
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
}

TEST_F(ApplicationTest, ShutdownFreesTheFormsNewestFirstRunningOnHideAndOnDestroy)
{
    std::vector<std::string> events;
    NotifyHandler onHide;
    onHide.Body = [&](TObject* sender) { events.push_back("hide " + static_cast<TForm*>(sender)->Caption()); };
    NotifyHandler onDestroy;
    onDestroy.Body = [&](TObject* sender) {
        events.push_back("destroy " + static_cast<TForm*>(sender)->Caption());
        if (static_cast<TForm*>(sender)->Caption() == "B")
            throw Exception("Destroy failed");
    };
    TForm* a = nullptr;
    Application->CreateAppForm(a);
    TForm* b = nullptr;
    Application->CreateAppForm(b);
    TForm* c = nullptr;
    Application->CreateAppForm(c);
    for (auto [form, caption] : {std::pair{a, "A"}, std::pair{b, "B"}, std::pair{c, "C"}}) {
        form->SetCaption(caption);
        form->SetOnHide(Bind(onHide));
        form->SetOnDestroy(Bind(onDestroy));
    }
    a->Show();
    b->Show();  // C stays hidden: no OnHide for it
    MessageBoxCloser closer;
    Watchdog watchdog;
    FinalizeFramework();
    EXPECT_EQ(Application, nullptr);
    EXPECT_EQ(TScreen::Instance().FormCount(), 0);
    const std::vector<std::string> expected{"destroy C", "hide B", "destroy B", "hide A", "destroy A"};
    EXPECT_EQ(events, expected);
    ASSERT_EQ(closer.Texts.size(), 1u);
    EXPECT_EQ(closer.Texts[0], "Destroy failed.");
}

// ---------------------------------------------------------------------------
// Closing

TEST_F(ApplicationTest, ClosingTheMainFormTerminatesWithoutHidingIt)
{
    TForm* main = nullptr;
    Application->CreateAppForm(main);
    main->Show();
    main->Close();
    EXPECT_TRUE(IsWindowVisible(main->Handle()));
    EXPECT_FALSE(Application->Terminated());
    EXPECT_TRUE(PumpUntil([] { return Application->Terminated(); }));
    EXPECT_TRUE(IsWindowVisible(main->Handle()));
    EXPECT_TRUE(main->Visible());
}

TEST_F(ApplicationTest, ClosingTheTaskBarEntryClosesTheMainForm)
{
    TForm* main = nullptr;
    Application->CreateAppForm(main);
    main->Show();
    int queries = 0;
    CloseQueryHandler onCloseQuery;
    onCloseQuery.Body = [&](TObject*, bool&) { ++queries; };
    main->SetOnCloseQuery(Bind(onCloseQuery));
    SendMessageA(Application->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(queries, 1);
    EXPECT_TRUE(IsWindow(Application->Handle()));
    EXPECT_TRUE(PumpUntil([] { return Application->Terminated(); }));
}

TEST_F(ApplicationTest, ClosingAnotherFormHidesItAndShowBringsItBackInPlace)
{
    TForm* main = nullptr;
    Application->CreateAppForm(main);
    TForm* form = NewForm(50, 60, 210, 160);
    form->Show();
    ASSERT_TRUE(IsWindowVisible(form->Handle()));
    form->Close();
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    EXPECT_FALSE(form->Visible());
    form->Show();
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    RECT r;
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(form->Left(), 50);
    EXPECT_EQ(form->Top(), 60);
    PumpFor(50);
    EXPECT_FALSE(Application->Terminated());
}

TEST_F(ApplicationTest, CloseActionsAndTheCloseQueryVeto)
{
    TForm* form = NewForm();
    CloseHandler onClose;
    TCloseAction next = caNone;
    onClose.Body = [&](TObject*, TCloseAction& action) {
        EXPECT_EQ(action, caHide);
        action = next;
    };
    form->SetOnClose(Bind(onClose));
    form->Show();

    next = caNone;
    form->Close();
    EXPECT_TRUE(IsWindowVisible(form->Handle()));

    next = caMinimize;
    form->Close();
    EXPECT_EQ(form->WindowState(), wsMinimized);
    EXPECT_TRUE(IsIconic(form->Handle()));
    form->SetWindowState(wsNormal);
    EXPECT_FALSE(IsIconic(form->Handle()));

    next = caHide;
    form->Close();
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    form->Show();

    // The veto: OnClose does not run, the form stays.
    CloseQueryHandler onCloseQuery;
    bool allow = false;
    int closes = 0;
    onCloseQuery.Body = [&](TObject*, bool& canClose) {
        EXPECT_TRUE(canClose);
        canClose = allow;
    };
    onClose.Body = [&](TObject*, TCloseAction& action) {
        ++closes;
        action = next;
    };
    form->SetOnCloseQuery(Bind(onCloseQuery));
    form->Close();
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));

    // Free: the form goes once the message loop takes the posted request.
    allow = true;
    next = caFree;
    const int forms = TScreen::Instance().FormCount();
    form->Close();
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(TScreen::Instance().FormCount(), forms);
    EXPECT_TRUE(PumpUntil([&] { return TScreen::Instance().FormCount() == forms - 1; }));
}

// ---------------------------------------------------------------------------
// Showing

TEST_F(ApplicationTest, ScreenCentreAppliesToTheFirstShowingOnly)
{
    ASSERT_EQ(TScreen::Instance().Width(), 640);
    ASSERT_EQ(TScreen::Instance().Height(), 480);
    TForm* form = NewForm(0, 0, 343, 267);
    form->SetPosition(poScreenCenter);
    form->Show();
    EXPECT_EQ(form->Left(), 148);
    EXPECT_EQ(form->Top(), 106);
    RECT r;
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.left, 148);
    EXPECT_EQ(r.top, 106);
    EXPECT_EQ(r.right - r.left, 343);
    EXPECT_EQ(r.bottom - r.top, 267);
    EXPECT_EQ(form->Position(), poDesigned);

    form->SetBounds(10, 20, 343, 267);
    form->Hide();
    form->Show();
    EXPECT_EQ(form->Left(), 10);
    EXPECT_EQ(form->Top(), 20);

    TForm* wide = NewForm(30, 30, 700, 200);
    wide->SetPosition(poScreenCenter);
    wide->Show();
    EXPECT_EQ(wide->Left(), 0);
    EXPECT_EQ(wide->Top(), 140);
}

TEST_F(ApplicationTest, BorderlessFormShowsNormalUntilMaximisedAfterItsWindowExists)
{
    TForm* form = NewForm(20, 30, 200, 100);
    form->SetBorderStyle(bsNone);
    form->SetWindowState(wsMaximized);
    form->Show();
    EXPECT_EQ(form->WindowState(), wsNormal);
    EXPECT_FALSE(IsZoomed(form->Handle()));
    EXPECT_EQ(form->Width(), 200);
    EXPECT_EQ(form->Height(), 100);

    form->SetWindowState(wsMaximized);
    EXPECT_TRUE(IsZoomed(form->Handle()));
    EXPECT_EQ(form->Left(), 0);
    EXPECT_EQ(form->Top(), 0);
    EXPECT_EQ(form->Width(), 640);
    EXPECT_EQ(form->Height(), 480);
    // Its normal rectangle covers the screen too, which is what an X display
    // without a window manager shows of a maximised window under Wine.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    ASSERT_TRUE(GetWindowPlacement(form->Handle(), &placement));
    const RECT& normal = placement.rcNormalPosition;
    EXPECT_EQ((std::vector<LONG>{normal.left, normal.top, normal.right, normal.bottom}),
              (std::vector<LONG>{0, 0, 640, 480}));
}

TEST_F(ApplicationTest, VisibleCannotChangeInOnShowOrOnHide)
{
    TForm* form = NewForm();
    std::vector<std::string> errors;
    NotifyHandler onShow;
    onShow.Body = [&](TObject*) {
        try {
            form->SetVisible(false);
        } catch (const EInvalidOperation& e) {
            errors.push_back(e.Message());
        }
    };
    NotifyHandler onHide;
    onHide.Body = [&](TObject*) {
        try {
            form->Show();
        } catch (const EInvalidOperation& e) {
            errors.push_back(e.Message());
        }
    };
    form->SetOnShow(Bind(onShow));
    form->SetOnHide(Bind(onHide));
    form->Show();
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    form->Hide();
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], "Cannot change Visible in OnShow or OnHide");
    EXPECT_EQ(errors[1], "Cannot change Visible in OnShow or OnHide");
}

TEST_F(ApplicationTest, OnShowAndOnHideRunWhenVisibilityChanges)
{
    TForm* form = NewForm();
    int shows = 0;
    int hides = 0;
    bool hiddenDuringOnShow = false;
    NotifyHandler onShow;
    onShow.Body = [&](TObject*) {
        ++shows;
        hiddenDuringOnShow = !IsWindowVisible(form->Handle());
    };
    NotifyHandler onHide;
    onHide.Body = [&](TObject*) { ++hides; };
    form->SetOnShow(Bind(onShow));
    form->SetOnHide(Bind(onHide));
    form->Show();
    form->Show();
    EXPECT_EQ(shows, 1);
    EXPECT_TRUE(hiddenDuringOnShow);
    form->Hide();
    form->Hide();
    EXPECT_EQ(hides, 1);
}

// ---------------------------------------------------------------------------
// Modal forms

TEST_F(ApplicationTest, VisibleFormCannotBeMadeModal)
{
    TForm* form = NewForm();
    form->Show();
    try {
        form->RunModal();
        ADD_FAILURE() << "a visible form ran modally";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Cannot make a visible window modal");
    }
}

TEST_F(ApplicationTest, ModalFormDisablesTheOthersAndSuspendsStayOnTopForms)
{
    TForm* main = nullptr;
    Application->CreateAppForm(main);
    main->Show();
    TForm* other = NewForm(300, 40);
    other->Show();
    TForm* onTop = NewForm(100, 250);
    onTop->SetFormStyle(fsStayOnTop);
    onTop->Show();
    ASSERT_TRUE(GetWindowLongA(onTop->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);

    TForm* dialog = NewForm(150, 150);
    bool mainEnabled = true;
    bool otherEnabled = true;
    bool onTopEnabled = true;
    bool onTopTopmost = true;
    bool dialogEnabled = false;
    bool checked = false;
    ThreadTimer check(100, [&] {
        if (checked || !dialog->Visible())
            return;
        checked = true;
        mainEnabled = IsWindowEnabled(main->Handle());
        otherEnabled = IsWindowEnabled(other->Handle());
        onTopEnabled = IsWindowEnabled(onTop->Handle());
        onTopTopmost = GetWindowLongA(onTop->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST;
        dialogEnabled = IsWindowEnabled(dialog->Handle());
        dialog->SetModalResult(6);
    });
    Watchdog watchdog;
    EXPECT_EQ(dialog->RunModal(), 6);
    EXPECT_TRUE(checked);
    EXPECT_FALSE(mainEnabled);
    EXPECT_FALSE(otherEnabled);
    EXPECT_FALSE(onTopEnabled);
    EXPECT_FALSE(onTopTopmost);
    EXPECT_TRUE(dialogEnabled);
    EXPECT_FALSE(IsWindowVisible(dialog->Handle()));
    EXPECT_FALSE(dialog->IsModal());
    EXPECT_TRUE(IsWindowEnabled(main->Handle()));
    EXPECT_TRUE(IsWindowEnabled(other->Handle()));
    EXPECT_TRUE(IsWindowEnabled(onTop->Handle()));
    EXPECT_TRUE(IsWindowEnabled(Application->Handle()));
    EXPECT_TRUE(GetWindowLongA(onTop->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(Application->Terminated());

    {
        SCOPED_TRACE("a platform dialog owned by the application's window disables it");
        EnableWindow(Application->Handle(), FALSE);
        EXPECT_FALSE(IsWindowEnabled(main->Handle()));
        EXPECT_FALSE(IsWindowEnabled(other->Handle()));
        EXPECT_FALSE(GetWindowLongA(onTop->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
        EnableWindow(Application->Handle(), TRUE);
        EXPECT_TRUE(IsWindowEnabled(main->Handle()));
        EXPECT_TRUE(IsWindowEnabled(other->Handle()));
        EXPECT_TRUE(IsWindowEnabled(onTop->Handle()));
        EXPECT_TRUE(GetWindowLongA(onTop->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    }
}

TEST_F(ApplicationTest, LosingActivationSuspendsStayOnTopFormsUntilItComesBack)
{
    TForm* main = nullptr;
    Application->CreateAppForm(main);
    main->Show();
    TForm* onTop = NewForm(100, 250);
    onTop->SetFormStyle(fsStayOnTop);
    onTop->Show();
    auto topmost = [&] { return (GetWindowLongA(onTop->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    ASSERT_TRUE(topmost());
    // Another program taking the activation: the stay-on-top form must not
    // cover it.
    SendMessageA(Application->Handle(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(topmost());
    SendMessageA(Application->Handle(), WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_TRUE(topmost());
}

TEST_F(ApplicationTest, ButtonModalResultEndsTheModalLoop)
{
    TForm* dialog = NewForm();
    auto* button = new TButton(dialog);
    button->SetParent(dialog);
    button->SetModalResult(1);
    int clicks = 0;
    int resultInOnClick = -1;
    NotifyHandler onClick;
    onClick.Body = [&](TObject*) {
        ++clicks;
        resultInOnClick = dialog->ModalResult();
    };
    button->SetOnClick(Bind(onClick));
    ThreadTimer press(100, [&] {
        if (clicks == 0 && dialog->Visible())
            button->Click();
    });
    Watchdog watchdog;
    EXPECT_EQ(dialog->RunModal(), 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(resultInOnClick, 1);
}

TEST_F(ApplicationTest, ModalCloseStepCanKeepTheFormOpen)
{
    TForm* dialog = NewForm();
    int queries = 0;
    CloseQueryHandler onCloseQuery;
    onCloseQuery.Body = [&](TObject*, bool& canClose) {
        ++queries;
        canClose = queries >= 2;
    };
    dialog->SetOnCloseQuery(Bind(onCloseQuery));
    int closes = 0;
    CloseHandler onClose;
    onClose.Body = [&](TObject*, TCloseAction& action) {
        ++closes;
        EXPECT_EQ(action, caHide);
    };
    dialog->SetOnClose(Bind(onClose));
    std::vector<int> resultsSeen;
    std::vector<bool> visibleSeen;
    ThreadTimer press(100, [&] {
        if (!dialog->Visible() || !dialog->IsModal())
            return;
        resultsSeen.push_back(dialog->ModalResult());
        visibleSeen.push_back(IsWindowVisible(dialog->Handle()) != FALSE);
        dialog->Close();  // modal: only sets the result 2
    });
    Watchdog watchdog;
    EXPECT_EQ(dialog->RunModal(), 2);
    EXPECT_EQ(queries, 2);
    EXPECT_EQ(closes, 1);
    ASSERT_EQ(resultsSeen.size(), 2u);
    EXPECT_EQ(resultsSeen[1], 0);  // the refused close set it back
    EXPECT_TRUE(visibleSeen[1]);
}

// ---------------------------------------------------------------------------
// Activation

TEST_F(ApplicationTest, OnActivateRunsWhenTheFocusComesFromAnotherForm)
{
    TForm* a = NewForm(20, 20);
    TForm* b = NewForm(300, 20);
    int activations = 0;
    int deactivations = 0;
    NotifyHandler onActivate;
    onActivate.Body = [&](TObject*) { ++activations; };
    NotifyHandler onDeactivate;
    onDeactivate.Body = [&](TObject*) { ++deactivations; };
    a->SetOnActivate(Bind(onActivate));
    a->SetOnDeactivate(Bind(onDeactivate));
    a->Show();
    PumpFor(100);
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(TScreen::Instance().FocusedForm(), a);
    EXPECT_EQ(TScreen::Instance().Forms(0), a);
    b->Show();
    PumpFor(100);
    EXPECT_EQ(deactivations, 1);
    EXPECT_EQ(TScreen::Instance().FocusedForm(), b);
    SetActiveWindow(a->Handle());
    PumpFor(100);
    EXPECT_EQ(activations, 2);
    EXPECT_EQ(TScreen::Instance().FocusedForm(), a);
}

TEST_F(ApplicationTest, ModalFormOpenedFromOnActivateDoesNotRunItAgain)
{
    TForm* a = NewForm(20, 20);
    TForm* dialog = NewForm(200, 200);
    int activations = 0;
    int modalResult = -1;
    NotifyHandler onActivate;
    onActivate.Body = [&](TObject*) {
        if (++activations == 1)
            modalResult = dialog->RunModal();
    };
    a->SetOnActivate(Bind(onActivate));
    int deactivations = 0;
    NotifyHandler onDeactivate;
    onDeactivate.Body = [&](TObject*) { ++deactivations; };
    a->SetOnDeactivate(Bind(onDeactivate));
    ThreadTimer press(100, [&] {
        if (dialog->IsModal() && dialog->Visible())
            dialog->SetModalResult(1);
    });
    Watchdog watchdog;
    a->Show();
    PumpFor(300);
    EXPECT_EQ(modalResult, 1);
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(deactivations, 0);
    EXPECT_EQ(TScreen::Instance().FocusedForm(), a);
    EXPECT_EQ(GetActiveWindow(), a->Handle());
}

TEST_F(ApplicationTest, AFocusedFormReleasedWhileAModalFormRunsIsNotFocusedAgain)
{
    TForm* a = NewForm(20, 20);
    TForm* dialog = NewForm(200, 200);
    a->Show();
    PumpFor(100);
    ASSERT_EQ(TScreen::Instance().FocusedForm(), a);
    const int forms = TScreen::Instance().FormCount();
    bool released = false;
    ThreadTimer press(100, [&] {
        if (!dialog->IsModal() || !dialog->Visible())
            return;
        if (!released) {
            released = true;
            a->Release();
        } else if (TScreen::Instance().FormCount() < forms) {
            dialog->SetModalResult(1);
        }
    });
    Watchdog watchdog;
    EXPECT_EQ(dialog->RunModal(), 1);
    EXPECT_EQ(TScreen::Instance().FormCount(), forms - 1);
    EXPECT_EQ(TScreen::Instance().FocusedForm(), nullptr);
}

// What the modal loop runs itself, outside any window procedure (the form's
// activation and deactivation, and the buttons that Esc and an accelerator
// click), is reported when it raises, and the modal form carries on.
TEST_F(ApplicationTest, HandlersRunByTheModalLoopAreReportedAndTheLoopGoesOn)
{
    TForm* dialog = NewForm(40, 40, 300, 200);
    auto addButton = [&](const char* caption, int top) {
        auto* button = new TButton(dialog);
        button->SetParent(dialog);
        button->SetBounds(10, top, 75, 25);
        button->SetCaption(caption);
        return button;
    };
    TButton* ok = addButton("OK", 10);
    ok->SetModalResult(mrOk);
    TButton* cancel = addButton("Cancel", 40);
    cancel->SetCancel(true);
    TButton* help = addButton("&Help", 70);
    NotifyHandler onActivate;
    onActivate.Body = [](TObject*) { throw Exception("Activate failed"); };
    NotifyHandler onDeactivate;
    onDeactivate.Body = [](TObject*) { throw Exception("Deactivate failed"); };
    NotifyHandler onCancel;
    onCancel.Body = [](TObject*) { throw Exception("Esc failed"); };
    NotifyHandler onHelp;
    onHelp.Body = [](TObject*) { throw Exception("Accelerator failed"); };
    dialog->SetOnActivate(Bind(onActivate));
    dialog->SetOnDeactivate(Bind(onDeactivate));
    cancel->SetOnClick(Bind(onCancel));
    help->SetOnClick(Bind(onHelp));

    // One key per tick into the modal form, only while no report is up.
    const std::vector<std::pair<UINT, WPARAM>> keys{
        {WM_KEYDOWN, VK_ESCAPE}, {WM_SYSCHAR, 'h'}, {WM_KEYDOWN, VK_RETURN}};
    size_t next = 0;
    ThreadTimer press(100, [&] {
        if (next < keys.size() && dialog->IsModal() && IsWindowEnabled(dialog->Handle()) && !FindMessageBox()) {
            PostMessageA(ok->Handle(), keys[next].first, keys[next].second, 0);
            ++next;
        }
    });
    MessageBoxCloser closer;
    Watchdog watchdog(10000);
    EXPECT_EQ(dialog->RunModal(), mrOk);
    EXPECT_EQ(next, keys.size());
    EXPECT_EQ(closer.Texts, (std::vector<std::string>{"Activate failed.", "Esc failed.", "Accelerator failed.",
                                                      "Deactivate failed."}));
    EXPECT_FALSE(Application->Terminated());
}

// ---------------------------------------------------------------------------
// Dialog keys

class DialogKeyTest : public ApplicationTest {
protected:
    void SetUp() override
    {
        ApplicationTest::SetUp();
        onClick.Body = [this](TObject* sender) { clicked.push_back(sender); };
        form = NewForm(20, 20, 300, 200);
        first = AddButton("&First", 10);
        ok = AddButton("OK", 40);
        ok->SetDefault(true);
        cancel = AddButton("Cancel", 70);
        cancel->SetCancel(true);
        help = AddButton("&Help", 100);
        form->Show();
        PumpFor(50);
    }

    TButton* AddButton(const char* caption, int top)
    {
        auto* button = new TButton(form);
        button->SetParent(form);
        button->SetBounds(10, top, 75, 25);
        button->SetCaption(caption);
        button->SetOnClick(Bind(onClick));
        return button;
    }

    void Key(UINT msg, WPARAM key)
    {
        PostMessageA(GetFocus(), msg, key, 0);
        PumpFor(30);
    }

    std::vector<TObject*> clicked;
    NotifyHandler onClick;
    TForm* form = nullptr;
    TButton* first = nullptr;
    TButton* ok = nullptr;
    TButton* cancel = nullptr;
    TButton* help = nullptr;
};

TEST_F(DialogKeyTest, ActivationFocusesTheFirstControlAndTabMovesInTabOrder)
{
    EXPECT_EQ(GetFocus(), first->Handle());
    EXPECT_EQ(form->ActiveControl(), first);
    Key(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetFocus(), ok->Handle());
    Key(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(GetFocus(), cancel->Handle());
    Key(WM_KEYDOWN, VK_UP);
    EXPECT_EQ(GetFocus(), ok->Handle());
    help->SetEnabled(false);
    Key(WM_KEYDOWN, VK_TAB);
    Key(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetFocus(), first->Handle());  // past the disabled one, round to the start
    EXPECT_TRUE(clicked.empty());
}

TEST_F(DialogKeyTest, EnterClicksTheFocusedButtonEscTheCancelButton)
{
    Key(WM_KEYDOWN, VK_RETURN);
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0], first);
    Key(WM_KEYDOWN, VK_ESCAPE);
    ASSERT_EQ(clicked.size(), 2u);
    EXPECT_EQ(clicked[1], cancel);
    cancel->SetEnabled(false);
    Key(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(clicked.size(), 2u);
}

TEST_F(DialogKeyTest, EnterOnAControlThatIsNotAButtonClicksTheDefaultButton)
{
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(120, 10, 100, 22);
    edit->SetFocus();
    PumpFor(30);
    ASSERT_EQ(GetFocus(), edit->Handle());
    Key(WM_KEYDOWN, VK_RETURN);
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0], ok);
}

TEST_F(DialogKeyTest, AltAndTheAcceleratorLetterClickThatButton)
{
    Key(WM_SYSCHAR, 'h');
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0], help);
    // A button takes characters for nobody: the letter alone works too.
    Key(WM_CHAR, 'F');
    ASSERT_EQ(clicked.size(), 2u);
    EXPECT_EQ(clicked[1], first);
    Key(WM_SYSCHAR, 'x');
    EXPECT_EQ(clicked.size(), 2u);
}

// ---------------------------------------------------------------------------
// The timer

class TimerTest : public ApplicationTest {
protected:
    void SetUp() override
    {
        ApplicationTest::SetUp();
        onTimer.Body = [this](TObject*) { ++ticks; };
    }
    int ticks = 0;
    NotifyHandler onTimer;
};

TEST_F(TimerTest, DefaultsAndTicksOnlyInsideAMessageLoop)
{
    auto* timer = new TTimer(Application);
    EXPECT_TRUE(timer->Enabled());
    EXPECT_EQ(timer->Interval(), 1000u);
    timer->SetInterval(50);
    timer->SetOnTimer(Bind(onTimer));
    Sleep(400);
    EXPECT_EQ(ticks, 0);
    // The ticks that fell due meanwhile arrive as one.
    Application->PumpMessages();
    EXPECT_EQ(ticks, 1);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 4; }));
    timer->SetEnabled(false);
    const int now = ticks;
    PumpFor(200);
    EXPECT_EQ(ticks, now);
}

TEST_F(TimerTest, ZeroIntervalOrNoHandlerNeverTicks)
{
    auto* zero = new TTimer(Application);
    zero->SetInterval(0);
    zero->SetOnTimer(Bind(onTimer));
    auto* unhandled = new TTimer(Application);
    unhandled->SetInterval(30);
    Sleep(200);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, unhandled->WindowHandle(), WM_TIMER, WM_TIMER, PM_NOREMOVE));
    EXPECT_FALSE(PeekMessageA(&msg, zero->WindowHandle(), WM_TIMER, WM_TIMER, PM_NOREMOVE));
    PumpFor(200);
    EXPECT_EQ(ticks, 0);
}

TEST_F(TimerTest, SameEnabledKeepsThePeriodWritingOnTimerRestartsIt)
{
    auto* timer = new TTimer(Application);
    timer->SetInterval(600);
    timer->SetOnTimer(Bind(onTimer));
    Sleep(400);
    timer->SetEnabled(true);  // the same value: nothing happens
    timer->SetInterval(600);
    Sleep(350);
    Application->PumpMessages();
    EXPECT_EQ(ticks, 1);  // due 600 ms after arming, not after the writes

    ticks = 0;
    timer->SetOnTimer(Bind(onTimer));  // re-armed now
    Sleep(400);
    timer->SetOnTimer(Bind(onTimer));  // and again: the period starts over
    Sleep(350);
    Application->PumpMessages();
    EXPECT_EQ(ticks, 0);
    Sleep(400);
    Application->PumpMessages();
    EXPECT_EQ(ticks, 1);
}

TEST_F(TimerTest, ExceptionFromOnTimerIsReportedAndTheTimerGoesOn)
{
    auto* timer = new TTimer(Application);
    timer->SetInterval(50);
    NotifyHandler failing;
    failing.Body = [this](TObject*) {
        ++ticks;
        if (ticks == 1)
            throw Exception("Tick failed");
    };
    timer->SetOnTimer(Bind(failing));
    MessageBoxCloser closer;
    Watchdog watchdog;
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }, 3000));
    ASSERT_EQ(closer.Texts.size(), 1u);
    EXPECT_EQ(closer.Texts[0], "Tick failed.");
}

TEST_F(TimerTest, RefusedTimerRaisesOutOfResources)
{
    auto* timer = new TTimer(Application);
    timer->SetInterval(50);
    // Without its window the platform refuses the timer.
    DestroyWindow(timer->WindowHandle());
    try {
        timer->SetOnTimer(Bind(onTimer));
        ADD_FAILURE() << "a refused timer went unnoticed";
    } catch (const EOutOfResources& e) {
        EXPECT_EQ(e.Message(), "Not enough timers available");
    }
    try {
        timer->SetInterval(60);
        ADD_FAILURE() << "a refused timer went unnoticed";
    } catch (const EOutOfResources& e) {
        EXPECT_EQ(e.Message(), "Not enough timers available");
    }
    // Disabling needs no timer and raises nothing.
    timer->SetEnabled(false);
}

TEST_F(TimerTest, FreeingTheTimerKillsItAndItsWindow)
{
    auto* timer = new TTimer(Application);
    timer->SetInterval(20);
    timer->SetOnTimer(Bind(onTimer));
    HWND window = timer->WindowHandle();
    ASSERT_TRUE(IsWindow(window));
    Sleep(100);
    TComponent::Free(timer);
    EXPECT_FALSE(IsWindow(window));
    PumpFor(100);
    EXPECT_EQ(ticks, 0);
}

} // namespace

// The main program's last chance: the box names the exception's class, the
// program file, where in the program it was raised, and the message with a
// full stop unless it has one.
// An exception made in a function of its own, away from where it is raised.
[[gnu::noinline]] EInOutError MadeElsewhere()
{
    return EInOutError(101);
}

TEST(LastChance, TextNamesTheExceptionTheProgramAndThePlace)
{
    auto textOf = [](const std::function<void()>& raise) {
        try {
            raise();
        } catch (const std::exception& e) {
            return LastChanceText(e);
        }
        return std::string();
    };
    const std::string diskFull = textOf([] { throw EInOutError(101); });
    const std::string head = "Exception EInOutError in module application_tests.exe at ";
    ASSERT_EQ(diskFull.substr(0, head.size()), head);
    const std::string rest = diskFull.substr(head.size());
    ASSERT_GE(rest.size(), 9u);
    const std::string digits = rest.substr(0, 8);
    EXPECT_EQ(digits.find_first_not_of("0123456789ABCDEF"), std::string::npos) << digits;
    EXPECT_EQ(rest.substr(8), ".\nDisk full.");

    // The place lies inside the program's code.
    const auto* image = reinterpret_cast<const uint8_t*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
    auto placeOf = [](const std::string& text) {
        const std::string at = " at ";
        return std::stoul(text.substr(text.find(at) + at.size(), 8), nullptr, 16);
    };
    EXPECT_GT(placeOf(diskFull), 0u);
    EXPECT_LT(placeOf(diskFull), nt->OptionalHeader.SizeOfCode);

    const std::string ended = textOf([] { throw Exception("Already ended."); });
    const std::string endedTail = " at ";
    EXPECT_EQ(ended.substr(ended.find(endedTail) + endedTail.size() + 8), ".\nAlready ended.") << ended;
    const std::string foreign = textOf([] { throw std::runtime_error("bad state"); });
    EXPECT_NE(foreign.find(".\nbad state."), std::string::npos) << foreign;
    EXPECT_GT(placeOf(foreign), 0u) << foreign;
    EXPECT_LT(placeOf(foreign), nt->OptionalHeader.SizeOfCode);

    // The place is the throw's, not where the exception object was made.
    const std::string first = textOf([] { throw MadeElsewhere(); });
    const std::string second = textOf([] {
        // Unlike the first, so that the two are not folded into one.
        volatile int raise = 1;
        if (raise)
            throw MadeElsewhere();
    });
    EXPECT_NE(placeOf(first), placeOf(second));
}

// The user logging off ends the program at once through its normal end: the
// forms are freed (their OnDestroy runs) and the exit code is 0. A refused
// end of the session changes nothing. Each case runs in a child process,
// since the end is the end of the process.
TEST(EndSession, LoggingOffEndsTheProgramThroughItsNormalEnd)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child runs this body again from its start: it takes the parent's
    // folder from the environment instead of making one of its own.
    static std::string s_marker;
    char inherited[MAX_PATH] = {};
    std::optional<TempDir> dir;
    if (GetEnvironmentVariableA("ENDSESSION_MARKER", inherited, MAX_PATH) > 0) {
        s_marker = inherited;
    } else {
        dir.emplace();
        s_marker = *dir / "destroyed.txt";
        SetEnvironmentVariableA("ENDSESSION_MARKER", s_marker.c_str());
    }
    const std::string marker = s_marker;
    auto runChild = [](bool sessionEnds) {
        InitializeFramework();
        TForm* form = nullptr;
        Application->CreateAppForm(form);
        static NotifyHandler onDestroy;
        onDestroy.Body = [](TObject*) {
            HANDLE file = CreateFileA(s_marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            CloseHandle(file);
        };
        form->SetOnDestroy(Bind(onDestroy));
        SendMessageA(Application->Handle(), WM_ENDSESSION, sessionEnds ? TRUE : FALSE, 0);
        // Still here: the session goes on.
        std::_Exit(sessionEnds ? 3 : 4);
    };
    EXPECT_EXIT(runChild(true), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES, true) << "OnDestroy did not run";
    DeleteFileA(marker.c_str());
    EXPECT_EXIT(runChild(false), ::testing::ExitedWithCode(4), "");
    EXPECT_EQ(GetFileAttributesA(marker.c_str()), INVALID_FILE_ATTRIBUTES);
    SetEnvironmentVariableA("ENDSESSION_MARKER", nullptr);
}
