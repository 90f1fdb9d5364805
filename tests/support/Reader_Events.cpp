#include "support/Reader_Events.h"

#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace {

std::vector<Reader_Event>& Events() {
    static std::vector<Reader_Event> events;
    return events;
}

void Record(QAccessibleEvent* event) {
    QString name;
    if (event->type() == QAccessible::Focus || event->type() == QAccessible::NameChanged)
        if (QAccessibleInterface* iface = event->accessibleInterface())
            name = iface->text(QAccessible::Name);
    Events().push_back({event->type(), event->object(), event->child(), name});
}

void Switch_On(bool on) {
    if (QPlatformIntegration* platform = QGuiApplicationPrivate::platformIntegration())
        if (QPlatformAccessibility* accessibility = platform->accessibility())
            accessibility->setActive(on);
}

} // namespace

Reader_Events::Reader_Events() {
    Events().clear();
    QAccessible::installUpdateHandler(&Record);
    Switch_On(true);
}

Reader_Events::~Reader_Events() {
    Switch_On(false);
    QAccessible::installUpdateHandler(nullptr);
    Events().clear();
}

const std::vector<Reader_Event>& Reader_Events::All() const {
    return Events();
}

void Reader_Events::Clear() {
    Events().clear();
}

std::vector<Reader_Event> Reader_Events::Of(QAccessible::Event type, const QObject* object,
                                            int child) const {
    std::vector<Reader_Event> found;
    for (const Reader_Event& event : Events())
        if (event.type == type && event.object == object && (child < -1 || event.child == child))
            found.push_back(event);
    return found;
}
