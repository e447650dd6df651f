#include "CVeltraneApp.h"

#include "CVeltraneDlg.h"

#include <QApplication>
#include <QStyle>

CVeltraneApp theApp;

bool CVeltraneApp::InitInstance() {
    // The classic, unthemed look, whatever the desktop's theme.
    QApplication::setStyle(QStringLiteral("Windows"));
    QApplication::setPalette(QApplication::style()->standardPalette());
    QCoreApplication::setApplicationVersion(QStringLiteral(VELTRANE_VERSION));
    CVeltraneDlg dlg;
    dlg.exec();
    return false;
}
