#pragma once

#include <QColor>
#include <QString>

class QWidget;

// What a fresh paint of a widget shows, colour by colour.
namespace WidgetPixels {
// How far right the rightmost pixel of `colour` lies, or -1 when none is painted.
int rightmost(QWidget* widget, QRgb colour);
// One row of pixels: '#' where `colour` is painted, '.' elsewhere.
QString line(QWidget* widget, int y, const QColor& colour);
} // namespace WidgetPixels
