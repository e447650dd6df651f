#pragma once

#include <QStyledItemDelegate>

// Draws the file list's cells without a focus frame of their own: the list frames the whole
// focused row itself.
class FileListDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};
