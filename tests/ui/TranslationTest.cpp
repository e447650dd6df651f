#include "CAboutDlg.h"
#include "CVeltraneDlg.h"
#include "DialogForm.h"
#include "FileList.h"
#include "ModalCloser.h"
#include "UiText.h"

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
    void qtsOwnTextsAndTheBannerFollowTheLanguage_data();
    void qtsOwnTextsAndTheBannerFollowTheLanguage();
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

void TranslationTest::qtsOwnTextsAndTheBannerFollowTheLanguage_data() {
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("qtCatalog");
    QTest::addColumn<QString>("banner");
    QTest::newRow("C") << "C"
                       << ""
                       << ":/banner.png";
    QTest::newRow("zh_CN") << "zh_CN.UTF-8"
                           << "zh_CN"
                           << ":/banner.png";
    QTest::newRow("zh_TW") << "zh_TW.UTF-8"
                           << "zh_TW"
                           << ":/banner.png";
    QTest::newRow("en_US") << "en_US.UTF-8"
                           << ""
                           << ":/banner-en.png";
    QTest::newRow("de_DE") << "de_DE.UTF-8"
                           << "de"
                           << ":/banner-en.png";
}

// A Yes button reads as Qt's catalog for the language has it, read here from the catalog itself;
// a language Qt has no catalog for keeps Qt's English.
void TranslationTest::qtsOwnTextsAndTheBannerFollowTheLanguage() {
    QFETCH(QString, lang);
    QFETCH(QString, qtCatalog);
    QFETCH(QString, banner);
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
}

QTEST_MAIN(TranslationTest)
#include "TranslationTest.moc"
