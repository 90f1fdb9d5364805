#pragma once

#include <QString>

class Lang_Table;

// Why a request of a dry run or of Test Row got no good answer.
struct Live_Error {
    enum class Kind {
        None,
        Timeout,    // no answer (or no connection) within the time-out
        Refused,    // the slave refused the connection
        Closed,     // the slave closed the connection
        Connection, // any other network failure; detail holds the system's text
        Exception,  // a Modbus exception answer; code holds the exception code
        Bad_Answer, // an answer that does not fit the request
    };
    Kind kind = Kind::None;
    int code = 0;   // Exception: the exception code; Timeout: the time-out in ms
    QString detail; // Connection: the system's description

    bool operator==(const Live_Error&) const = default;
};

// The name of a Modbus exception code from the string table ("Illegal data address" for 2), or
// an empty text for a code without a name.
QString Exception_Name(int code, const Lang_Table& lang);

// The error as the user reads it, from the string table: "time-out (300 ms)", "connection
// refused", "Modbus exception 2 (Illegal data address)", ...
QString Live_Error_Text(const Live_Error& error, const Lang_Table& lang);

// A short fixed word for the kind, for machine-readable output: "timeout", "refused", "closed",
// "connection", "exception", "bad_answer" (empty for None).
QString Live_Error_Key(Live_Error::Kind kind);
