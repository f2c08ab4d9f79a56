// Window messages as the framework passes them to its controls, and the
// framework's own private messages, all numbered from one base.
#pragma once

#include <windows.h>

struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result = 0;
};

// Private messages of the framework.
enum : UINT {
    CM_BASE = WM_APP + 0x100,
    CM_RELEASE = CM_BASE + 1,  // posted to a form that frees itself when it arrives
};
