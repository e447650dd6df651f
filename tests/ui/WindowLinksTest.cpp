#include "ShownWindow.h"
#include "WidgetPixels.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>
#include <QUrl>

class WindowLinksTest : public QObject {
    Q_OBJECT

public slots:
    void recordOpening(const QUrl& url) { m_opened.append(url); }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void linksPaintTheirUrlsAndOpenThem_data();
    void linksPaintTheirUrlsAndOpenThem();

private: // NOLINT(readability-redundant-access-specifiers)
    ShownWindow m_window;
    QList<QUrl> m_opened;
};

void WindowLinksTest::initTestCase() {
    QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "recordOpening");
}

void WindowLinksTest::cleanupTestCase() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
}

void WindowLinksTest::init() {
    // Moves only reach a widget when the cursor really moves, so start away from the window.
    QCursor::setPos(0, 0);
    QVERIFY(m_window.show());
    m_opened.clear();
}

void WindowLinksTest::cleanup() {
    QCOMPARE(m_window.tearDown(), QString());
}

void WindowLinksTest::linksPaintTheirUrlsAndOpenThem_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("url");
    QTest::newRow("home") << "linkHome"
                          << "http://www.orvik.example";
    QTest::newRow("software site") << "linkSoftSite"
                                   << "http://dl.orvik.example";
}

void WindowLinksTest::linksPaintTheirUrlsAndOpenThem() {
    QFETCH(QString, name);
    QFETCH(QString, url);
    auto* label = m_window->findChild<QLabel*>(name);
    QVERIFY(label != nullptr);

    // The painted text is the URL, not the label's own "官网: ..." text.
    QFont underlined = m_window->font();
    underlined.setUnderline(true);
    const int urlWidth = QFontMetrics(underlined).horizontalAdvance(url);
    QVERIFY(QFontMetrics(underlined).horizontalAdvance(label->text()) != urlWidth);
    QCOMPARE(WidgetPixels::rightmost(label, qRgb(255, 0, 0)), -1);
    QVERIFY(qAbs(WidgetPixels::rightmost(label, qRgb(0, 0, 255)) - urlWidth) <= 2);

    QTest::mouseMove(label, label->rect().center());
    QTRY_VERIFY(WidgetPixels::rightmost(label, qRgb(255, 0, 0)) >= 0);
    QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);

    QTest::mousePress(label, Qt::LeftButton, {}, label->rect().center());
    QVERIFY(m_opened.isEmpty());
    QTest::mouseRelease(label, Qt::LeftButton, {}, label->rect().center());
    QCOMPARE(m_opened, QList<QUrl>{QUrl(url)});
}

QTEST_MAIN(WindowLinksTest)
#include "WindowLinksTest.moc"
