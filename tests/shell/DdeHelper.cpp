// A second program for the DDE tests: another client that probes whether a
// service answers, or a server that a conversation starts when its first
// attempt fails.
//   dde_helper probe <service> <topic>   exit code 0 when a conversation opened, 1 when not
//   dde_helper serve [<service>]         serves the service (by default the program's own
//                                        name) on any topic until the first conversation
//                                        ends, or for 30 seconds at most
#include <windows.h>
#include <ddeml.h>

#include <string>
#include <vector>

#include "tests/shell/DdeConnectOnce.h"

namespace {

HDDEDATA CALLBACK ServerCallback(UINT type, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    if (type == XTYP_CONNECT)
        return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(TRUE));
    if (type == XTYP_DISCONNECT)
        PostQuitMessage(0);
    return nullptr;
}

HDDEDATA CALLBACK ClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

int Probe(const std::string& service, const std::string& topic)
{
    DWORD instance = 0;
    if (DdeInitializeA(&instance, &ClientCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        return 2;
    const bool connected = ConnectOnce(instance, service.c_str(), topic.c_str());
    DdeUninitialize(instance);
    return connected ? 0 : 1;
}

int Serve(const std::string& service)
{
    DWORD instance = 0;
    if (DdeInitializeA(&instance, &ServerCallback, APPCLASS_STANDARD, 0) != DMLERR_NO_ERROR)
        return 2;
    HSZ hszService = DdeCreateStringHandleA(instance, service.c_str(), CP_WINANSI);
    DdeNameService(instance, hszService, nullptr, DNS_REGISTER);
    // The watchdog: a test that never connects must not leave this running.
    SetTimer(nullptr, 0, 30000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == nullptr)
            break;
        DispatchMessageA(&msg);
    }
    DdeNameService(instance, hszService, nullptr, DNS_UNREGISTER);
    DdeFreeStringHandle(instance, hszService);
    DdeUninitialize(instance);
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::vector<std::string> args;
    for (int i = 1; i < __argc; ++i)
        args.emplace_back(__argv[i]);
    if (args.size() == 3 && args[0] == "probe")
        return Probe(args[1], args[2]);
    if (args.size() <= 2 && !args.empty() && args[0] == "serve")
        return Serve(args.size() == 2 ? args[1] : "dde_helper");
    return 3;
}
