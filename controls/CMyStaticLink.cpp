#include "CMyStaticLink.h"

#include "LinkAccessible.h"
#include "WindowLinks.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

namespace {

qsizetype utf8Size(const QString& text) {
    return text.toUtf8().size();
}

// Keeps at most `maxBytes` bytes of the UTF-8 text, never half a character.
QString cutToBytes(const QString& text, qsizetype maxBytes) {
    const QByteArray utf8 = text.toUtf8();
    if (utf8.size() <= maxBytes) {
        return text;
    }
    qsizetype end = maxBytes;
    while (end > 0 && (static_cast<uchar>(utf8[end]) & 0xC0U) == 0x80U) {
        --end;
    }
    return QString::fromUtf8(utf8.first(end));
}

} // namespace

CMyStaticLink::~CMyStaticLink() {
    // Members of a Qt dialog go before its child widgets, so the label usually outlives us.
    Detach();
}

bool CMyStaticLink::Attach(QLabel* label) {
    if (label == nullptr || m_label != nullptr) {
        return false;
    }
    if (label->testAttribute(Qt::WA_SetCursor)) {
        m_ownCursor = label->cursor();
    }
    m_ownMouseTracking = label->hasMouseTracking();
    const QWidget* dialog = label->parentWidget();
    m_font = dialog != nullptr ? dialog->font() : QApplication::font();
    m_font->setUnderline(true);
    m_label = label;
    label->setMouseTracking(true);
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(this);
    LinkAccessible::Mark(*label, this);
    connect(label, &QObject::destroyed, this, &CMyStaticLink::ForgetLabel);
    label->update();
    return true;
}

bool CMyStaticLink::SetLink(const QString& title, const QString& url) {
    if (utf8Size(title) >= TitleCapacity || utf8Size(url) >= UrlCapacity) {
        return false;
    }
    m_title = title;
    m_url = url;
    if (m_label != nullptr) {
        m_label->update();
    }
    return true;
}

QLabel* CMyStaticLink::Detach() {
    QLabel* label = m_label;
    if (label == nullptr) {
        return nullptr;
    }
    disconnect(label, &QObject::destroyed, this, &CMyStaticLink::ForgetLabel);
    label->removeEventFilter(this);
    LinkAccessible::Mark(*label, nullptr);
    label->setMouseTracking(m_ownMouseTracking);
    if (m_ownCursor) {
        label->setCursor(*m_ownCursor);
    } else {
        label->unsetCursor();
    }
    label->update();
    ForgetLabel();
    return label;
}

// Called directly when the label is being destroyed: it is no longer a widget then, so
// only our own state is cleared.
void CMyStaticLink::ForgetLabel() {
    m_label = nullptr;
    m_font.reset();
    m_ownCursor.reset();
    m_hover = false;
    m_title.clear();
    m_url.clear();
}

bool CMyStaticLink::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_label) {
        return false;
    }
    switch (event->type()) {
    case QEvent::Paint:
        Paint();
        return true;
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        return FilterMouse(static_cast<QMouseEvent*>(event));
    case QEvent::Leave:
        if (m_hover) {
            SetHover(false);
        }
        return false;
    case QEvent::WindowDeactivate:
        // The window no longer gets the mouse; the next move over the label repaints it.
        m_hover = false;
        return false;
    default:
        return false;
    }
}

bool CMyStaticLink::FilterMouse(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->type() == QEvent::MouseMove) {
        TrackHover(pos);
    } else if (event->button() != Qt::LeftButton) {
        return false;
    } else if (event->type() == QEvent::MouseButtonRelease && m_label->rect().contains(pos)) {
        // A press that was dragged off the label still ends here; only a release over the
        // label is a click.
        OpenLink();
    }
    event->accept();
    return true;
}

void CMyStaticLink::TrackHover(const QPoint& pos) {
    // Held buttons bring moves from outside too, so even the first move is checked.
    const bool inside = m_label->rect().contains(pos);
    if (inside != m_hover) {
        SetHover(inside);
    }
}

void CMyStaticLink::SetHover(bool hover) {
    m_hover = hover;
    m_label->update();
}

void CMyStaticLink::Paint() {
    QPainter painter(m_label);
    painter.setFont(*m_font);
    const WindowLinks::Rgb colour = m_hover ? WindowLinks::kHoverColour : WindowLinks::kLinkColour;
    painter.setPen(QColor(colour.red, colour.green, colour.blue));
    painter.drawText(m_label->rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     ShownText());
}

void CMyStaticLink::OpenLink() {
    QDesktopServices::openUrl(QUrl::fromUserInput(Address()));
}

QString CMyStaticLink::ShownText() const {
    return m_title.isEmpty() ? LabelTextCut() : m_title;
}

QString CMyStaticLink::Address() const {
    return m_url.isEmpty() ? LabelTextCut() : m_url;
}

QString CMyStaticLink::LabelTextCut() const {
    return cutToBytes(m_label->text(), TitleCapacity - 1);
}
