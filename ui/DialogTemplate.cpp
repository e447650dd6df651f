#include "DialogTemplate.h"

#include "ClassicProgressBar.h"
#include "DialogForm.h"
#include "FileList.h"
#include "UiText.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QFont applyDialogFont(QDialog& dialog) {
    dialog.setFont(DialogUnits::dialogFont());
    return dialog.font();
}

QWidget* newText(const FormControl& control, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    // Static texts start at the top of their rectangle.
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setText(UiText::Shown(control.text));
    return label;
}

QWidget* newEdit(const FormControl& control, QWidget* parent) {
    auto* edit = new QLineEdit(UiText::Shown(control.text), parent);
    edit->setReadOnly((control.traits & kReadOnly) != 0);
    return edit;
}

QWidget* newButton(const FormControl& control, QWidget* parent) {
    auto* button = new QPushButton(UiText::Shown(control.text), parent);
    button->setDefault((control.traits & kDefaultButton) != 0);
    return button;
}

} // namespace

DialogTemplate::DialogTemplate(QDialog& dialog, const DialogForm& form)
    : m_dialog(dialog), m_units(applyDialogFont(dialog)) {
    m_dialog.setWindowTitle(UiText::Shown(form.caption));
    m_dialog.setFixedSize(m_units.size({form.width, form.height}));
    for (const FormControl& control : form.controls) {
        QWidget* widget = create(control);
        widget->setObjectName(QString::fromLatin1(control.name));
        const UnitRect& r = control.rect;
        widget->setGeometry(m_units.rect({r.x, r.y, r.width, r.height}));
    }
}

QWidget* DialogTemplate::create(const FormControl& control) const {
    switch (control.kind) {
    case ControlKind::Edit:
        return newEdit(control, &m_dialog);
    case ControlKind::Button:
        return newButton(control, &m_dialog);
    case ControlKind::ListView:
        return new FileList(&m_dialog);
    case ControlKind::Progress:
        return new ClassicProgressBar(&m_dialog);
    case ControlKind::Text:
    case ControlKind::Picture:
    case ControlKind::Icon:
        break;
    }
    return newText(control, &m_dialog);
}
