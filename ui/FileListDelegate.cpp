#include "FileListDelegate.h"

#include "MiddleCut.h"

#include <QApplication>

namespace {

constexpr int kPathColumn = 1;

} // namespace

void FileListDelegate::initStyleOption(QStyleOptionViewItem* option,
                                       const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->state &= ~QStyle::State_HasFocus;
    // A size hint asks with no cell yet: nothing to cut to.
    if (index.column() == kPathColumn && option->rect.width() > 0) {
        option->text = QString::fromStdU16String(
            MiddleCut::Cut(option->text.toStdU16String(), textWidth(*option),
                           [&metrics = option->fontMetrics](const std::u16string& text) {
                               return metrics.horizontalAdvance(QString::fromStdU16String(text));
                           }));
    }
}

// The room the style leaves the text inside the cell: a margin on each side.
int FileListDelegate::textWidth(const QStyleOptionViewItem& option) {
    const QStyle* style = option.widget != nullptr ? option.widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, &option, option.widget) + 1;
    return style->subElementRect(QStyle::SE_ItemViewItemText, &option, option.widget).width() -
           2 * margin;
}
