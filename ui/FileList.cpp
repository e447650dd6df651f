#include "FileList.h"

#include "FileListDelegate.h"
#include "FileRows.h"
#include "RowEdits.h"
#include "TextMark.h"
#include "UiText.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <algorithm>

namespace {

constexpr int kCheckColumn = 0;
constexpr int kPathColumn = 1;

// Both cells show the whole path as their tool tip.
QTableWidgetItem* newCell(const QString& text, const QString& path, Qt::ItemFlags extraFlags = {}) {
    auto* cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | extraFlags);
    cell->setToolTip(path);
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
    setContextMenuPolicy(Qt::ActionsContextMenu);
    addEditAction(Translatable("删除"), QKeySequence::Delete, &FileList::removeSelected);
    addEditAction(Translatable("上移"), Qt::ALT | Qt::Key_Up, &FileList::moveSelectedUp);
    addEditAction(Translatable("下移"), Qt::ALT | Qt::Key_Down, &FileList::moveSelectedDown);
}

void FileList::addEditAction(const char* text, const QKeySequence& keys, void (FileList::*edit)()) {
    auto* action = new QAction(UiText::Shown(text), this);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WidgetShortcut);
    connect(action, &QAction::triggered, this, edit);
    addAction(action);
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
        newCell(QString::fromStdString(FileRows::IndexText(row)), path, Qt::ItemIsUserCheckable);
    index->setCheckState(Qt::Unchecked);
    setItem(row, kCheckColumn, index);
    setItem(row, kPathColumn, newCell(path, path));
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

void FileList::removeSelected() {
    const std::vector<int> selected = selectedRows();
    if (selected.empty() || (m_editCheck && !m_editCheck())) {
        return;
    }
    const std::vector<int> order = RowEdits::KeptOrder(rowCount(), selected);
    const int next = RowEdits::PlaceAfterRemoval(order, selected);
    rearrange(order,
              next >= 0 ? std::vector<int>{order[static_cast<std::size_t>(next)]}
                        : std::vector<int>{},
              next);
}

void FileList::moveSelectedUp() {
    moveSelected(RowEdits::Direction::Up);
}

void FileList::moveSelectedDown() {
    moveSelected(RowEdits::Direction::Down);
}

void FileList::moveSelected(RowEdits::Direction direction) {
    const std::vector<int> selected = selectedRows();
    const std::vector<int> order = RowEdits::MovedOrder(rowCount(), selected, direction);
    if (!RowEdits::Changes(order) || (m_editCheck && !m_editCheck())) {
        return;
    }
    const std::vector<int> current = RowEdits::PlacesOf(order, {currentRow()});
    rearrange(order, selected, current.empty() ? -1 : current.front());
}

std::vector<int> FileList::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows(kCheckColumn)) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void FileList::rearrange(const std::vector<int>& order, const std::vector<int>& selected,
                         int current) {
    m_rows.reorder(order);
    std::vector<std::pair<QTableWidgetItem*, QTableWidgetItem*>> cells;
    cells.reserve(order.size());
    for (const int row : order) {
        cells.emplace_back(takeItem(row, kCheckColumn), takeItem(row, kPathColumn));
    }
    for (int row = rowCount() - 1; row >= 0; --row) {
        delete takeItem(row, kCheckColumn);
        delete takeItem(row, kPathColumn);
    }
    setRowCount(static_cast<int>(order.size()));
    for (int place = 0; place < rowCount(); ++place) {
        auto [index, path] = cells[static_cast<std::size_t>(place)];
        index->setText(QString::fromStdString(FileRows::IndexText(place)));
        setItem(place, kCheckColumn, index);
        setItem(place, kPathColumn, path);
        // The store follows what the list shows, whatever notices the moves sent meanwhile.
        m_rows.setChecked(place, isChecked(place));
    }
    clearSelection();
    if (current >= 0) {
        setCurrentCell(current, kCheckColumn, QItemSelectionModel::NoUpdate);
    }
    for (const int place : RowEdits::PlacesOf(order, selected)) {
        selectionModel()->select(model()->index(place, kCheckColumn),
                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
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
