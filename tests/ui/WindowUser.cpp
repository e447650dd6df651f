#include "WindowUser.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QTest>

namespace {

void typeAndConfirm(QFileDialog* dialog, const QString& name, const ModalCloser::Step& confirm) {
    auto* nameEdit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    nameEdit->setText(name);
    if (!confirm) {
        QTest::keyClick(nameEdit, Qt::Key_Return);
        return;
    }
    ModalCloser answer(confirm, 1, dialog);
    QTest::keyClick(nameEdit, Qt::Key_Return);
    QTRY_VERIFY(answer.finished());
}

void cancel(QFileDialog* dialog) {
    auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
}

} // namespace

void WindowUser::chooseFile(const QString& button, const QString& name, const Inspect& inspect,
                            const ModalCloser::Step& confirm) {
    ModalCloser answer([&](QWidget* top) {
        auto* dialog = qobject_cast<QFileDialog*>(top);
        QVERIFY2(dialog != nullptr, qPrintable(ModalCloser::describe(top)));
        if (inspect) {
            inspect(dialog);
        }
        if (!name.isEmpty()) {
            typeAndConfirm(dialog, name, confirm);
        }
        if (dialog->isVisible()) {
            cancel(dialog);
        }
    });
    QTest::mouseClick(m_window.findChild<QPushButton*>(button), Qt::LeftButton);
    QTRY_VERIFY(answer.finished());
}

void WindowUser::clickCheckBox(int row) const {
    QTableWidget* table = list();
    const QModelIndex index = table->model()->index(row, 0);
    // Where the item's delegate puts the box: on the left of the index text.
    QStyleOptionViewItem option;
    option.initFrom(table);
    option.rect = table->visualRect(index);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = index.data().toString();
    const QRect box =
        table->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, table);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, box.center());
}

void WindowUser::clickCell(int row, int column) const {
    QTableWidget* table = list();
    const QRect cell = table->visualRect(table->model()->index(row, column));
    // The centre of a cell lies well clear of the check box.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
}

void WindowUser::pressSpaceOn(int row, int column) const {
    clickCell(row, column);
    QTest::keyClick(list(), Qt::Key_Space);
}

bool WindowUser::dropFiles(const QList<QUrl>& urls, Qt::DropActions actions) const {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter({}, actions, &data, Qt::LeftButton, {});
    QDropEvent drop({}, actions, &data, Qt::LeftButton, {});
    return QApplication::sendEvent(list()->viewport(), &enter) && enter.isAccepted() &&
           QApplication::sendEvent(list()->viewport(), &drop) && drop.isAccepted() &&
           drop.dropAction() == Qt::CopyAction;
}

QTableWidget* WindowUser::list() const {
    return m_window.findChild<QTableWidget*>(QStringLiteral("fileList"));
}
