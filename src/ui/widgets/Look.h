#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPoint>
#include <QString>

class QWidget;

// The common look of every window: a warm light background, Verdana 8-point texts, grey labels
// and a title panel with the software code and the window's heading.
namespace look {

QColor Window_Colour(); // red 248, green 247, blue 237
QColor Grey();          // labels
QColor Dark_Grey();     // red, green and blue 51
QColor Silver();        // frames
QFont Base_Font();      // Verdana 8 points

// Background colour and font of a window.
void Apply_Window_Look(QWidget* window);

enum class Label_Style { Grey, Grey_Bold, Plain, Code };

// A label at a fixed position that keeps the size of its text.
QLabel* Add_Label(QWidget* parent, const char* name, QPoint position,
                  Label_Style style = Label_Style::Grey);
// Sets a label's text and fits the label to it.
void Set_Caption(QLabel* label, const QString& text);

// Hints: every control keeps its hint in the property "hint"; it pops up as a tooltip only where
// the window shows hints.
void Set_Hint(QWidget* widget, const QString& hint);
void Set_Show_Hint(QWidget* widget, bool show);
QString Hint_Of(const QWidget* widget);

// A panel across the top of a dialog, 69 pixels high, with the large code label L_SW_Code at
// (16, 8) and the bold heading L_SW_Desc at (16, 42).
struct Title_Panel {
    QWidget* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
};
// Adds the two title labels to container (the window itself, where it has no title panel).
Title_Panel Add_Title_Labels(QWidget* container);
// Adds the panel P_Title to window, with the two labels; the caller places the panel.
Title_Panel Add_Title_Panel(QWidget* window);
// A panel named name of the given height; the caller places it.
QWidget* Make_Panel(QWidget* parent, const char* name, int height);

// Puts a top-level window in the middle of its screen.
void Centre_On_Screen(QWidget* window);
// Sets the size of the window's client area; fixed windows cannot be resized.
void Set_Client_Size(QWidget* window, int width, int height, bool fixed);

} // namespace look
