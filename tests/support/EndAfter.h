// For the preview programs: ends the application's run after a while.
#pragma once

#include <windows.h>

#include "framework/Application.h"

// Asks the application to end once the seconds have passed; the message
// loop then takes the request.
inline void EndApplicationAfter(int seconds)
{
    struct Timer {
        static void CALLBACK End(HWND, UINT, UINT_PTR, DWORD)
        {
            // An entry from the platform: nothing may escape it.
            try {
                Application->Terminate();
            } catch (...) {
                PostQuitMessage(0);
            }
        }
    };
    SetTimer(nullptr, 0, static_cast<UINT>(seconds * 1000), Timer::End);
}
