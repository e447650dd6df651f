#include "CVeltraneApp.h"

#include "AppResources.h"
#include "CVeltraneDlg.h"
#include "TextMark.h"
#include "UiText.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QStyle>

CVeltraneApp theApp;

namespace {

// The options Qt's window application takes for itself (`-style fusion`), hidden from the help:
// the command line is read once before that application exists, and they must not be refused.
void acceptWindowSystemOptions(QCommandLineParser& parser) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin", "display",
                             "geometry", "qwindowgeometry", "title", "qwindowtitle", "icon",
                             "qwindowicon", "style", "stylesheet", "session", "name"}) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync"}) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// Reads `Veltrane [FILE ...]`; --help, --version and a bad option print and end the process.
QStringList processedFiles(const QStringList& arguments) {
    QCoreApplication::setApplicationVersion(QStringLiteral(VELTRANE_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(UiText::Shown(Translatable("Joins several files into one.")));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        UiText::Shown(Translatable("A file to list, unticked, as a source.")),
        QStringLiteral("[FILE ...]"));
    acceptWindowSystemOptions(parser);
    parser.process(arguments);
    return parser.positionalArguments();
}

// The files named on the command line, in the order given, made absolute against the working
// folder as the file dialog would give them. Nothing is tested about them.
QStringList filesFrom(const QStringList& arguments) {
    QStringList files;
    for (const QString& name : processedFiles(arguments)) {
        files << QFileInfo(name).absoluteFilePath();
    }
    return files;
}

} // namespace

void CVeltraneApp::CheckCommandLine(int& argc, char** argv) {
    const QCoreApplication console(argc, argv);
    UiText::Load();
    processedFiles(QCoreApplication::arguments());
}

bool CVeltraneApp::InitInstance(const QStringList& arguments) {
    UiText::Load();
    const QStringList files = filesFrom(arguments);
    // The classic, unthemed look, whatever the desktop's theme.
    QApplication::setStyle(QStringLiteral("Windows"));
    QApplication::setPalette(QApplication::style()->standardPalette());
    // Docks match the window, and its progress, to the launcher by the desktop entry's name.
    QGuiApplication::setDesktopFileName(AppResources::desktopEntry());
    CVeltraneDlg dlg;
    dlg.AddFiles(files);
    dlg.exec();
    return false;
}
