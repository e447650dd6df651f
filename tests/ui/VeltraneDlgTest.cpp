#include "DialogUnits.h"
#include "FileList.h"
#include "ModalCloser.h"
#include "ShownWindow.h"
#include "WidgetPixels.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <atomic>
#include <optional>
#include <thread>

namespace {

const QString kWait = QStringLiteral("wait current thread");
const QString kEnd = QStringLiteral("combine end");
const QString kCreateFailed = QStringLiteral("创建目标文件失败");
const QString kQuestion = QStringLiteral("Join anyway?");
const QString kEndUnchanged = kEnd + QStringLiteral("\n目标文件未改变");
const QString kAboutBox = QStringLiteral("aboutDlg|关于Orvik软件免费工具");

int threadCount() {
    return static_cast<int>(QDir(QStringLiteral("/proc/self/task"))
                                .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                                .size());
}

void rightClick(QWidget* widget) {
    const QPoint pos = widget->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, widget->mapToGlobal(pos));
    QApplication::sendEvent(widget, &event);
}

} // namespace

class VeltraneDlgTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyControlShowsItsText_data();
    void everyControlShowsItsText();
    void bottomTextsNameHostsThatFitALinkLabel();
    void layoutFollowsTheTemplate();
    void tabOrderIsTemplateOrderAndStartsInTheTargetBox();
    void looksLikeTheClassicDialog();

    void sysCommandOpensAboutOnlyForItsId_data();
    void sysCommandOpensAboutOnlyForItsId();
    void rightClickOffersAboutOutsideListAndButtons_data();
    void rightClickOffersAboutOutsideListAndButtons();

    void startRunsToTheEndNotice_data();
    void startRunsToTheEndNotice();
    void busyRunRefusesStartAndEveryWayOfClosing();
    void idleWindowCloses_data();
    void idleWindowCloses();
    void engineCallsFromAnotherThreadRunOnTheUiThread();
    void noThreadOutlivesTheDialog_data();
    void noThreadOutlivesTheDialog();

protected:
    // Counts the worker's calls as the window receives them.

private: // NOLINT(readability-redundant-access-specifiers)
    static void waitUntilIdle();
    template <typename Widget = QWidget> Widget* child(const QString& name) const {
        auto* widget = m_window->findChild<Widget*>(name);
        if (widget == nullptr) {
            qFatal("no control named %s", qPrintable(name));
        }
        return widget;
    }
    QRect geometryOf(const QString& name) const { return child(name)->geometry(); }

    ShownWindow m_window;
    QTemporaryDir m_dir;
};

// Waits until the run is no longer busy, leaving the end notice, which the worker asks for
// next, in the queue: an empty list's run asks the window nothing before it, its rows being
// read from the list's store.
void VeltraneDlgTest::waitUntilIdle() {
    const QDeadlineTimer deadline(5000);
    while (g_busy != 0 && !deadline.hasExpired()) {
        std::this_thread::yield();
    }
}

void VeltraneDlgTest::initTestCase() {
    QApplication::setStyle(QStringLiteral("Windows"));
    QVERIFY(m_dir.isValid());
}

void VeltraneDlgTest::init() {
    QVERIFY(m_window.show(ShownWindow::Wait::Active));
}

void VeltraneDlgTest::cleanup() {
    QCOMPARE(m_window.tearDown(), QString());
}

void VeltraneDlgTest::everyControlShowsItsText_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("target label") << "targetLabel"
                                  << "目标文件:";
    QTest::newRow("browse") << "browseTarget"
                            << "...";
    QTest::newRow("start") << "start"
                           << "确定";
    QTest::newRow("stop") << "stop"
                          << "停止";
    QTest::newRow("add file") << "addFile"
                              << "添加文件";
    QTest::newRow("target box starts empty") << "targetPath"
                                             << "";
}

void VeltraneDlgTest::everyControlShowsItsText() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Veltrane- Orvik软件-多文件合并"));
    QCOMPARE(child(name)->property("text").toString(), text);
}

void VeltraneDlgTest::bottomTextsNameHostsThatFitALinkLabel() {
    const QList<QPair<QString, QString>> links = {{"linkSoftSite", "软件站: "},
                                                  {"linkHome", "官网: "}};
    for (const auto& [name, prefix] : links) {
        const QString text = child<QLabel>(name)->text();
        QVERIFY2(text.startsWith(prefix), qPrintable(text));
        const QString host = text.mid(prefix.size());
        QVERIFY2(host.endsWith(".example") && !host.contains(' '), qPrintable(host));
        QVERIFY(("http://" + host).toUtf8().size() < 32);
    }
    QVERIFY(child<QLabel>("contact")->text().contains("00000000"));
}

void VeltraneDlgTest::layoutFollowsTheTemplate() {
    const DialogUnits units(m_window->font());
    QCOMPARE(units.baseX(), 6);
    QCOMPARE(units.baseY(), 13);
    QCOMPARE(m_window->size(), QSize(716, 497));
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
    QVERIFY(m_window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!m_window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));

    const auto* banner = child<QLabel>("banner");
    QCOMPARE(banner->geometry(), QRect(0, 0, 714, 89));
    QCOMPARE(banner->pixmap().size(), QSize(714, 89));
    QVERIFY(banner->hasScaledContents());

    QVERIFY(geometryOf("banner").bottom() < geometryOf("targetPath").top());
    QVERIFY(geometryOf("targetLabel").right() < geometryOf("targetPath").left());
    QCOMPARE(geometryOf("targetPath").right() + 1, geometryOf("browseTarget").left());
    QCOMPARE(geometryOf("fileList").right(), geometryOf("browseTarget").right());
    // Each coordinate is rounded on its own, as the system does, so this edge may be one off.
    QVERIFY(qAbs(geometryOf("progress").right() - geometryOf("browseTarget").right()) <= 1);
    QVERIFY(geometryOf("targetPath").bottom() < geometryOf("fileList").top());
    QVERIFY(geometryOf("fileList").bottom() < geometryOf("progress").top());
    QVERIFY(geometryOf("progress").bottom() < geometryOf("start").top());
    QVERIFY(geometryOf("addFile").right() < geometryOf("start").left());
    QVERIFY(geometryOf("start").right() < geometryOf("stop").left());
    QCOMPARE(geometryOf("start").top(), geometryOf("stop").top());
    QCOMPARE(geometryOf("addFile").top(), geometryOf("start").top() + 2);
    QVERIFY(geometryOf("start").bottom() < geometryOf("linkSoftSite").top());
    QVERIFY(geometryOf("linkSoftSite").right() < geometryOf("linkHome").left());
    QVERIFY(geometryOf("linkHome").right() < geometryOf("contact").left());
    QCOMPARE(geometryOf("contact").left(), geometryOf("stop").left());
    QVERIFY(m_window->rect().contains(geometryOf("contact")));
}

void VeltraneDlgTest::tabOrderIsTemplateOrderAndStartsInTheTargetBox() {
    auto* first = child("targetPath");
    QTRY_COMPARE(QApplication::focusWidget(), first);
    QStringList order;
    QWidget* widget = first;
    do {
        if (widget->focusPolicy() & Qt::TabFocus && !widget->objectName().isEmpty()) {
            order << widget->objectName();
        }
        widget = widget->nextInFocusChain();
    } while (widget != first);
    QCOMPARE(order,
             QStringList({"targetPath", "browseTarget", "fileList", "start", "stop", "addFile"}));
}

// Details a user of the classic dialog would notice.
void VeltraneDlgTest::looksLikeTheClassicDialog() {
    for (const char* name :
         {"targetPath", "browseTarget", "fileList", "start", "addFile", "stop"}) {
        child(name)->setFocus(Qt::TabFocusReason);
        for (const QPushButton* button : m_window->findChildren<QPushButton*>()) {
            QCOMPARE(button->isDefault(), button->hasFocus());
        }
    }
    QTest::keyClick(child("stop"), Qt::Key_Return); // taken by the focused button itself
    QVERIFY(m_window->isVisible());

    const QColor highlight = m_window->palette().color(QPalette::Highlight);
    // Inside the frame and a margin, blocks two thirds as wide as tall, gaps in proportion.
    auto* bar = child("progress");
    using Row = std::array<int, 5>; // height, percent, block, gap, blocks
    for (const auto& [height, percent, block, gap, blocks] :
         {Row{20, 1, 11, 2, 1}, Row{20, 50, 11, 2, 26}, Row{20, 100, 11, 2, 52},
          Row{32, 50, 19, 3, 16}}) {
        bar->resize(bar->width(), height);
        m_window->setProgressRange(0, 100);
        m_window->setProgressPosition(percent);
        const QString shape = ".." + (QString(block, '#') + QString(gap, '.')).repeated(blocks);
        QCOMPARE(WidgetPixels::line(bar, height / 2, highlight),
                 shape.leftJustified(bar->width(), '.'));
    }

    auto* list = child<FileList>("fileList");
    list->appendFile("a");
    m_window.user().clickCell(0, 1);
    QTest::keyClick(list, Qt::Key_Left);
    QCOMPARE(list->currentIndex(), list->model()->index(0, 1));
    // A dotted frame, in the inverse of the selection, runs along the whole row; across the
    // row, only its two ends are dotted.
    const QRect row = list->visualRect(list->model()->index(0, 0))
                          .united(list->visualRect(list->model()->index(0, 1)));
    const auto dotted = [&](int y) {
        return WidgetPixels::line(list->viewport(), y, QColor(~highlight.rgb())).count('#');
    };
    QVERIFY(dotted(row.top()) >= row.width() / 2);
    QCOMPARE(dotted(row.center().y()) + dotted(row.center().y() + 1), 2);
    child("targetPath")->setFocus();
    QVERIFY(!WidgetPixels::line(list->viewport(), row.center().y(), highlight).contains('#'));
    list->setFocus();
    QVERIFY(WidgetPixels::line(list->viewport(), row.center().y(), highlight).contains('#'));
}

void VeltraneDlgTest::sysCommandOpensAboutOnlyForItsId_data() {
    QTest::addColumn<unsigned>("nID");
    QTest::addColumn<bool>("opensAbout");
    QTest::newRow("about") << 0x0010U << true;
    QTest::newRow("about, low bit set") << 0x0011U << true;
    QTest::newRow("about, low bits set") << 0x001FU << true;
    QTest::newRow("zero") << 0x0000U << false;
    QTest::newRow("next command") << 0x0020U << false;
    QTest::newRow("high bit set") << 0x8010U << false;
    QTest::newRow("minimise") << 0xF020U << false;
    QTest::newRow("close") << 0xF060U << false;
}

void VeltraneDlgTest::sysCommandOpensAboutOnlyForItsId() {
    QFETCH(unsigned, nID);
    QFETCH(bool, opensAbout);
    QStringList seen;
    ModalCloser closer(ModalCloser::recordAndClose(seen));
    m_window->OnSysCommand(nID);
    QCOMPARE(seen, opensAbout ? QStringList{kAboutBox} : QStringList{});
    QVERIFY(m_window->isVisible());
}

void VeltraneDlgTest::rightClickOffersAboutOutsideListAndButtons_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("offersAbout");
    QTest::newRow("progress bar") << "progress" << true;
    QTest::newRow("banner") << "banner" << true;
    QTest::newRow("target label") << "targetLabel" << true;
    QTest::newRow("bottom text") << "contact" << true;
    QTest::newRow("list") << "fileList" << false;
    QTest::newRow("start") << "start" << false;
    QTest::newRow("browse") << "browseTarget" << false;
}

void VeltraneDlgTest::rightClickOffersAboutOutsideListAndButtons() {
    QFETCH(QString, name);
    QFETCH(bool, offersAbout);
    QWidget* target = child(name);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(target)) {
        target = area->viewport();
    }
    QStringList seen;
    ModalCloser menuCloser([&seen](QWidget* popup) {
        auto* menu = qobject_cast<QMenu*>(popup);
        QAction* about = menu->actions().constLast();
        // The list's own menu is for its rows.
        if (about->text() != QStringLiteral("&About Veltrane...")) {
            menu->close();
            return;
        }
        seen << ModalCloser::describe(popup);
        ModalCloser aboutCloser(ModalCloser::recordAndClose(seen));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(about).center());
        QTRY_VERIFY(aboutCloser.finished());
    });
    rightClick(target);
    const QStringList expected = {"menu:-,&About Veltrane...", kAboutBox};
    QCOMPARE(seen, offersAbout ? expected : QStringList{});
}

void VeltraneDlgTest::startRunsToTheEndNotice_data() {
    QTest::addColumn<QString>("targetName");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("texts");
    // With no row ticked, emptying a target that holds data is asked about first.
    QTest::newRow("existing target is emptied once the user agrees")
        << "old.vmdk" << QByteArray("old bytes") << QStringList{kQuestion, kEnd};
    QTest::newRow("absent target is created") << "new.vmdk" << QByteArray() << QStringList{kEnd};
    QTest::newRow("empty target box")
        << "" << QByteArray() << QStringList{kCreateFailed, kEndUnchanged};
}

void VeltraneDlgTest::startRunsToTheEndNotice() {
    QFETCH(QString, targetName);
    QFETCH(QByteArray, before);
    QFETCH(QStringList, texts);
    const QString path = targetName.isEmpty() ? QString() : m_dir.filePath(targetName);
    if (!before.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(before);
    }
    child<QLineEdit>("targetPath")->setText(path);

    QStringList seen;
    ModalCloser closer(
        [&seen](QWidget* widget) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box != nullptr && box->button(QMessageBox::Yes) != nullptr) {
                seen << ModalCloser::plainBoxes({kQuestion});
                QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
            } else {
                ModalCloser::recordAndClose(seen)(widget);
            }
        },
        static_cast<int>(texts.size()));
    QTest::mouseClick(child("start"), Qt::LeftButton);
    QTRY_VERIFY(closer.finished());

    QCOMPARE(seen, ModalCloser::plainBoxes(texts));
    if (!path.isEmpty()) {
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(QFileInfo(path).size(), 0);
    }
}

void VeltraneDlgTest::busyRunRefusesStartAndEveryWayOfClosing() {
    // With an empty target box the worker stops on its message box while the run is busy.
    auto* start = child<QPushButton>("start");
    auto* targetBox = child("targetPath");
    QStringList seen;
    std::optional<ModalCloser> noticeCloser;
    int busyWhileHeld = 0;
    bool stayedOpen = true;
    ModalCloser held([&](QWidget* heldBox) {
        busyWhileHeld = g_busy;
        const auto refused = [&](const std::function<void()>& attempt) {
            ModalCloser refusal(ModalCloser::recordAndClose(seen), 1, heldBox);
            attempt();
            stayedOpen = stayedOpen && refusal.finished() && m_window->isVisible();
        };
        refused([start] { start->click(); });
        refused([this] { m_window->close(); });
        refused([this] { QTest::keyClick(m_window.get(), Qt::Key_Escape); });
        refused([targetBox] { QTest::keyClick(targetBox, Qt::Key_Return); });
        noticeCloser.emplace(ModalCloser::recordAndClose(seen), 1, heldBox);
        ModalCloser::recordAndClose(seen)(heldBox);
    });
    QTest::mouseClick(start, Qt::LeftButton);
    QTRY_VERIFY(noticeCloser && noticeCloser->finished());

    QCOMPARE(busyWhileHeld, 1);
    QVERIFY(stayedOpen);
    QCOMPARE(seen,
             ModalCloser::plainBoxes({kWait, kWait, kWait, kWait, kCreateFailed, kEndUnchanged}));
}

void VeltraneDlgTest::idleWindowCloses_data() {
    QTest::addColumn<int>("way");
    QTest::addColumn<int>("result");
    QTest::newRow("Enter in the target box") << 0 << int(QDialog::Accepted);
    QTest::newRow("Escape") << 1 << int(QDialog::Rejected);
    QTest::newRow("close box") << 2 << int(QDialog::Rejected);
}

void VeltraneDlgTest::idleWindowCloses() {
    QFETCH(int, way);
    QFETCH(int, result);
    const std::array<std::function<void()>, 3> ways = {
        [this] { QTest::keyClick(child("targetPath"), Qt::Key_Return); },
        [this] { QTest::keyClick(m_window.get(), Qt::Key_Escape); },
        [this] { m_window->close(); },
    };
    ways.at(way)();
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_window->result(), result);
}

void VeltraneDlgTest::engineCallsFromAnotherThreadRunOnTheUiThread() {
    const QString path = m_dir.filePath("chosen.vmdk");
    child<QLineEdit>("targetPath")->setText(path);
    auto* progress = child<QProgressBar>("progress");
    QThread* changedOn = nullptr;
    connect(
        progress, &QProgressBar::valueChanged, progress,
        [&changedOn] { changedOn = QThread::currentThread(); }, Qt::DirectConnection);

    std::atomic<bool> done = false;
    std::string target;
    int rows = -1;
    std::thread worker([&] {
        m_window->setProgressRange(0, 7);
        m_window->setProgressPosition(3);
        rows = m_window->rowCount();
        target = m_window->targetBoxText();
        done = true;
    });
    QTRY_VERIFY(done);
    worker.join();

    QCOMPARE(progress->maximum(), 7);
    QCOMPARE(progress->value(), 3);
    QCOMPARE(changedOn, QThread::currentThread());
    QCOMPARE(rows, 0);
    QCOMPARE(QString::fromStdString(target), path);
}

void VeltraneDlgTest::noThreadOutlivesTheDialog_data() {
    QTest::addColumn<int>("moment");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("closing refused while the end notice is up") << 0 << QStringList{kWait, kEnd};
    QTest::newRow("closing refused while the end notice is on its way")
        << 1 << QStringList{kEnd, kWait};
    QTest::newRow("destroyed during a run") << 2 << QStringList{kCreateFailed, kEndUnchanged};
}

void VeltraneDlgTest::noThreadOutlivesTheDialog() {
    QFETCH(int, moment);
    QFETCH(QStringList, texts);
    const int threadsBefore = threadCount();
    child<QLineEdit>("targetPath")->setText(moment == 2 ? QString() : m_dir.filePath("t.vmdk"));
    QStringList seen;
    bool stayedOpen = true;
    ModalCloser::Step step = ModalCloser::recordAndClose(seen);
    if (moment == 0) {
        step = [&](QWidget* notice) {
            ModalCloser refusal(ModalCloser::recordAndClose(seen), 1, notice);
            m_window->close();
            stayedOpen = refusal.finished() && m_window->isVisible();
            ModalCloser::recordAndClose(seen)(notice);
        };
    }
    ModalCloser closer(step, moment == 0 ? 1 : static_cast<int>(texts.size()));
    QTest::mouseClick(child("start"), Qt::LeftButton);
    if (moment == 1) {
        waitUntilIdle();
        QCOMPARE(g_busy.load(), 0);
        // The refusal's box lets the notice come up too; both are closed, in either order.
        m_window->close();
        stayedOpen = m_window->isVisible();
        seen.sort();
    }
    QTRY_VERIFY(closer.finished());
    QVERIFY(stayedOpen);
    QCOMPARE(m_window.tearDown(), QString());

    QCOMPARE(seen, ModalCloser::plainBoxes(texts));
    QCOMPARE(threadCount(), threadsBefore);
}

QTEST_MAIN(VeltraneDlgTest)
#include "VeltraneDlgTest.moc"
