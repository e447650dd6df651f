#pragma once

#include "WindowLinks.h"

#include <QCursor>
#include <QFont>
#include <QObject>
#include <QString>
#include <optional>

class QLabel;
class QMouseEvent;
class QPoint;

// Turns an existing label of a dialog into a web link: underlined text, blue, red while the
// mouse is over it, the pointing hand, and a click that opens the link. The label is taken
// over through an event filter and given back exactly as it was. To a screen reader it is a
// link named by the text it paints, whose value is its address.
class CMyStaticLink : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMyStaticLink)

public:
    // Byte capacities of the title and the URL, terminator included; texts count UTF-8 bytes.
    static constexpr qsizetype TitleCapacity = WindowLinks::kTitleCapacity;
    static constexpr qsizetype UrlCapacity = WindowLinks::kUrlCapacity;

    CMyStaticLink() = default;
    ~CMyStaticLink() override;

    // False for a null label or while already attached; nothing changes then.
    bool Attach(QLabel* label);
    // False, and nothing changes, when the title needs TitleCapacity bytes or more or the URL
    // UrlCapacity bytes or more. An empty title paints, an empty URL opens, the label's own
    // text cut to TitleCapacity - 1 bytes.
    bool SetLink(const QString& title, const QString& url);
    // Gives the label back as it was before Attach; returns it, or nullptr if none.
    QLabel* Detach();

    const QString& Title() const { return m_title; }
    const QString& Url() const { return m_url; }
    // What the label paints, and what a click on it opens.
    QString ShownText() const;
    QString Address() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool FilterMouse(QMouseEvent* event);
    // Enters the hover state on the first move, leaves it once `pos` (label coordinates) is
    // outside the label, edges counting as inside.
    void TrackHover(const QPoint& pos);
    void SetHover(bool hover);
    void Paint();
    void OpenLink();
    QString LabelTextCut() const;
    void ForgetLabel();

    bool m_hover = false;
    QLabel* m_label = nullptr;
    std::optional<QFont> m_font;
    QString m_title;
    QString m_url;
    // What the label had before Attach, so that Detach can put it back.
    std::optional<QCursor> m_ownCursor;
    bool m_ownMouseTracking = false;
};
