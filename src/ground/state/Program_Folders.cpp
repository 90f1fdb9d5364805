#include "state/Program_Folders.h"

#include "platform/Files.h"

#include <QDir>
#include <QStandardPaths>

namespace {

// "/" separators and no trailing separator (but "/" stays "/").
QString Plain_Folder(const QString& path) {
    QString dir = QDir::fromNativeSeparators(path);
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    return dir;
}

} // namespace

QString Installed_Share_Dir(const QString& exe_dir) {
    return QDir::cleanPath(Plain_Folder(exe_dir) + QStringLiteral("/../share/tessaro"));
}

bool Is_Installed_Tree(const QString& exe_dir) {
    return !exe_dir.isEmpty() && Folder_Exists(Installed_Share_Dir(exe_dir));
}

QString User_Data_Location() {
    QString location = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (location.isEmpty())
        location = QDir::homePath() + QStringLiteral("/.local/share/") +
                   QString::fromLatin1(Application_Name);
    return location;
}

Program_Folders Decide_Program_Folders(const QString& exe_dir, const QString& user_data_dir) {
    Program_Folders folders;
    folders.Exe_Dir = Plain_Folder(exe_dir);
    folders.Installed = Is_Installed_Tree(folders.Exe_Dir);
    if (folders.Installed) {
        folders.Data_Dir = Plain_Folder(user_data_dir);
        folders.Shipped_Language_Dir =
            Installed_Share_Dir(folders.Exe_Dir) + QStringLiteral("/LANGUAGE");
    } else {
        folders.Data_Dir = folders.Exe_Dir;
    }
    return folders;
}
