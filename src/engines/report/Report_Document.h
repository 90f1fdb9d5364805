#pragma once

#include <QString>
#include <optional>

#include "report/Report_Data.h"

class Lang_Table;

// The commissioning report as a document in the language of the string table: one
// self-contained HTML file, or a PDF on A4 pages with the page number at the foot of every page
// and a table's title row repeated on every page it runs over. Drawing needs a QGuiApplication
// (for the fonts); no window is shown.

enum class Report_Format { Pdf, Html };

// The format a file name asks for by its extension: .pdf, .html or .htm (any case).
std::optional<Report_Format> Report_Format_For(const QString& path);

// The report as one HTML page.
QString Report_Html(const Report_Data& data, const Lang_Table& lang);

// Writes the report to path in one atomic step (a failure leaves no file, or the old one whole);
// the number of pages for a PDF, 1 for HTML. Throws Tessaro_Error naming the file and the reason.
int Write_Report(const QString& path, Report_Format format, const Report_Data& data,
                 const Lang_Table& lang);
