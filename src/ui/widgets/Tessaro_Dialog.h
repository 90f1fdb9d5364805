#pragma once

#include <QDialog>

// A dialog of the program: the common look, and centred on the screen whenever it is shown (a
// window of its own may choose another place).
class Tessaro_Dialog : public QDialog {
    Q_OBJECT
public:
    // fixed: a single border with only the system menu and the close box; otherwise resizable.
    Tessaro_Dialog(QWidget* parent, const char* name, bool fixed);

protected:
    void showEvent(QShowEvent* event) override;
    // Where the window goes as it is shown: the middle of its screen.
    virtual void Place_On_Show(const QShowEvent& event);
};
