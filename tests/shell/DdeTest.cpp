// The DDE support on the real DDE library: the program's DDE manager and its
// service name, the client conversation against a server of the test's own
// (in this thread, or started in another process), and the Program Manager
// component's data and lifecycle.
#include <windows.h>
#include <ddeml.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "framework/Application.h"
#include "shell/DdeMan.h"
#include "shell/Progman.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/shell/DdeTestSupport.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/ProgramPaths.h"
#include "tests/support/TempDir.h"

namespace {

// The test program's executable is shell_tests.exe.
constexpr const char* ServiceName = "shell_tests";

// The stream of a conversation component with a LinkInfo of service and
// topic, and the mode when one is given.
Bytes LinkStream(const std::string& service, const std::string& topic, const char* mode = nullptr)
{
    return RootStream("TDdeClientConv", "Conv1", [&](TWriter& w) {
        if (mode) {
            w.WritePropName("ConnectMode");
            w.WriteIdent(mode);
        }
        w.WritePropName("LinkInfo");
        w.WriteListBegin();
        w.WriteString("Service " + service);
        w.WriteString("Topic " + topic);
        w.WriteListEnd();
    });
}

} // namespace

// ---------------------------------------------------------------------------
// DDE manager

TEST(DdeMgr, ErrorMessagesByCode)
{
    EXPECT_EQ(DdeErrorMessage(DMLERR_LOW_MEMORY), "Error occurred when DDE ran out of memory ($04007)");
    EXPECT_EQ(DdeErrorMessage(DMLERR_MEMORY_ERROR), "Error occurred when DDE ran out of memory ($04008)");
    EXPECT_EQ(DdeErrorMessage(DMLERR_NO_CONV_ESTABLISHED), "DDE Error - conversation not established ($0400a)");
    EXPECT_EQ(DdeErrorMessage(DMLERR_BUSY), "An error returned from DDE  ($04001)");
}

TEST(DdeMgr, RegistersTheProgramsServiceWhileItExists)
{
    TestDdeClient client;
    EXPECT_FALSE(client.CanConnect(ServiceName, "System"));
    auto* manager = new TDdeMgr(nullptr);
    EXPECT_EQ(DdeMgr, manager);
    EXPECT_EQ(manager->AppName(), ServiceName);
    EXPECT_NE(manager->DdeInstId(), 0u);
    EXPECT_EQ(manager->LinkClipFmt(), RegisterClipboardFormatA("Link"));
    EXPECT_TRUE(client.CanConnect(ServiceName, "System"));
    EXPECT_FALSE(client.CanConnect("NoSuchDdeService", "System"));
    TComponent::Free(manager);
    EXPECT_EQ(DdeMgr, nullptr);
    EXPECT_FALSE(client.CanConnect(ServiceName, "System"));
}

TEST(DdeMgr, MadeByTheFrameworksStartUpAndVisibleToOtherProgramsUntilTheEnd)
{
    ASSERT_EQ(DdeMgr, nullptr);
    EXPECT_FALSE(ProbeFromAnotherProcess(ServiceName, "System"));

    InitializeFramework();
    ASSERT_NE(DdeMgr, nullptr);
    EXPECT_EQ(DdeMgr->Owner(), Application);
    EXPECT_EQ(DdeMgr->AppName(), ServiceName);
    {
        SCOPED_TRACE("another process of the same session sees the service while the program runs");
        EXPECT_TRUE(ProbeFromAnotherProcess(ServiceName, "System"));
        EXPECT_FALSE(ProbeFromAnotherProcess("NoSuchDdeService", "System"));
    }

    FinalizeFramework();
    EXPECT_EQ(DdeMgr, nullptr);
    {
        SCOPED_TRACE("the service is gone once the program has ended");
        EXPECT_FALSE(ProbeFromAnotherProcess(ServiceName, "System"));
    }
}

TEST(DdeMgr, TheSetupProgramRegistersItsServiceUntilItEnds)
{
    DdeRegistrationWatcher watcher;
    // The program runs from a folder of its own as SETUP.EXE would from a
    // diskette; its service is its base name. Without a setup script it
    // stops after reporting that, and Esc on its splash ends it.
    TempDir dir;
    ASSERT_TRUE(CopyFileA((BuildFolder() + "setup.exe").c_str(), (dir / "setup.exe").c_str(), FALSE));
    const auto named = [](const std::vector<std::string>& names, const char* name) {
        return std::count_if(names.begin(), names.end(),
                             [&](const std::string& n) { return lstrcmpiA(n.c_str(), name) == 0; });
    };
    {
        DrivenProcess setup("\"" + dir.Path() + "setup.exe\"", dir.Path());
        ASSERT_TRUE(setup.Started());
        HWND box = setup.WaitForWindow("#32770");
        ASSERT_NE(box, nullptr);
        // Other programs' registrations may arrive meanwhile; only the
        // program's own name ends the wait.
        PumpUntil([&] { return named(watcher.Registered, "setup") > 0; }, 5000);
        EXPECT_GE(named(watcher.Registered, "setup"), 1)
            << "registered: " << testing::PrintToString(watcher.Registered);
        EXPECT_EQ(named(watcher.Unregistered, "setup"), 0);
        ClickButton(box, "OK");
        setup.WaitUntilGone(box);
        HWND splash = setup.WaitForWindow("TForm1");
        ASSERT_NE(splash, nullptr);
        ASSERT_TRUE(setup.WaitForFocusIn(splash));
        setup.PressKey(VK_ESCAPE);
        EXPECT_EQ(setup.WaitForExit(), 5u);
    }
    // NOTE: the program frees its name right after unregistering it; under
    // Wine the name may be gone before the notice is read, and the notice
    // then names nothing.
    const auto ours = [&] { return named(watcher.Unregistered, "setup") + named(watcher.Unregistered, ""); };
    PumpUntil([&] { return ours() > 0; }, 5000);
    EXPECT_GE(ours(), 1) << "unregistered: " << testing::PrintToString(watcher.Unregistered);
}

// ---------------------------------------------------------------------------
// Client conversation

TEST(DdeClientConv, PublishesItsPropertiesInTypeInformationOrder)
{
    EXPECT_EQ(PublishedNames(TDdeClientConv::StaticClassInfo()),
              (std::vector<std::string>{"Name", "Tag", "ServiceApplication", "DdeService", "DdeTopic", "ConnectMode",
                                        "FormatChars", "OnClose", "OnOpen"}));
    const TClassInfo& info = TDdeClientConv::StaticClassInfo();
    const TPropInfo* mode = info.FindProperty("ConnectMode");
    ASSERT_NE(mode, nullptr);
    EXPECT_TRUE(mode->HasDefault);
    EXPECT_EQ(mode->Default, ddeAutomatic);
    EXPECT_EQ(mode->EnumType->NameOf(ddeManual), "ddeManual");
    const TPropInfo* formatChars = info.FindProperty("FormatChars");
    ASSERT_NE(formatChars, nullptr);
    EXPECT_TRUE(formatChars->HasDefault);
    EXPECT_EQ(formatChars->Default, 0);
}

TEST(DdeClientConv, LinkInfoRoundTrip)
{
    TDdeClientConv conv(nullptr);
    conv.SetName("Conv1");
    conv.SetConnectMode(ddeManual);
    conv.SetDdeService("Svc");
    conv.SetDdeTopic("Tp");
    // Read through the type information, service and topic are there.
    EXPECT_EQ(conv.ClassInfo().FindProperty("DdeService")->GetStr(&conv), "Svc");
    EXPECT_EQ(conv.ClassInfo().FindProperty("DdeTopic")->GetStr(&conv), "Tp");

    const Bytes stream = WriteRoot(&conv);
    EXPECT_FALSE(Contains(stream, "DdeService"));
    EXPECT_FALSE(Contains(stream, "DdeTopic"));
    // LinkInfo: a list of two strings, then the end of the list.
    const std::string link = std::string("\x08LinkInfo\x01\x06\x0BService Svc\x06\x08Topic Tp") + '\0';
    EXPECT_TRUE(Contains(stream, link));
    // Writing leaves the values readable again.
    EXPECT_EQ(conv.ClassInfo().FindProperty("DdeService")->GetStr(&conv), "Svc");

    TDdeClientConv copy(nullptr);
    ReadRoot(stream, &copy);
    EXPECT_EQ(copy.ConnectMode(), ddeManual);
    EXPECT_EQ(copy.DdeService(), "Svc");
    EXPECT_EQ(copy.DdeTopic(), "Tp");
    EXPECT_EQ(copy.Conv(), nullptr);

    SCOPED_TRACE("no LinkInfo without service and topic");
    TDdeClientConv bare(nullptr);
    bare.SetName("Conv1");
    EXPECT_FALSE(Contains(WriteRoot(&bare), "LinkInfo"));
    bare.SetDdeTopic("OnlyTopic");
    EXPECT_TRUE(Contains(WriteRoot(&bare), "LinkInfo"));
}

TEST(DdeClientConv, LinkInfoLinesAreTakenByTheirFirstLetter)
{
    const Bytes stream = RootStream("TDdeClientConv", "Conv1", [](TWriter& w) {
        w.WritePropName("ConnectMode");
        w.WriteIdent("ddeManual");
        w.WritePropName("LinkInfo");
        w.WriteListBegin();
        w.WriteString("Topic the topic");
        w.WriteString("Sxx A B");
        w.WriteString("Other ignored");
        w.WriteListEnd();
    });
    TDdeClientConv conv(nullptr);
    ReadRoot(stream, &conv);
    EXPECT_EQ(conv.DdeService(), "A B");
    EXPECT_EQ(conv.DdeTopic(), "the topic");
}

TEST(DdeClientConv, ConnectsToAServerInTheWindowsAnsiCodePage)
{
    TDdeMgr manager(nullptr);
    TestDdeServer server("TestProgman", {"Group"});
    TDdeClientConv conv(nullptr);
    EventLog opens;
    EventLog closes;
    conv.SetOnOpen(opens.Event());
    conv.SetOnClose(closes.Event());
    conv.SetConnectMode(ddeManual);
    conv.SetDdeService("TestProgman");
    conv.SetDdeTopic("Group");
    ASSERT_TRUE(conv.OpenLink());
    EXPECT_NE(conv.Conv(), nullptr);
    EXPECT_EQ(server.ConnectTopics, std::vector<std::string>{"Group"});
    EXPECT_EQ(server.ConnectCodePages, std::vector<int>{CP_WINANSI});
    EXPECT_EQ(opens.Count, 1);
    EXPECT_EQ(opens.Sender, &conv);
    {
        SCOPED_TRACE("an open conversation is kept, not opened again");
        EXPECT_TRUE(conv.OpenLink());
        EXPECT_EQ(server.ConnectTopics.size(), 1u);
        EXPECT_EQ(opens.Count, 1);
    }

    conv.CloseLink();
    EXPECT_EQ(closes.Count, 1);
    EXPECT_EQ(conv.Conv(), nullptr);
    EXPECT_EQ(conv.DdeService(), "");
    EXPECT_EQ(conv.DdeTopic(), "");
    EXPECT_TRUE(PumpUntil([&] { return server.Disconnected == 1; })) << "the server never saw the conversation end";
}

TEST(DdeClientConv, LoadingConnectsToTheServerOrForgetsIt)
{
    TDdeMgr manager(nullptr);
    TestDdeServer server("TestProgman", {"Group"});
    {
        SCOPED_TRACE("a topic the server takes");
        TDdeClientConv conv(nullptr);
        ReadRoot(LinkStream("TestProgman", "Group"), &conv);
        EXPECT_NE(conv.Conv(), nullptr);
        EXPECT_EQ(conv.DdeService(), "TestProgman");
        EXPECT_EQ(conv.DdeTopic(), "Group");
    }
    {
        SCOPED_TRACE("a topic the server refuses");
        TDdeClientConv conv(nullptr);
        ReadRoot(LinkStream("TestProgman", "Refused"), &conv);
        EXPECT_EQ(conv.Conv(), nullptr);
        EXPECT_EQ(conv.DdeService(), "");
        EXPECT_EQ(conv.DdeTopic(), "");
    }
    {
        SCOPED_TRACE("manual mode waits to be asked");
        TDdeClientConv conv(nullptr);
        ReadRoot(LinkStream("TestProgman", "Group", "ddeManual"), &conv);
        EXPECT_EQ(conv.Conv(), nullptr);
        EXPECT_EQ(conv.DdeService(), "TestProgman");
    }
    EXPECT_EQ(server.ConnectTopics, (std::vector<std::string>{"Group", "Refused"}));
}

TEST(DdeClientConv, AFailedConnectionStartsTheServiceApplicationAndTriesOnceMore)
{
    TDdeMgr manager(nullptr);
    TDdeClientConv conv(nullptr);
    EventLog opens;
    conv.SetOnOpen(opens.Event());
    conv.SetConnectMode(ddeManual);
    // The command names another service than DdeService and DdeTopic would,
    // so the connection only succeeds if the command is the one started.
    conv.SetServiceApplication("\"" + DdeHelperPath() + "\" serve StartedByCommand");
    conv.SetDdeService("StartedByCommand");
    conv.SetDdeTopic("AnyTopic");
    conv.SetConnectMode(ddeAutomatic);
    EXPECT_NE(conv.Conv(), nullptr);
    EXPECT_EQ(opens.Count, 1);
    // Ending the conversation ends the helper program.
    conv.CloseLink();
}

TEST(DdeClientConv, WithoutAServiceApplicationTheServiceAndTopicAreTheCommand)
{
    TDdeMgr manager(nullptr);
    TDdeClientConv conv(nullptr);
    conv.SetConnectMode(ddeManual);
    // "dde_helper serve" starts the helper from the test program's folder,
    // and the helper then serves under its own name.
    conv.SetDdeService("dde_helper");
    conv.SetDdeTopic("serve");
    EXPECT_TRUE(conv.OpenLink());
    EXPECT_NE(conv.Conv(), nullptr);
    conv.CloseLink();
}

TEST(DdeClientConv, SwitchingToAutomaticConnectsOrRaises)
{
    TDdeMgr manager(nullptr);
    TDdeClientConv conv(nullptr);
    EventLog opens;
    conv.SetOnOpen(opens.Event());
    conv.SetConnectMode(ddeManual);
    conv.SetDdeService(ServiceName);
    conv.SetDdeTopic("System");
    conv.SetConnectMode(ddeAutomatic);
    EXPECT_NE(conv.Conv(), nullptr);
    EXPECT_EQ(opens.Count, 1);
    EXPECT_EQ(opens.Sender, &conv);
    conv.CloseLink();

    conv.SetConnectMode(ddeManual);
    conv.SetDdeService("NoSuchDdeService");
    conv.SetDdeTopic("System");
    EXPECT_EQ(ErrorOf<EDdeError>([&] { conv.SetConnectMode(ddeAutomatic); }), "Unable to connect DDE conversation");
    EXPECT_EQ(conv.Conv(), nullptr);
    EXPECT_EQ(opens.Count, 1);
    EXPECT_EQ(conv.ConnectMode(), ddeManual) << "a failed switch keeps the mode";
}

namespace {

// An OnClose handler that raises.
class RaisingClose : public TObject {
public:
    void Handler(TObject*) { throw Exception("close failed"); }
    TNotifyEvent Event() { return TNotifyEvent::Of<&RaisingClose::Handler>(this); }
};

std::vector<std::string> g_reported;
void RecordReport(TObject*)
{
    try {
        throw;
    } catch (const std::exception& e) {
        g_reported.push_back(e.what());
    }
}

} // namespace

TEST(DdeClientConv, DestroyingReportsWhatOnCloseRaisesAndStillEndsTheConversation)
{
    TDdeMgr manager(nullptr);
    TestDdeServer server("TestProgman", {"Group"});
    RaisingClose raising;
    g_reported.clear();
    SetExceptionReporter(&RecordReport);
    for (const bool progman : {false, true}) {
        SCOPED_TRACE(progman ? "Program Manager component" : "conversation");
        TDdeClientConv* conv = progman ? new TProgMan(nullptr) : new TDdeClientConv(nullptr);
        conv->SetOnClose(raising.Event());
        conv->SetConnectMode(ddeManual);
        conv->SetDdeService("TestProgman");
        conv->SetDdeTopic("Group");
        ASSERT_TRUE(conv->OpenLink());
        TComponent::Free(conv);
    }
    SetExceptionReporter(nullptr);
    EXPECT_EQ(g_reported, (std::vector<std::string>{"close failed", "close failed"}));
    EXPECT_TRUE(PumpUntil([&] { return server.Disconnected == 2; })) << "a conversation was left open";
}

// ---------------------------------------------------------------------------
// Program Manager component

TEST(ProgMan, PublishesItsPropertiesInTypeInformationOrder)
{
    EXPECT_EQ(PublishedNames(TProgMan::StaticClassInfo()),
              (std::vector<std::string>{"Name", "Tag", "ServiceApplication", "DdeService", "DdeTopic", "ConnectMode",
                                        "FormatChars", "OnClose", "OnOpen", "programItems", "programGroup",
                                        "ShowGroup", "OnGroupError", "OnItemError"}));
}

TEST(ProgMan, ShowGroupIsSetByTheConstructorAndAlwaysStored)
{
    TProgMan progman(nullptr);
    EXPECT_EQ(progman.ShowGroup(), activateNormalSize);
    EXPECT_EQ(progman.ProgramGroup(), "");
    EXPECT_EQ(progman.ProgramItems()->Count(), 0);
    EXPECT_EQ(progman.ConnectMode(), ddeAutomatic);
    const TPropInfo* showGroup = progman.ClassInfo().FindProperty("ShowGroup");
    ASSERT_NE(showGroup, nullptr);
    EXPECT_FALSE(showGroup->HasDefault);
    EXPECT_EQ(showGroup->EnumType->NameOf(iconizeNoActivate), "iconizeNoActivate");

    progman.SetName("ProgMan1");
    const Bytes stream = WriteRoot(&progman);
    const std::string stored = std::string("\x09ShowGroup\x07\x12") + "activateNormalSize";
    EXPECT_TRUE(Contains(stream, stored));
    EXPECT_FALSE(Contains(stream, "LinkInfo"));
}

TEST(ProgMan, ReadsTheProgressFormsComponent)
{
    const Bytes stream = RootStream("TProgMan", "ProgMan1", [](TWriter& w) {
        w.WritePropName("ShowGroup");
        w.WriteIdent("activateNormalSize");
        w.WritePropName("Left");
        w.WriteInteger(136);
    });
    TProgMan progman(nullptr);
    progman.SetShowGroup(activateMaximize);
    ReadRoot(stream, &progman);
    EXPECT_EQ(progman.Name(), "ProgMan1");
    EXPECT_EQ(progman.ShowGroup(), activateNormalSize);
    EXPECT_EQ(progman.DesignLeft(), 136);
    EXPECT_EQ(progman.ProgramGroup(), "");
    EXPECT_EQ(progman.ProgramItems()->Count(), 0);
    EXPECT_EQ(progman.ConnectMode(), ddeAutomatic);
    EXPECT_EQ(progman.Conv(), nullptr);
}

TEST(ProgMan, ProgramItemsAreCopied)
{
    TProgMan progman(nullptr);
    TStringList mine;
    mine.Add("first");
    mine.Add("second");
    progman.SetProgramItems(&mine);
    EXPECT_NE(progman.ProgramItems(), &mine);
    mine.Put(0, "changed");
    mine.Add("third");
    ASSERT_EQ(progman.ProgramItems()->Count(), 2);
    EXPECT_EQ(progman.ProgramItems()->Get(0), "first");
    EXPECT_EQ(progman.ProgramItems()->Get(1), "second");
    // Assigning the component's own list keeps it.
    progman.SetProgramItems(progman.ProgramItems());
    EXPECT_EQ(progman.ProgramItems()->Count(), 2);
}

TEST(ProgMan, ItemsGroupAndShowGroupRoundTrip)
{
    TProgMan progman(nullptr);
    progman.SetName("ProgMan1");
    progman.SetProgramGroup("Brisdane");
    progman.ProgramItems()->Add("one");
    progman.ProgramItems()->Add("two");
    progman.SetShowGroup(iconizeNoActivate);
    const Bytes stream = WriteRoot(&progman);

    TProgMan copy(nullptr);
    ReadRoot(stream, &copy);
    EXPECT_EQ(copy.ProgramGroup(), "Brisdane");
    EXPECT_EQ(copy.ShowGroup(), iconizeNoActivate);
    ASSERT_EQ(copy.ProgramItems()->Count(), 2);
    EXPECT_EQ(copy.ProgramItems()->Get(0), "one");
    EXPECT_EQ(copy.ProgramItems()->Get(1), "two");
}

TEST(ProgMan, DestroyingANeverConnectedComponentMakesNoDdeCall)
{
    TDdeMgr manager(nullptr);
    {
        SCOPED_TRACE("never connected");
        auto* progman = new TProgMan(nullptr);
        progman->SetDdeService("Svc");
        progman->SetDdeTopic("Topic");
        progman->SetProgramGroup("Group");
        progman->ProgramItems()->Add("item");
        DdeCallCounter counter;
        TComponent::Free(progman);
        EXPECT_TRUE(counter.Calls().empty()) << "first call: " << counter.Calls().front();
    }
    {
        SCOPED_TRACE("connected, for comparison: the counter sees the calls of the close");
        TestDdeServer server("TestProgman");
        auto* progman = new TProgMan(nullptr);
        progman->SetDdeService("TestProgman");
        progman->SetDdeTopic("Group");
        ASSERT_TRUE(progman->OpenLink());
        DdeCallCounter counter;
        TComponent::Free(progman);
        EXPECT_EQ(counter.Calls(),
                  (std::vector<std::string>{"DdeDisconnect", "DdeFreeStringHandle", "DdeFreeStringHandle"}));
    }
}

TEST(ProgMan, DestroyingFiresOnCloseOnlyForAnOpenConversation)
{
    TDdeMgr manager(nullptr);
    EventLog closes;
    TestDdeClient client;
    {
        TProgMan unconnected(nullptr);
        unconnected.SetOnClose(closes.Event());
        unconnected.SetDdeService("Svc");
    }
    EXPECT_EQ(closes.Count, 0);
    {
        TProgMan progman(nullptr);
        progman.SetOnClose(closes.Event());
        progman.SetDdeService(ServiceName);
        progman.SetDdeTopic("System");
        ASSERT_TRUE(progman.OpenLink());
    }
    EXPECT_EQ(closes.Count, 1);
}
