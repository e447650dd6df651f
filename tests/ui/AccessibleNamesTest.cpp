#include "CMyStaticLink.h"
#include "CVeltraneDlg.h"
#include "UiText.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <cstdlib>

namespace {

QAccessibleInterface* accessible(QObject* object) {
    QAccessibleInterface* found = QAccessible::queryAccessibleInterface(object);
    if (found == nullptr) {
        qFatal("no accessible interface for %s", qPrintable(object->objectName()));
    }
    return found;
}

} // namespace

Q_DECLARE_METATYPE(QAccessible::Role)

class AccessibleNamesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setStyle(QStringLiteral("Windows")); }
    void cleanupTestCase() {
        setenv("LANG", "C", 1);
        UiText::Load();
    }
    void everyControlIsNamedInTheUsersLanguage_data();
    void everyControlIsNamedInTheUsersLanguage();
    void aLabelIsALinkWhileHeld();
};

void AccessibleNamesTest::everyControlIsNamedInTheUsersLanguage_data() {
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    const QString home = QStringLiteral("http://www.orvik.example");
    const QString softSite = QStringLiteral("http://dl.orvik.example");
    const QList<QPair<const char*, QStringList>> languages{
        {"C",
         {"Target file", "Choose the target file", "Files to join",
          "Progress of the current file"}},
        {"zh_CN.UTF-8", {"目标文件", "选择目标文件", "要合并的文件", "当前文件的进度"}},
    };
    for (const auto& [lang, names] : languages) {
        const auto row = [lang = lang](const char* control) -> QTestData& {
            return QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(lang, control)))
                   << QString::fromLatin1(lang) << QString::fromLatin1(control);
        };
        row("targetPath") << QAccessible::EditableText << names[0] << QString();
        row("browseTarget") << QAccessible::Button << names[1] << QString();
        row("fileList") << QAccessible::Table << names[2] << QString();
        row("progress") << QAccessible::ProgressBar << names[3] << QStringLiteral("0");
        row("linkHome") << QAccessible::Link << home << home;
        row("linkSoftSite") << QAccessible::Link << softSite << softSite;
    }
}

// The names come with the window's texts; the links' addresses are their value and description.
void AccessibleNamesTest::everyControlIsNamedInTheUsersLanguage() {
    QFETCH(QString, lang);
    QFETCH(QString, control);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, name);
    QFETCH(QString, value);
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) {
        unsetenv(variable);
    }
    setenv("LANG", qPrintable(lang), 1);
    QVERIFY(UiText::Load());
    const CVeltraneDlg dlg;
    QAccessibleInterface* shown = accessible(dlg.findChild<QWidget*>(control));
    QCOMPARE(shown->role(), role);
    QCOMPARE(shown->text(QAccessible::Name), name);
    if (role == QAccessible::Link) {
        QCOMPARE(shown->text(QAccessible::Value), value);
        QCOMPARE(shown->text(QAccessible::Description), value);
    }
}

// Given back, the label is a plain text again, named by its own text; taken again, a link.
void AccessibleNamesTest::aLabelIsALinkWhileHeld() {
    QLabel label(QStringLiteral("官网: www.orvik.example"));
    QCOMPARE(accessible(&label)->role(), QAccessible::StaticText);
    for (int round = 0; round < 2; ++round) {
        CMyStaticLink link;
        QVERIFY(link.Attach(&label));
        QVERIFY(link.SetLink(QStringLiteral("title"), QStringLiteral("http://a.example")));
        QAccessibleInterface* shown = accessible(&label);
        QCOMPARE(shown->role(), QAccessible::Link);
        QCOMPARE(shown->text(QAccessible::Name), QStringLiteral("title"));
        QCOMPARE(shown->text(QAccessible::Value), QStringLiteral("http://a.example"));
        QCOMPARE(label.text(), QStringLiteral("官网: www.orvik.example"));
        link.Detach();
        shown = accessible(&label);
        QCOMPARE(shown->role(), QAccessible::StaticText);
        QCOMPARE(shown->text(QAccessible::Name), QStringLiteral("官网: www.orvik.example"));
    }
}

QTEST_MAIN(AccessibleNamesTest)
#include "AccessibleNamesTest.moc"
