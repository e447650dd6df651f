#include "CVeltraneApp.h"

#include "CVeltraneDlg.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QStyle>

CVeltraneApp theApp;

namespace {

// The files named on the command line, in the order given, made absolute against the working
// folder as the file dialog would give them. Nothing is tested about them.
QStringList filesFrom(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Joins several files into one."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A file to list, unticked, as a source."),
                                 QStringLiteral("[FILE ...]"));
    parser.process(arguments);
    QStringList files;
    for (const QString& name : parser.positionalArguments()) {
        files << QFileInfo(name).absoluteFilePath();
    }
    return files;
}

} // namespace

bool CVeltraneApp::InitInstance(const QStringList& arguments) {
    QCoreApplication::setApplicationVersion(QStringLiteral(VELTRANE_VERSION));
    const QStringList files = filesFrom(arguments);
    // The classic, unthemed look, whatever the desktop's theme.
    QApplication::setStyle(QStringLiteral("Windows"));
    QApplication::setPalette(QApplication::style()->standardPalette());
    CVeltraneDlg dlg;
    dlg.AddFiles(files);
    dlg.exec();
    return false;
}
