#pragma once

#include "DialogUnits.h"

#include <QRect>
#include <QString>

class QDialog;
class QLabel;
class QPushButton;
class QWidget;

// Builds a fixed-size dialog the way a dialog template does: the dialog font, each control
// at its rectangle in dialog units, and the tab order in the order of adding.
class DialogTemplate final {
public:
    DialogTemplate(QDialog& dialog, QSize sizeUnits);

    QLabel* addText(const char* name, const QString& text, QRect rectUnits);
    QPushButton* addButton(const char* name, const QString& text, QRect rectUnits);

    template <typename Control> Control* add(const char* name, QRect rectUnits) {
        auto* control = new Control(parentWidget());
        place(control, name, rectUnits);
        return control;
    }

private:
    QWidget* parentWidget() const;
    void place(QWidget* control, const char* name, QRect rectUnits) const;

    QDialog& m_dialog;
    DialogUnits m_units;
};
