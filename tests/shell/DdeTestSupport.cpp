#include "tests/shell/DdeTestSupport.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/shell/DdeConnectOnce.h"
#include "tests/support/ProgramPaths.h"

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds)
            return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(milliseconds - elapsed, 50), QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

// ---------------------------------------------------------------------------
// The test's own server

namespace {

// The DDE library's callback has no room for an object; one test server
// exists at a time.
TestDdeServer* currentServer = nullptr;

std::string StringOf(DWORD instance, HSZ hsz)
{
    char text[256] = {};
    DdeQueryStringA(instance, hsz, text, sizeof text, CP_WINANSI);
    return text;
}

} // namespace

TestDdeServer::TestDdeServer(const std::string& service, std::vector<std::string> accepted)
    : m_accepted(std::move(accepted))
{
    EXPECT_EQ(currentServer, nullptr) << "one test server at a time";
    currentServer = this;
    EXPECT_EQ(DdeInitializeA(&m_instance, &Callback, APPCLASS_STANDARD, 0), DMLERR_NO_ERROR);
    m_service = DdeCreateStringHandleA(m_instance, service.c_str(), CP_WINANSI);
    EXPECT_NE(DdeNameService(m_instance, m_service, nullptr, DNS_REGISTER), nullptr);
}

TestDdeServer::~TestDdeServer()
{
    DdeNameService(m_instance, m_service, nullptr, DNS_UNREGISTER);
    DdeFreeStringHandle(m_instance, m_service);
    DdeUninitialize(m_instance);
    currentServer = nullptr;
}

HDDEDATA CALLBACK TestDdeServer::Callback(UINT type, UINT, HCONV, HSZ hsz1, HSZ, HDDEDATA, ULONG_PTR data1, ULONG_PTR)
{
    return currentServer ? currentServer->Handle(type, hsz1, data1) : nullptr;
}

HDDEDATA TestDdeServer::Handle(UINT type, HSZ hsz1, ULONG_PTR data1)
{
    switch (type) {
    case XTYP_CONNECT: {
        const std::string topic = StringOf(m_instance, hsz1);
        ConnectTopics.push_back(topic);
        const auto* context = reinterpret_cast<const CONVCONTEXT*>(data1);
        ConnectCodePages.push_back(context ? context->iCodePage : 0);
        bool accept = m_accepted.empty();
        for (const std::string& name : m_accepted)
            accept = accept || lstrcmpiA(name.c_str(), topic.c_str()) == 0;
        return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(accept));
    }
    case XTYP_CONNECT_CONFIRM:
        ++Confirmed;
        return nullptr;
    case XTYP_DISCONNECT:
        ++Disconnected;
        return nullptr;
    default:
        return nullptr;
    }
}

// ---------------------------------------------------------------------------
// Another client

namespace {

HDDEDATA CALLBACK ClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

} // namespace

TestDdeClient::TestDdeClient()
{
    EXPECT_EQ(DdeInitializeA(&m_instance, &ClientCallback, APPCMD_CLIENTONLY, 0), DMLERR_NO_ERROR);
}

TestDdeClient::~TestDdeClient()
{
    DdeUninitialize(m_instance);
}

bool TestDdeClient::CanConnect(const char* service, const char* topic)
{
    return ConnectOnce(m_instance, service, topic);
}

// ---------------------------------------------------------------------------
// Another process

std::string DdeHelperPath()
{
    return TestProgramFolder() + "dde_helper.exe";
}

DWORD RunWhilePumping(const std::string& commandLine)
{
    std::string command = commandLine;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start " << command;
        return NotEnded;
    }
    CloseHandle(process.hThread);
    const bool ended = PumpUntil([&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 30000);
    DWORD code = NotEnded;
    if (ended) {
        GetExitCodeProcess(process.hProcess, &code);
    } else {
        ADD_FAILURE() << "the program did not end in time: " << command;
        TerminateProcess(process.hProcess, NotEnded);
    }
    CloseHandle(process.hProcess);
    return code;
}

bool ProbeFromAnotherProcess(const std::string& service, const std::string& topic)
{
    const DWORD code = RunWhilePumping("\"" + DdeHelperPath() + "\" probe " + service + " " + topic);
    EXPECT_LE(code, 1u) << "the probe failed";
    return code == 0;
}

// ---------------------------------------------------------------------------
// Registrations

namespace {

DdeRegistrationWatcher* currentWatcher = nullptr;

} // namespace

DdeRegistrationWatcher::DdeRegistrationWatcher()
{
    EXPECT_EQ(currentWatcher, nullptr) << "one watcher at a time";
    currentWatcher = this;
    EXPECT_EQ(DdeInitializeA(&m_instance, &Callback, APPCMD_CLIENTONLY, 0), DMLERR_NO_ERROR);
}

DdeRegistrationWatcher::~DdeRegistrationWatcher()
{
    DdeUninitialize(m_instance);
    currentWatcher = nullptr;
}

HDDEDATA CALLBACK DdeRegistrationWatcher::Callback(UINT type, UINT, HCONV, HSZ hsz1, HSZ, HDDEDATA, ULONG_PTR,
                                                   ULONG_PTR)
{
    if (!currentWatcher)
        return nullptr;
    if (type == XTYP_REGISTER)
        currentWatcher->Registered.push_back(StringOf(currentWatcher->m_instance, hsz1));
    else if (type == XTYP_UNREGISTER)
        currentWatcher->Unregistered.push_back(StringOf(currentWatcher->m_instance, hsz1));
    return nullptr;
}

// ---------------------------------------------------------------------------
// Counting the program's DDE calls

namespace {

std::vector<std::string> calls;
std::map<std::string, void*> originals;

template <typename F>
F Original(const char* name)
{
    return reinterpret_cast<F>(originals.at(name));
}

// One counting function per DDE library function the program imports; each
// records its name and passes the call on unchanged.
#define COUNTING(Ret, Name, Params, Args)                \
    Ret WINAPI Counting##Name Params                     \
    {                                                    \
        calls.push_back(#Name);                          \
        return Original<decltype(&::Name)>(#Name) Args;  \
    }

COUNTING(UINT, DdeInitializeA, (LPDWORD a, PFNCALLBACK b, DWORD c, DWORD d), (a, b, c, d))
COUNTING(BOOL, DdeUninitialize, (DWORD a), (a))
COUNTING(HCONV, DdeConnect, (DWORD a, HSZ b, HSZ c, PCONVCONTEXT d), (a, b, c, d))
COUNTING(BOOL, DdeDisconnect, (HCONV a), (a))
COUNTING(HSZ, DdeCreateStringHandleA, (DWORD a, LPCSTR b, int c), (a, b, c))
COUNTING(BOOL, DdeFreeStringHandle, (DWORD a, HSZ b), (a, b))
COUNTING(HDDEDATA, DdeNameService, (DWORD a, HSZ b, HSZ c, UINT d), (a, b, c, d))
COUNTING(HDDEDATA, DdeClientTransaction, (LPBYTE a, DWORD b, HCONV c, HSZ d, UINT e, UINT f, DWORD g, LPDWORD h),
         (a, b, c, d, e, f, g, h))
COUNTING(UINT, DdeGetLastError, (DWORD a), (a))
COUNTING(int, DdeCmpStringHandles, (HSZ a, HSZ b), (a, b))
COUNTING(DWORD, DdeQueryStringA, (DWORD a, HSZ b, LPSTR c, DWORD d, int e), (a, b, c, d, e))
#undef COUNTING

const std::map<std::string, void*>& CountingFunctions()
{
    static const std::map<std::string, void*> functions{
        {"DdeInitializeA", reinterpret_cast<void*>(&CountingDdeInitializeA)},
        {"DdeUninitialize", reinterpret_cast<void*>(&CountingDdeUninitialize)},
        {"DdeConnect", reinterpret_cast<void*>(&CountingDdeConnect)},
        {"DdeDisconnect", reinterpret_cast<void*>(&CountingDdeDisconnect)},
        {"DdeCreateStringHandleA", reinterpret_cast<void*>(&CountingDdeCreateStringHandleA)},
        {"DdeFreeStringHandle", reinterpret_cast<void*>(&CountingDdeFreeStringHandle)},
        {"DdeNameService", reinterpret_cast<void*>(&CountingDdeNameService)},
        {"DdeClientTransaction", reinterpret_cast<void*>(&CountingDdeClientTransaction)},
        {"DdeGetLastError", reinterpret_cast<void*>(&CountingDdeGetLastError)},
        {"DdeCmpStringHandles", reinterpret_cast<void*>(&CountingDdeCmpStringHandles)},
        {"DdeQueryStringA", reinterpret_cast<void*>(&CountingDdeQueryStringA)},
    };
    return functions;
}

void WriteSlot(void** slot, void* value)
{
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

} // namespace

DdeCallCounter::DdeCallCounter()
{
    calls.clear();
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); module->Name;
         ++module) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + module->Name), "user32.dll") != 0)
            continue;
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            const auto counting = CountingFunctions().find(reinterpret_cast<const char*>(byName->Name));
            if (counting == CountingFunctions().end())
                continue;
            void** slot = reinterpret_cast<void**>(&slots->u1.Function);
            originals[counting->first] = *slot;
            m_patched.emplace_back(slot, *slot);
            WriteSlot(slot, counting->second);
        }
    }
    EXPECT_TRUE(originals.count("DdeDisconnect") && originals.count("DdeFreeStringHandle"))
        << "the program's imports of the DDE library were not found";
}

DdeCallCounter::~DdeCallCounter()
{
    for (const auto& [slot, original] : m_patched)
        WriteSlot(slot, original);
}

const std::vector<std::string>& DdeCallCounter::Calls() const
{
    return calls;
}
