#include "platform/File_Fingerprint.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

File_Fingerprint Take_File_Fingerprint(const QString& path) {
    File_Fingerprint print;
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return print;
    print.Exists = true;
    print.Size = info.size();
    print.Modified = info.lastModified().toUTC();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (hash.addData(&file) && file.error() == QFileDevice::NoError) {
            print.Hash = hash.result();
            // The bytes that were hashed, should the file have grown since the look above.
            print.Size = file.pos();
        }
    }
    return print;
}

File_Change Compare_Fingerprints(const File_Fingerprint& loaded, const File_Fingerprint& now) {
    if (loaded.Exists != now.Exists)
        return loaded.Exists ? File_Change::Removed : File_Change::Created;
    if (!loaded.Exists)
        return File_Change::None;
    if (loaded.Size != now.Size)
        return File_Change::Changed;
    if (!loaded.Hash.isEmpty() && !now.Hash.isEmpty())
        return loaded.Hash == now.Hash ? File_Change::None : File_Change::Changed;
    return loaded.Modified == now.Modified ? File_Change::None : File_Change::Changed;
}

File_Change File_Change_Since(const File_Fingerprint& loaded, const QString& path) {
    return Compare_Fingerprints(loaded, Take_File_Fingerprint(path));
}
