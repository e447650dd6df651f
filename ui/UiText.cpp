#include "UiText.h"

#include "LanguageChoice.h"

#include <QTranslator>

namespace {

QTranslator& translator() {
    static QTranslator loaded;
    return loaded;
}

} // namespace

bool UiText::Load() {
    const char* name = LanguageChoice::CatalogName(LanguageChoice::FromEnvironment());
    // A load discards what was loaded before, even when it fails.
    const bool loaded = translator().load(QStringLiteral(":/i18n/%1.qm").arg(QLatin1String(name)));
    return loaded || name == nullptr;
}

QString UiText::Shown(const char* text) {
    // The catalogs carry no context: each text means one thing wherever it stands.
    const QString translated = translator().translate("", text);
    return translated.isEmpty() ? QString::fromUtf8(text) : translated;
}
