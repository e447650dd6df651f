#pragma once

#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>

class QWidget;

// Stands in for the user in front of the modal dialogs and popup menus that the code under
// test opens in event loops of its own: a timer finds the topmost one as it appears and hands
// it to a step. Each closer has its own timer, because a timer does not fire again while its
// own step is still running.
class ModalCloser final {
public:
    using Step = std::function<void(QWidget*)>;

    // Runs `step` on each of the next `count` modal widgets or popups other than `ignored`.
    explicit ModalCloser(Step step, int count = 1, const QWidget* ignored = nullptr);
    ModalCloser(const ModalCloser&) = delete;
    ModalCloser& operator=(const ModalCloser&) = delete;
    ModalCloser(ModalCloser&&) = delete;
    ModalCloser& operator=(ModalCloser&&) = delete;
    ~ModalCloser() = default;

    bool finished() const { return m_remaining == 0; }
    // Leaves every other kind of window to the closers meant for it.
    void takeOnlyMessageBoxes() { m_onlyMessageBoxes = true; }

    // A message box as "caption|text" (marked when it is not a plain OK box without icon),
    // a menu as "menu:" and its items, any other window as "objectName|caption".
    static QString describe(const QWidget* widget);
    // What describe() gives for plain OK boxes with these texts and the program's caption.
    static QStringList plainBoxes(const QStringList& texts);
    // Appends describe() to `seen`, then closes: a message box with its OK button.
    static Step recordAndClose(QStringList& seen);

private:
    void poll();

    Step m_step;
    int m_remaining;
    bool m_onlyMessageBoxes = false;
    QPointer<const QWidget> m_ignored;
    QPointer<QWidget> m_last;
    QTimer m_timer;
};
