#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "access/Access_Table.h"
#include "comm/Comm_Settings.h"
#include "comm/DMX_Default_Table.h"
#include "image/Image_Loaders.h"

// The compare of two configurations by what the device would get: each side is a configuration
// folder, compiled in memory (nothing is written), or an image file, decoded. The differences
// are told by meaning: a settings field, a field of a request entry, a DMX default value. Two
// folders are also compared in what does not reach the image: mnemonics, disabled rows, the
// request table the device does not use and the gateway while it is disabled.

// What the editors read from a configuration folder.
struct Folder_Texts {
    Comm_Settings Settings;
    DMX_Default_Table DMX;
    Access_Table Access;
};

// One side of a compare.
struct Compare_Input {
    QString Path;
    bool Folder = false;
    // The image the device gets: Bank_Size bytes.
    QByteArray Bank;

    // Folders only: the row and mnemonic of each request entry, the table the device uses, and
    // the files as the editors read them (null when an editor cannot read one; Texts_Error then
    // says why).
    std::vector<Request_Source> Sources;
    Access_Kind Used_Kind = Access_Kind::Read;
    std::shared_ptr<const Folder_Texts> Texts;
    QString Texts_Error;
};

// Reads one side: a folder is compiled in memory, any other path is read as an image. Throws
// Tessaro_Error naming the path, the file and the reason when the path does not exist, a folder
// does not compile, or a file cannot be read or is not of the size of an image.
Compare_Input Load_Compare_Input(const QString& path);

// One difference. Section: "settings", "request", "dmx" or "files" (what does not reach the
// image). Item: the request entry with its mnemonic ("12 (Hall lights)"), the DMX channel, or in
// "files" the row or channel ("read row 5", "DMX channel 7", "ParGen.xml"); empty for a setting.
// Field: the field's name as the program names it (empty when a whole item is on one side
// only). A and B: the value on each side, or nothing when the item is absent on that side.
struct Difference {
    QString Section;
    QString Item;
    QString Field;
    std::optional<QString> A;
    std::optional<QString> B;

    bool operator==(const Difference&) const = default;
};

// Every difference, in the order settings, requests by entry, DMX channels, then (two folders
// only) the files.
std::vector<Difference> Compare_Configurations(const Compare_Input& a, const Compare_Input& b);

// The difference as one line of text, without the line end:
//   settings: Modbus_TCP_Master_TimeOut 1000 -> 1500
//   request 12 (Hall lights): Position 40 -> 42
//   request 30: only in B
//   DMX channel 7 default 0 -> 255
//   files: read row 4 (Pump): Mnemonic "Pump" -> "Pump 2"
QString Difference_Line(const Difference& difference);
