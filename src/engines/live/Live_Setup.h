#pragma once

#include <QString>

#include "access/Device_Requests.h"
#include "live/Live_Frames.h"

class Lang_Table;

// The pacing of the converter's Modbus TCP master, from ParGen.xml.
struct Live_Timing {
    int timeout_ms = 1000; // longest wait for a connection and for each answer
    int cyclic_ms = 100;   // pause between two requests on one connection

    // The shortest time-out a run waits: a smaller one (0 included) is waited as this.
    static constexpr int Min_Timeout_Ms = 10;
    int Effective_Timeout() const {
        return timeout_ms < Min_Timeout_Ms ? Min_Timeout_Ms : timeout_ms;
    }
};

// The time-out and the cyclic delay as Set Communication reads ParGen.xml (1000 and 100 ms
// without a file or element); a text that does not convert takes the same default as in the
// compiled image, and a value outside what Set Communication accepts is held to its range
// (0..100000 and 0..10000). Throws Tessaro_Error when the file exists but is not XML.
Live_Timing Load_Live_Timing(const QString& pargen_path);

// The DMX default values as the data array starts with them: channel i + 1 in byte i, each text
// converted as the compiler converts it (low 8 bits; 0 for a text that is not an integer),
// channels beyond the channel count at 0. Throws Tessaro_Error when a file is not XML.
Data_Array Load_Live_Defaults(const QString& pargen_path, const QString& dmx_values_path);

// Everything a dry run needs from a configuration.
struct Live_Setup {
    Device_Request_List list; // the used table, its requests and its refused rows
    Live_Timing timing;
    Data_Array defaults{};
    int channel_count = 512; // DMX_Num_Channels, as the DMX default values editor takes it
};

// Reads the three files of a configuration as the editors read them. Throws Tessaro_Error, naming
// the file and the place, when one of them cannot be read.
Live_Setup Load_Live_Setup(const QString& pargen_path, const QString& dmx_values_path,
                           const QString& access_path, const Lang_Table& lang);
// The same for the files of a configuration folder.
Live_Setup Load_Live_Setup(const QString& dir, const Lang_Table& lang);
