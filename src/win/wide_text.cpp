#include "win/wide_text.h"

#include <new>

// Texts are put together under window procedures: without memory they come out
// empty rather than let std::bad_alloc cross into the system's code.
std::wstring WideText(const char* text)
{
    const int length = text ? lstrlenA(text) : 0;
    if (length == 0)
        return std::wstring();
    try {
        std::wstring wide(size_t(length), L'\0');
        const int made = MultiByteToWideChar(1252, 0, text, length, &wide[0], length);
        wide.resize(size_t(made > 0 ? made : 0));
        return wide;
    } catch (const std::bad_alloc&) {
        return std::wstring();
    }
}

std::wstring FormatWide(const char* format, std::initializer_list<std::wstring> parts)
{
    try {
        const std::wstring pattern = WideText(format);
        std::wstring out;
        const std::wstring* part = parts.begin();
        for (size_t at = 0; at < pattern.size(); ++at) {
            if (pattern.compare(at, 2, L"%s") == 0 && part != parts.end()) {
                out += *part++;
                ++at;
            } else {
                out += pattern[at];
            }
        }
        return out;
    } catch (const std::bad_alloc&) {
        return std::wstring();
    }
}

int MessageBoxText(HWND owner, const char* text, const char* caption, UINT style)
{
    return MessageBoxW(owner, WideText(text).c_str(), WideText(caption).c_str(), style);
}
