#pragma once

#include "BannerChoice.h"

#include <QIcon>
#include <QPixmap>
#include <QString>

// The artwork built into the program, and the name its desktop entry is installed under.
class AppResources final {
public:
    // The application icon, 55 x 55 with alpha.
    static QIcon icon();
    // The banner at the top of the main window, 714 x 89, in the language of its texts.
    static QPixmap banner(BannerChoice::Banner language);
    // The desktop entry's name without ".desktop".
    static QString desktopEntry();
};
