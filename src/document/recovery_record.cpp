#include "document/recovery_record.h"

#include <cstdlib>
#include <new>
#include <sstream>

#include "document/icon_document.h"

namespace {

const char* const kRecordHeading = "Vemiro recovery 1";

// The record keeps the document's path in UTF-8, whatever its script.
std::string Utf8(const std::wstring& text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(size_t(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

std::wstring FromUtf8(const std::string& utf8)
{
    const int chars = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), int(utf8.size()), nullptr, 0);
    std::wstring text(size_t(chars > 0 ? chars : 0), L'\0');
    if (chars > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), int(utf8.size()), &text[0], chars);
    return text;
}

}  // namespace

bool RecordOfDocument(const IconDocument& document, RecoveryRecord& record)
{
    try {
        record.originalPath = document.GetFilePath();
        record.currentImage = document.GetCurrentIndex();
        record.hotspots.clear();
        for (int i = 0; i < document.GetImageCount(); ++i)
            record.hotspots.push_back(document.GetImage(i)->GetHotspot());
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool RecordText(const RecoveryRecord& record, std::string& text)
{
    try {
        text = std::string(kRecordHeading) + "\nimage " + std::to_string(record.currentImage) + "\npath " +
               Utf8(record.originalPath) + "\nhotspots";
        for (const Hotspot& hotspot : record.hotspots)
            text += " " + std::to_string(hotspot.x) + " " + std::to_string(hotspot.y);
        text += "\n";
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

// Records written before hotspots were kept have no such line: their images
// keep what the copy itself holds.
bool ParseRecord(const std::string& text, RecoveryRecord& record)
{
    try {
        std::istringstream lines(text);
        std::string heading, image, path, hotspots;
        if (!std::getline(lines, heading) || heading != kRecordHeading || !std::getline(lines, image) ||
            image.compare(0, 6, "image ") != 0 || !std::getline(lines, path) || path.compare(0, 5, "path ") != 0)
            return false;
        RecoveryRecord read;
        read.currentImage = std::atoi(image.c_str() + 6);
        read.originalPath = FromUtf8(path.substr(5));
        if (std::getline(lines, hotspots) && hotspots.compare(0, 8, "hotspots") == 0) {
            std::istringstream numbers(hotspots.substr(8));
            unsigned x = 0, y = 0;
            while (numbers >> x >> y)
                read.hotspots.push_back(Hotspot{WORD(x), WORD(y)});
        }
        record = std::move(read);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}
