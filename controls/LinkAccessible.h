#pragma once

#include <QAccessibleWidget>
#include <QPointer>

class CMyStaticLink;
class QLabel;

// What a screen reader learns of a label while a CMyStaticLink holds it: a link named by the
// text it paints, with its address as value and description. Once given back it is a plain
// static text again: marking a label drops the interface made for it before.
class LinkAccessible final : public QAccessibleWidget {
public:
    // Marks `label` as held by `link`, or as plain again for null.
    static void Mark(QLabel& label, CMyStaticLink* link);

    QAccessible::Role role() const override;
    QString text(QAccessible::Text kind) const override;

private:
    explicit LinkAccessible(QLabel* label);
    static QAccessibleInterface* Create(const QString& className, QObject* object);
    CMyStaticLink* Link() const;
};
