#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The name a message uses for a file: its name without the folders.
QString File_Display_Name(const QString& path);

// True when the file system stores a file or folder of this name (one path component) under
// exactly this name. On Windows it refuses the characters < > : " | ? * and control characters,
// a name ending in a blank or a point (Windows would drop them) and the device names CON, PRN,
// AUX, NUL, COM1-COM9 and LPT1-LPT9 (with any extension); elsewhere every name without "/" and
// NUL is kept.
bool File_System_Keeps_Name(const QString& name);

bool File_Exists(const QString& path);   // a file, not a folder
bool Folder_Exists(const QString& path); // a folder, not a file

// Creates one folder level; true when it was created.
bool Create_Folder(const QString& path);
// Creates a folder with any missing parents; true when it exists afterwards.
bool Create_Folder_Path(const QString& path);

// Reads a whole file; throws Tessaro_Error naming the file and the reason.
QByteArray Read_File_Bytes(const QString& path);

// Replaces the file with the data in one step: either the new content is complete on disk or the
// old file is left as it was. Returns the reason when it failed.
std::optional<QString> Write_File_Atomic(const QString& path, const QByteArray& data);

// Copies a file that the program cannot read aside as "<name>.bak" before it is overwritten.
// Returns the reason when it failed.
std::optional<QString> Keep_Backup(const QString& path);
