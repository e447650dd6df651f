#include "ProgressRelay.h"

#include "ClassicProgressBar.h"

#include <QThread>

namespace {
// About 60 frames a second.
constexpr qint64 kFrameMs = 16;
} // namespace

ProgressRelay::ProgressRelay(ClassicProgressBar& bar) : QObject(&bar), m_bar(bar) {
    m_nextFrame.setSingleShot(true);
    m_nextFrame.setTimerType(Qt::PreciseTimer);
    connect(&m_nextFrame, &QTimer::timeout, this, &ProgressRelay::show);
}

void ProgressRelay::hand(std::uint32_t position) {
    m_latest = position;
    // The bar's own thread has nothing to wait for.
    if (QThread::currentThread() == thread()) {
        show();
        return;
    }
    if (!m_pending.exchange(true)) {
        QMetaObject::invokeMethod(this, &ProgressRelay::deliver, Qt::QueuedConnection);
    }
}

void ProgressRelay::flush() {
    if (m_pending) {
        show();
    }
}

void ProgressRelay::deliver() {
    // A flush may have shown it already.
    if (!m_pending) {
        return;
    }
    const qint64 wait = m_sinceShown.isValid() ? kFrameMs - m_sinceShown.elapsed() : 0;
    if (wait > 0) {
        m_nextFrame.start(static_cast<int>(wait));
        return;
    }
    show();
}

void ProgressRelay::show() {
    m_nextFrame.stop();
    // Cleared before the position is read: one handed over meanwhile sends an update of its own.
    m_pending = false;
    m_bar.setPosition32(m_latest);
    m_sinceShown.restart();
}
