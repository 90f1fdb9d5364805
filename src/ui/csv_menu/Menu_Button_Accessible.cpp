#include "csv_menu/Menu_Button_Accessible.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QPushButton>

namespace {

// A caption as it is spoken: without the marks of its shortcut letter.
QString Spoken_Caption(const QString& caption) {
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&'))
                text += caption[++i];
            continue;
        }
        text += caption[i];
    }
    return text;
}

QAccessibleInterface* Item_Interface(QMenu* owner, QAction* action);

// One item of a menu. Its object is the action, so Qt's cache deletes it with the action.
class Action_Item_Accessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    Action_Item_Accessible(QMenu* owner, QAction* action)
        : owner_(owner)
        , action_(action) {}

    bool isValid() const override { return owner_ && action_; }
    QObject* object() const override { return action_; }
    QWindow* window() const override { return owner_ ? owner_->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(owner_.data());
    }
    int childCount() const override { return action_ && action_->menu() ? 1 : 0; }
    QAccessibleInterface* child(int index) const override {
        if (index != 0 || !action_ || !action_->menu())
            return nullptr;
        return QAccessible::queryAccessibleInterface(action_->menu());
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && action_ && action_->menu() && child->object() == action_->menu() ? 0 : -1;
    }

    QString text(QAccessible::Text type) const override {
        if (!isValid() || action_->isSeparator())
            return {};
        if (type == QAccessible::Name)
            return Spoken_Caption(action_->menu() ? action_->menu()->title() : action_->text());
        if (type == QAccessible::Accelerator)
            return action_->shortcut().toString(QKeySequence::NativeText);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid() || !owner_->isVisible())
            return {};
        const QRect item = owner_->actionGeometry(action_);
        return QRect(owner_->mapToGlobal(item.topLeft()), item.size());
    }
    QAccessible::Role role() const override {
        return action_ && action_->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid())
            return state;
        // A closed menu's items are not on the screen, but they can still be pressed.
        state.invisible = !action_->isVisible() || !owner_->isVisible();
        state.disabled = !action_->isEnabled();
        state.focusable = !action_->isSeparator();
        state.focused = owner_->isVisible() && owner_->activeAction() == action_;
        state.checkable = action_->isCheckable();
        state.checked = action_->isChecked();
        state.hasPopup = action_->menu() != nullptr;
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override {
        if (!isValid() || action_->isSeparator() || !action_->isEnabled())
            return {};
        if (action_->menu())
            return {showMenuAction()};
        return {pressAction()};
    }
    void doAction(const QString& name) override {
        if (!actionNames().contains(name))
            return;
        if (name == showMenuAction()) {
            // Opens the item's menu where its own menu is open; the choices of a closed one are
            // this item's children.
            if (owner_->isVisible())
                owner_->setActiveAction(action_);
            return;
        }
        // As a click does: the menus close, then the item acts, once the reader's call has
        // returned.
        for (QObject* object = owner_; object; object = object->parent()) {
            auto* menu = qobject_cast<QMenu*>(object);
            if (!menu)
                break;
            if (menu->isVisible())
                menu->hide();
        }
        QMetaObject::invokeMethod(action_.data(), &QAction::trigger, Qt::QueuedConnection);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QMenu> owner_;
    QPointer<QAction> action_;
};

QAccessibleInterface* Item_Interface(QMenu* owner, QAction* action) {
    if (!owner || !action)
        return nullptr;
    if (QAccessibleInterface* known = QAccessible::queryAccessibleInterface(action))
        return known;
    auto* item = new Action_Item_Accessible(owner, action);
    QAccessible::registerAccessibleInterface(item);
    return item;
}

bool Owned_By_Spreadsheet_Button(const QObject* menu) {
    for (const QObject* object = menu->parent(); object; object = object->parent())
        if (object->inherits("Spreadsheet_Button"))
            return true;
    return false;
}

QAccessibleInterface* Menu_Button_Factory(const QString& class_name, QObject* object) {
    if (class_name == QLatin1String("Spreadsheet_Button")) {
        if (auto* button = qobject_cast<QPushButton*>(object))
            return new Menu_Button_Accessible(button);
    } else if (class_name == QLatin1String("QMenu")) {
        auto* menu = qobject_cast<QMenu*>(object);
        if (menu && Owned_By_Spreadsheet_Button(menu))
            return new Action_Menu_Accessible(menu);
    }
    return nullptr;
}

} // namespace

Menu_Button_Accessible::Menu_Button_Accessible(QPushButton* button)
    : QAccessibleWidget(button, QAccessible::ButtonMenu) {}

QPushButton* Menu_Button_Accessible::Button() const {
    return static_cast<QPushButton*>(widget());
}

int Menu_Button_Accessible::childCount() const {
    return Button()->menu() ? 1 : 0;
}

QAccessibleInterface* Menu_Button_Accessible::child(int index) const {
    return index == 0 ? QAccessible::queryAccessibleInterface(Button()->menu()) : nullptr;
}

int Menu_Button_Accessible::indexOfChild(const QAccessibleInterface* child) const {
    return child && Button()->menu() && child->object() == Button()->menu() ? 0 : -1;
}

QString Menu_Button_Accessible::text(QAccessible::Text type) const {
    if (type == QAccessible::Name && Button()->accessibleName().isEmpty())
        return Spoken_Caption(Button()->text());
    return QAccessibleWidget::text(type);
}

QAccessible::State Menu_Button_Accessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.hasPopup = Button()->menu() != nullptr;
    state.pressed = Button()->isDown();
    return state;
}

QStringList Menu_Button_Accessible::actionNames() const {
    QStringList names;
    if (Button()->isEnabled() && Button()->menu())
        names << pressAction() << showMenuAction();
    return names + QAccessibleWidget::actionNames();
}

void Menu_Button_Accessible::doAction(const QString& name) {
    if (name != pressAction() && name != showMenuAction()) {
        QAccessibleWidget::doAction(name);
        return;
    }
    // The menu runs a loop of its own until it closes: it opens once the reader's call returned.
    QMetaObject::invokeMethod(
        Button(),
        [button = QPointer<QPushButton>(Button())] {
            if (button && button->isEnabled() && button->menu() && !button->menu()->isVisible())
                button->showMenu();
        },
        Qt::QueuedConnection);
}

Action_Menu_Accessible::Action_Menu_Accessible(QMenu* menu)
    : QAccessibleWidget(menu, QAccessible::PopupMenu) {}

QMenu* Action_Menu_Accessible::Menu() const {
    return static_cast<QMenu*>(widget());
}

QAccessibleInterface* Action_Menu_Accessible::parent() const {
    QMenu* menu = Menu();
    // A menu that an item of another menu opens hangs below that item.
    if (auto* owner = qobject_cast<QMenu*>(menu->parent()))
        if (owner->actions().contains(menu->menuAction()))
            return Item_Interface(owner, menu->menuAction());
    QObject* above = menu->parentWidget();
    return QAccessible::queryAccessibleInterface(above ? above : qApp);
}

int Action_Menu_Accessible::childCount() const {
    return static_cast<int>(Menu()->actions().size());
}

QAccessibleInterface* Action_Menu_Accessible::child(int index) const {
    const QList<QAction*> actions = Menu()->actions();
    if (index < 0 || index >= actions.size())
        return nullptr;
    return Item_Interface(Menu(), actions[index]);
}

int Action_Menu_Accessible::indexOfChild(const QAccessibleInterface* child) const {
    if (!child)
        return -1;
    return static_cast<int>(Menu()->actions().indexOf(qobject_cast<QAction*>(child->object())));
}

QAccessibleInterface* Action_Menu_Accessible::childAt(int x, int y) const {
    if (!Menu()->isVisible())
        return nullptr;
    return Item_Interface(Menu(), Menu()->actionAt(Menu()->mapFromGlobal(QPoint(x, y))));
}

QAccessibleInterface* Action_Menu_Accessible::focusChild() const {
    if (!Menu()->isVisible())
        return nullptr;
    return Item_Interface(Menu(), Menu()->activeAction());
}

QString Action_Menu_Accessible::text(QAccessible::Text type) const {
    if (type == QAccessible::Name && Menu()->accessibleName().isEmpty())
        return Spoken_Caption(Menu()->title());
    return QAccessibleWidget::text(type);
}

void Install_Menu_Button_Accessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&Menu_Button_Factory);
        return true;
    }();
    (void)installed;
}
