#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// What a window read from a file, so that it can tell later whether another program (a second
// configurator, a text editor, a copy tool) changed the file in the meantime: its size,
// modification time and a hash of its bytes, or that it was missing.
struct File_Fingerprint {
    bool Exists = false;
    qint64 Size = 0;
    QDateTime Modified;
    // SHA-256 of the bytes; empty when the file could not be read.
    QByteArray Hash;

    bool operator==(const File_Fingerprint&) const = default;
};

// The file as it is on disk now; a folder in its place counts as missing.
File_Fingerprint Take_File_Fingerprint(const QString& path);

// How the file on disk differs from what was read.
enum class File_Change {
    None,    // the same bytes (a program that wrote them again changed nothing)
    Changed, // other bytes
    Removed, // it was there and is gone
    Created, // it was missing and is there now
};

// Bytes decide where both hashes are known; otherwise size and modification time.
File_Change Compare_Fingerprints(const File_Fingerprint& loaded, const File_Fingerprint& now);

// The change of the file at path since loaded was taken.
File_Change File_Change_Since(const File_Fingerprint& loaded, const QString& path);
