#include "WidgetPixels.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace WidgetPixels {

int rightmost(QWidget* widget, QRgb colour) {
    const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    int rightmost = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = rightmost + 1; x < image.width(); ++x) {
            if (image.pixel(x, y) == colour) {
                rightmost = x;
            }
        }
    }
    return rightmost;
}

QString line(QWidget* widget, int y, const QColor& colour) {
    const QImage image = widget->grab().toImage();
    QString pixels;
    for (int x = 0; x < image.width(); ++x) {
        pixels += image.pixelColor(x, y) == colour ? '#' : '.';
    }
    return pixels;
}

} // namespace WidgetPixels
