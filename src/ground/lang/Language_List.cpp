#include "lang/Language_List.h"

#include "lang/Language_File.h"
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
    return List_Language_Files(QStringList{folder});
}

QStringList List_Language_Files(const QStringList& folders) {
    QStringList names;
    for (qsizetype f = 0; f < folders.size(); ++f) {
        const QDir dir(folders[f]);
        if (!dir.exists())
            continue;
        const QFileInfoList entries = dir.entryInfoList(
            {QStringLiteral("*.lng")},
            QDir::Files | QDir::Hidden | QDir::System | QDir::CaseSensitive, QDir::Unsorted);
        for (const QFileInfo& info : entries) {
            const QString name = info.fileName();
            // The file's language is what stands before ".lng"; a file named only ".lng" has
            // none.
            if (name.size() <= Language_Extension.size() || !name.endsWith(Language_Extension))
                continue;
            // A file of the same name in an earlier folder stands for this one.
            if (!Find_Language_File(folders.mid(0, f), Language_Name(name)).isEmpty())
                continue;
            if (Is_Offered(info))
                names.append(name);
        }
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
    return Flag_Files(QStringList{folder}, language);
}

QStringList Flag_Files(const QStringList& folders, const QString& language) {
    // The folder of the language's file comes first for its own flag.
    QStringList own_first = folders;
    for (qsizetype f = 0; f < folders.size(); ++f)
        if (!Find_Language_File({folders[f]}, language).isEmpty()) {
            own_first.move(f, 0);
            break;
        }
    QStringList candidates;
    for (const QString& folder : own_first)
        candidates.append(folder + QLatin1Char('/') + language + QStringLiteral(".bmp"));
    for (const QString& folder : folders)
        candidates.append(folder + QStringLiteral("/DefaultFlag.bmp"));
    QStringList files;
    for (const QString& path : candidates)
        if (File_Exists(path) && !files.contains(path))
            files.append(path);
    return files;
}
