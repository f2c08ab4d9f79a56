// Whether a DDE service answers on a topic: a conversation is opened through
// the caller's DDE instance and closed again at once. Shared by the tests and
// the helper program that probes from another process.
#pragma once

#include <windows.h>
#include <ddeml.h>

inline bool ConnectOnce(DWORD instance, const char* service, const char* topic)
{
    HSZ hszService = DdeCreateStringHandleA(instance, service, CP_WINANSI);
    HSZ hszTopic = DdeCreateStringHandleA(instance, topic, CP_WINANSI);
    HCONV conv = DdeConnect(instance, hszService, hszTopic, nullptr);
    if (conv)
        DdeDisconnect(conv);
    DdeFreeStringHandle(instance, hszService);
    DdeFreeStringHandle(instance, hszTopic);
    return conv != nullptr;
}
