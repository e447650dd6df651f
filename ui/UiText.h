#pragma once

#include <QString>

// The Qt window's texts in the user's language, from the catalogs turned into Qt's form at build
// time. Works before the application object exists, for --help.
namespace UiText {
// Loads the catalog the shared rule picks from the environment; none under C and POSIX. False
// when that catalog is missing, and the texts stay as written.
bool Load();
// `text` (UTF-8) in the loaded language; as written where the catalog has none.
QString Shown(const char* text);
} // namespace UiText
