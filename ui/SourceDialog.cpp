#include "SourceDialog.h"

#include "TypedName.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QLineEdit>

namespace {

QString withDefaultSuffix(const QString& path) {
    return QFileInfo(TypedName::WithDefaultSuffix(QFileInfo(path).filesystemFilePath())).filePath();
}

} // namespace

SourceDialog::SourceDialog(QWidget* parent) : QFileDialog(parent) {
    setOption(QFileDialog::DontUseNativeDialog);
    connect(nameEdit(), &QLineEdit::textEdited, this, [this] { m_typed = true; });
    // Connected after the dialog's own handler, which has put the picked names in the box by
    // now, unless the user is typing there.
    auto* listing = findChild<QAbstractItemView*>(QStringLiteral("listView"));
    connect(listing->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!nameEdit()->hasFocus()) {
            m_typed = false;
        }
    });
}

// Qt's dialog sets its views' selection by the file mode, which takes one file for a name
// that need not exist: several are allowed once the mode is set.
void SourceDialog::setVisible(bool visible) {
    if (visible) {
        for (QAbstractItemView* view : findChildren<QAbstractItemView*>()) {
            if (view->objectName() == QLatin1String("listView") ||
                view->objectName() == QLatin1String("treeView")) {
                view->setSelectionMode(QAbstractItemView::ExtendedSelection);
            }
        }
    }
    QFileDialog::setVisible(visible);
}

QStringList SourceDialog::chosenFiles() const {
    if (!m_several.isEmpty()) {
        return m_several;
    }
    const QString chosen = selectedFiles().value(0);
    return chosen.isEmpty() ? QStringList() : QStringList{withDefaultSuffix(chosen)};
}

void SourceDialog::accept() {
    QStringList names = quotedNames();
    bool picked = !m_typed;
    // The listing's selection, when the user picked there but the name box kept its focus.
    if (names.size() < 2) {
        names = selectedFiles();
        picked = true;
    }
    if (names.size() < 2) {
        m_several.clear();
        QFileDialog::accept();
        return;
    }
    QStringList files;
    for (const QString& name : names) {
        const QFileInfo file(directory(), name);
        // As in a drop, folders are left out.
        if (!file.isDir()) {
            files << withDefaultSuffix(file.filePath());
        }
    }
    if (!files.isEmpty()) {
        m_several = files;
        m_picked = picked;
        // Qt's own dialog would take the first of several names only.
        QDialog::accept(); // NOLINT(bugprone-parent-virtual-call)
    }
}

QLineEdit* SourceDialog::nameEdit() const {
    return findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

QStringList SourceDialog::quotedNames() const {
    const QString text = nameEdit()->text();
    if (!text.contains(QLatin1Char('"'))) {
        return {};
    }
    QStringList names;
    // Every other piece between quotes is a name; those between them only separate.
    const QStringList pieces = text.split(QLatin1Char('"'));
    for (qsizetype i = 1; i < pieces.size(); i += 2) {
        if (!pieces.at(i).trimmed().isEmpty()) {
            names << pieces.at(i);
        }
    }
    return names;
}
