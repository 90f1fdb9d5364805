#include "support/Test_Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

Temp_Folder::Temp_Folder() {
    EXPECT_TRUE(dir_.isValid());
}

QString Temp_Folder::File(const QString& relative) const {
    return dir_.path() + QLatin1Char('/') + relative;
}

void Write_Bytes(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(data), data.size());
}

void Write_Text(const QString& path, const QString& text) {
    Write_Bytes(path, text.toUtf8());
}

QByteArray Read_Bytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return file.readAll();
}

QString Read_Text(const QString& path) {
    return QString::fromUtf8(Read_Bytes(path));
}
