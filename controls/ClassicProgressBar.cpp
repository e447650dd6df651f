#include "ClassicProgressBar.h"

#include <QStyleOptionProgressBar>
#include <QStylePainter>
#include <algorithm>
#include <limits>

namespace {
constexpr int kInitialUpper = 100;
// The frame and a blank line inside it.
constexpr int kBlocksInset = 2;
} // namespace

ClassicProgressBar::ClassicProgressBar(QWidget* parent) : QProgressBar(parent) {
    setTextVisible(false);
    setRange32(0, kInitialUpper);
    // Qt repaints only for changes it deems large enough for its own drawing.
    connect(this, &QProgressBar::valueChanged, this, qOverload<>(&QWidget::update));
}

void ClassicProgressBar::setRange32(std::uint32_t lower, std::uint32_t upper) {
    m_shift = 0;
    while ((upper >> m_shift) > static_cast<std::uint32_t>(std::numeric_limits<int>::max())) {
        ++m_shift;
    }
    const int low = toBar(lower);
    m_upper = std::max(toBar(upper), low);
    const int kept = std::clamp(value(), low, m_upper);
    // One step more than an empty range keeps Qt from drawing it as busy; the position
    // never goes past the real upper bound, so the bar stays empty.
    setRange(low, std::max(m_upper, low + 1));
    setValue(kept);
    emit rangeSet(lower, upper);
}

void ClassicProgressBar::setPosition32(std::uint32_t position) {
    setValue(std::clamp(toBar(position), minimum(), m_upper));
}

void ClassicProgressBar::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    QStyleOptionProgressBar option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_ProgressBarGroove, option);
    // Blocks two thirds as wide as they are tall, and gaps that scale with them.
    const QRect inside = rect().adjusted(kBlocksInset, kBlocksInset, -kBlocksInset, -kBlocksInset);
    const int block = (inside.height() * 2 + 1) / 3;
    const int gap = std::max(1, inside.height() / 8);
    const int filled = filledWidth(inside.width());
    for (int x = 0; x < filled; x += block + gap) {
        painter.fillRect(inside.left() + x, inside.top(), std::min(block, inside.width() - x),
                         inside.height(), option.palette.highlight());
    }
}

int ClassicProgressBar::filledWidth(int width) const {
    const qint64 span = qint64{maximum()} - minimum();
    const qint64 done = std::clamp(qint64{value()} - minimum(), qint64{0}, span);
    return span > 0 ? static_cast<int>(width * done / span) : 0;
}
