#pragma once

#include <QString>
#include <string>

// The Qt window's texts in the user's language, from the catalogs turned into Qt's form at build
// time, and Qt's own texts (its dialogs, its buttons, --help) from Qt's catalogs in the same
// language. Works before the application object exists, for --help.
namespace UiText {
// Loads the catalog the shared rule picks from the environment; none under C and POSIX. False
// when that catalog is missing, and the texts stay as written. Qt's own catalog is installed
// into the application object, when there is one, from the first of the same names Qt has.
bool Load();
// `text` (UTF-8) in the loaded language; as written where the catalog has none.
QString Shown(const char* text);
// The name of the catalog loaded ("en", "zh_CN"); empty while the texts stay as written.
const std::string& Language();
} // namespace UiText
