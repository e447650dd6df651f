#pragma once

#include "ModalCloser.h"

#include <QList>
#include <QString>
#include <QUrl>
#include <functional>

class QFileDialog;
class QTableWidget;
class QWidget;

// Works the main window's list and file dialogs as its user does: Qt's own file dialog,
// clicks on the check boxes, the space bar.
class WindowUser final {
public:
    using Inspect = std::function<void(QFileDialog*)>;

    explicit WindowUser(QWidget& window) : m_window(window) {}

    // Presses the button named `button`, types `name` into the file dialog that opens and
    // confirms it; an empty name cancels instead. `inspect` sees the dialog first; `confirm`,
    // when given, answers the box that asks before an existing file is replaced, and a dialog
    // still open after that is cancelled.
    void chooseFile(const QString& button, const QString& name, const Inspect& inspect = {},
                    const ModalCloser::Step& confirm = {});
    void clickCheckBox(int row) const;
    void clickCell(int row, int column) const;
    void pressSpaceOn(int row, int column) const;
    // Drops `urls` on the list as a file manager does. Returns whether it was taken as a copy.
    bool dropFiles(const QList<QUrl>& urls,
                   Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) const;
    QTableWidget* list() const;

private:
    QWidget& m_window;
};
