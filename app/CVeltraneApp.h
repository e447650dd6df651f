#pragma once

#include <QCoreApplication>
#include <QStringList>

// The application: runs the main window once. Qt's application object is made by main,
// which then hands over to theApp.
class CVeltraneApp final {
public:
    // Reads the command line, `Veltrane [FILE ...]`, and runs the main window modally, with a
    // row for each FILE, until it closes. --help and --version print and end the process
    // instead. Returns false: the application ends then.
    // --help, --version and a bad option print and end the process here, before the window's
    // application object, which needs a display, exists. Makes and ends an application object
    // of its own, without windows: call it before main makes the window's.
    static void CheckCommandLine(int& argc, char** argv);
    bool InitInstance(const QStringList& arguments = QCoreApplication::arguments());
};

extern CVeltraneApp theApp;
