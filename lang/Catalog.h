#pragma once

// The catalog of a program without a toolkit: gettext on Linux, built in on Windows.
namespace Catalog {
// Picks the user's language by the shared rule and opens its catalog; call once, first.
void Open();
// `text` in the user's language; `text` itself where the catalog has none.
const char* Translated(const char* text);
} // namespace Catalog
