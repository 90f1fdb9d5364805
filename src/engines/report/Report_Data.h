#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "access/Access_Table.h"
#include "image/Image_Record.h"
#include "map/Channel_Map.h"

class Lang_Table;

// What the commissioning report of a configuration shows, gathered from its folder without
// writing anything: the settings and DMX default values as the device gets them (compiled from
// the files now on disk), the request table the device uses as its file holds it, and how
// bin/bank.bin stands against the image the files compile to.

// How bin/bank.bin stands.
enum class Bank_State {
    Current,      // byte for byte the image the files compile to now
    Missing,      // no bin/bank.bin
    Older,        // a bin/bank.bin that differs from that image
    Not_Compiled, // the files do not compile (Compile_Error says why)
};

// One row of the request table the device uses, as its file holds it.
struct Report_Request {
    int Row = 0;        // slot number, from 1
    QStringList Fields; // the fields of the table in column order (Access_Fields)
    int Entry = -1;     // its entry in the image; -1 when it does not reach the image
    // Reaches the device: enabled and compiled (when the files do not compile: its Enable text
    // says enabled).
    bool Enabled = false;
};

struct Report_Data {
    QString Name;   // the configuration's name: its folder's name
    QString Folder; // the folder, as given
    QDateTime Made;

    // The communication settings as the device gets them.
    bool ParGen_Present = false;
    Image_Settings Settings;
    bool DMX_Out = true;
    bool Gateway_Enabled = false;
    int Channel_Count = 0; // the DMX channel count of the role

    // The table the device uses and every row its file holds.
    Access_Kind Kind = Access_Kind::Read;
    std::vector<Report_Request> Requests;

    // The channel map of the table the device uses, its findings in the report's language;
    // nothing when the editors cannot read the files (Map_Error says why).
    std::optional<Channel_Map> Map;
    QString Map_Error;

    // The DMX default values as the device gets them; entry 0 is channel 1.
    std::array<std::uint8_t, DMX_Channels> DMX_Defaults{};

    // The image the files compile to (empty when they do not compile) and bin/bank.bin.
    QByteArray Image;
    std::uint32_t Checksum = 0;
    Bank_State Bank = Bank_State::Missing;
    QString Compile_Error;
    QString Bank_Sha256; // lower-case hexadecimal, when the bank is current
};

// Gathers the report of the configuration in project_dir, its texts (the map's findings) in the
// language of lang. Throws Tessaro_Error naming the file and the reason when the folder does not
// exist or a project file (or bin/bank.bin) cannot be read or is not XML. A request value that
// does not compile is no error: Bank is then Not_Compiled; neither is a file the editors refuse
// (the map is then left out).
Report_Data Collect_Report_Data(const QString& project_dir, const QDateTime& made,
                                const Lang_Table& lang);
