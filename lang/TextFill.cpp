#include "TextFill.h"

std::string TextFill::Fill(std::string_view format,
                           std::initializer_list<std::string_view> values) {
    std::string text;
    const auto* value = values.begin();
    for (std::size_t at = 0; at < format.size(); ++at) {
        if (format.substr(at, 2) == "%s" && value != values.end()) {
            text += *value++;
            ++at;
        } else {
            text += format[at];
        }
    }
    return text;
}
