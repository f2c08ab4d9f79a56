// The DDE manager, made at start-up, that holds the program's DDE instance and
// service name, and the client conversation: its stored service and topic, and
// opening and closing the link.
#include "shell/DdeMan.h"

#include <windows.h>
#include <ddeml.h>

#include <type_traits>

#include "framework/Application.h"
#include "framework/ErrorRouting.h"
#include "framework/Reader.h"
#include "framework/Writer.h"
#include "runtime/Paths.h"
#include "runtime/ScopeGuard.h"

TDdeMgr* DdeMgr = nullptr;

std::string DdeErrorMessage(unsigned code)
{
    switch (code) {
    case DMLERR_LOW_MEMORY:
    case DMLERR_MEMORY_ERROR:
        return Format(LoadResString(StrId::SDdeMemErr), {code});
    case DMLERR_NO_CONV_ESTABLISHED:
        return Format(LoadResString(StrId::SDdeConvErr), {code});
    default:
        return Format(LoadResString(StrId::SDdeErr), {code});
    }
}

// ---------------------------------------------------------------------------
// TDdeMgr

const TClassInfo& TDdeMgr::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TDdeMgr, TComponent>("TDdeMgr").Build();
    return info;
}

namespace {

// The executable's file name without its directory and without everything
// from its first full stop on: SETUP.EXE registers SETUP.
std::string ExecutableBaseName()
{
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = FileNamePart(path);
    const size_t dot = name.find('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

HDDEDATA CALLBACK DdeMgrCallback(UINT type, UINT, HCONV, HSZ, HSZ hsz2, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return GuardEntry(DdeMgr, HDDEDATA(nullptr), [&]() -> HDDEDATA {
        // The program serves no data. It accepts a conversation on its own
        // service name, so that another program can tell it is running;
        // every transaction on such a conversation is refused.
        if (type == XTYP_CONNECT)
            return reinterpret_cast<HDDEDATA>(
                static_cast<ULONG_PTR>(DdeMgr && DdeCmpStringHandles(hsz2, DdeMgr->AppNameHandle()) == 0));
        return nullptr;
    });
}

// The DDE support's start-up step: the program's DDE manager, owned by the
// application object, so that it lives until the program ends and is freed
// after the forms.
void CreateDdeMgr()
{
    new TDdeMgr(Application);
}

const bool ddeStartupRegistered = RegisterUnitStartup(CreateDdeMgr);

} // namespace

static_assert(std::is_same_v<HSZ, HSZ__*> && std::is_same_v<HCONV, HCONV__*>,
              "the header's handle types are the DDE library's");

void DdeFree::operator()(HSZ__* hsz) const
{
    DdeFreeStringHandle(Instance, hsz);
}

void DdeFree::operator()(HCONV__* conv) const
{
    DdeDisconnect(conv);
}

DdeInstance::~DdeInstance()
{
    if (m_id)
        DdeUninitialize(m_id);
}

TDdeMgr::TDdeMgr(TComponent* owner) : TComponent(owner), m_appName(ExecutableBaseName())
{
    m_linkClipFmt = RegisterClipboardFormatA("Link");
    // NOTE: the message is chosen by the code that the failed initialisation
    // returns. DdeGetLastError needs the instance that a failed
    // initialisation never gives, so it could only name a bad parameter.
    const UINT result = DdeInitializeA(m_instance.Receiver(), &DdeMgrCallback, 0, 0);
    if (result != DMLERR_NO_ERROR)
        throw EDdeError(DdeErrorMessage(result));
    m_hszApp = DdeString(DdeCreateStringHandleA(m_instance.Id(), m_appName.c_str(), CP_WINANSI), {m_instance.Id()});
    DdeNameService(m_instance.Id(), m_hszApp.get(), nullptr, DNS_REGISTER);
    DdeMgr = this;
}

// The name is unregistered here; the members then free the string handle and
// uninitialise the library, in that order.
TDdeMgr::~TDdeMgr()
{
    if (DdeMgr == this)
        DdeMgr = nullptr;
    if (m_hszApp)
        DdeNameService(m_instance.Id(), m_hszApp.get(), nullptr, DNS_UNREGISTER);
}

// ---------------------------------------------------------------------------
// TDdeClientConv

template <>
const TEnumTypeInfo& EnumTypeOf<TDataMode>()
{
    static const TEnumTypeInfo info = EnumType<ddeManual>("TDataMode", {"ddeAutomatic", "ddeManual"});
    return info;
}

const TClassInfo& TDdeClientConv::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TDdeClientConv, TComponent>("TDdeClientConv")
        .Property<&TDdeClientConv::ServiceApplication, &TDdeClientConv::SetServiceApplication>("ServiceApplication")
        .Property<&TDdeClientConv::StoredService, &TDdeClientConv::SetDdeService>("DdeService")
        .Property<&TDdeClientConv::StoredTopic, &TDdeClientConv::SetDdeTopic>("DdeTopic")
        .Property<&TDdeClientConv::ConnectMode, &TDdeClientConv::SetConnectMode>("ConnectMode", ddeAutomatic)
        .Property<&TDdeClientConv::FormatChars, &TDdeClientConv::SetFormatChars>("FormatChars", false)
        .Property<&TDdeClientConv::OnClose, &TDdeClientConv::SetOnClose>("OnClose")
        .Property<&TDdeClientConv::OnOpen, &TDdeClientConv::SetOnOpen>("OnOpen")
        .Build();
    return info;
}

TDdeClientConv::TDdeClientConv(TComponent* owner) : TComponent(owner) {}

TDdeClientConv::~TDdeClientConv()
{
    // A destructor may not raise: what OnClose raises is reported.
    CallHandler(this, [this] { CloseLink(); });
}

std::string TDdeClientConv::StoredService() const
{
    return ComponentState().Contains(csWriting) ? std::string() : m_service;
}

std::string TDdeClientConv::StoredTopic() const
{
    return ComponentState().Contains(csWriting) ? std::string() : m_topic;
}

void TDdeClientConv::WriteState(TWriter& writer)
{
    // Service and topic go out once, as LinkInfo (DefineProperties); while
    // the properties are written their published getters show nothing.
    SetState(csWriting, true);
    const ScopeExit written([this] { SetState(csWriting, false); });
    TComponent::WriteState(writer);
}

void TDdeClientConv::DefineProperties(TFiler& filer)
{
    TComponent::DefineProperties(filer);
    filer.DefineProperty(
        "LinkInfo",
        [this](TReader& reader) {
            // Each line is a keyword and a value after its first blank; the
            // keyword's first letter tells which.
            reader.ReadListBegin();
            while (!reader.EndOfList()) {
                const std::string line = reader.ReadString();
                const size_t blank = line.find(' ');
                const std::string value = blank == std::string::npos ? std::string() : line.substr(blank + 1);
                if (!line.empty() && line[0] == 'S')
                    m_service = value;
                else if (!line.empty() && line[0] == 'T')
                    m_topic = value;
            }
            reader.ReadListEnd();
        },
        [this](TWriter& writer) {
            writer.WriteListBegin();
            writer.WriteString("Service " + m_service);
            writer.WriteString("Topic " + m_topic);
            writer.WriteListEnd();
        },
        !m_service.empty() || !m_topic.empty());
}

void TDdeClientConv::Loaded()
{
    TComponent::Loaded();
    if (m_service.empty() || m_connectMode == ddeManual)
        return;
    const std::string service = m_service;
    const std::string topic = m_topic;
    CloseLink();
    m_service = service;
    m_topic = topic;
    if (!OpenLink()) {
        m_service.clear();
        m_topic.clear();
    }
}

void TDdeClientConv::SetConnectMode(TDataMode value)
{
    if (value == m_connectMode)
        return;
    // While the component is read the loaded step connects instead. A
    // connection that fails keeps the mode as it was.
    if (value == ddeAutomatic && !IsLoading() && !m_service.empty() && !m_topic.empty() && !OpenLink())
        throw EDdeError(StrId::SDdeNoConnect);
    m_connectMode = value;
}

bool TDdeClientConv::OpenLink()
{
    if (m_conv)
        return true;
    if (m_service.empty() && m_topic.empty())
        return false;
    // Without the program's DDE manager there is no DDE instance to talk through.
    if (!DdeMgr)
        return false;
    m_hszService.reset();
    m_hszTopic.reset();
    const unsigned long instance = DdeMgr->DdeInstId();
    m_hszService = DdeString(DdeCreateStringHandleA(instance, m_service.c_str(), CP_WINANSI), {instance});
    m_hszTopic = DdeString(DdeCreateStringHandleA(instance, m_topic.c_str(), CP_WINANSI), {instance});
    CONVCONTEXT context{};
    context.cb = sizeof context;
    context.iCodePage = CP_WINANSI;
    m_conv.reset(DdeConnect(instance, m_hszService.get(), m_hszTopic.get(), &context));
    if (!m_conv && (!m_serviceApplication.empty() || !m_service.empty())) {
        // Start the server, minimised and without taking the focus, and try
        // once more.
        const std::string command =
            !m_serviceApplication.empty() ? m_serviceApplication : m_service + " " + m_topic;
        if (WinExec(command.c_str(), SW_SHOWMINNOACTIVE) >= 32)
            m_conv.reset(DdeConnect(instance, m_hszService.get(), m_hszTopic.get(), &context));
    }
    if (!m_conv)
        return false;
    if (m_onOpen)
        m_onOpen(this);
    return true;
}

void TDdeClientConv::CloseLink()
{
    // The conversation ends also when OnClose raises.
    const ScopeExit end([this] { EndConversation(); });
    if (m_conv && m_onClose)
        m_onClose(this);
}

void TDdeClientConv::EndConversation()
{
    m_conv.reset();
    m_hszService.reset();
    m_hszTopic.reset();
    m_service.clear();
    m_topic.clear();
}
