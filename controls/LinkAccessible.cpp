#include "LinkAccessible.h"

#include "CMyStaticLink.h"

#include <QLabel>

namespace {
constexpr const char* kLinkProperty = "veltraneLink";
} // namespace

void LinkAccessible::Mark(QLabel& label, CMyStaticLink* link) {
    static const bool installed = [] {
        QAccessible::installFactory(&LinkAccessible::Create);
        return true;
    }();
    static_cast<void>(installed);
    label.setProperty(kLinkProperty,
                      link != nullptr ? QVariant::fromValue<QObject*>(link) : QVariant());
    // The interface made before is dropped, so that the next one asked for is of the new kind.
    QAccessible::deleteAccessibleInterface(
        QAccessible::uniqueId(QAccessible::queryAccessibleInterface(&label)));
}

QAccessibleInterface* LinkAccessible::Create(const QString& /*className*/, QObject* object) {
    auto* label = qobject_cast<QLabel*>(object);
    if (label == nullptr || !label->property(kLinkProperty).isValid()) {
        return nullptr;
    }
    return new LinkAccessible(label);
}

LinkAccessible::LinkAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

CMyStaticLink* LinkAccessible::Link() const {
    return qobject_cast<CMyStaticLink*>(widget()->property(kLinkProperty).value<QObject*>());
}

QAccessible::Role LinkAccessible::role() const {
    return QAccessible::Link;
}

QString LinkAccessible::text(QAccessible::Text kind) const {
    const CMyStaticLink* link = Link();
    const auto* label = static_cast<const QLabel*>(widget());
    switch (kind) {
    case QAccessible::Name:
        if (!label->accessibleName().isEmpty()) {
            return label->accessibleName();
        }
        return link != nullptr ? link->ShownText() : label->text();
    case QAccessible::Value:
    case QAccessible::Description:
        return link != nullptr ? link->Address() : QAccessibleWidget::text(kind);
    default:
        return QAccessibleWidget::text(kind);
    }
}
