#include "AppResources.h"

QIcon AppResources::icon() {
    return QIcon(QStringLiteral(":/veltrane.png"));
}

QPixmap AppResources::banner() {
    return {QStringLiteral(":/banner.png")};
}
