#include "platform/Files.h"

#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString File_Display_Name(const QString& path) {
    return QFileInfo(path).fileName();
}

bool File_Exists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool Folder_Exists(const QString& path) {
    return QFileInfo(path).isDir();
}

bool Create_Folder(const QString& path) {
    return QDir().mkdir(path);
}

bool Create_Folder_Path(const QString& path) {
    return QDir().mkpath(path);
}

QByteArray Read_File_Bytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Tessaro_Error(File_Problem{File_Problem::Kind::Cannot_Be_Read,
                                         File_Display_Name(path), file.errorString()});
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Tessaro_Error(File_Problem{File_Problem::Kind::Cannot_Be_Read,
                                         File_Display_Name(path), file.errorString()});
    return data;
}

std::optional<QString> Write_File_Atomic(const QString& path, const QByteArray& data) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(data) != data.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

std::optional<QString> Keep_Backup(const QString& path) {
    const QString backup = path + QStringLiteral(".bak");
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly))
        return source.errorString();
    return Write_File_Atomic(backup, source.readAll());
}
