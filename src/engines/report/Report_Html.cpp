#include "report/Report_Html.h"

#include <QBuffer>
#include <QPainter>

namespace {

QString Esc(const QString& text) {
    return text.toHtmlEscaped();
}

QString Style_Sheet() {
    return QStringLiteral(
        "body { font-family: Verdana, 'DejaVu Sans', sans-serif; font-size: 9pt; color: #202020;"
        " margin: 2em; }\n"
        "h1 { font-size: 18pt; margin-bottom: 0; }\n"
        "h2 { font-size: 12pt; margin: 1.6em 0 0.4em 0; color: #404040;"
        " border-bottom: 1px solid #c0c0c0; }\n"
        "p.sub { font-size: 10pt; color: #606060; margin-top: 0.2em; }\n"
        "p.note { color: #a03000; }\n"
        "table { border-collapse: collapse; }\n"
        "table.info td { padding: 1px 16px 1px 0; vertical-align: top; }\n"
        "table.info td.label { color: #606060; }\n"
        "table.grid th, table.grid td { border: 1px solid #a0a0a0; padding: 1px 4px;"
        " white-space: nowrap; }\n"
        "table.grid th { background-color: #ebe9dc; }\n"
        "table.grid td.num { text-align: right; }\n"
        "table.grid td.wrap { white-space: normal; }\n"
        "table.requests { width: 100%; font-size: 8pt; }\n"
        "table.dmx { font-size: 8pt; }\n"
        "td.zero { color: #a0a0a0; }\n"
        "h3 { font-size: 10pt; margin: 1em 0 0.3em 0; color: #404040; }\n"
        "tr.off td { color: #909090; }\n"
        "tr.alert td { color: #a03000; }\n"
        "tt { font-family: 'DejaVu Sans Mono', monospace; }\n");
}

QString Grid_Html(const Report_Block& block) {
    QString html = QStringLiteral("<table class=\"grid %1\">\n<thead><tr>").arg(block.Css_Class);
    for (const Report_Column& column : block.Columns)
        html += QStringLiteral("<th>%1</th>").arg(Esc(column.Title));
    html += QStringLiteral("</tr></thead>\n<tbody>\n");
    for (const Report_Row& row : block.Rows) {
        html += row.Dim     ? QStringLiteral("<tr class=\"off\">")
                : row.Alert ? QStringLiteral("<tr class=\"alert\">")
                            : QStringLiteral("<tr>");
        for (int c = 0; c < row.Cells.size() && c < static_cast<int>(block.Columns.size()); ++c) {
            const Report_Column& column = block.Columns[static_cast<std::size_t>(c)];
            QString text = Esc(row.Cells[c]);
            if (c == row.Italic_Column)
                text = QStringLiteral("<i>%1</i>").arg(text);
            if (c == 0 && block.Row_Headers) {
                html += QStringLiteral("<th>%1</th>").arg(text);
                continue;
            }
            QStringList classes;
            if (column.Numeric)
                classes.append(QStringLiteral("num"));
            if (column.Wrap)
                classes.append(QStringLiteral("wrap"));
            if (block.Dim_Zeros && row.Cells[c] == QLatin1String("0"))
                classes.append(QStringLiteral("zero"));
            html += classes.isEmpty()
                        ? QStringLiteral("<td>%1</td>").arg(text)
                        : QStringLiteral("<td class=\"%1\">%2</td>").arg(classes.join(' '), text);
        }
        html += QStringLiteral("</tr>\n");
    }
    return html + QStringLiteral("</tbody></table>\n");
}

// A drawing as a PNG inside the page, drawn at twice its size for sharp printing.
QString Picture_Html(const Report_Block& block) {
    const QImage image = Render_Report_Picture(block, 2);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("<p><img src=\"data:image/png;base64,%1\" width=\"%2\" height=\"%3\" "
                          "alt=\"%4\"></p>\n")
        .arg(QString::fromLatin1(png.toBase64()))
        .arg(block.Size.width())
        .arg(block.Size.height())
        .arg(Esc(block.Text));
}

} // namespace

QString Report_Model_Html(const Report_Model& model, const QString& title) {
    QString html = QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
                                  "<title>%1</title>\n<style>\n%2</style>\n</head>\n<body>\n")
                       .arg(Esc(title), Style_Sheet());
    for (const Report_Block& block : model) {
        switch (block.Type) {
        case Report_Block::Kind::Title:
            html += QStringLiteral("<h1>%1</h1>\n").arg(Esc(block.Text));
            break;
        case Report_Block::Kind::Subtitle:
            html += QStringLiteral("<p class=\"sub\">%1</p>\n").arg(Esc(block.Text));
            break;
        case Report_Block::Kind::Heading:
            html += QStringLiteral("<h2>%1</h2>\n").arg(Esc(block.Text));
            break;
        case Report_Block::Kind::Subheading:
            html += QStringLiteral("<h3>%1</h3>\n").arg(Esc(block.Text));
            break;
        case Report_Block::Kind::Text:
            html += QStringLiteral("<p>%1</p>\n").arg(Esc(block.Text));
            break;
        case Report_Block::Kind::Note:
            html += QStringLiteral("<p class=\"note\">%1</p>\n").arg(Esc(block.Text));
            break;
        case Report_Block::Kind::Info: {
            html += QStringLiteral("<table class=\"info\">\n");
            for (int i = 0; i < static_cast<int>(block.Info.size()); ++i) {
                const auto& [label, value] = block.Info[static_cast<std::size_t>(i)];
                const bool mono = std::find(block.Mono_Values.begin(), block.Mono_Values.end(),
                                            i) != block.Mono_Values.end();
                html += QStringLiteral("<tr><td class=\"label\">%1</td><td>%2</td></tr>\n")
                            .arg(Esc(label),
                                 mono ? QStringLiteral("<tt>%1</tt>").arg(Esc(value)) : Esc(value));
            }
            html += QStringLiteral("</table>\n");
            break;
        }
        case Report_Block::Kind::Grid:
            html += Grid_Html(block);
            break;
        case Report_Block::Kind::Picture:
            if (block.Paint && !block.Size.isEmpty())
                html += Picture_Html(block);
            break;
        }
    }
    return html + QStringLiteral("</body>\n</html>\n");
}
