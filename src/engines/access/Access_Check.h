#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "access/Access_Table.h"
#include "lang/Lang_Table.h"

// Checks of the request tables before they are saved: the enabled rows of the used part of the
// read table, then of the write table, rule by rule.

// Size of the converter's data array on either side.
inline constexpr int Access_NByte = 512;

// One failed rule of one row.
struct Access_Failure {
    Access_Kind table;
    int slot;        // 1..512
    int rule;        // 1..11, in the order the rules are applied
    QString message; // as shown to the user
};

// The message of the first failure, or nothing when both tables may be saved.
std::optional<QString> Controllo_dati(const Access_Table& table, const Lang_Table& lang,
                                      int NByte_IN = Access_NByte, int NByte_OUT = Access_NByte);

// Every failure of both tables: each enabled row of the used part, every rule that fails, in the
// order Controllo_dati applies them (its first item is Controllo_dati's message).
std::vector<Access_Failure> All_Access_Failures(const Access_Table& table, const Lang_Table& lang,
                                                int NByte_IN = Access_NByte,
                                                int NByte_OUT = Access_NByte);

// The first failing rule of one row of a table, checked as Controllo_dati checks an enabled row of
// the used part, or nothing when the row passes.
std::optional<Access_Failure> First_Row_Failure(const Request_Table& table, int slot,
                                                const Lang_Table& lang, int nbyte = Access_NByte);

// True when the text is NOT a valid address: it must be four dot-separated decimal numbers 0..255
// (blanks before a number are allowed, nothing after it).
bool Check_IP_Address(const QString& IP_Address);
