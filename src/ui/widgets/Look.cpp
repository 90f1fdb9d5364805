#include "widgets/Look.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QVariant>
#include <QWidget>

namespace look {

QColor Window_Colour() {
    return QColor(248, 247, 237);
}
QColor Grey() {
    return QColor(128, 128, 128);
}
QColor Dark_Grey() {
    return QColor(51, 51, 51);
}
QColor Silver() {
    return QColor(192, 192, 192);
}

QFont Base_Font() {
    QFont font(QStringLiteral("Verdana"));
    font.setPointSize(8);
    return font;
}

void Apply_Window_Look(QWidget* window) {
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, Window_Colour());
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    window->setFont(Base_Font());
}

QLabel* Add_Label(QWidget* parent, const char* name, QPoint position, Label_Style style) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(position);
    QPalette palette = label->palette();
    if (style != Label_Style::Plain)
        palette.setColor(QPalette::WindowText, Grey());
    label->setPalette(palette);
    QFont font = Base_Font();
    if (style == Label_Style::Grey_Bold)
        font.setBold(true);
    if (style == Label_Style::Code)
        font.setPixelSize(32);
    label->setFont(font);
    return label;
}

void Set_Caption(QLabel* label, const QString& text) {
    label->setText(text);
    label->adjustSize();
}

void Set_Hint(QWidget* widget, const QString& hint) {
    widget->setProperty("hint", hint);
    widget->setToolTip(widget->property("showHint").toBool() ? hint : QString());
}

void Set_Show_Hint(QWidget* widget, bool show) {
    widget->setProperty("showHint", show);
    widget->setToolTip(show ? Hint_Of(widget) : QString());
}

QString Hint_Of(const QWidget* widget) {
    return widget->property("hint").toString();
}

Title_Panel Add_Title_Labels(QWidget* container) {
    Title_Panel panel;
    panel.L_SW_Code = Add_Label(container, "L_SW_Code", QPoint(16, 8), Label_Style::Code);
    panel.L_SW_Desc = Add_Label(container, "L_SW_Desc", QPoint(16, 42), Label_Style::Grey_Bold);
    return panel;
}

Title_Panel Add_Title_Panel(QWidget* window) {
    QWidget* panel = Make_Panel(window, "P_Title", 69);
    Title_Panel title = Add_Title_Labels(panel);
    title.P_Title = panel;
    return title;
}

QWidget* Make_Panel(QWidget* parent, const char* name, int height) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFixedHeight(height);
    return panel;
}

void Centre_On_Screen(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void Set_Client_Size(QWidget* window, int width, int height, bool fixed) {
    if (fixed)
        window->setFixedSize(width, height);
    else
        window->resize(width, height);
}

} // namespace look
