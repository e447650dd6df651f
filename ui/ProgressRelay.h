#pragma once

#include "LatestPosition.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>

class ClassicProgressBar;

// Carries a worker's bar positions to the bar's thread without making the worker wait: the
// latest position is kept, at most one update is on its way, and the bar takes the latest at
// most once a frame, so that it repaints no faster than a screen shows it.
class ProgressRelay final : public QObject {
    Q_OBJECT

public:
    explicit ProgressRelay(ClassicProgressBar& bar);
    Q_DISABLE_COPY_MOVE(ProgressRelay)
    ~ProgressRelay() override = default;

    // From any thread; returns at once. On the bar's own thread the bar moves at once.
    void hand(std::uint32_t position);
    // On the bar's thread, before it carries out anything else of the worker's: the bar shows
    // the position handed over last, so that what follows neither overtakes it nor is
    // followed by it.
    void flush();

private:
    void deliver();
    void show();

    ClassicProgressBar& m_bar;
    // Waiting while an update is on its way or waits for the next frame.
    LatestPosition m_latest;
    QElapsedTimer m_sinceShown;
    QTimer m_nextFrame;
};
