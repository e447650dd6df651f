#include "CAboutDlg.h"
#include "CVeltraneDlg.h"
#include "DialogForm.h"
#include "DialogUnits.h"
#include "FileList.h"
#include "UiText.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QTest>
#include <cstdlib>

namespace {

// The user's locale as the desktop sets it: LANG alone.
void useLocale(const char* lang) {
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) {
        unsetenv(variable);
    }
    setenv("LANG", lang, 1);
}

// The layout of each control by name.
QMap<QString, QRect> layoutOf(const QDialog& dialog) {
    QMap<QString, QRect> layout;
    for (const QWidget* control : dialog.findChildren<QWidget*>()) {
        layout.insert(control->objectName(), control->geometry());
    }
    return layout;
}

// Every control's place in both windows as they stand under C, the locale left as it was.
QMap<QString, QRect> layoutAsWritten(const char* lang) {
    useLocale("C");
    static_cast<void>(UiText::Load());
    QMap<QString, QRect> layout = layoutOf(CVeltraneDlg());
    layout.insert(layoutOf(CAboutDlg()));
    useLocale(lang);
    return layout;
}

// Room a push button's frame and focus rectangle leave its text, each side.
constexpr int kButtonMargin = 3;

} // namespace

class TranslationTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setStyle(QStringLiteral("Windows")); }
    void cleanupTestCase() { useLocale("C"); }
    void windowsSpeakTheLocalesLanguage_data();
    void windowsSpeakTheLocalesLanguage();
    void everyTextFitsItsControl_data();
    void everyTextFitsItsControl();
};

void TranslationTest::windowsSpeakTheLocalesLanguage_data() {
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QStringList>("mainTexts");
    QTest::addColumn<QStringList>("aboutTexts");
    const QStringList chinese{"Veltrane- Orvik软件-多文件合并",
                              "目标文件:",
                              "确定",
                              "停止",
                              "添加文件",
                              "索引",
                              "文件路径"};
    const QStringList chineseAbout{"关于Orvik软件免费工具", "多文件合并工具",
                                   "Orvik软件免费工具系列", "OK"};
    QTest::newRow("C") << "C" << chinese << chineseAbout;
    QTest::newRow("C.UTF-8") << "C.UTF-8" << chinese << chineseAbout;
    QTest::newRow("zh_CN") << "zh_CN.UTF-8" << chinese << chineseAbout;
    QTest::newRow("zh_TW reads Chinese") << "zh_TW.UTF-8" << chinese << chineseAbout;
    const QStringList english{"Veltrane- Orvik Software-File Joiner",
                              "Target:",
                              "Start",
                              "Stop",
                              "Add File",
                              "Index",
                              "File Path"};
    const QStringList englishAbout{"About Orvik Free Tools", "File Joiner", "Orvik Free Tools",
                                   "OK"};
    QTest::newRow("en_US") << "en_US.UTF-8" << english << englishAbout;
    QTest::newRow("de_DE reads English") << "de_DE.UTF-8" << english << englishAbout;
}

void TranslationTest::windowsSpeakTheLocalesLanguage() {
    QFETCH(QString, lang);
    QFETCH(QStringList, mainTexts);
    QFETCH(QStringList, aboutTexts);
    const QMap<QString, QRect> layout = layoutAsWritten(qPrintable(lang));
    QVERIFY(UiText::Load());

    const CVeltraneDlg main;
    const auto* list = main.findChild<FileList*>("fileList");
    const QStringList shown{main.windowTitle(),
                            main.findChild<QLabel*>("targetLabel")->text(),
                            main.findChild<QPushButton*>("start")->text(),
                            main.findChild<QPushButton*>("stop")->text(),
                            main.findChild<QPushButton*>("addFile")->text(),
                            list->horizontalHeaderItem(0)->text(),
                            list->horizontalHeaderItem(1)->text()};
    QCOMPARE(shown, mainTexts);
    QMap<QString, QRect> shownLayout = layoutOf(main);

    const CAboutDlg about;
    const QStringList aboutShown{about.windowTitle(), about.findChild<QLabel*>("toolName")->text(),
                                 about.findChild<QLabel*>("series")->text(),
                                 about.findChild<QPushButton*>("ok")->text()};
    QCOMPARE(aboutShown, aboutTexts);
    shownLayout.insert(layoutOf(about));
    QCOMPARE(shownLayout, layout);
}

void TranslationTest::everyTextFitsItsControl_data() {
    QTest::addColumn<QString>("lang");
    QTest::newRow("English") << "en_US.UTF-8";
    QTest::newRow("Chinese") << "zh_CN.UTF-8";
}

void TranslationTest::everyTextFitsItsControl() {
    QFETCH(QString, lang);
    useLocale(qPrintable(lang));
    QVERIFY(UiText::Load());
    const QFont font = DialogUnits::dialogFont();
    const QFontMetrics metrics(font);
    const DialogUnits units(font);
    for (const DialogForm* form : {&DialogForms::Main(), &DialogForms::About()}) {
        for (const FormControl& control : form->controls) {
            if (control.kind != ControlKind::Text && control.kind != ControlKind::Button) {
                continue;
            }
            const QString text = UiText::Shown(control.text);
            const UnitRect& r = control.rect;
            const int room = units.rect({r.x, r.y, r.width, r.height}).width() -
                             (control.kind == ControlKind::Button ? 2 * kButtonMargin : 0);
            QVERIFY2(metrics.horizontalAdvance(text) <= room,
                     qPrintable(QStringLiteral("%1: \"%2\" needs %3 of %4 pixels")
                                    .arg(QLatin1String(control.name), text)
                                    .arg(metrics.horizontalAdvance(text))
                                    .arg(room)));
        }
    }
}

QTEST_MAIN(TranslationTest)
#include "TranslationTest.moc"
