#include "CAboutDlg.h"

#include "AppResources.h"
#include "DialogTemplate.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDlg"));
    setWindowTitle(QStringLiteral("关于Orvik软件免费工具"));
    DialogTemplate form(*this, {235, 55});
    auto* iconLabel = form.addText("icon", {}, {11, 17, 20, 20});
    // An icon control takes the size of the system's icons, whatever its rectangle.
    const int iconSize = style()->pixelMetric(QStyle::PM_LargeIconSize);
    iconLabel->resize(iconSize, iconSize);
    iconLabel->setPixmap(AppResources::icon().pixmap(iconSize, iconSize));
    form.addText("toolName", QStringLiteral("多文件合并工具"), {69, 13, 62, 8});
    form.addText("series", QStringLiteral("Orvik软件免费工具系列"), {57, 32, 90, 8});
    auto* ok = form.addButton("ok", QStringLiteral("OK"), {178, 19, 50, 16});
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
