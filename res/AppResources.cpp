#include "AppResources.h"

QIcon AppResources::icon() {
    return QIcon(QStringLiteral(":/veltrane.png"));
}

QPixmap AppResources::banner(BannerChoice::Banner language) {
    return {language == BannerChoice::Banner::English ? QStringLiteral(":/banner-en.png")
                                                      : QStringLiteral(":/banner.png")};
}

QString AppResources::desktopEntry() {
    return QStringLiteral(VELTRANE_DESKTOP_ENTRY);
}
