#pragma once

#include <QAccessibleWidget>

class QAction;
class QMenu;
class QPushButton;

// A push button with a menu, and its menus, as a screen reader sees them. Qt's own button opens
// its menu from the reader's press action with the menu's own loop, so the reader's call returns
// only when the menu closes; and the menu, a window of its own, hangs below the application
// rather than below the button. Here:
// - the button (a menu button) has its menu as its one child; its press and show-menu actions
//   open the menu at the next turn of the event loop and return at once;
// - a menu's children are its items in the menu's order (separators too, as Qt's menus count
//   them when they tell which item is current); its parent is the button, or the item that opens
//   it;
// - an item's press action closes the open menus and triggers the item at the next turn of the
//   event loop (Export and Import open a file dialog with a loop of its own); an item with a menu
//   has that menu as its child, so every choice is reachable without opening a menu.
class Menu_Button_Accessible : public QAccessibleWidget {
public:
    explicit Menu_Button_Accessible(QPushButton* button);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QString text(QAccessible::Text type) const override;
    QAccessible::State state() const override;

    QStringList actionNames() const override;
    void doAction(const QString& name) override;

private:
    QPushButton* Button() const;
};

class Action_Menu_Accessible : public QAccessibleWidget {
public:
    explicit Action_Menu_Accessible(QMenu* menu);

    QAccessibleInterface* parent() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    QString text(QAccessible::Text type) const override;

    QStringList actionNames() const override { return {}; }

private:
    QMenu* Menu() const;
};

// Lets Qt use these interfaces for every Spreadsheet_Button and its menus; more calls do nothing.
void Install_Menu_Button_Accessibility();
