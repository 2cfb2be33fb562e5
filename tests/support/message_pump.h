#pragma once
#include <windows.h>

// Handles everything queued for this thread, posted notifications included.
// A WM_QUIT found on the way is dropped.
inline void PumpMessages()
{
    MSG message;
    // Bounded: a window that never validates would otherwise keep us here.
    for (int i = 0; i < 20000 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i)
        if (message.message != WM_QUIT)
            DispatchMessageA(&message);
}
