#pragma once
#include <windows.h>

// Small owners that make "released on every path" hold by construction.

class MemoryDC
{
public:
    explicit MemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC() { if (dc_) DeleteDC(dc_); }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    operator HDC() const { return dc_; }
    bool Ok() const { return dc_ != nullptr; }
private:
    HDC dc_;
};

// GetDC/ReleaseDC; a null window gives the screen's context.
class WindowDC
{
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() { if (dc_) ReleaseDC(window_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    operator HDC() const { return dc_; }
    bool Ok() const { return dc_ != nullptr; }
private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a context and puts the previous one back.
class SelectGuard
{
public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectGuard() { if (old_) SelectObject(dc_, old_); }
    // False when the object could not be selected (a bitmap held by another DC).
    bool Ok() const { return old_ != nullptr; }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
private:
    HDC dc_;
    HGDIOBJ old_;
};

// Owns a handle for one scope, or for the object that holds it, and frees it
// with Free on every path.
template <typename Handle, typename Free>
class OwnedHandle
{
public:
    explicit OwnedHandle(Handle handle = nullptr) : handle_(handle) {}
    ~OwnedHandle() { Reset(); }
    OwnedHandle(OwnedHandle&& other) noexcept : handle_(other.Release()) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept { Reset(other.Release()); return *this; }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    operator Handle() const { return handle_; }
    Handle Get() const { return handle_; }
    bool Ok() const { return handle_ != nullptr; }
    // Gives the handle away (for example to the clipboard).
    Handle Release() { Handle h = handle_; handle_ = nullptr; return h; }
    // Frees the handle held, if any, and holds another.
    void Reset(Handle handle = nullptr)
    {
        if (handle_)
            Free()(handle_);
        handle_ = handle;
    }
private:
    Handle handle_;
};

struct DeleteGdiObject
{
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};

// Owns a pen, brush, bitmap or font made for one function and deletes it.
template <typename Handle>
using GdiObject = OwnedHandle<Handle, DeleteGdiObject>;

typedef GdiObject<HPEN> OwnedPen;
typedef GdiObject<HBRUSH> OwnedBrush;
typedef GdiObject<HBITMAP> OwnedBitmap;
