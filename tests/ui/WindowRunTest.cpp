#include "CVeltraneDlg.h"
#include "ModalCloser.h"
#include "WindowUser.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <optional>

namespace {

constexpr qsizetype kMiB = 1 << 20;
const QString kEnd = QStringLiteral("combine end");
const QString kOpenFailed = QStringLiteral("打开源文件失败");

QByteArray pattern(qsizetype size, int seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 131 + (i >> 20) + seed) & 0xFF);
    }
    return bytes;
}

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString barState(const QProgressBar* bar) {
    return QStringLiteral("%1:%2").arg(bar->maximum()).arg(bar->value());
}

} // namespace

// Whole runs driven from the window alone, over sources in a folder whose name has Chinese
// characters and spaces.
class WindowRunTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void runJoinsTheTickedRowsInListOrder();
    void rowsChangedDuringARunCountOnlyWhereNotYetReached();
    void stopDuringARunKeepsTheBlocksWritten();
    void progressFollowsEachSourceAndAGoneSourceIsSkipped();

private: // NOLINT(readability-redundant-access-specifiers)
    // Writes a source into the folder and adds it to the list through the file dialog.
    QByteArray addSource(const QString& name, qsizetype size);
    QString chooseTarget(const QString& typedName);
    // Presses Start and closes each message box of the run, `atBox` seeing it first.
    QStringList runToTheEnd(int boxes, const std::function<void()>& atBox = {});
    // Runs `act` once, while the worker waits on the bar's move to `position`.
    void atPosition(int position, const std::function<void()>& act);
    QProgressBar* progress() const { return m_dlg->findChild<QProgressBar*>("progress"); }

    CVeltraneDlg* m_dlg = nullptr;
    std::optional<WindowUser> m_user;
    QTemporaryDir m_dir;
    QString m_folder;
};

void WindowRunTest::initTestCase() {
    QApplication::setStyle(QStringLiteral("Windows"));
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QVERIFY(m_dir.isValid());
    m_folder = m_dir.filePath(QStringLiteral("源 文件"));
    QVERIFY(QDir().mkpath(m_folder));
}

void WindowRunTest::init() {
    m_dlg = new CVeltraneDlg;
    m_user.emplace(*m_dlg);
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg));
}

void WindowRunTest::cleanup() {
    m_user.reset();
    delete m_dlg;
    m_dlg = nullptr;
    QCOMPARE(g_busy.load(), 0);
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

QByteArray WindowRunTest::addSource(const QString& name, qsizetype size) {
    const QString path = m_folder + '/' + name;
    QByteArray bytes = pattern(size, m_user->list()->rowCount());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != size) {
        qFatal("cannot write %s", qPrintable(path));
    }
    m_user->chooseFile("addFile", path);
    return bytes;
}

QString WindowRunTest::chooseTarget(const QString& typedName) {
    m_user->chooseFile("browseTarget", m_folder + '/' + typedName);
    return m_dlg->findChild<QLineEdit*>("targetPath")->text();
}

QStringList WindowRunTest::runToTheEnd(int boxes, const std::function<void()>& atBox) {
    QStringList seen;
    ModalCloser closer(
        [&](QWidget* box) {
            if (atBox) {
                atBox();
            }
            ModalCloser::recordAndClose(seen)(box);
        },
        boxes);
    closer.takeOnlyMessageBoxes();
    QTest::mouseClick(m_dlg->findChild<QPushButton*>("start"), Qt::LeftButton);
    // A failure is recorded here; the caller's check of `seen` then fails too.
    [&] {
        QTRY_VERIFY(closer.finished());
        QTRY_COMPARE(g_busy.load(), 0);
    }();
    return seen;
}

void WindowRunTest::atPosition(int position, const std::function<void()>& act) {
    auto done = std::make_shared<bool>(false);
    connect(progress(), &QProgressBar::valueChanged, this, [=](int value) {
        if (!*done && value == position) {
            *done = true;
            act();
        }
    });
}

void WindowRunTest::runJoinsTheTickedRowsInListOrder() {
    const QByteArray first = addSource(QStringLiteral("分卷 一.vmdk"), kMiB + 3);
    addSource(QStringLiteral("分卷 二.vmdk"), 2048);
    const QByteArray third = addSource(QStringLiteral("分卷 三.vmdk"), 2 * kMiB);
    m_user->chooseFile("addFile", m_folder + QStringLiteral("/分卷 一.vmdk"));
    m_user->clickCheckBox(0);
    m_user->pressSpaceOn(2, 1);
    m_user->pressSpaceOn(3, 0);
    const QString target = chooseTarget(QStringLiteral("合并 结果"));
    QCOMPARE(target, m_folder + QStringLiteral("/合并 结果.vmdk"));

    QCOMPARE(runToTheEnd(1), ModalCloser::plainBoxes({kEnd}));
    QVERIFY(contentsOf(target) == first + third + first);
}

void WindowRunTest::rowsChangedDuringARunCountOnlyWhereNotYetReached() {
    const QByteArray first = addSource(QStringLiteral("a.vmdk"), 3 * kMiB + 7);
    addSource(QStringLiteral("b.vmdk"), 1000);
    const QByteArray third = addSource(QStringLiteral("c.vmdk"), 5000);
    m_user->clickCheckBox(0);
    m_user->clickCheckBox(1);
    const QString target = chooseTarget(QStringLiteral("during.vmdk"));
    atPosition(1, [this] {
        m_user->pressSpaceOn(1, 1);
        m_user->clickCheckBox(2);
        addSource(QStringLiteral("added during the run.vmdk"), 100);
        m_user->clickCheckBox(3);
        QVERIFY(m_user->dropFiles({QUrl::fromLocalFile(m_folder + "/c.vmdk"),
                                   QUrl::fromLocalFile(m_folder + "/a.vmdk")}));
        m_user->clickCheckBox(4);
        chooseTarget(QStringLiteral("changed during the run.vmdk"));
    });

    QCOMPARE(runToTheEnd(1), ModalCloser::plainBoxes({kEnd}));
    QVERIFY(contentsOf(target) == first + third);
    QCOMPARE(m_user->list()->rowCount(), 6);
    QVERIFY(!QFile::exists(m_folder + QStringLiteral("/changed during the run.vmdk")));
}

void WindowRunTest::stopDuringARunKeepsTheBlocksWritten() {
    const QByteArray first = addSource(QStringLiteral("stopped.vmdk"), 3 * kMiB + 7);
    addSource(QStringLiteral("never reached.vmdk"), 100);
    m_user->clickCheckBox(0);
    m_user->clickCheckBox(1);
    const QString target = chooseTarget(QStringLiteral("stop.vmdk"));
    atPosition(
        1, [this] { QTest::mouseClick(m_dlg->findChild<QPushButton*>("stop"), Qt::LeftButton); });

    QCOMPARE(runToTheEnd(1), ModalCloser::plainBoxes({kEnd}));
    // The block under way when Stop was pressed is still written in full.
    QVERIFY(contentsOf(target) == first.left(2 * kMiB));
}

void WindowRunTest::progressFollowsEachSourceAndAGoneSourceIsSkipped() {
    const QByteArray first = addSource(QStringLiteral("three blocks.vmdk"), 3 * kMiB + 7);
    addSource(QStringLiteral("gone.vmdk"), 100);
    const QByteArray last = addSource(QStringLiteral("two blocks.vmdk"), 2 * kMiB);
    QVERIFY(QFile::remove(m_folder + QStringLiteral("/gone.vmdk")));
    for (int row = 0; row < 3; ++row) {
        m_user->clickCheckBox(row);
    }
    const QString target = chooseTarget(QStringLiteral("progress.vmdk"));
    QStringList moves;
    connect(progress(), &QProgressBar::valueChanged, this,
            [this, &moves] { moves << barState(progress()); });
    QStringList atBoxes;

    const QStringList seen = runToTheEnd(2, [&] { atBoxes << barState(progress()); });
    QCOMPARE(seen, ModalCloser::plainBoxes({kOpenFailed, kEnd}));
    QVERIFY(contentsOf(target) == first + last);
    // Range [0, B] per source, position b before block b; never moved to B, never reset.
    QCOMPARE(moves, QStringList({"3:1", "3:2", "2:0", "2:1"}));
    QCOMPARE(atBoxes, QStringList({"3:2", "2:1"}));
    QCOMPARE(barState(progress()), QStringLiteral("2:1"));
}

QTEST_MAIN(WindowRunTest)
#include "WindowRunTest.moc"
