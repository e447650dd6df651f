#include "CAboutDlg.h"
#include "CVeltraneDlg.h"
#include "DialogForm.h"
#include "FileList.h"
#include "ModalCloser.h"
#include "UiText.h"

#include <QAccessible>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTranslator>
#include <cstdlib>
#include <initializer_list>

namespace {

// The user's locale as the desktop sets it: LANG alone.
void useLocale(const QString& lang) {
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) {
        unsetenv(variable);
    }
    setenv("LANG", qPrintable(lang), 1);
}

// The window's texts and every control's place, in template order.
QStringList shown(const QDialog& dialog) {
    QStringList texts{dialog.windowTitle()};
    for (const QWidget* control : dialog.findChildren<QWidget*>()) {
        if (const auto* label = qobject_cast<const QLabel*>(control)) {
            texts << label->text();
        } else if (const auto* button = qobject_cast<const QPushButton*>(control)) {
            texts << button->text();
        }
    }
    return texts;
}

QList<QRect> layoutOf(const QDialog& dialog) {
    QList<QRect> layout;
    for (const QWidget* control : dialog.findChildren<QWidget*>()) {
        layout << control->geometry();
    }
    return layout;
}

// Room a push button's frame and focus rectangle leave its text, each side.
constexpr int kButtonMargin = 3;

} // namespace

class TranslationTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setStyle(QStringLiteral("Windows")); }
    void cleanupTestCase() { useLocale(QStringLiteral("C")); }
    void windowsSpeakTheLocalesLanguageInTheirLayout_data();
    void windowsSpeakTheLocalesLanguageInTheirLayout();
    void qtsTextsTheBannerAndTheControlsNamesFollowTheLanguage_data();
    void qtsTextsTheBannerAndTheControlsNamesFollowTheLanguage();
};

void TranslationTest::windowsSpeakTheLocalesLanguageInTheirLayout_data() {
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("notice");
    const QStringList chinese{"Veltrane- Orvik软件-多文件合并",
                              "目标文件:",
                              "...",
                              "确定",
                              "停止",
                              "添加文件",
                              "关于Orvik软件免费工具",
                              "",
                              "多文件合并工具",
                              "Orvik软件免费工具系列",
                              "OK"};
    const QStringList english{"Veltrane- Orvik Software-File Joiner",
                              "Target:",
                              "...",
                              "Start",
                              "Stop",
                              "Add File",
                              "About Orvik Free Tools",
                              "",
                              "File Joiner",
                              "Orvik Free Tools",
                              "OK"};
    const QString stopped = QStringLiteral("\n已停止：目标文件不完整");
    const QString stoppedEnglish =
        QStringLiteral("combine end\nStopped: the target file is incomplete");
    QTest::newRow("C") << "C" << chinese << "combine end" + stopped;
    QTest::newRow("zh_CN") << "zh_CN.UTF-8" << chinese << "合并结束" + stopped;
    QTest::newRow("zh_TW") << "zh_TW.UTF-8" << chinese << "合并结束" + stopped;
    QTest::newRow("en_US") << "en_US.UTF-8" << english << stoppedEnglish;
    QTest::newRow("de_DE") << "de_DE.UTF-8" << english << stoppedEnglish;
}

// Each label and button is measured with the dialog's font against its template rectangle. The
// end notice of a stopped run translates each of its lines.
void TranslationTest::windowsSpeakTheLocalesLanguageInTheirLayout() {
    QFETCH(QString, lang);
    QFETCH(QStringList, texts);
    QFETCH(QString, notice);
    useLocale(QStringLiteral("C"));
    QVERIFY(UiText::Load());
    const QList<QRect> mainLayout = layoutOf(CVeltraneDlg());
    const QList<QRect> aboutLayout = layoutOf(CAboutDlg());
    useLocale(lang);
    QVERIFY(UiText::Load());

    CVeltraneDlg main;
    const CAboutDlg about;
    QCOMPARE(shown(main).mid(0, 6) + shown(about), texts);
    QStringList seen;
    const ModalCloser closer(ModalCloser::recordAndClose(seen));
    main.showApplicationNotice("combine end", RunOutcome::Stopped);
    QCOMPARE(seen, ModalCloser::plainBoxes({notice}));
    QCOMPARE(layoutOf(main), mainLayout);
    QCOMPARE(layoutOf(about), aboutLayout);
    for (const QDialog* dialog : std::initializer_list<const QDialog*>{&main, &about}) {
        const QFontMetrics metrics(dialog->font());
        for (const QWidget* control : dialog->findChildren<QWidget*>()) {
            const auto* button = qobject_cast<const QPushButton*>(control);
            const auto* label = qobject_cast<const QLabel*>(control);
            const QString text = button != nullptr ? button->text() : label ? label->text() : "";
            const int room = control->width() - (button != nullptr ? 2 * kButtonMargin : 0);
            QVERIFY2(metrics.horizontalAdvance(text) <= room,
                     qPrintable(control->objectName() + ": " + text));
        }
    }
}

void TranslationTest::qtsTextsTheBannerAndTheControlsNamesFollowTheLanguage_data() {
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("qtCatalog");
    QTest::addColumn<QString>("banner");
    QTest::addColumn<QStringList>("names");
    const QStringList english{"Target file", "Choose the target file", "Files to join",
                              "Progress of the current file"};
    const QStringList chinese{"目标文件", "选择目标文件", "要合并的文件", "当前文件的进度"};
    QTest::newRow("C") << "C"
                       << ""
                       << ":/banner.png" << english;
    QTest::newRow("zh_CN") << "zh_CN.UTF-8"
                           << "zh_CN"
                           << ":/banner.png" << chinese;
    QTest::newRow("zh_TW") << "zh_TW.UTF-8"
                           << "zh_TW"
                           << ":/banner.png" << chinese;
    QTest::newRow("en_US") << "en_US.UTF-8"
                           << ""
                           << ":/banner-en.png" << english;
    QTest::newRow("de_DE") << "de_DE.UTF-8"
                           << "de"
                           << ":/banner-en.png" << english;
}

// A Yes button reads as Qt's catalog for the language has it, read here from the catalog itself;
// a language Qt has no catalog for keeps Qt's English. Screen readers hear each control's name,
// and each link as a link named by the address it paints, its value and description.
void TranslationTest::qtsTextsTheBannerAndTheControlsNamesFollowTheLanguage() {
    QFETCH(QString, lang);
    QFETCH(QString, qtCatalog);
    QFETCH(QString, banner);
    QFETCH(QStringList, names);
    QString yes = QStringLiteral("&Yes");
    if (!qtCatalog.isEmpty()) {
        QTranslator qt;
        QVERIFY(qt.load("qtbase_" + qtCatalog, QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
        yes = qt.translate("QPlatformTheme", "&Yes");
        QVERIFY(!yes.isEmpty() && yes != "&Yes");
    }
    useLocale(lang);
    QVERIFY(UiText::Load());
    QMessageBox box(QMessageBox::NoIcon, "", "", QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), yes);
    const CVeltraneDlg main;
    QCOMPARE(main.findChild<QLabel*>("banner")->pixmap().toImage(), QImage(banner));
    names << "http://www.orvik.example"
          << "http://dl.orvik.example";
    const QStringList controls{"targetPath", "browseTarget", "fileList",
                               "progress",   "linkHome",     "linkSoftSite"};
    for (int i = 0; i < controls.size(); ++i) {
        QAccessibleInterface* named =
            QAccessible::queryAccessibleInterface(main.findChild<QWidget*>(controls[i]));
        QCOMPARE(named->text(QAccessible::Name), names[i]);
        QCOMPARE(named->role() == QAccessible::Link, i >= 4);
        QCOMPARE(named->text(QAccessible::Description), i >= 4 ? names[i] : QString());
    }
}

QTEST_MAIN(TranslationTest)
#include "TranslationTest.moc"
