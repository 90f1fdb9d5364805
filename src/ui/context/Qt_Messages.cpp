#include "context/Qt_Messages.h"

#include <QMessageBox>

void Qt_Messages::Error(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, QStringLiteral("Error"), text, QMessageBox::Ok);
}

void Qt_Messages::Warning(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, QStringLiteral("Warning"), text, QMessageBox::Ok);
}

bool Qt_Messages::Confirm(QWidget* parent, const QString& text) {
    return QMessageBox::question(parent, QStringLiteral("Confirm"), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void Qt_Messages::Information(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QStringLiteral("Information"), text, QMessageBox::Ok);
}
