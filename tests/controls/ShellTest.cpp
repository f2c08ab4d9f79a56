#include <windows.h>
#include <ddeml.h>

#include <gtest/gtest.h>

#include <memory>

#include "shell/DdeMan.h"
#include "shell/Progman.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

HDDEDATA CALLBACK ClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

// A DDE instance of the test's own, playing the other program.
class DdeClient {
public:
    DdeClient()
    {
        EXPECT_EQ(DdeInitializeA(&m_instance, &ClientCallback, APPCMD_CLIENTONLY, 0), DMLERR_NO_ERROR);
    }
    ~DdeClient() { DdeUninitialize(m_instance); }

    // Whether a conversation with the service on the topic can be opened.
    bool CanConnect(const char* service, const char* topic)
    {
        HSZ hszService = DdeCreateStringHandleA(m_instance, service, CP_WINANSI);
        HSZ hszTopic = DdeCreateStringHandleA(m_instance, topic, CP_WINANSI);
        HCONV conv = DdeConnect(m_instance, hszService, hszTopic, nullptr);
        if (conv)
            DdeDisconnect(conv);
        DdeFreeStringHandle(m_instance, hszService);
        DdeFreeStringHandle(m_instance, hszTopic);
        return conv != nullptr;
    }

private:
    DWORD m_instance = 0;
};

// The test program's executable is controls_tests.exe.
constexpr const char* ServiceName = "controls_tests";

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
    DdeClient client;
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
}

TEST(DdeClientConv, NoLinkInfoWithoutServiceAndTopic)
{
    TDdeClientConv conv(nullptr);
    conv.SetName("Conv1");
    const Bytes stream = WriteRoot(&conv);
    EXPECT_FALSE(Contains(stream, "LinkInfo"));

    conv.SetDdeTopic("OnlyTopic");
    EXPECT_TRUE(Contains(WriteRoot(&conv), "LinkInfo"));
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

TEST(DdeClientConv, LoadingWithAServiceConnectsAutomatically)
{
    TDdeMgr manager(nullptr);
    const Bytes stream = RootStream("TDdeClientConv", "Conv1", [](TWriter& w) {
        w.WritePropName("LinkInfo");
        w.WriteListBegin();
        w.WriteString(std::string("Service ") + ServiceName);
        w.WriteString("Topic System");
        w.WriteListEnd();
    });
    TDdeClientConv conv(nullptr);
    ReadRoot(stream, &conv);
    EXPECT_NE(conv.Conv(), nullptr);
    EXPECT_EQ(conv.DdeService(), ServiceName);
    EXPECT_EQ(conv.DdeTopic(), "System");

    EventLog closes;
    conv.SetOnClose(closes.Event());
    conv.CloseLink();
    EXPECT_EQ(closes.Count, 1);
    EXPECT_EQ(conv.Conv(), nullptr);
    EXPECT_EQ(conv.DdeService(), "");
    EXPECT_EQ(conv.DdeTopic(), "");
    conv.CloseLink();
    EXPECT_EQ(closes.Count, 1);
}

TEST(DdeClientConv, AFailedAutomaticConnectionClearsServiceAndTopic)
{
    TDdeMgr manager(nullptr);
    const Bytes stream = RootStream("TDdeClientConv", "Conv1", [](TWriter& w) {
        w.WritePropName("LinkInfo");
        w.WriteListBegin();
        w.WriteString("Service NoSuchDdeService");
        w.WriteString("Topic System");
        w.WriteListEnd();
    });
    TDdeClientConv conv(nullptr);
    ReadRoot(stream, &conv);
    EXPECT_EQ(conv.Conv(), nullptr);
    EXPECT_EQ(conv.DdeService(), "");
    EXPECT_EQ(conv.DdeTopic(), "");
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

TEST(ProgMan, DestroyingAnUnconnectedComponentRaisesNoClose)
{
    EventLog closes;
    {
        TProgMan progman(nullptr);
        progman.SetOnClose(closes.Event());
        progman.SetDdeService("Svc");
    }
    EXPECT_EQ(closes.Count, 0);
}

TEST(ProgMan, DestroyingAConnectedComponentClosesTheConversation)
{
    TDdeMgr manager(nullptr);
    EventLog closes;
    DdeClient client;
    {
        TProgMan progman(nullptr);
        progman.SetOnClose(closes.Event());
        progman.SetDdeService(ServiceName);
        progman.SetDdeTopic("System");
        ASSERT_TRUE(progman.OpenLink());
    }
    EXPECT_EQ(closes.Count, 1);
}
