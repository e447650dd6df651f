#pragma once

#include <string>
#include <string_view>

// The window speaks UTF-16 to the system and UTF-8 to the engine and the shared templates.
namespace WideText {
std::wstring FromUtf8(std::string_view utf8);
std::string ToUtf8(std::wstring_view wide);
// The longest start of `text` whose UTF-8 form has at most `bytes` bytes, whole characters only.
std::wstring CutToUtf8Bytes(const std::wstring& text, std::size_t bytes);
} // namespace WideText
