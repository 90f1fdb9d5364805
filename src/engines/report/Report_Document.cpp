#include "report/Report_Document.h"

#include "lang/Lang_Table.h"
#include "platform/Error.h"
#include "platform/Files.h"
#include "report/Report_Html.h"
#include "report/Report_Model.h"
#include "report/Report_Pdf.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

QString Title(const Report_Data& data, const Lang_Table& lang) {
    return QStringLiteral("%1 - %2").arg(lang[762], data.Name);
}

} // namespace

std::optional<Report_Format> Report_Format_For(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf"))
        return Report_Format::Pdf;
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return Report_Format::Html;
    return std::nullopt;
}

QString Report_Html(const Report_Data& data, const Lang_Table& lang) {
    return Report_Model_Html(Build_Report_Model(data, lang), Title(data, lang));
}

int Write_Report(const QString& path, Report_Format format, const Report_Data& data,
                 const Lang_Table& lang) {
    const auto refused = [&path](const QString& reason) {
        return Tessaro_Error(
            QStringLiteral("%1: cannot be written: %2").arg(File_Display_Name(path), reason));
    };
    if (format == Report_Format::Html) {
        if (const auto error = Write_File_Atomic(path, Report_Html(data, lang).toUtf8()))
            throw refused(*error);
        return 1;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw refused(file.errorString());
    int pages = 0;
    try {
        pages = Write_Report_Pdf(file, Build_Report_Model(data, lang), Title(data, lang),
                                 Report_Footer(data, lang), [&lang](int page, int count) {
                                     return lang[305] + QString::number(page) + lang[306] +
                                            QString::number(count);
                                 });
    } catch (...) {
        file.cancelWriting();
        throw;
    }
    if (!file.commit())
        throw refused(file.errorString());
    return pages;
}
