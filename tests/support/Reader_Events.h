#pragma once

// What a screen reader would be told: the accessibility events of the program, recorded by an
// update handler in place of a platform bridge.
//
// Qt 6.4 under QT_QPA_PLATFORM=offscreen: QAccessible::queryAccessibleInterface and the
// interfaces work without anything switched on. Events do not: QAccessible::updateAccessibility
// drops every event (before any update handler) while QAccessible::isActive() is false, and
// QAccessible::setActive(true) does not change that (it only tells the activation observers).
// isActive() follows the platform's QPlatformAccessibility, which a screen reader's bridge
// switches on; Reader_Events switches it on itself through Qt's platform layer (private API, as
// Qt's own accessibility tests do) while it lives. Then Qt's widgets send their events too.

#include <QAccessible>
#include <QObject>
#include <QPointer>
#include <QString>
#include <vector>

struct Reader_Event {
    QAccessible::Event type;
    QPointer<QObject> object;
    int child;
    QString name; // for Focus and NameChanged: the name of the object or child as the event came
};

// Records while it lives; one at a time.
class Reader_Events {
public:
    Reader_Events();
    ~Reader_Events();
    Reader_Events(const Reader_Events&) = delete;
    Reader_Events& operator=(const Reader_Events&) = delete;

    const std::vector<Reader_Event>& All() const;
    void Clear();
    // The events of one type about object (and, with child >= -1, about that child).
    std::vector<Reader_Event> Of(QAccessible::Event type, const QObject* object,
                                 int child = -2) const;
};
