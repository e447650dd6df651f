#include "DialogUnits.h"

#include <QFontMetrics>
#include <cmath>

namespace {

// Rounds half away from zero, as the system's MulDiv does.
int scale(int units, int base, int divisor) {
    return static_cast<int>(std::lround(static_cast<double>(units) * base / divisor));
}

int averageLetterWidth(const QFontMetrics& metrics) {
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return (width / 26 + 1) / 2;
}

} // namespace

DialogUnits::DialogUnits(const QFont& font)
    : DialogUnits(averageLetterWidth(QFontMetrics(font)), QFontMetrics(font).height()) {}

DialogUnits::DialogUnits(int baseX, int baseY) : m_baseX(baseX), m_baseY(baseY) {}

QFont DialogUnits::dialogFont() {
    QFont font(QStringLiteral("DejaVu Sans Condensed"), 8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QSize DialogUnits::size(QSize units) const {
    return {scale(units.width(), m_baseX, 4), scale(units.height(), m_baseY, 8)};
}

QRect DialogUnits::rect(QRect units) const {
    return {QPoint(scale(units.x(), m_baseX, 4), scale(units.y(), m_baseY, 8)), size(units.size())};
}
