#pragma once

#include <QStyledItemDelegate>

// Draws the file list's cells without a focus frame of their own, the list framing the whole
// focused row itself, and a path too long for its cell cut in its middle; the cell's text
// stays whole.
class FileListDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    static int textWidth(const QStyleOptionViewItem& option);
};
