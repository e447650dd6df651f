#include "CVeltraneApp.h"

#include <QApplication>
#include <csignal>

int main(int argc, char* argv[]) {
#ifdef SIGXFSZ
    // A write past the file-size limit must fail, and be reported, instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    CVeltraneApp::CheckCommandLine(argc, argv);
    // The application's name, the caption of every message box, stays the executable's.
    QApplication app(argc, argv);
    theApp.InitInstance();
    return 0;
}
