#include "TypedName.h"

#include <system_error>

std::filesystem::path TypedName::WithDefaultSuffix(const std::filesystem::path& path) {
    const std::filesystem::path::string_type name = path.filename().native();
    std::error_code error;
    if (name.find(std::filesystem::path::value_type{'.'}) !=
            std::filesystem::path::string_type::npos ||
        std::filesystem::exists(path, error)) {
        return path;
    }
    std::filesystem::path withSuffix = path;
    return withSuffix.replace_extension(kDefaultSuffix);
}
