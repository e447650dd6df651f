#include "AppResources.h"

QIcon AppResources::icon() {
    return QIcon(QStringLiteral(":/veltrane.png"));
}

QPixmap AppResources::banner() {
    return QPixmap(QStringLiteral(":/banner.png"));
}
