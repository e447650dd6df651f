#pragma once

#include <QFileDialog>

class QLineEdit;

// Qt's own open dialog, taking several files at once: picked together in its listing, or typed
// as quoted names ("xaa" "xab"). Neither needs to exist. A single name, picked or typed, is
// the dialog's as ever, with the typed-name rule applied; so is each of several typed names.
class SourceDialog final : public QFileDialog {
    Q_OBJECT

public:
    explicit SourceDialog(QWidget* parent);
    Q_DISABLE_COPY_MOVE(SourceDialog)
    ~SourceDialog() override = default;

    // The files accepted, as full paths: typed names in the order typed.
    QStringList chosenFiles() const;
    // Whether several files were picked in the listing rather than typed, so their order is
    // the listing's selection, not the user's.
    bool picked() const { return m_picked; }

    void setVisible(bool visible) override;
    void accept() override;

private:
    QLineEdit* nameEdit() const;
    // The quoted names of the name box; empty when it holds no quotes.
    QStringList quotedNames() const;

    // Whether the user typed the name box's text last, rather than picked in the listing.
    bool m_typed = true;
    bool m_picked = false;
    QStringList m_several;
};
