#pragma once

#include "DialogUnits.h"

#include <QDialog>

struct DialogForm;
struct FormControl;
class QWidget;

// Builds a fixed-size dialog the way a dialog template does: the dialog font, each control of
// the form at its rectangle in dialog units, and the tab order in the form's order.
class DialogTemplate final {
public:
    DialogTemplate(QDialog& dialog, const DialogForm& form);

    template <typename Control> Control* find(const char* name) const {
        return m_dialog.findChild<Control*>(QString::fromLatin1(name));
    }

private:
    QWidget* create(const FormControl& control) const;

    QDialog& m_dialog;
    DialogUnits m_units;
};
