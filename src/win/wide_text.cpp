#include "win/wide_text.h"

#include <vector>

std::wstring WideText(const char* text)
{
    const int length = text ? lstrlenA(text) : 0;
    if (length == 0)
        return std::wstring();
    std::vector<wchar_t> wide(size_t(length) + 1);
    const int made = MultiByteToWideChar(1252, 0, text, length, wide.data(), length);
    return std::wstring(wide.data(), size_t(made > 0 ? made : 0));
}

std::wstring FormatWide(const char* format, std::initializer_list<std::wstring> parts)
{
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
}
