#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "image/Image_Record.h"

// The compiler's readers of the three project files. They read the files with rules of their own:
// most settings fall back to a default one by one, while a file that is not XML, a missing
// request section and a request value that does not convert end the compile with a
// Tessaro_Error that names the file, the row and the attribute. A missing file is not an error:
// its part of the image keeps its initial values.

// ParGen.xml: the DMX role and channel count, the Modbus time-out and delay, the converter's
// address, mask and gateway. Sets DMX_Out, which selects the requests that are loaded.
void Load_Image_Settings(Image_Record& image, const QString& par_gen_file);

// DMX_Default_Values.xml: the default value of each channel, the first 512 rows.
void Load_Image_DMX_Defaults(Image_Record& image, const QString& dmx_default_values_file);

// Where a compiled request came from: its row in the section, counted from 1 (the slot number of
// the access editor), and the row's mnemonic, which the image does not hold.
struct Request_Source {
    int Row = 0;
    QString Mnemonic;

    bool operator==(const Request_Source&) const = default;
};

// ModbusTCPM_SetAccess.xml: the enabled rows of the read section when DMX_Out is set, else of the
// write section, packed from entry 0; sets Request_Count. With sources, entry i's row is
// sources[i] afterwards.
void Load_Image_Requests(Image_Record& image, const QString& access_file,
                         std::vector<Request_Source>* sources = nullptr);

// The Modbus function code of a request row from its upper-cased, untrimmed Type: 1 to 4 for the
// read types; for writes 5 or 15 (coils) and 6 or 16 (registers), the single form for one point.
// 0 for a type the device does not know.
std::uint8_t Read_Function_Code(const QString& type);
std::uint8_t Write_Function_Code(const QString& type, std::uint16_t npoint);
