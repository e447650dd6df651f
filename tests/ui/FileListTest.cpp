#include "ModalCloser.h"
#include "ShownWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

namespace {

const QStringList kFilters = {"vmdk Files (*.vmdk)", "All Files (*)"};

void touch(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

// Shows the list's folder under "All Files" and chooses `name` by clicking it.
void pickFromListing(QFileDialog* dialog, const QString& folder, const QString& name) {
    dialog->setDirectory(folder);
    dialog->selectNameFilter(kFilters.at(1));
    auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    QModelIndex found;
    QTRY_VERIFY((found = view->model()
                             ->match(view->model()->index(0, 0, view->rootIndex()), Qt::DisplayRole,
                                     name, 1, Qt::MatchExactly)
                             .value(0))
                    .isValid());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(found).center());
    QTest::keyClick(view, Qt::Key_Return);
}

} // namespace

class FileListTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listIsAReportOfTwoHalfWidthColumns();
    void fileDialogsShareTheirSettingsAndCancelChangesNothing_data();
    void fileDialogsShareTheirSettingsAndCancelChangesNothing();
    void addedRowsAreNumberedUncheckedAndKeepAnyName();
    void targetBoxTakesOnlyTheSaveDialogsChoice();
    void onlyAClickOnTheBoxOrSpaceOnTheRowTicksIt();
    void dropAddsLocalFilesInNaturalOrder();
    void newRowsAreScrolledIntoView();
    void longPathsAreDrawnCutInTheMiddleAndWholeInTheTip();

private: // NOLINT(readability-redundant-access-specifiers)
    QString rowText(int row, int column) const {
        return m_window.user().list()->item(row, column)->text();
    }
    QLineEdit* targetBox() const { return m_window->findChild<QLineEdit*>("targetPath"); }

    ShownWindow m_window;
    QTemporaryDir m_dir;
};

void FileListTest::initTestCase() {
    QApplication::setStyle(QStringLiteral("Windows"));
    // Qt's own dialog, which the test can drive, wherever the tests run.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QVERIFY(m_dir.isValid());
}

void FileListTest::init() {
    QVERIFY(m_window.show());
}

void FileListTest::cleanup() {
    QCOMPARE(m_window.tearDown(), QString());
}

void FileListTest::listIsAReportOfTwoHalfWidthColumns() {
    QTableWidget* list = m_window.user().list();
    QCOMPARE(list->columnCount(), 2);
    QCOMPARE(list->horizontalHeaderItem(0)->text(), QStringLiteral("索引"));
    QCOMPARE(list->horizontalHeaderItem(1)->text(), QStringLiteral("文件路径"));
    QCOMPARE(list->horizontalHeader()->defaultAlignment(), Qt::AlignLeft | Qt::AlignVCenter);
    // The client width, as shown: inside the frame, no row header, no scroll bar yet.
    const int clientWidth = list->viewport()->width();
    QCOMPARE(clientWidth, list->width() - 2 * list->frameWidth());
    QCOMPARE(list->columnWidth(0), clientWidth / 2);
    QCOMPARE(list->columnWidth(1), clientWidth / 2);

    QVERIFY(list->showGrid());
    QVERIFY(list->verticalHeader()->isHidden());
    QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!list->isSortingEnabled());
    QVERIFY(!list->horizontalHeader()->sectionsMovable());
    QVERIFY(!list->tabKeyNavigation());
    QCOMPARE(list->rowCount(), 0);
}

void FileListTest::fileDialogsShareTheirSettingsAndCancelChangesNothing_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("mode");
    QTest::newRow("add file") << "addFile" << int(QFileDialog::AcceptOpen);
    QTest::newRow("browse target") << "browseTarget" << int(QFileDialog::AcceptSave);
}

void FileListTest::fileDialogsShareTheirSettingsAndCancelChangesNothing() {
    QFETCH(QString, button);
    QFETCH(int, mode);
    targetBox()->setText(QStringLiteral("/kept/target.vmdk"));
    bool inspected = false;
    m_window.user().chooseFile(button, {}, [&](QFileDialog* dialog) {
        QCOMPARE(int(dialog->acceptMode()), mode);
        QCOMPARE(dialog->fileMode(), QFileDialog::AnyFile);
        QCOMPARE(dialog->nameFilters(), kFilters);
        QCOMPARE(dialog->selectedNameFilter(), kFilters.at(0));
        QCOMPARE(dialog->defaultSuffix(), mode == QFileDialog::AcceptSave ? "vmdk" : "");
        QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
        QVERIFY(dialog->findChild<QLineEdit*>("fileNameEdit")->text().isEmpty());
        QCOMPARE(dialog->parentWidget(), m_window.get());
        QVERIFY(dialog->isModal());
        inspected = true;
    });
    QVERIFY(inspected);
    QCOMPARE(m_window.user().list()->rowCount(), 0);
    QCOMPARE(targetBox()->text(), QStringLiteral("/kept/target.vmdk"));
}

void FileListTest::addedRowsAreNumberedUncheckedAndKeepAnyName() {
    const QString folder = m_dir.filePath(QStringLiteral("源 文件"));
    QVERIFY(QDir().mkpath(folder));
    const QString existing = folder + QStringLiteral("/分卷 一.vmdk");
    touch(existing);
    touch(folder + QStringLiteral("/xaa"));

    m_window.user().chooseFile("addFile", existing);
    m_window.user().chooseFile("addFile", existing);
    m_window.user().chooseFile("addFile", folder + "/absent.vmdk");
    m_window.user().chooseFile("addFile", folder + "/part");
    m_window.user().chooseFile("addFile", folder + "/part.bin");
    m_window.user().chooseFile("addFile", folder + "/xaa");
    m_window.user().chooseFile("addFile", QStringLiteral("pick"), [&folder](QFileDialog* dialog) {
        pickFromListing(dialog, folder, QStringLiteral("xaa"));
    });

    const QStringList paths = {existing,
                               existing,
                               folder + "/absent.vmdk",
                               folder + "/part.vmdk",
                               folder + "/part.bin",
                               folder + "/xaa",
                               folder + "/xaa"};
    QTableWidget* list = m_window.user().list();
    QCOMPARE(list->rowCount(), paths.size());
    for (int row = 0; row < list->rowCount(); ++row) {
        QCOMPARE(rowText(row, 0), QString::number(row));
        QCOMPARE(rowText(row, 1), paths.at(row));
        QCOMPARE(list->item(row, 0)->checkState(), Qt::Unchecked);
    }
    QVERIFY(!QFile::exists(folder + "/absent.vmdk"));
}

void FileListTest::targetBoxTakesOnlyTheSaveDialogsChoice() {
    const QString existing = m_dir.filePath(QStringLiteral("合并 结果.vmdk"));
    touch(existing);
    touch(m_dir.filePath("out"));
    m_window.user().chooseFile("browseTarget", m_dir.filePath("out"));
    QCOMPARE(targetBox()->text(), m_dir.filePath("out.vmdk"));
    m_window.user().chooseFile("browseTarget", m_dir.filePath("out.img"));
    QCOMPARE(targetBox()->text(), m_dir.filePath("out.img"));

    QStringList asked;
    const auto answer = [&asked](QMessageBox::StandardButton button) {
        return [&asked, button](QWidget* box) {
            asked << ModalCloser::describe(box);
            QTest::mouseClick(qobject_cast<QMessageBox*>(box)->button(button), Qt::LeftButton);
        };
    };
    m_window.user().chooseFile("browseTarget", existing, {}, answer(QMessageBox::No));
    QCOMPARE(targetBox()->text(), m_dir.filePath("out.img"));
    m_window.user().chooseFile("browseTarget", existing, {}, answer(QMessageBox::Yes));
    QCOMPARE(targetBox()->text(), existing);
    QCOMPARE(asked.size(), 2);
    QVERIFY2(asked.at(0).contains(QStringLiteral("合并 结果.vmdk")), qPrintable(asked.at(0)));

    QVERIFY(targetBox()->isReadOnly());
    QTest::keyClicks(targetBox(), QStringLiteral("typed"));
    QTest::keyClick(targetBox(), Qt::Key_Backspace);
    QCOMPARE(targetBox()->text(), existing);
}

void FileListTest::onlyAClickOnTheBoxOrSpaceOnTheRowTicksIt() {
    QTest::keyClick(m_window.user().list(), Qt::Key_Space);
    for (int row = 0; row < 3; ++row) {
        m_window.user().chooseFile("addFile", m_dir.filePath(QStringLiteral("s%1.vmdk").arg(row)));
    }
    // The boxes as shown, and as the run reads them when those differ.
    const auto ticks = [this] {
        QString marks;
        QString stored;
        for (int row = 0; row < m_window.user().list()->rowCount(); ++row) {
            marks += m_window.user().list()->item(row, 0)->checkState() == Qt::Checked ? 'x' : '-';
        }
        for (const RowStore::Row& row : m_window->listedRows()) {
            stored += row.checked ? 'x' : '-';
        }
        return marks == stored ? marks : marks + QStringLiteral(" stored as ") + stored;
    };
    m_window.user().clickCheckBox(0);
    QCOMPARE(ticks(), QStringLiteral("x--"));
    m_window.user().clickCell(1, 0);
    m_window.user().clickCell(1, 1);
    QTest::mouseDClick(
        m_window.user().list()->viewport(), Qt::LeftButton, {},
        m_window.user().list()->visualRect(m_window.user().list()->model()->index(1, 1)).center());
    QCOMPARE(ticks(), QStringLiteral("x--"));
    // No editor opened on the path.
    QVERIFY(m_window.user().list()->findChildren<QLineEdit*>().isEmpty());
    m_window.user().pressSpaceOn(2, 1);
    QCOMPARE(ticks(), QStringLiteral("x-x"));
    m_window.user().pressSpaceOn(2, 0);
    QCOMPARE(ticks(), QStringLiteral("x--"));
    m_window.user().clickCheckBox(0);
    QCOMPARE(ticks(), QStringLiteral("---"));
    QCOMPARE(rowText(1, 1), m_dir.filePath("s1.vmdk"));
    // Space gives the selection the focused row's new state; a box click changes one row.
    QTest::keyClick(m_window.user().list(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(m_window.user().list(), Qt::Key_Space);
    QCOMPARE(ticks(), QStringLiteral("xxx"));
    QTest::keyClick(m_window.user().list(), Qt::Key_Space);
    QCOMPARE(ticks(), QStringLiteral("---"));
    m_window.user().clickCheckBox(1);
    QCOMPARE(ticks(), QStringLiteral("-x-"));
    QTest::keyClick(m_window.user().list(), Qt::Key_Space);
    QCOMPARE(ticks(), QStringLiteral("xxx"));
}

void FileListTest::dropAddsLocalFilesInNaturalOrder() {
    QVERIFY(QDir(m_dir.path()).mkpath("a"));
    QList<QUrl> urls = {QUrl("https://host.example/y")};
    for (const char* name : {"a", "d-s10", "b/x", "d-s2", "a/X", "D-s1"}) {
        urls << QUrl::fromLocalFile(m_dir.filePath(name));
    }
    m_window->AddFiles({"/first"});
    QVERIFY(!m_window.user().dropFiles(urls.mid(0, 2)));
    QVERIFY(!m_window.user().dropFiles(urls, Qt::MoveAction));
    QVERIFY(m_window.user().dropFiles(urls));
    QStringList rows;
    for (int row = 0; row < m_window.user().list()->rowCount(); ++row) {
        const QString tick = m_window->isRowChecked(row) ? "x " : " ";
        rows << rowText(row, 0) + tick + rowText(row, 1).remove(m_dir.path());
        QCOMPARE(QString::fromStdString(m_window->rowPath(row)), rowText(row, 1));
    }
    QCOMPARE(rows, QStringList({"0 /first", "1 /D-s1", "2 /d-s2", "3 /d-s10", "4 /a/X", "5 /b/x"}));
}

void FileListTest::newRowsAreScrolledIntoView() {
    QTableWidget* list = m_window.user().list();
    const auto shown = [list](int row) {
        return list->viewport()->rect().contains(list->visualRect(list->model()->index(row, 0)));
    };
    const auto files = [this](int count) {
        QList<QUrl> urls;
        while (urls.size() < count) {
            urls << QUrl::fromLocalFile(m_dir.filePath(QString::number(urls.size())));
        }
        return urls;
    };
    m_window->AddFiles(QUrl::toStringList(files(30), QUrl::PreferLocalFile));
    // Each time from the top of the full list: a few dropped rows all come into view, of more
    // than fit the first one shows at the top, and so does one from the file dialog.
    list->scrollToTop();
    QVERIFY(m_window.user().dropFiles(files(2)) && shown(30) && shown(31));
    list->scrollToTop();
    QVERIFY(m_window.user().dropFiles(files(30)));
    QCOMPARE(list->rowAt(0), 32);
    list->scrollToTop();
    m_window.user().chooseFile("addFile", m_dir.filePath("one more"));
    QVERIFY(list->rowCount() == 63 && shown(62));
}

// Paths alike but for their end stay apart: drawn cut in their middle, whole in the tip and in
// the row the run reads.
void FileListTest::longPathsAreDrawnCutInTheMiddleAndWholeInTheTip() {
    const QString folder = m_dir.filePath(QString(120, 'f'));
    const QStringList paths = {folder + "/disk-s01.vmdk", folder + "/disk-s02.vmdk"};
    m_window->AddFiles(paths);
    QTableWidget* list = m_window.user().list();
    QList<QImage> drawn;
    for (int row = 0; row < 2; ++row) {
        QVERIFY(list->item(row, 1)->text() == paths.at(row) &&
                QString::fromStdString(m_window->rowPath(row)) == paths.at(row));
        const QRect cell = list->visualRect(list->model()->index(row, 1));
        QHelpEvent tip(QEvent::ToolTip, cell.center(),
                       list->viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(list->viewport(), &tip);
        QTRY_COMPARE(QToolTip::text(), paths.at(row));
        drawn << list->viewport()->grab(cell).toImage();
    }
    // Cut at its end, each would show the same start of the folder.
    QVERIFY(drawn.at(0) != drawn.at(1));
}

QTEST_MAIN(FileListTest)
#include "FileListTest.moc"
