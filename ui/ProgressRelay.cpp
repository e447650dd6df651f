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
    const bool post = m_latest.offer(position);
    // The bar's own thread has nothing to wait for.
    if (QThread::currentThread() == thread()) {
        show();
        return;
    }
    if (post) {
        QMetaObject::invokeMethod(this, &ProgressRelay::deliver, Qt::QueuedConnection);
    }
}

void ProgressRelay::flush() {
    show();
}

void ProgressRelay::deliver() {
    // A flush may have shown it already.
    if (!m_latest.waiting()) {
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
    const std::optional<std::uint32_t> position = m_latest.take();
    if (!position) {
        return;
    }
    m_nextFrame.stop();
    m_bar.setPosition32(*position);
    m_sinceShown.restart();
}
