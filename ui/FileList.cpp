#include "FileList.h"

#include "FileListDelegate.h"
#include "FileRows.h"
#include "TextMark.h"
#include "UiText.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace {

constexpr int kCheckColumn = 0;
constexpr int kPathColumn = 1;

QTableWidgetItem* newCell(const QString& text, Qt::ItemFlags extraFlags = {}) {
    auto* cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | extraFlags);
    return cell;
}

} // namespace

FileList::FileList(QWidget* parent) : QTableWidget(parent) {
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setItemDelegate(new FileListDelegate(this));
    // Tab leaves the list for the next control instead of walking its cells.
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Rows as tight as the classic list's: one line of text and the check box.
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(model(), &QAbstractItemModel::dataChanged, this, &FileList::storeCheckStates);
}

void FileList::setUpColumns() {
    // The client width excludes the frame; an empty list shows no scroll bar yet.
    const int width = contentsRect().width() / 2;
    setColumnCount(2);
    setHorizontalHeaderLabels(
        {UiText::Shown(Translatable("索引")), UiText::Shown(Translatable("文件路径"))});
    setColumnWidth(kCheckColumn, width);
    setColumnWidth(kPathColumn, width);
}

void FileList::appendFile(const QString& path) {
    const int row = rowCount();
    // The engine takes paths in UTF-8 on every system, not in Windows' ANSI code page.
    m_rows.append(path.toStdString());
    insertRow(row);
    QTableWidgetItem* index =
        newCell(QString::fromStdString(FileRows::IndexText(row)), Qt::ItemIsUserCheckable);
    index->setCheckState(Qt::Unchecked);
    setItem(row, kCheckColumn, index);
    setItem(row, kPathColumn, newCell(path));
}

void FileList::appendFiles(const QStringList& paths) {
    const int first = rowCount();
    for (const QString& path : paths) {
        appendFile(path);
    }
    // The scroll range follows the new rows only once the view has laid them out.
    executeDelayedItemsLayout();
    for (const int row : FileRows::RowsToScrollTo(first, rowCount())) {
        scrollToItem(item(row, kCheckColumn));
    }
}

bool FileList::isChecked(int row) const {
    const QTableWidgetItem* index = item(row, kCheckColumn);
    return index != nullptr && index->checkState() == Qt::Checked;
}

void FileList::keyPressEvent(QKeyEvent* event) {
    // Space ticks the focused row whichever of its cells has the focus.
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier &&
        currentRow() >= 0) {
        toggleFocusedAndSelected();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

QModelIndex FileList::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    // The focus is a row, not a cell: Left and Right have no cell to go to.
    if (action == MoveLeft || action == MoveRight) {
        return currentIndex();
    }
    return QTableWidget::moveCursor(action, modifiers);
}

void FileList::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableWidget::currentChanged(current, previous);
    // Qt repaints only the two cells; the frame spans their rows.
    viewport()->update();
}

void FileList::paintEvent(QPaintEvent* event) {
    QTableWidget::paintEvent(event);
    const int row = currentRow();
    if (!hasFocus() || row < 0) {
        return;
    }
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.rect = visualRect(model()->index(row, 0))
                     .united(visualRect(model()->index(row, columnCount() - 1)));
    frame.backgroundColor = palette().color(
        selectionModel()->isRowSelected(row) ? QPalette::Highlight : QPalette::Base);
    QPainter painter(viewport());
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
}

void FileList::initViewItemOption(QStyleOptionViewItem* option) const {
    QTableWidget::initViewItemOption(option);
    if (!hasFocus()) {
        option->palette.setBrush(QPalette::Highlight, option->palette.base());
        option->palette.setBrush(QPalette::HighlightedText, option->palette.text());
    }
}

void FileList::toggleFocusedAndSelected() {
    std::vector<int> selected;
    for (const QModelIndex& row : selectionModel()->selectedRows(kCheckColumn)) {
        selected.push_back(row.row());
    }
    for (const FileRows::Tick& tick :
         FileRows::SpaceTicks(currentRow(), isChecked(currentRow()), selected)) {
        item(tick.row, kCheckColumn)->setCheckState(tick.checked ? Qt::Checked : Qt::Unchecked);
    }
}

void FileList::storeCheckStates(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                const QList<int>& roles) {
    if (topLeft.column() > kCheckColumn || bottomRight.column() < kCheckColumn ||
        !(roles.isEmpty() || roles.contains(Qt::CheckStateRole))) {
        return;
    }
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        m_rows.setChecked(row, isChecked(row));
    }
}
