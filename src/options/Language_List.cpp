#include "options/Language_List.h"

#include "platform/Files.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

const QLatin1String Language_Extension(".lng");

// A language file the program may offer: a plain file that its owner may write. Read-only files
// are left out whoever runs the program, so the test is made on the permission bits.
bool Is_Offered(const QFileInfo& info) {
    return info.isFile() && !info.isSymLink() && info.permissions().testFlag(QFile::WriteOwner);
}

} // namespace

QStringList List_Language_Files(const QString& folder) {
    QStringList names;
    const QDir dir(folder);
    if (!dir.exists())
        return names;
    const QFileInfoList entries = dir.entryInfoList(
        {QStringLiteral("*.lng")}, QDir::Files | QDir::Hidden | QDir::System | QDir::CaseSensitive,
        QDir::Unsorted);
    for (const QFileInfo& info : entries) {
        const QString name = info.fileName();
        // The file's language is what stands before ".lng"; a file named only ".lng" has none.
        if (name.size() > Language_Extension.size() && name.endsWith(Language_Extension) &&
            Is_Offered(info))
            names.append(name);
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = QString::compare(a, b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
    });
    return names;
}

QString Language_Name(const QString& file_name) {
    return file_name.left(std::max<qsizetype>(0, file_name.size() - 4));
}

QStringList Flag_Files(const QString& folder, const QString& language) {
    QStringList files;
    for (const QString& name :
         {language + QStringLiteral(".bmp"), QStringLiteral("DefaultFlag.bmp")}) {
        const QString path = folder + QLatin1Char('/') + name;
        if (File_Exists(path))
            files.append(path);
    }
    return files;
}
