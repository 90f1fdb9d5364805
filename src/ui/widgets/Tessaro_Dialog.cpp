#include "widgets/Tessaro_Dialog.h"

#include "widgets/Look.h"

Tessaro_Dialog::Tessaro_Dialog(QWidget* parent, const char* name, bool fixed)
    : QDialog(parent) {
    setObjectName(QString::fromLatin1(name));
    Qt::WindowFlags flags =
        Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (!fixed)
        flags |= Qt::WindowMinMaxButtonsHint;
    setWindowFlags(flags);
    setModal(true);
    look::Apply_Window_Look(this);
}

void Tessaro_Dialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Place_On_Show(*event);
}

void Tessaro_Dialog::Place_On_Show(const QShowEvent&) {
    look::Centre_On_Screen(this);
}
