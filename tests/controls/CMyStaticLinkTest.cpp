#include "CMyStaticLink.h"

#include "WidgetPixels.h"

#include <QDesktopServices>
#include <QDialog>
#include <QLabel>
#include <QList>
#include <QTest>
#include <QUrl>
#include <memory>

namespace {

const QString HomeUrl = QStringLiteral("http://veltrane.example");

// "red", "blue", "none" or "mixed": which of the two link colours a fresh paint uses.
QString linkColour(QWidget* label) {
    const bool red = WidgetPixels::rightmost(label, qRgb(255, 0, 0)) >= 0;
    const bool blue = WidgetPixels::rightmost(label, qRgb(0, 0, 255)) >= 0;
    if (red == blue) {
        return red ? QStringLiteral("mixed") : QStringLiteral("none");
    }
    return red ? QStringLiteral("red") : QStringLiteral("blue");
}

} // namespace

class CMyStaticLinkTest : public QObject {
    Q_OBJECT

private:
    QLabel* addLabel(const QString& text, int y);
    void hover(const QPoint& pos) { QTest::mouseMove(m_label, pos); }

    std::unique_ptr<QDialog> m_dialog;
    QLabel* m_label = nullptr;
    std::unique_ptr<CMyStaticLink> m_link;
    QList<QUrl> m_opened;

public slots:
    void recordOpening(const QUrl& url) { m_opened.append(url); }

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void limits_data();
    void limits();

    void attachRefusesNullAndSecondAttach();
    void detachGivesTheLabelBack();
    void destroyedLabelDetachesItself();
    void attachesAgainNotHovered();
    void paintsOwnTextCutWhenTitleEmpty();

    void hoverKeepsEdgesInside_data();
    void hoverKeepsEdgesInside();
    void dragOffTheLabelLeavesHoverAndDoesNotOpen();
    void losingTheMouseClearsHover();

    void releaseOpensOnce();
    void emptyUrlOpensOwnTextCut_data();
    void emptyUrlOpensOwnTextCut();
};

void CMyStaticLinkTest::initTestCase() {
    QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "recordOpening");
}

void CMyStaticLinkTest::cleanupTestCase() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
}

void CMyStaticLinkTest::init() {
    // Moves only reach a widget when the cursor really moves, so start away from the dialog.
    QCursor::setPos(0, 0);
    m_dialog = std::make_unique<QDialog>();
    m_dialog->setGeometry(100, 100, 320, 160);
    m_label = addLabel(QStringLiteral("veltrane.example"), 20);
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
    m_link = std::make_unique<CMyStaticLink>();
    m_opened.clear();
}

void CMyStaticLinkTest::cleanup() {
    m_link.reset();
    m_dialog.reset();
}

QLabel* CMyStaticLinkTest::addLabel(const QString& text, int y) {
    auto* label = new QLabel(text, m_dialog.get());
    label->setGeometry(20, y, 240, 24);
    label->show();
    return label;
}

void CMyStaticLinkTest::limits_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("stored");

    const QString url = QStringLiteral("http://new.example");
    QTest::newRow("title of 31 bytes") << QString(31, 't') << url << true;
    QTest::newRow("title of 32 bytes") << QString(32, 't') << url << false;
    QTest::newRow("url of 1023 bytes") << "t"
                                       << "http://" + QString(1016, 'u') << true;
    QTest::newRow("url of 1024 bytes") << "t"
                                       << "http://" + QString(1017, 'u') << false;
    // Three bytes each: 11 characters are 33 bytes.
    QTest::newRow("title of 31 multi-byte bytes")
        << QStringLiteral("中").repeated(10) + "t" << url << true;
    QTest::newRow("title of 33 multi-byte bytes")
        << QStringLiteral("中").repeated(11) << url << false;
    QTest::newRow("url of 1024 multi-byte bytes")
        << "t" << QStringLiteral("é").repeated(512) << false;
}

void CMyStaticLinkTest::limits() {
    QFETCH(QString, title);
    QFETCH(QString, url);
    QFETCH(bool, stored);
    QVERIFY(m_link->Attach(m_label));
    QVERIFY(m_link->SetLink(QStringLiteral("old"), HomeUrl));

    QCOMPARE(m_link->SetLink(title, url), stored);
    QCOMPARE(m_link->Title(), stored ? title : QStringLiteral("old"));
    QCOMPARE(m_link->Url(), stored ? url : HomeUrl);
}

void CMyStaticLinkTest::attachRefusesNullAndSecondAttach() {
    QLabel* other = addLabel(QStringLiteral("other"), 60);
    QVERIFY(!m_link->Attach(nullptr));
    QVERIFY(m_link->Attach(m_label));
    QVERIFY(!m_link->Attach(m_label));
    QVERIFY(!m_link->Attach(other));

    QVERIFY(!other->testAttribute(Qt::WA_SetCursor));
    QVERIFY(!other->hasMouseTracking());
    QCOMPARE(linkColour(other), QStringLiteral("none"));
    QCOMPARE(m_link->Detach(), m_label);
}

void CMyStaticLinkTest::detachGivesTheLabelBack() {
    m_label->setCursor(Qt::IBeamCursor);
    QVERIFY(m_link->Attach(m_label));
    QVERIFY(m_link->SetLink(QStringLiteral("title"), HomeUrl));
    QCOMPARE(m_label->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(m_label->hasMouseTracking());
    QCOMPARE(linkColour(m_label), QStringLiteral("blue"));

    QCOMPARE(m_link->Detach(), m_label);
    QCOMPARE(m_link->Detach(), nullptr);
    QCOMPARE(m_label->cursor().shape(), Qt::IBeamCursor);
    QVERIFY(!m_label->hasMouseTracking());
    QCOMPARE(linkColour(m_label), QStringLiteral("none"));
    QTest::mouseClick(m_label, Qt::LeftButton);
    QVERIFY(m_opened.isEmpty());
    QVERIFY(m_link->Title().isEmpty());
    QVERIFY(m_link->Url().isEmpty());
}

void CMyStaticLinkTest::destroyedLabelDetachesItself() {
    QVERIFY(m_link->Attach(m_label));
    QVERIFY(m_link->SetLink(QStringLiteral("title"), HomeUrl));
    hover(m_label->rect().center());
    delete m_label;

    QCOMPARE(m_link->Detach(), nullptr);
    QVERIFY(m_link->Title().isEmpty());
    QLabel* other = addLabel(QStringLiteral("other"), 60);
    QVERIFY(m_link->Attach(other));
    QCOMPARE(linkColour(other), QStringLiteral("blue"));
}

void CMyStaticLinkTest::attachesAgainNotHovered() {
    QVERIFY(m_link->Attach(m_label));
    hover(m_label->rect().center());
    QCOMPARE(linkColour(m_label), QStringLiteral("red"));
    QCOMPARE(m_link->Detach(), m_label);
    QVERIFY(!m_label->testAttribute(Qt::WA_SetCursor));

    QVERIFY(m_link->Attach(m_label));
    QCOMPARE(linkColour(m_label), QStringLiteral("blue"));
}

void CMyStaticLinkTest::paintsOwnTextCutWhenTitleEmpty() {
    // 29 ASCII bytes, then a three-byte character that a cut at 31 bytes would split.
    const QString ascii = QString(29, 'w');
    m_label->setText(ascii + QStringLiteral("中").repeated(2));
    QLabel* expected = addLabel(QString(), 60);
    CMyStaticLink expectedLink;
    QVERIFY(m_link->Attach(m_label));
    QVERIFY(expectedLink.Attach(expected));
    QVERIFY(expectedLink.SetLink(ascii, HomeUrl));

    QCOMPARE(m_label->grab().toImage(), expected->grab().toImage());
}

void CMyStaticLinkTest::hoverKeepsEdgesInside_data() {
    QTest::addColumn<QPoint>("edge");
    QTest::addColumn<QPoint>("beyond");

    QTest::newRow("left") << QPoint(0, 12) << QPoint(-1, 12);
    QTest::newRow("right") << QPoint(239, 12) << QPoint(240, 12);
    QTest::newRow("top") << QPoint(120, 0) << QPoint(120, -1);
    QTest::newRow("bottom") << QPoint(120, 23) << QPoint(120, 24);
}

void CMyStaticLinkTest::hoverKeepsEdgesInside() {
    QFETCH(QPoint, edge);
    QFETCH(QPoint, beyond);
    QVERIFY(m_link->Attach(m_label));
    QCOMPARE(linkColour(m_label), QStringLiteral("blue"));

    hover(m_label->rect().center());
    QCOMPARE(linkColour(m_label), QStringLiteral("red"));
    hover(edge);
    QCOMPARE(linkColour(m_label), QStringLiteral("red"));
    hover(beyond);
    QCOMPARE(linkColour(m_label), QStringLiteral("blue"));
}

void CMyStaticLinkTest::dragOffTheLabelLeavesHoverAndDoesNotOpen() {
    QVERIFY(m_link->Attach(m_label));
    QVERIFY(m_link->SetLink(QString(), HomeUrl));
    const QPoint inside = m_label->rect().bottomRight();
    const QPoint outside = inside + QPoint(1, 0);

    // With the button held the label keeps the mouse and sees moves outside itself. No move
    // before the press: the window may appear under a still cursor.
    QTest::mousePress(m_label, Qt::LeftButton, {}, inside);
    QTest::mouseMove(m_label, outside);
    QCOMPARE(linkColour(m_label), QStringLiteral("blue"));
    QTest::mouseMove(m_label, inside);
    QCOMPARE(linkColour(m_label), QStringLiteral("red"));
    QTest::mouseMove(m_label, outside);
    QCOMPARE(linkColour(m_label), QStringLiteral("blue"));
    QTest::mouseRelease(m_label, Qt::LeftButton, {}, outside);
    QVERIFY(m_opened.isEmpty());

    QTest::mousePress(m_label, Qt::LeftButton, {}, inside);
    QTest::mouseMove(m_label, outside);
    QTest::mouseMove(m_label, inside);
    QTest::mouseRelease(m_label, Qt::LeftButton, {}, inside);
    QCOMPARE(m_opened, QList<QUrl>{QUrl(HomeUrl)});
}

void CMyStaticLinkTest::losingTheMouseClearsHover() {
    QVERIFY(m_link->Attach(m_label));
    hover(m_label->rect().center());
    QCOMPARE(linkColour(m_label), QStringLiteral("red"));

    QWidget other;
    other.setGeometry(500, 100, 100, 100);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QCOMPARE(linkColour(m_label), QStringLiteral("blue"));

    hover(m_label->rect().center() + QPoint(1, 0));
    QCOMPARE(linkColour(m_label), QStringLiteral("red"));
}

void CMyStaticLinkTest::releaseOpensOnce() {
    QVERIFY(m_link->Attach(m_label));
    QVERIFY(m_link->SetLink(QStringLiteral("title"), HomeUrl));

    QTest::mousePress(m_label, Qt::LeftButton);
    QVERIFY(m_opened.isEmpty());
    QTest::mouseRelease(m_label, Qt::LeftButton);
    QCOMPARE(m_opened, QList<QUrl>{QUrl(HomeUrl)});
    QTest::mouseClick(m_label, Qt::RightButton);
    QCOMPARE(m_opened.size(), 1);
}

void CMyStaticLinkTest::emptyUrlOpensOwnTextCut_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("opened");

    QTest::newRow("short") << HomeUrl << HomeUrl;
    const QString longUrl = QStringLiteral("http://a-rather-long-host-name.example");
    QTest::newRow("cut to 31 bytes") << longUrl << longUrl.left(31);
    // "http://v.example/" is 17 bytes; the fifth three-byte character would end at byte 32.
    const QString wide = QStringLiteral("http://v.example/");
    QTest::newRow("cut before a split character")
        << wide + QStringLiteral("中").repeated(5) << wide + QStringLiteral("中").repeated(4);
}

void CMyStaticLinkTest::emptyUrlOpensOwnTextCut() {
    QFETCH(QString, text);
    QFETCH(QString, opened);
    m_label->setText(text);
    QVERIFY(m_link->Attach(m_label));

    QTest::mouseClick(m_label, Qt::LeftButton);
    QCOMPARE(m_opened, QList<QUrl>{QUrl(opened)});
}

QTEST_MAIN(CMyStaticLinkTest)
#include "CMyStaticLinkTest.moc"
