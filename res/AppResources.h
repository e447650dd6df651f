#pragma once

#include <QIcon>
#include <QPixmap>

// The artwork built into the program.
class AppResources final {
public:
    // The application icon, 55 x 55 with alpha.
    static QIcon icon();
    // The banner at the top of the main window, 714 x 89.
    static QPixmap banner();
};
