// What the DDE tests share: a DDE server of the test's own in the test's
// thread, a client instance playing another program, a second program that
// serves or probes a service, the pumping of messages with a deadline, and a
// counter of the calls the program makes to the DDE library.
#pragma once

#include <windows.h>
#include <ddeml.h>

#include <functional>
#include <string>
#include <vector>

// Handles this thread's messages until done returns true or the time is up;
// returns done's last answer. The deadline is the watchdog of every test
// that waits on a conversation.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 10000);

// A DDE server in the test's thread, registered under a service name. It
// accepts a conversation on any topic in accepted (all when empty) and
// remembers what the conversations brought.
class TestDdeServer {
public:
    explicit TestDdeServer(const std::string& service, std::vector<std::string> accepted = {});
    ~TestDdeServer();
    TestDdeServer(const TestDdeServer&) = delete;
    TestDdeServer& operator=(const TestDdeServer&) = delete;

    // The topics asked for by XTYP_CONNECT, accepted or not, in order.
    std::vector<std::string> ConnectTopics;
    // The code page of each connection's context (0 without a context).
    std::vector<int> ConnectCodePages;
    int Confirmed = 0;
    int Disconnected = 0;

private:
    static HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV conv, HSZ hsz1, HSZ hsz2, HDDEDATA data,
                                      ULONG_PTR data1, ULONG_PTR data2);
    HDDEDATA Handle(UINT type, HSZ hsz1, ULONG_PTR data1);

    DWORD m_instance = 0;
    HSZ m_service = nullptr;
    std::vector<std::string> m_accepted;
};

// A client-only DDE instance of the test's own, playing another program of
// the same thread.
class TestDdeClient {
public:
    TestDdeClient();
    ~TestDdeClient();
    TestDdeClient(const TestDdeClient&) = delete;
    TestDdeClient& operator=(const TestDdeClient&) = delete;

    // Whether a conversation with the service on the topic can be opened.
    bool CanConnect(const char* service, const char* topic);

private:
    DWORD m_instance = 0;
};

// The helper program beside the test program: "probe <service> <topic>" ends
// with 0 when it could open a conversation, 1 when not; "serve <service>"
// registers the service and serves until its first conversation ends.
std::string DdeHelperPath();
// Runs a program and waits for its end while this thread keeps handling
// messages (a program's DDE calls wait on this thread's DDE windows); returns
// its exit code, or NotEnded (a test failure) when it does not end within 30
// seconds and is stopped.
constexpr DWORD NotEnded = 0xDEAD;
DWORD RunWhilePumping(const std::string& commandLine);
// Runs the helper's probe in another process. Returns whether the other
// process could connect.
bool ProbeFromAnotherProcess(const std::string& service, const std::string& topic);

// A client-only DDE instance that notes the service names that programs
// register and unregister while it exists (base names, as registered).
class DdeRegistrationWatcher {
public:
    DdeRegistrationWatcher();
    ~DdeRegistrationWatcher();
    DdeRegistrationWatcher(const DdeRegistrationWatcher&) = delete;
    DdeRegistrationWatcher& operator=(const DdeRegistrationWatcher&) = delete;

    std::vector<std::string> Registered;
    std::vector<std::string> Unregistered;

private:
    static HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV conv, HSZ hsz1, HSZ hsz2, HDDEDATA data,
                                      ULONG_PTR data1, ULONG_PTR data2);
    DWORD m_instance = 0;
};

// While it exists, counts the calls that this program makes to the DDE
// library's functions, by pointing the program's import entries for them at
// counting functions that pass every call on.
class DdeCallCounter {
public:
    DdeCallCounter();
    ~DdeCallCounter();
    DdeCallCounter(const DdeCallCounter&) = delete;
    DdeCallCounter& operator=(const DdeCallCounter&) = delete;

    // The calls since construction, as "Name" once per call, in order.
    const std::vector<std::string>& Calls() const;

private:
    std::vector<std::pair<void**, void*>> m_patched;  // import slot, original function
};
