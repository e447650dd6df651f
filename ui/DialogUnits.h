#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

// Converts dialog units to pixels as dialog templates are laid out: a horizontal unit is a
// quarter of the dialog font's average letter width, a vertical unit an eighth of its height.
class DialogUnits final {
public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(int baseX, int baseY);

    // The 8-point sans serif of both dialogs; with DejaVu Sans Condensed installed its base
    // units come out at 6 x 13 pixels at 96 DPI, those of the classic dialog font.
    static QFont dialogFont();

    int baseX() const { return m_baseX; }
    int baseY() const { return m_baseY; }
    QSize size(QSize units) const;
    QRect rect(QRect units) const;

private:
    int m_baseX;
    int m_baseY;
};
