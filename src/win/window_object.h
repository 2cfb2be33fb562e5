#pragma once
#include <windows.h>

// The object behind a window lives in GWL_USERDATA: stored from the creation
// parameter on WM_CREATE, read back for every later message.
inline void AttachObject(HWND window, LPARAM createParams)
{
    const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(createParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
}

template <typename T>
T* ObjectOf(HWND window)
{
    return reinterpret_cast<T*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}
