#include "UiText.h"

#include "LanguageChoice.h"

#include <QTranslator>
#include <algorithm>

namespace {

QTranslator& translator() {
    static QTranslator loaded;
    return loaded;
}

} // namespace

bool UiText::Load() {
    const std::vector<std::string> names = LanguageChoice::FromEnvironment();
    // A load discards what was loaded before, even when it fails: no name, no translation.
    static_cast<void>(translator().load(QString()));
    return names.empty() || std::ranges::any_of(names, [](const std::string& name) {
               return translator().load(
                   QStringLiteral(":/i18n/%1.qm").arg(QString::fromStdString(name)));
           });
}

QString UiText::Shown(const char* text) {
    // The catalogs carry no context: each text means one thing wherever it stands.
    const QString translated = translator().translate("", text);
    return translated.isEmpty() ? QString::fromUtf8(text) : translated;
}
