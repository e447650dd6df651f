#include "ClassicProgressBar.h"

#include <algorithm>
#include <limits>

namespace {
constexpr int kInitialUpper = 100;
} // namespace

ClassicProgressBar::ClassicProgressBar(QWidget* parent) : QProgressBar(parent) {
    setTextVisible(false);
    setRange32(0, kInitialUpper);
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
}

void ClassicProgressBar::setPosition32(std::uint32_t position) {
    setValue(std::clamp(toBar(position), minimum(), m_upper));
}
