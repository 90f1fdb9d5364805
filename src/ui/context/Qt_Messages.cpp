#include "context/Qt_Messages.h"

#include "lang/Lang_Table.h"

#include <QMessageBox>

QString Qt_Messages::Title(int index, const char* english) const {
    return lang_ ? lang_->Text(index) : QString::fromLatin1(english);
}

void Qt_Messages::Error(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, Title(981, "Error"), text, QMessageBox::Ok);
}

void Qt_Messages::Warning(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, Title(982, "Warning"), text, QMessageBox::Ok);
}

bool Qt_Messages::Confirm(QWidget* parent, const QString& text) {
    return QMessageBox::question(parent, Title(983, "Confirm"), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void Qt_Messages::Information(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, Title(984, "Information"), text, QMessageBox::Ok);
}
