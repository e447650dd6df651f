#pragma once

#include <QProgressBar>
#include <cstdint>

// A progress bar driven and drawn like the classic control, with a 32-bit unsigned range and
// position, filled with separate blocks. The position is kept inside the range, and an empty
// range shows an empty bar where Qt would animate a busy one.
class ClassicProgressBar final : public QProgressBar {
    Q_OBJECT

public:
    explicit ClassicProgressBar(QWidget* parent = nullptr);

    void setRange32(std::uint32_t lower, std::uint32_t upper);
    void setPosition32(std::uint32_t position);

signals:
    // After each setRange32, whether or not the bounds changed.
    void rangeSet(std::uint32_t lower, std::uint32_t upper);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int filledWidth(int width) const;
    int toBar(std::uint32_t value) const { return static_cast<int>(value >> m_shift); }

    // Qt's bar counts in int: ranges wider than that are halved, positions with them.
    int m_shift = 0;
    int m_upper = 0;
};
