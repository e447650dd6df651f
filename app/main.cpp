#include "CVeltraneApp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // The application's name, the caption of every message box, stays the executable's.
    QApplication app(argc, argv);
    theApp.InitInstance();
    return 0;
}
