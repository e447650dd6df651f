#pragma once

#include "RowEdits.h"
#include "RowStore.h"

#include <QTableWidget>
#include <functional>
#include <vector>

// The list of sources, in report view: one row per added file, its index in column 0 beside
// a check box that decides whether the file takes part in a run, its path in column 1, cut in
// its middle when too long, whole in the row's tool tip. Delete removes the selected rows and
// Alt+Up and Alt+Down move them, from the keys or the list's menu; the index column is then
// numbered again. Only the user changes a check box. Several rows can be selected, so
// that one press of Space ticks or clears them all. As in the classic list, the focus is a
// whole row, framed across both columns, and selected rows show as such only while the list
// has the focus. Its rows are kept in step in a store that a run's worker reads.
class FileList final : public QTableWidget {
    Q_OBJECT

public:
    // Says whether the rows may be rearranged now, telling the user when not.
    using EditCheck = std::function<bool()>;

    explicit FileList(QWidget* parent = nullptr);

    // Call once the list has its final size: the two columns share its client width.
    void setUpColumns();
    void appendFile(const QString& path);
    // Appends a row for each path, in the order given, and scrolls the first new row into
    // view, with as many of the others as fit after it.
    void appendFiles(const QStringList& paths);
    bool isChecked(int row) const;
    const RowStore& rows() const { return m_rows; }
    void setEditCheck(EditCheck check) { m_editCheck = std::move(check); }
    void removeSelected();
    void moveSelectedUp();
    void moveSelectedDown();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void paintEvent(QPaintEvent* event) override;
    void initViewItemOption(QStyleOptionViewItem* option) const override;

private:
    void addEditAction(const char* text, const QKeySequence& keys, void (FileList::*edit)());
    void moveSelected(RowEdits::Direction direction);
    std::vector<int> selectedRows() const;
    // Puts the rows in `order` (see RowEdits), numbered again, with `selected` selected.
    void rearrange(const std::vector<int>& order, const std::vector<int>& selected, int current);
    // Toggles the focused row's box and gives every selected row the same new state.
    void toggleFocusedAndSelected();
    // Follows every change of a box, however it was made.
    void storeCheckStates(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                          const QList<int>& roles);

    RowStore m_rows;
    EditCheck m_editCheck;
};
