#pragma once

#include <span>

struct CatalogEntry {
    const char* id;
    const char* text;
};

// The .po catalogs, turned into tables at build time.
namespace BuiltInCatalogs {
// The translated entries of the catalog named `name` ("en", "zh_CN"); none for another name.
std::span<const CatalogEntry> Find(const char* name);
} // namespace BuiltInCatalogs
