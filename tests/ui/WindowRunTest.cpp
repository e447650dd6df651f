#include "ClassicProgressBar.h"
#include "FileBytes.h"
#include "ModalCloser.h"
#include "ShellQuote.h"
#include "ShownWindow.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <thread>

namespace {

using FileBytes::kMiB;
const QString kEnd = QStringLiteral("combine end");
const QString kEndStopped = kEnd + QStringLiteral("\n已停止：目标文件不完整");
const QString kEndUnchanged = kEnd + QStringLiteral("\n目标文件未改变");
const QString kOpenFailed = QStringLiteral("打开源文件失败");
const QString kWait = QStringLiteral("wait current thread");

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString barState(const QProgressBar* bar) {
    return QStringLiteral("%1:%2").arg(bar->maximum()).arg(bar->value());
}

struct PaintCounter final : QObject {
    int paints = 0;
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

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
    void stopRightAfterStartLeavesTheTargetAsItWas();
    void findingsAreAskedAboutBeforeTheTargetIsEmptied_data();
    void findingsAreAskedAboutBeforeTheTargetIsEmptied();
    void progressFollowsEachSourceAndAGoneSourceIsSkipped();
    void tickedRowNamingTheTargetLeavesItAsItWas();
    void aCheckedTargetNamesItsChecksumFileAndAMismatchIsAnError_data();
    void aCheckedTargetNamesItsChecksumFileAndAMismatchIsAnError();
    void workerFinishesItsBlocksWhileTheWindowIsBusy();
    void barRepaintsAtMostOnceAFrame();
    void listEditsWaitForTheRunAndSetTheJoinsOrder();

private: // NOLINT(readability-redundant-access-specifiers)
    // Writes a source into the folder and adds it to the list through the file dialog.
    QByteArray addSource(const QString& name, std::size_t size);
    QString chooseTarget(const QString& typedName);
    // Presses Start and closes each message box of the run, `atBox` seeing it first.
    QStringList runToTheEnd(int boxes, const std::function<void()>& atBox = {});
    // Runs `act` once, while the worker waits on the bar's range [0, `upper`].
    void atRange(std::uint32_t upper, const std::function<void()>& act);
    // Records in m_shown each range the bar takes and the last of the values it shows after
    // it, checking that they never go down.
    void recordBar();
    ClassicProgressBar* progress() const {
        return m_window->findChild<ClassicProgressBar*>("progress");
    }

    ShownWindow m_window;
    QTemporaryDir m_dir;
    QString m_folder;
    QStringList m_shown;
};

void WindowRunTest::initTestCase() {
    QApplication::setStyle(QStringLiteral("Windows"));
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QVERIFY(m_dir.isValid());
    m_folder = m_dir.filePath(QStringLiteral("源 文件"));
    QVERIFY(QDir().mkpath(m_folder));
}

void WindowRunTest::init() {
    m_shown.clear();
    QVERIFY(m_window.show());
}

void WindowRunTest::cleanup() {
    QCOMPARE(m_window.tearDown(), QString());
}

QByteArray WindowRunTest::addSource(const QString& name, std::size_t size) {
    const QString path = m_folder + '/' + name;
    const auto seed = static_cast<unsigned>(m_window.user().list()->rowCount());
    const std::string bytes = FileBytes::pattern(size, seed);
    FileBytes::write(QFile::encodeName(path).toStdString(), bytes);
    m_window.user().chooseFile("addFile", path);
    return QByteArray::fromStdString(bytes);
}

QString WindowRunTest::chooseTarget(const QString& typedName) {
    m_window.user().chooseFile("browseTarget", m_folder + '/' + typedName);
    return m_window->findChild<QLineEdit*>("targetPath")->text();
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
    QTest::mouseClick(m_window->findChild<QPushButton*>("start"), Qt::LeftButton);
    // A failure is recorded here; the caller's check of `seen` then fails too.
    [&] {
        QTRY_VERIFY(closer.finished());
        QTRY_COMPARE(g_busy.load(), 0);
    }();
    return seen;
}

void WindowRunTest::atRange(std::uint32_t upper, const std::function<void()>& act) {
    auto done = std::make_shared<bool>(false);
    connect(progress(), &ClassicProgressBar::rangeSet, this, [=](auto /*lower*/, auto maximum) {
        if (!*done && maximum == upper) {
            *done = true;
            act();
        }
    });
}

void WindowRunTest::recordBar() {
    connect(progress(), &ClassicProgressBar::rangeSet, this, [this](auto /*lower*/, auto upper) {
        m_shown << QStringLiteral("range %1").arg(upper);
    });
    connect(progress(), &QProgressBar::valueChanged, this, [this](int value) {
        bool inSeries = false;
        const int last = m_shown.value(m_shown.size() - 1).toInt(&inSeries);
        QVERIFY2(!inSeries || value >= last, qPrintable(m_shown.join(' ')));
        if (inSeries) {
            m_shown.removeLast();
        }
        m_shown << QString::number(value);
    });
}

void WindowRunTest::runJoinsTheTickedRowsInListOrder() {
    const QByteArray first = addSource(QStringLiteral("分卷 一.vmdk"), kMiB + 3);
    addSource(QStringLiteral("分卷 二.vmdk"), 2048);
    const QByteArray third = addSource(QStringLiteral("分卷 三.vmdk"), 2 * kMiB);
    m_window.user().chooseFile("addFile", m_folder + QStringLiteral("/分卷 一.vmdk"));
    m_window.user().clickCheckBox(0);
    m_window.user().pressSpaceOn(2, 1);
    m_window.user().pressSpaceOn(3, 0);
    const QString target = chooseTarget(QStringLiteral("合并 结果"));
    QCOMPARE(target, m_folder + QStringLiteral("/合并 结果.vmdk"));

    QCOMPARE(runToTheEnd(1), ModalCloser::plainBoxes({kEnd}));
    QVERIFY(contentsOf(target) == first + third + first);
}

void WindowRunTest::rowsChangedDuringARunCountOnlyWhereNotYetReached() {
    const QByteArray first = addSource(QStringLiteral("a.vmdk"), 3 * kMiB + 7);
    addSource(QStringLiteral("b.vmdk"), 1000);
    const QByteArray third = addSource(QStringLiteral("c.vmdk"), 5000);
    m_window.user().clickCheckBox(0);
    m_window.user().clickCheckBox(1);
    const QString target = chooseTarget(QStringLiteral("during.vmdk"));
    atRange(3, [this] {
        m_window.user().pressSpaceOn(1, 1);
        m_window.user().clickCheckBox(2);
        addSource(QStringLiteral("added during the run.vmdk"), 100);
        m_window.user().clickCheckBox(3);
        QVERIFY(m_window.user().dropFiles({QUrl::fromLocalFile(m_folder + "/c.vmdk"),
                                           QUrl::fromLocalFile(m_folder + "/a.vmdk")}));
        m_window.user().clickCheckBox(4);
        chooseTarget(QStringLiteral("changed during the run.vmdk"));
    });

    QCOMPARE(runToTheEnd(1), ModalCloser::plainBoxes({kEnd}));
    QVERIFY(contentsOf(target) == first + third);
    QCOMPARE(m_window.user().list()->rowCount(), 6);
    QVERIFY(!QFile::exists(m_folder + QStringLiteral("/changed during the run.vmdk")));
}

void WindowRunTest::stopDuringARunKeepsTheBlocksWritten() {
    const QByteArray first = addSource(QStringLiteral("stopped.vmdk"), 3 * kMiB + 7);
    addSource(QStringLiteral("never reached.vmdk"), 100);
    m_window.user().clickCheckBox(0);
    m_window.user().clickCheckBox(1);
    const QString target = chooseTarget(QStringLiteral("stop.vmdk"));
    atRange(3, [this] {
        QTest::mouseClick(m_window->findChild<QPushButton*>("stop"), Qt::LeftButton);
    });

    QCOMPARE(runToTheEnd(1), ModalCloser::plainBoxes({kEndStopped}));
    // Stop is looked at after each block: the first one is still written in full.
    QVERIFY(contentsOf(target) == first.left(kMiB));
}

void WindowRunTest::stopRightAfterStartLeavesTheTargetAsItWas() {
    addSource(QStringLiteral("piece.vmdk"), kMiB);
    m_window.user().clickCheckBox(0);
    const QString target = chooseTarget(QStringLiteral("kept.vmdk"));
    FileBytes::write(QFile::encodeName(target).toStdString(), "old bytes");
    QStringList seen;
    ModalCloser closer(ModalCloser::recordAndClose(seen));
    closer.takeOnlyMessageBoxes();
    // The worker needs this thread before it empties the target: the stop is there first.
    m_window->findChild<QPushButton*>("start")->click();
    m_window->findChild<QPushButton*>("stop")->click();
    QTRY_VERIFY(closer.finished());

    QCOMPARE(seen, ModalCloser::plainBoxes({kEndUnchanged}));
    QVERIFY(contentsOf(target) == "old bytes");
}

void WindowRunTest::findingsAreAskedAboutBeforeTheTargetIsEmptied_data() {
    QTest::addColumn<bool>("join");
    QTest::newRow("Yes joins what can be joined") << true;
    QTest::newRow("No leaves the target as it was") << false;
}

void WindowRunTest::findingsAreAskedAboutBeforeTheTargetIsEmptied() {
    QFETCH(bool, join);
    const QByteArray kept = addSource(QStringLiteral("kept.vmdk"), 100);
    addSource(QStringLiteral("gone.vmdk"), 100);
    QVERIFY(QFile::remove(m_folder + QStringLiteral("/gone.vmdk")));
    m_window.user().clickCheckBox(0);
    m_window.user().clickCheckBox(1);
    const QString target = chooseTarget(QStringLiteral("asked %1.vmdk").arg(int(join)));
    FileBytes::write(QFile::encodeName(target).toStdString(), "old bytes");
    bool noByDefault = false;
    QStringList seen;
    const auto answer = [&](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box->standardButtons() == QMessageBox::Ok) {
            ModalCloser::recordAndClose(seen)(box);
            return;
        }
        seen << box->text();
        noByDefault = box->defaultButton() == box->button(QMessageBox::No);
        QTest::mouseClick(box->button(join ? QMessageBox::Yes : QMessageBox::No), Qt::LeftButton);
    };
    ModalCloser closer(answer, join ? 3 : 2);
    m_window->findChild<QPushButton*>("start")->click();
    QTRY_VERIFY(closer.finished());

    QVERIFY(noByDefault);
    QVERIFY2(seen.value(0).contains(QStringLiteral("gone.vmdk")) &&
                 seen.value(0).endsWith(QStringLiteral("\nJoin anyway?")),
             qPrintable(seen.value(0)));
    const QStringList after =
        join ? ModalCloser::plainBoxes(
                   {kOpenFailed, kEnd + QStringLiteral("\n出现错误：目标文件可能不完整")})
             : ModalCloser::plainBoxes({kEndUnchanged});
    QCOMPARE(seen.mid(1), after);
    QVERIFY(contentsOf(target) == (join ? kept : QByteArray("old bytes")));
}

void WindowRunTest::progressFollowsEachSourceAndAGoneSourceIsSkipped() {
    const QByteArray first = addSource(QStringLiteral("three blocks.vmdk"), 3 * kMiB + 7);
    addSource(QStringLiteral("gone.vmdk"), 100);
    const QByteArray last = addSource(QStringLiteral("two blocks.vmdk"), 2 * kMiB);
    for (int row = 0; row < 3; ++row) {
        m_window.user().clickCheckBox(row);
    }
    const QString target = chooseTarget(QStringLiteral("progress.vmdk"));
    // Gone once the run is under way, past the check before it.
    atRange(3, [this] { QVERIFY(QFile::remove(m_folder + QStringLiteral("/gone.vmdk"))); });
    recordBar();

    const QStringList seen = runToTheEnd(2, [this] { m_shown << "box " + barState(progress()); });
    QCOMPARE(seen, ModalCloser::plainBoxes(
                       {kOpenFailed, kEnd + QStringLiteral("\n出现错误：目标文件可能不完整")}));
    QVERIFY(contentsOf(target) == first + last);
    // Range [0, B] per source, position b before block b; never moved to B, never reset.
    QCOMPARE(m_shown, QStringList({"range 3", "2", "box 3:2", "range 2", "1", "box 2:1"}));
    QCOMPARE(barState(progress()), QStringLiteral("2:1"));
}

void WindowRunTest::tickedRowNamingTheTargetLeavesItAsItWas() {
    // Chosen while it does not exist yet, so that the dialog asks nothing about replacing it.
    const QString target = chooseTarget(QStringLiteral("在用.vmdk"));
    addSource(QStringLiteral("其他.vmdk"), 1000);
    const QByteArray kept = addSource(QStringLiteral("在用.vmdk"), kMiB + 5);
    m_window.user().clickCheckBox(0);
    m_window.user().clickCheckBox(1);

    QCOMPARE(runToTheEnd(2),
             ModalCloser::plainBoxes({QStringLiteral("创建目标文件失败"), kEndUnchanged}));
    QVERIFY(contentsOf(target) == kept);
}

void WindowRunTest::aCheckedTargetNamesItsChecksumFileAndAMismatchIsAnError_data() {
    QTest::addColumn<bool>("matches");
    QTest::newRow("match") << true;
    QTest::newRow("mismatch") << false;
}

void WindowRunTest::aCheckedTargetNamesItsChecksumFileAndAMismatchIsAnError() {
    QFETCH(bool, matches);
    const QByteArray bytes = addSource(QStringLiteral("checked piece.bin"), 2 * kMiB + 9);
    m_window.user().clickCheckBox(0);
    // A name of its own per row: choosing a file that exists would ask to replace it.
    const QString name = QStringLiteral("%1.img").arg(QTest::currentDataTag());
    const QString target = chooseTarget(name);
    const QString actual =
        QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    const QString expected = matches ? actual : QString(64, QLatin1Char('0'));
    const QString sums = m_folder + QStringLiteral("/SHA256SUMS");
    FileBytes::write(QFile::encodeName(sums).toStdString(),
                     (expected + QStringLiteral(" *") + name + '\n').toStdString());
    const QString named =
        QString::fromStdString(shellQuoted(QFile::encodeName(sums).toStdString()));

    const QStringList seen = runToTheEnd(matches ? 1 : 2);
    QFile::remove(sums);
    QCOMPARE(seen,
             ModalCloser::plainBoxes(
                 matches ? QStringList{kEnd + QStringLiteral("\n已校验：与 %1 一致").arg(named)}
                         : QStringList{QStringLiteral("目标文件与校验和不符\n校验和文件：%1\n"
                                                      "应为：%2\n实为：%3")
                                           .arg(named, expected, actual),
                                       kEnd + QStringLiteral("\n目标文件与校验和不符")}));
    QVERIFY(contentsOf(target) == bytes);
}

void WindowRunTest::workerFinishesItsBlocksWhileTheWindowIsBusy() {
    constexpr int kBlocks = 24;
    const QByteArray first = addSource(QStringLiteral("many blocks.vmdk"), kBlocks * kMiB);
    // One block fewer: the bar keeps its last position as the range changes.
    const QByteArray second = addSource(QStringLiteral("then some.vmdk"), (kBlocks - 1) * kMiB + 5);
    m_window.user().clickCheckBox(0);
    m_window.user().clickCheckBox(1);
    const QString target = chooseTarget(QStringLiteral("busy.vmdk"));
    bool copiedWhileBusy = false;
    // A long slot right behind the first range: the window answers nothing until it ends.
    atRange(kBlocks, [&] {
        QTimer::singleShot(0, this, [&] {
            const QDeadlineTimer deadline(std::chrono::seconds(30));
            while (!(copiedWhileBusy = QFileInfo(target).size() == kBlocks * qint64{kMiB}) &&
                   !deadline.hasExpired()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    });
    recordBar();

    const QStringList seen = runToTheEnd(1, [this] { m_shown << "box " + barState(progress()); });
    QCOMPARE(seen, ModalCloser::plainBoxes({kEnd}));
    QVERIFY(copiedWhileBusy);
    QVERIFY(contentsOf(target) == first + second);
    QCOMPARE(m_shown, QStringList({"range 24", "23", "range 23", "22", "box 23:22"}));
}

void WindowRunTest::barRepaintsAtMostOnceAFrame() {
    // A hundred steps, each one wide enough to need a paint, twenty times a step.
    constexpr std::uint32_t kSteps = 100;
    constexpr std::uint32_t kRepeats = 20;
    PaintCounter counter;
    progress()->installEventFilter(&counter);
    recordBar();
    std::atomic<bool> handedAll{false};
    QElapsedTimer elapsed;
    elapsed.start();
    std::thread worker([&] {
        m_window->setProgressRange(0, kSteps);
        for (std::uint32_t move = 0; move < kSteps * kRepeats; ++move) {
            m_window->setProgressPosition(move / kRepeats);
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        handedAll = true;
    });
    QTRY_VERIFY(handedAll);
    worker.join();
    QTRY_COMPARE(barState(progress()), QStringLiteral("100:99"));
    // A frame is about 16 ms; the range and the first position may each paint at once.
    QVERIFY2(counter.paints <= elapsed.elapsed() / 16 + 3,
             qPrintable(
                 QStringLiteral("%1 paints in %2 ms").arg(counter.paints).arg(elapsed.elapsed())));
    QCOMPARE(m_shown, QStringList({"range 100", "99"}));
}

// Rows come several at a time from the add dialog, are moved and removed, never while a run
// reads them, and are numbered again; the run joins them in their new order.
void WindowRunTest::listEditsWaitForTheRunAndSetTheJoinsOrder() {
    QMap<QString, QByteArray> bytes;
    for (const QString name : {"a.bin", "b.bin", "c.bin", "d.bin"}) {
        const std::string data =
            FileBytes::pattern(name == "c.bin" ? 3 * kMiB + 7 : 100, bytes.size());
        FileBytes::write(QFile::encodeName(m_folder + '/' + name).toStdString(), data);
        bytes[name] = QByteArray::fromStdString(data);
    }
    QTableWidget* list = m_window.user().list();
    // Each row's index as shown, and its tick and path as the run reads them.
    const auto rows = [this, list] {
        QStringList shown;
        for (const ListedRow& row : m_window->listedRows()) {
            shown << list->item(static_cast<int>(shown.size()), 0)->text() +
                         (row.checked ? 'x' : '-') +
                         QFileInfo(QString::fromStdString(row.path)).fileName();
        }
        return shown.join(' ');
    };
    // Keys reach the focused list only, and a closed dialog leaves no window active here.
    const auto activate = [](QWidget* window) {
        window->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), window);
    };
    // Typed names come in the order typed, picked files in a file manager's.
    m_window.user().chooseFile("addFile", {}, [&](QFileDialog* dialog) {
        dialog->setDirectory(m_folder);
        activate(dialog);
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral(R"("c.bin" "a.bin" "absent")"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    m_window.user().chooseFile("addFile", {}, [&](QFileDialog* dialog) {
        auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
        auto* files = qobject_cast<QFileSystemModel*>(view->model());
        dialog->setDirectory(m_folder);
        dialog->selectNameFilter(QStringLiteral("All Files (*)"));
        activate(dialog);
        for (const QString name : {"d.bin", "b.bin"}) {
            QModelIndex at;
            QTRY_VERIFY(view->visualRect(at = files->index(m_folder + '/' + name)).isValid());
            QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              view->visualRect(at).center());
        }
        QTest::keyClick(view, Qt::Key_Return);
    });
    QCOMPARE(rows(), "0-c.bin 1-a.bin 2-absent.vmdk 3-b.bin 4-d.bin");

    activate(m_window.get());
    m_window.user().clickCell(0, 1);
    QTest::keyClick(list, Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(rows(), "0-a.bin 1-c.bin 2-absent.vmdk 3-b.bin 4-d.bin");
    m_window.user().clickCell(3, 1);
    QString menuShown;
    ModalCloser menuUser([&menuShown](QWidget* popup) {
        auto* menu = qobject_cast<QMenu*>(popup);
        menuShown = ModalCloser::describe(menu);
        QTest::mouseClick(menu, Qt::LeftButton, {},
                          menu->actionGeometry(menu->actions()[1]).center());
    });
    const QPoint at = list->visualRect(list->model()->index(3, 1)).center();
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &rightClick);
    QTRY_VERIFY(menuUser.finished());
    QCOMPARE(menuShown, "menu:删除,上移,下移");
    QCOMPARE(rows(), "0-a.bin 1-c.bin 2-b.bin 3-absent.vmdk 4-d.bin");
    // The keys are the window's shortcuts: they wait for it to be active again after the menu.
    activate(m_window.get());
    m_window.user().clickCell(3, 1);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(list->selectionModel()->selectedRows().value(0).row(), 3);
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_Space);
    const QString edited = QStringLiteral("0xa.bin 1xc.bin 2xb.bin 3xd.bin");
    QCOMPARE(rows(), edited);

    const QString target = chooseTarget(QStringLiteral("edited.vmdk"));
    // The run reads the rows by their place: while it does, each edit is refused.
    atRange(3, [&] {
        for (const QKeyCombination keys : {QKeyCombination(Qt::Key_Delete), Qt::ALT | Qt::Key_Up}) {
            activate(m_window.get());
            m_window.user().clickCell(1, 1);
            QTest::keyClick(list, keys.key(), keys.keyboardModifiers());
        }
        list->actions().value(2)->trigger();
    });
    QCOMPARE(runToTheEnd(4), ModalCloser::plainBoxes({kWait, kWait, kWait, kEnd}));
    QCOMPARE(rows(), edited);
    QVERIFY(contentsOf(target) ==
            bytes["a.bin"] + bytes["c.bin"] + bytes["b.bin"] + bytes["d.bin"]);
}

QTEST_MAIN(WindowRunTest)
#include "WindowRunTest.moc"
