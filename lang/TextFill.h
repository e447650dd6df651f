#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace TextFill {
// `format` with each "%s" replaced by the next of `values`, so that a translation may move them.
std::string Fill(std::string_view format, std::initializer_list<std::string_view> values);
} // namespace TextFill
