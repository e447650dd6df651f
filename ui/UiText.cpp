#include "UiText.h"

#include "LanguageChoice.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <algorithm>

namespace {

QTranslator& translator() {
    static QTranslator loaded;
    return loaded;
}

// Qt's own texts, from the catalogs the system's Qt brings.
QTranslator& qtTranslator() {
    static QTranslator loaded;
    return loaded;
}

std::string& language() {
    static std::string name;
    return name;
}

void loadQtTexts(const std::vector<std::string>& names) {
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    QCoreApplication::removeTranslator(&qtTranslator());
    static_cast<void>(qtTranslator().load(QString()));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const bool found = std::ranges::any_of(names, [&folder](const std::string& name) {
        return qtTranslator().load(QStringLiteral("qtbase_") + QString::fromStdString(name),
                                   folder);
    });
    if (found) {
        QCoreApplication::installTranslator(&qtTranslator());
    }
}

} // namespace

bool UiText::Load() {
    const std::vector<std::string> names = LanguageChoice::FromEnvironment();
    // A load discards what was loaded before, even when it fails: no name, no translation.
    static_cast<void>(translator().load(QString()));
    language().clear();
    loadQtTexts(names);
    const auto loaded = std::ranges::find_if(names, [](const std::string& name) {
        return translator().load(QStringLiteral(":/i18n/%1.qm").arg(QString::fromStdString(name)));
    });
    if (loaded != names.end()) {
        language() = *loaded;
    }
    return names.empty() || loaded != names.end();
}

QString UiText::Shown(const char* text) {
    // The catalogs carry no context: each text means one thing wherever it stands.
    const QString translated = translator().translate("", text);
    return translated.isEmpty() ? QString::fromUtf8(text) : translated;
}

const std::string& UiText::Language() {
    return language();
}
