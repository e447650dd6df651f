#include "DialogTemplate.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace {

QFont applyDialogFont(QDialog& dialog) {
    dialog.setFont(DialogUnits::dialogFont());
    return dialog.font();
}

} // namespace

DialogTemplate::DialogTemplate(QDialog& dialog, QSize sizeUnits)
    : m_dialog(dialog), m_units(applyDialogFont(dialog)) {
    m_dialog.setFixedSize(m_units.size(sizeUnits));
}

QLabel* DialogTemplate::addText(const char* name, const QString& text, QRect rectUnits) {
    auto* label = add<QLabel>(name, rectUnits);
    label->setTextFormat(Qt::PlainText);
    // Static texts start at the top of their rectangle.
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setText(text);
    return label;
}

QPushButton* DialogTemplate::addButton(const char* name, const QString& text, QRect rectUnits) {
    auto* button = add<QPushButton>(name, rectUnits);
    button->setText(text);
    return button;
}

QWidget* DialogTemplate::parentWidget() const {
    return &m_dialog;
}

void DialogTemplate::place(QWidget* control, const char* name, QRect rectUnits) const {
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(m_units.rect(rectUnits));
}
