#pragma once

#include "LanguageChoice.h"

// The catalog of a program without a toolkit: gettext on Linux, built in on Windows.
namespace Catalog {
// Picks the user's language by the shared rule and opens its catalog; call once, first.
void Open(LanguageChoice::Unnamed unnamed = LanguageChoice::Unnamed::AsWritten);
// Every text as written from here on, and the system's reasons as the system writes them where
// it can tell them apart from the user's language (not on Windows).
void Close();
// `text` in the user's language; `text` itself where the catalog has none.
const char* Translated(const char* text);
// The name of the catalog opened ("en", "zh_CN"); empty while the texts are as written.
const char* Language();
} // namespace Catalog
