#include "platform/Files.h"

#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString File_Display_Name(const QString& path) {
    return QFileInfo(path).fileName();
}

bool File_System_Keeps_Name(const QString& name) {
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QChar(0)))
        return false;
#ifdef Q_OS_WIN
    for (const QChar c : name)
        if (c.unicode() < 0x20 || QStringLiteral("<>:\"|?*\\").contains(c))
            return false;
    if (name.endsWith(QLatin1Char(' ')) || name.endsWith(QLatin1Char('.')))
        return false;
    const QString stem = name.section(QLatin1Char('.'), 0, 0).trimmed().toUpper();
    static const QStringList devices = {QStringLiteral("CON"), QStringLiteral("PRN"),
                                        QStringLiteral("AUX"), QStringLiteral("NUL")};
    if (devices.contains(stem))
        return false;
    if (stem.size() == 4 &&
        (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT"))) &&
        stem[3] >= QLatin1Char('1') && stem[3] <= QLatin1Char('9'))
        return false;
#endif
    return true;
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
