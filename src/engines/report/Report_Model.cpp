#include "report/Report_Model.h"

#include "access/Access_Table.h"
#include "lang/Lang_Table.h"
#include "paint/Channel_Grid_Paint.h"
#include "paint/Map_Grid_Cells.h"
#include "state/App_State.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <memory>

namespace {

QString Dotted(const std::array<std::uint8_t, 4>& bytes) {
    return QStringLiteral("%1.%2.%3.%4").arg(bytes[0]).arg(bytes[1]).arg(bytes[2]).arg(bytes[3]);
}

Report_Block Block(Report_Block::Kind type, const QString& text = QString()) {
    Report_Block block;
    block.Type = type;
    block.Text = text;
    return block;
}

void Add_Header(Report_Model& model, const Report_Data& data, const Lang_Table& lang) {
    model.push_back(Block(Report_Block::Kind::Title, lang[762]));
    model.push_back(Block(
        Report_Block::Kind::Subtitle,
        QStringLiteral("%1 - %2").arg(QLatin1String(SW_Code_Text), QLatin1String(SW_Desc_Text))));
    Report_Block info = Block(Report_Block::Kind::Info);
    info.Info = {
        {lang[763], data.Name},
        {lang[909], QFileInfo(data.Folder).absoluteFilePath()},
        {lang[764], data.Made.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))},
        {lang[765],
         QStringLiteral("%1 %2").arg(QLatin1String(SW_Code_Text), QLatin1String(Software_Version))},
    };
    model.push_back(info);
}

void Add_Communication(Report_Model& model, const Report_Data& data, const Lang_Table& lang) {
    const Image_Settings& s = data.Settings;
    model.push_back(Block(Report_Block::Kind::Heading, lang[766]));
    if (!data.ParGen_Present)
        model.push_back(Block(Report_Block::Kind::Note, lang[908]));
    Report_Block info = Block(Report_Block::Kind::Info);
    info.Info = {
        {lang[405], data.DMX_Out ? QStringLiteral("OUT") : QStringLiteral("IN")},
        {lang[406], QString::number(data.Channel_Count)},
        {lang[446], Dotted(s.IP_Address)},
        {lang[447], Dotted(s.Subnet_Mask)},
        {lang[448], data.Gateway_Enabled ? Dotted(s.Gateway) : lang[768]},
        {lang[449], QString::number(s.Modbus_TCP_Master_TimeOut)},
        {lang[450], QString::number(s.Modbus_TCP_Master_Cyclic)},
    };
    model.push_back(info);
}

void Add_Requests(Report_Model& model, const Report_Data& data, const Lang_Table& lang) {
    const Access_Kind kind = data.Kind;
    model.push_back(Block(
        Report_Block::Kind::Heading,
        QStringLiteral("%1 - %2").arg(lang[767], lang[kind == Access_Kind::Read ? 608 : 609])));
    if (data.Requests.empty()) {
        model.push_back(Block(Report_Block::Kind::Text, lang[770]));
        return;
    }
    const Access_Layout& layout = Layout_Of(kind);
    // The column titles of the access window: N, then the fields.
    const int first_title = kind == Access_Kind::Read ? 610 : 624;
    Report_Block grid = Block(Report_Block::Kind::Grid);
    grid.Full_Width = true;
    grid.Css_Class = QStringLiteral("requests");
    grid.Columns.push_back({lang[first_title], true, false});
    for (int field = 1; field <= layout.Field_Count; ++field) {
        const bool text = field == layout.Enable || field == layout.IP_Address ||
                          field == layout.Type || field == layout.OnChange ||
                          field == layout.OnCMD || field == layout.Swap || field == layout.Mnemonic;
        grid.Columns.push_back({lang[first_title + field], !text, field == layout.Mnemonic});
    }
    grid.Columns.push_back({lang[769], true, false});
    const int mark_column = static_cast<int>(grid.Columns.size()) - 1;
    grid.Rows.reserve(data.Requests.size());
    for (const Report_Request& request : data.Requests) {
        Report_Row row;
        row.Cells.reserve(mark_column + 1);
        row.Cells.append(QString::number(request.Row));
        row.Cells.append(request.Fields);
        if (request.Entry >= 0) {
            row.Cells.append(QString::number(request.Entry));
        } else if (!request.Enabled) {
            row.Cells.append(lang[768]);
            row.Italic_Column = mark_column;
        } else {
            row.Cells.append(QString());
        }
        row.Dim = !request.Enabled;
        grid.Rows.push_back(std::move(row));
    }
    model.push_back(std::move(grid));
}

// The map's grid with a legend of its colours below it.
void Paint_Map_Picture(QPainter& painter, const QRect& area, std::span<const Grid_Cell> cells,
                       const QStringList& legend) {
    QFont font;
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(7);
    const QFontMetrics metrics(font);
    const int legend_height = metrics.height() + 10;
    const QRect grid_area(area.left(), area.top(), area.width(), area.height() - legend_height);
    const Grid_Layout layout = Layout_Channel_Grid(grid_area, font);
    Paint_Channel_Grid(painter, layout, cells);

    const QColor colours[] = {Alert_Colour(), Greyed_Colour(), Empty_Cell_Colour()};
    painter.setFont(font);
    int x = layout.cells.left();
    const int box = metrics.height() - 2;
    const int top = area.bottom() - legend_height + 8;
    for (int i = 0; i < legend.size() && i < 3; ++i) {
        const QRect swatch(x, top + 1, box, box);
        painter.fillRect(swatch, colours[i]);
        painter.setPen(QColor(0xA0, 0xA0, 0xA0));
        painter.drawRect(swatch.adjusted(0, 0, -1, -1));
        painter.setPen(QColor(0x40, 0x40, 0x40));
        painter.drawText(QPoint(x + box + 5, top + metrics.ascent()), legend[i]);
        x += box + 5 + metrics.horizontalAdvance(legend[i]) + 18;
    }
}

QString Severity_Text(Map_Severity severity, const Lang_Table& lang) {
    switch (severity) {
    case Map_Severity::Error:
        return lang[911];
    case Map_Severity::Warning:
        return lang[912];
    case Map_Severity::Information:
        return lang[913];
    }
    return QString();
}

void Add_Map(Report_Model& model, const Report_Data& data, const Lang_Table& lang) {
    model.push_back(Block(Report_Block::Kind::Heading, lang[700]));
    if (!data.Map) {
        model.push_back(Block(Report_Block::Kind::Note, lang[914] + data.Map_Error));
        return;
    }
    const Channel_Map& map = *data.Map;

    // The picture, with the map's text form for readers that show none.
    Report_Block picture = Block(Report_Block::Kind::Picture, Channel_Map_Grid_Text(map));
    picture.Size = QSize(680, 330);
    const auto cells =
        std::make_shared<const std::array<Grid_Cell, Grid_Cell_Count>>(Map_Grid_Cells(map));
    const QStringList legend{lang[717], lang[718], lang[719]};
    picture.Paint = [cells, legend](QPainter& painter, const QRect& area) {
        Paint_Map_Picture(painter, area, *cells, legend);
    };
    model.push_back(std::move(picture));

    if (map.findings.empty()) {
        model.push_back(Block(Report_Block::Kind::Text, lang[963]));
    } else {
        Report_Block findings = Block(Report_Block::Kind::Grid);
        findings.Full_Width = true;
        findings.Css_Class = QStringLiteral("findings");
        findings.Columns = {{QString(), false, false}, {lang[950], false, true}};
        for (const Map_Finding& finding : map.findings) {
            Report_Row row;
            row.Cells = QStringList{Severity_Text(finding.severity, lang), finding.text};
            row.Alert = finding.severity == Map_Severity::Error;
            findings.Rows.push_back(std::move(row));
        }
        model.push_back(std::move(findings));
    }

    if (!map.slaves.empty()) {
        model.push_back(Block(Report_Block::Kind::Subheading, lang[951]));
        Report_Block load = Block(Report_Block::Kind::Grid);
        load.Css_Class = QStringLiteral("load");
        load.Columns = {
            {lang[952], false, false},
            {lang[953], true, false},
            {lang[954], true, false},
            {lang[955], true, false},
        };
        for (const Slave_Load& slave : map.slaves) {
            QString rate = QString::number(slave.requests_per_second, 'f', 1);
            if (slave.as_fast_as_possible == slave.requests)
                rate = lang[957];
            else if (slave.as_fast_as_possible > 0)
                rate += QStringLiteral(" + %1 %2").arg(slave.as_fast_as_possible).arg(lang[957]);
            Report_Row row;
            row.Cells = QStringList{slave.Name(), QString::number(slave.requests), rate,
                                    QString::number(slave.worst_round_ms)};
            load.Rows.push_back(std::move(row));
        }
        model.push_back(std::move(load));
    }
}

void Add_DMX(Report_Model& model, const Report_Data& data, const Lang_Table& lang) {
    model.push_back(Block(Report_Block::Kind::Heading, lang[500]));
    Report_Block grid = Block(Report_Block::Kind::Grid);
    grid.Row_Headers = true;
    grid.Dim_Zeros = true;
    grid.Css_Class = QStringLiteral("dmx");
    grid.Columns.push_back({lang[504], true, false});
    for (int column = 0; column < 16; ++column)
        grid.Columns.push_back({QStringLiteral("+%1").arg(column), true, false});
    for (int row = 0; row < DMX_Channels / 16; ++row) {
        Report_Row cells;
        cells.Cells.append(QString::number(row * 16 + 1));
        for (int column = 0; column < 16; ++column)
            cells.Cells.append(
                QString::number(data.DMX_Defaults[static_cast<std::size_t>(row * 16 + column)]));
        grid.Rows.push_back(std::move(cells));
    }
    model.push_back(std::move(grid));
}

void Add_Image(Report_Model& model, const Report_Data& data, const Lang_Table& lang) {
    model.push_back(Block(Report_Block::Kind::Heading, lang[772]));
    if (data.Bank == Bank_State::Not_Compiled) {
        model.push_back(Block(Report_Block::Kind::Note, lang[779] + data.Compile_Error));
        return;
    }
    Report_Block info = Block(Report_Block::Kind::Info);
    info.Info = {
        {lang[773], QStringLiteral("%1 %2").arg(data.Image.size()).arg(lang[774])},
        {lang[775],
         QStringLiteral("%1 (0x%2)")
             .arg(data.Checksum)
             .arg(
                 QString::number(data.Checksum, 16).toUpper().rightJustified(8, QLatin1Char('0')))},
        {lang[907], QString::number(data.Settings.Request_Count)},
    };
    if (data.Bank == Bank_State::Current) {
        info.Info.push_back({lang[776], data.Bank_Sha256});
        info.Mono_Values.push_back(static_cast<int>(info.Info.size()) - 1);
    }
    model.push_back(std::move(info));
    if (data.Bank == Bank_State::Missing)
        model.push_back(Block(Report_Block::Kind::Note, lang[777]));
    else if (data.Bank == Bank_State::Older)
        model.push_back(Block(Report_Block::Kind::Note, lang[778]));
}

} // namespace

QImage Render_Report_Picture(const Report_Block& block, qreal scale) {
    QImage image(block.Size * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    block.Paint(painter, QRect(QPoint(0, 0), block.Size));
    return image;
}

Report_Model Build_Report_Model(const Report_Data& data, const Lang_Table& lang) {
    Report_Model model;
    Add_Header(model, data, lang);
    Add_Communication(model, data, lang);
    Add_Requests(model, data, lang);
    Add_Map(model, data, lang);
    Add_DMX(model, data, lang);
    Add_Image(model, data, lang);
    return model;
}

QString Report_Footer(const Report_Data& data, const Lang_Table& lang) {
    return QStringLiteral("%1 - %2 - %3")
        .arg(lang[762], data.Name, data.Made.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}
