#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A temporary folder for one test, removed afterwards.
class Temp_Folder {
public:
    Temp_Folder();
    QString Path() const { return dir_.path(); }
    // path + "/" + relative
    QString File(const QString& relative) const;

private:
    QTemporaryDir dir_;
};

void Write_Bytes(const QString& path, const QByteArray& data);
void Write_Text(const QString& path, const QString& text); // UTF-8
QByteArray Read_Bytes(const QString& path);
QString Read_Text(const QString& path); // UTF-8
