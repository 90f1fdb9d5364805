#pragma once

#include "lang/Lang_Table.h"
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

// Shared by the fuzz targets: a folder of the process for the files a loader reads (on tmpfs
// where there is one, so an execution stays cheap), and the stop on a broken property.

// The input as bytes (no copy: valid during the call of LLVMFuzzerTestOneInput).
inline QByteArray Fuzz_Bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                   static_cast<qsizetype>(size));
}

// The folder of this process, made at the first call and removed when the process ends.
const QString& Fuzz_Folder();
// Writes the bytes to Fuzz_Folder()/name and gives the path.
QString Write_Fuzz_File(const QString& name, const QByteArray& bytes);
// Removes Fuzz_Folder()/name; gives the path.
QString Remove_Fuzz_File(const QString& name);

// An element's text as XML reads it back once written: a text of blanks, tabs and line feeds
// alone is no text (the parser drops white space between elements, and cannot tell this from
// it). The editors keep numbers in elements, and names that are never only white space.
QString Xml_Text_Read_Back(const QString& text);

// The program's English texts, loaded once.
const Lang_Table& English_Texts();

// A text for a report: characters outside printable ASCII as \u{XXXX}.
QString Shown(const QString& text);

// Reports a property that does not hold and stops the run, so that libFuzzer keeps the input.
[[noreturn]] void Fuzz_Fail(const char* condition, const char* file, int line,
                            const QString& detail);

#define FUZZ_REQUIRE(condition, detail)                                                            \
    do {                                                                                           \
        if (!(condition))                                                                          \
            Fuzz_Fail(#condition, __FILE__, __LINE__, (detail));                                   \
    } while (false)
