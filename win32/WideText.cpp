#include "WideText.h"

#include <windows.h>

std::wstring WideText::FromUtf8(std::string_view utf8) {
    const int size = static_cast<int>(utf8.size());
    const int wideSize = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideSize > 0 ? wideSize : 0), L'\0');
    if (wideSize > 0) {
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), wideSize);
    }
    return wide;
}

std::string WideText::ToUtf8(std::wstring_view wide) {
    const int size = static_cast<int>(wide.size());
    const int utf8Size =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(utf8Size > 0 ? utf8Size : 0), '\0');
    if (utf8Size > 0) {
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), utf8Size, nullptr,
                              nullptr);
    }
    return utf8;
}

std::wstring WideText::CutToUtf8Bytes(const std::wstring& text, std::size_t bytes) {
    std::wstring cut = text;
    while (ToUtf8(cut).size() > bytes) {
        cut.pop_back();
        // A surrogate pair goes as a whole.
        if (!cut.empty() && IS_HIGH_SURROGATE(cut.back())) {
            cut.pop_back();
        }
    }
    return cut;
}
