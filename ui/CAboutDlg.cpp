#include "CAboutDlg.h"

#include "AppResources.h"
#include "DialogForm.h"
#include "DialogTemplate.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDlg"));
    const DialogTemplate form(*this, DialogForms::About());
    auto* iconLabel = form.find<QLabel>("icon");
    // An icon control takes the size of the system's icons, whatever its rectangle.
    const int iconSize = style()->pixelMetric(QStyle::PM_LargeIconSize);
    iconLabel->resize(iconSize, iconSize);
    iconLabel->setPixmap(AppResources::icon().pixmap(iconSize, iconSize));
    auto* ok = form.find<QPushButton>("ok");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
