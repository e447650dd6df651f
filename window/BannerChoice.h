#pragma once

#include <string_view>

// The banner goes with the window's texts: the Chinese one where they stay as written or come
// from a Chinese catalog, the English one with any other catalog.
namespace BannerChoice {
enum class Banner { Chinese, English };

// `catalog`: the name of the catalog the texts come from ("en", "zh_CN"), empty for none.
inline Banner ForCatalog(std::string_view catalog) {
    return catalog.empty() || catalog.starts_with("zh") ? Banner::Chinese : Banner::English;
}
} // namespace BannerChoice
