#include "report/Report_Pdf.h"

#include "platform/Error.h"
#include "state/App_State.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <algorithm>
#include <numeric>

namespace {

const QColor Text_Colour(0x20, 0x20, 0x20);
const QColor Grey(0x60, 0x60, 0x60);
const QColor Dim_Grey(0x90, 0x90, 0x90);
const QColor Zero_Grey(0xA0, 0xA0, 0xA0);
const QColor Rule_Colour(0xA0, 0xA0, 0xA0);
const QColor Title_Row(0xEB, 0xE9, 0xDC);
const QColor Note_Colour(0xA0, 0x30, 0x00);

QFont Report_Font(qreal points, bool bold = false, bool italic = false) {
    QFont font;
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QFont Mono_Font(qreal points) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Courier New")});
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(points);
    return font;
}

// A text laid out in lines of at most width, broken between words where it can.
class Wrapped_Text {
public:
    Wrapped_Text(const QString& text, const QFont& font, QPaintDevice* device, qreal width,
                 Qt::Alignment alignment = Qt::AlignLeft)
        : layout_(text, font, device) {
        QTextOption option(alignment);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout_.setTextOption(option);
        layout_.beginLayout();
        for (;;) {
            QTextLine line = layout_.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(width);
            line.setPosition(QPointF(0, height_));
            height_ += line.height();
        }
        layout_.endLayout();
    }
    qreal Height() const { return height_; }
    void Draw(QPainter& painter, const QPointF& at) const { layout_.draw(&painter, at); }

private:
    QTextLayout layout_;
    qreal height_ = 0;
};

class Pdf_Pages {
public:
    Pdf_Pages(QPdfWriter& writer, const QString& footer,
              const std::function<QString(int, int)>& page_label)
        : writer_(writer)
        , footer_(footer)
        , page_label_(page_label)
        , dpi_(writer.resolution()) {
        page_ = writer.pageLayout().paintRectPixels(writer.resolution());
        page_.moveTo(0, 0);
        const QFontMetricsF foot(Footer_Font(), &writer_);
        bottom_ = page_.height() - foot.height() * 2.2;
        pad_ = Pt(1.6);
    }

    // Lays the blocks out, drawing them when painter is set; the number of pages.
    int Run(const Report_Model& model, QPainter* painter, int pages) {
        painter_ = painter;
        pages_ = pages;
        page_index_ = 0;
        y_ = 0;
        for (std::size_t i = 0; i < model.size(); ++i) {
            const Report_Block& block = model[i];
            switch (block.Type) {
            case Report_Block::Kind::Title:
                Paragraph(block.Text, Report_Font(18, true), Text_Colour, 0);
                break;
            case Report_Block::Kind::Subtitle:
                Paragraph(block.Text, Report_Font(10), Grey, Mm(4));
                break;
            case Report_Block::Kind::Heading:
                Heading(block, i + 1 < model.size() ? &model[i + 1] : nullptr);
                break;
            case Report_Block::Kind::Subheading:
                Subheading(block, i + 1 < model.size() ? &model[i + 1] : nullptr);
                break;
            case Report_Block::Kind::Text:
                Paragraph(block.Text, Report_Font(9), Text_Colour, Mm(1.5));
                break;
            case Report_Block::Kind::Note:
                Paragraph(block.Text, Report_Font(9), Note_Colour, Mm(1.5));
                break;
            case Report_Block::Kind::Info:
                Info(block);
                break;
            case Report_Block::Kind::Grid:
                Grid(block);
                break;
            case Report_Block::Kind::Picture:
                Picture(block);
                break;
            }
        }
        Finish_Page();
        return page_index_ + 1;
    }

private:
    qreal Mm(qreal mm) const { return mm * dpi_ / 25.4; }
    qreal Pt(qreal pt) const { return pt * dpi_ / 72.0; }
    static QFont Footer_Font() { return Report_Font(7); }

    void Finish_Page() {
        if (!painter_)
            return;
        const QFont font = Footer_Font();
        const QFontMetricsF metrics(font, &writer_);
        const QRectF foot(0, page_.height() - metrics.height(), page_.width(), metrics.height());
        painter_->setFont(font);
        painter_->setPen(QPen(Rule_Colour, Pt(0.5)));
        painter_->drawLine(QPointF(0, foot.top() - metrics.height() * 0.5),
                           QPointF(page_.width(), foot.top() - metrics.height() * 0.5));
        painter_->setPen(Grey);
        const QString label = page_label_(page_index_ + 1, pages_);
        const qreal label_width = metrics.horizontalAdvance(label);
        painter_->drawText(
            QRectF(foot.left(), foot.top(), foot.width() - label_width - Mm(5), foot.height()),
            Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
            metrics.elidedText(footer_, Qt::ElideRight, foot.width() - label_width - Mm(5)));
        painter_->drawText(foot, Qt::AlignRight | Qt::AlignVCenter, label);
    }

    void New_Page() {
        Finish_Page();
        if (painter_)
            writer_.newPage();
        ++page_index_;
        y_ = 0;
    }

    // Room for height below the current place, else a new page (unless the page is empty).
    void Need(qreal height) {
        if (y_ > 0 && y_ + height > bottom_)
            New_Page();
    }

    void Paragraph(const QString& text, const QFont& font, const QColor& colour, qreal after) {
        const Wrapped_Text lines(text, font, &writer_, page_.width());
        Need(lines.Height());
        if (painter_) {
            painter_->setPen(colour);
            lines.Draw(*painter_, QPointF(0, y_));
        }
        y_ += lines.Height() + after;
    }

    qreal Heading_Height() const {
        return QFontMetricsF(Report_Font(12, true), &writer_).height() + Mm(2.5);
    }

    void Heading(const Report_Block& block, const Report_Block* next) {
        if (y_ > 0)
            y_ += Mm(6);
        // A heading goes with the start of what follows it.
        Need(Heading_Height() + (next ? First_Height(*next) : 0));
        const QFont font = Report_Font(12, true);
        const QFontMetricsF metrics(font, &writer_);
        if (painter_) {
            painter_->setFont(font);
            painter_->setPen(QColor(0x40, 0x40, 0x40));
            painter_->drawText(QPointF(0, y_ + metrics.ascent()), block.Text);
            painter_->setPen(QPen(Rule_Colour, Pt(0.5)));
            const qreal rule = y_ + metrics.height() + Mm(0.8);
            painter_->drawLine(QPointF(0, rule), QPointF(page_.width(), rule));
        }
        y_ += Heading_Height();
    }

    void Subheading(const Report_Block& block, const Report_Block* next) {
        const QFont font = Report_Font(9.5, true);
        const qreal height = QFontMetricsF(font, &writer_).height() + Mm(1);
        if (y_ > 0)
            y_ += Mm(2.5);
        Need(height + (next ? First_Height(*next) : 0));
        if (painter_) {
            painter_->setPen(QColor(0x40, 0x40, 0x40));
            Wrapped_Text(block.Text, font, &writer_, page_.width()).Draw(*painter_, QPointF(0, y_));
        }
        y_ += height;
    }

    // The height of the first piece of a block that must not be parted from its heading.
    qreal First_Height(const Report_Block& block) {
        const qreal line = QFontMetricsF(Report_Font(9), &writer_).height();
        switch (block.Type) {
        case Report_Block::Kind::Grid: {
            const std::vector<qreal> widths = Column_Widths(block);
            qreal height = Title_Row_Height(block, widths);
            if (!block.Rows.empty())
                height += Row_Height(block, block.Rows.front(), widths);
            return height;
        }
        case Report_Block::Kind::Picture:
            return Picture_Size(block).height();
        default:
            return line * 2;
        }
    }

    void Info(const Report_Block& block) {
        const QFont font = Report_Font(9);
        const QFontMetricsF metrics(font, &writer_);
        qreal label_width = 0;
        for (const auto& entry : block.Info)
            label_width = std::max(label_width, metrics.horizontalAdvance(entry.first));
        label_width = std::min(label_width + Mm(5), page_.width() / 2);
        for (int i = 0; i < static_cast<int>(block.Info.size()); ++i) {
            const auto& [label, value] = block.Info[static_cast<std::size_t>(i)];
            const bool mono = std::find(block.Mono_Values.begin(), block.Mono_Values.end(), i) !=
                              block.Mono_Values.end();
            const Wrapped_Text label_text(label, font, &writer_, label_width - Mm(4));
            const Wrapped_Text value_text(value, mono ? Mono_Font(8.5) : font, &writer_,
                                          page_.width() - label_width);
            const qreal height = std::max(label_text.Height(), value_text.Height()) + Mm(0.6);
            Need(height);
            if (painter_) {
                painter_->setPen(Grey);
                label_text.Draw(*painter_, QPointF(0, y_));
                painter_->setPen(Text_Colour);
                value_text.Draw(*painter_, QPointF(label_width, y_));
            }
            y_ += height;
        }
        y_ += Mm(1);
    }

    // Column widths: each column as wide as its widest text; a grid across the page gives the
    // spare width to its wrapping column; a grid too wide first lets its titles wrap, then its
    // wrapping column, then narrows every column alike.
    std::vector<qreal> Column_Widths(const Report_Block& block) const {
        const QFontMetricsF cell(Grid_Font(block), &writer_);
        const QFontMetricsF title(Title_Font(block), &writer_);
        const std::size_t count = block.Columns.size();
        std::vector<qreal> cells(count, 0), titles(count, 0), words(count, 0);
        for (std::size_t c = 0; c < count; ++c) {
            const QString& text = block.Columns[c].Title;
            titles[c] = title.horizontalAdvance(text);
            for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                words[c] = std::max(words[c], title.horizontalAdvance(word));
        }
        for (const Report_Row& row : block.Rows)
            for (std::size_t c = 0; c < count && c < static_cast<std::size_t>(row.Cells.size());
                 ++c)
                cells[c] = std::max(cells[c], cell.horizontalAdvance(row.Cells[int(c)]));
        const qreal pad = 2 * pad_;
        std::vector<qreal> widths(count);
        for (std::size_t c = 0; c < count; ++c)
            widths[c] = std::max(cells[c], titles[c]) + pad;
        const qreal room = page_.width();
        const auto total = [&widths] { return std::accumulate(widths.begin(), widths.end(), 0.0); };
        const auto wrap = std::find_if(block.Columns.begin(), block.Columns.end(),
                                       [](const Report_Column& c) { return c.Wrap; });
        const std::size_t wrap_column = static_cast<std::size_t>(wrap - block.Columns.begin());

        const auto squeeze_wrap_column = [&](qreal least) {
            if (total() > room && wrap_column < count) {
                const qreal others = total() - widths[wrap_column];
                widths[wrap_column] = std::max(room - others, std::min(widths[wrap_column], least));
            }
        };
        // First the wrapping column, down to a width that still reads well; then the titles,
        // broken between their words; then the wrapping column again, to its least.
        squeeze_wrap_column(Mm(30));
        if (total() > room)
            for (std::size_t c = 0; c < count; ++c)
                if (c != wrap_column)
                    widths[c] = std::max(cells[c], words[c]) + pad + 1;
        squeeze_wrap_column(Mm(12));
        if (total() > room) {
            const qreal scale = room / total();
            for (qreal& width : widths)
                width *= scale;
        }
        if (block.Full_Width && total() < room) {
            if (wrap_column < count) {
                widths[wrap_column] += room - total();
            } else {
                const qreal scale = room / total();
                for (qreal& width : widths)
                    width *= scale;
            }
        }
        return widths;
    }

    static QFont Grid_Font(const Report_Block& block) {
        return Report_Font(block.Full_Width ? 7 : 7.5);
    }
    static QFont Title_Font(const Report_Block& block) {
        return Report_Font(block.Full_Width ? 7 : 7.5, true);
    }

    qreal Title_Row_Height(const Report_Block& block, const std::vector<qreal>& widths) const {
        qreal height = QFontMetricsF(Title_Font(block), &writer_).height();
        for (std::size_t c = 0; c < block.Columns.size(); ++c)
            height = std::max(height, Wrapped_Text(block.Columns[c].Title, Title_Font(block),
                                                   &writer_, widths[c] - 2 * pad_)
                                          .Height());
        return height + 2 * pad_;
    }

    // Whether a cell needs more than one line.
    bool Wraps(const Report_Block& block, const Report_Row& row, std::size_t c,
               const std::vector<qreal>& widths, const QFontMetricsF& metrics) const {
        return block.Columns[c].Wrap &&
               metrics.horizontalAdvance(row.Cells[int(c)]) > widths[c] - 2 * pad_;
    }

    qreal Row_Height(const Report_Block& block, const Report_Row& row,
                     const std::vector<qreal>& widths) const {
        const QFont font = Grid_Font(block);
        const QFontMetricsF metrics(font, &writer_);
        qreal height = metrics.height();
        for (std::size_t c = 0; c < block.Columns.size() && c < std::size_t(row.Cells.size()); ++c)
            if (Wraps(block, row, c, widths, metrics))
                height = std::max(
                    height,
                    Wrapped_Text(row.Cells[int(c)], font, &writer_, widths[c] - 2 * pad_).Height());
        return height + 2 * pad_;
    }

    void Draw_Title_Row(const Report_Block& block, const std::vector<qreal>& widths, qreal height) {
        if (!painter_)
            return;
        const qreal width = std::accumulate(widths.begin(), widths.end(), 0.0);
        painter_->fillRect(QRectF(0, y_, width, height), Title_Row);
        painter_->setPen(Text_Colour);
        qreal x = 0;
        for (std::size_t c = 0; c < block.Columns.size(); ++c) {
            const Wrapped_Text title(block.Columns[c].Title, Title_Font(block), &writer_,
                                     widths[c] - 2 * pad_, Qt::AlignHCenter);
            title.Draw(*painter_, QPointF(x + pad_, y_ + (height - title.Height()) / 2));
            x += widths[c];
        }
        painter_->setPen(QPen(Rule_Colour, Pt(0.5)));
        painter_->drawLine(QPointF(0, y_), QPointF(width, y_));
        painter_->drawLine(QPointF(0, y_ + height), QPointF(width, y_ + height));
    }

    void Draw_Column_Rules(const std::vector<qreal>& widths, qreal top) {
        if (!painter_)
            return;
        painter_->setPen(QPen(Rule_Colour, Pt(0.5)));
        qreal x = 0;
        painter_->drawLine(QPointF(x, top), QPointF(x, y_));
        for (const qreal width : widths) {
            x += width;
            painter_->drawLine(QPointF(x, top), QPointF(x, y_));
        }
    }

    void Grid(const Report_Block& block) {
        const std::vector<qreal> widths = Column_Widths(block);
        const qreal table_width = std::accumulate(widths.begin(), widths.end(), 0.0);
        const qreal title_height = Title_Row_Height(block, widths);
        const QFont font = Grid_Font(block);
        const QFont italic = Report_Font(font.pointSizeF(), false, true);
        const QFont bold = Report_Font(font.pointSizeF(), true);
        const QFontMetricsF metrics(font, &writer_);

        Need(title_height +
             (block.Rows.empty() ? 0 : Row_Height(block, block.Rows.front(), widths)));
        qreal top = y_;
        Draw_Title_Row(block, widths, title_height);
        y_ += title_height;
        for (const Report_Row& row : block.Rows) {
            const qreal height = Row_Height(block, row, widths);
            if (y_ + height > bottom_) {
                Draw_Column_Rules(widths, top);
                New_Page();
                top = y_;
                Draw_Title_Row(block, widths, title_height);
                y_ += title_height;
            }
            if (painter_) {
                qreal x = 0;
                for (std::size_t c = 0;
                     c < block.Columns.size() && c < std::size_t(row.Cells.size()); ++c) {
                    const QString& text = row.Cells[int(c)];
                    const bool row_header = c == 0 && block.Row_Headers;
                    if (row_header)
                        painter_->fillRect(QRectF(x, y_, widths[c], height), Title_Row);
                    QColor colour = Text_Colour;
                    if (row.Dim)
                        colour = Dim_Grey;
                    else if (row.Alert)
                        colour = Note_Colour;
                    else if (block.Dim_Zeros && !row_header && text == QLatin1String("0"))
                        colour = Zero_Grey;
                    painter_->setPen(colour);
                    const QFont& cell_font =
                        row_header ? bold : (int(c) == row.Italic_Column ? italic : font);
                    painter_->setFont(cell_font);
                    if (Wraps(block, row, c, widths, metrics)) {
                        Wrapped_Text(text, cell_font, &writer_, widths[c] - 2 * pad_)
                            .Draw(*painter_, QPointF(x + pad_, y_ + pad_));
                    } else {
                        const qreal baseline = y_ + pad_ + metrics.ascent();
                        const qreal left =
                            block.Columns[c].Numeric
                                ? x + widths[c] - pad_ -
                                      QFontMetricsF(cell_font, &writer_).horizontalAdvance(text)
                                : x + pad_;
                        painter_->drawText(QPointF(left, baseline), text);
                    }
                    x += widths[c];
                }
                painter_->setPen(QPen(Rule_Colour, Pt(0.5)));
                painter_->drawLine(QPointF(0, y_ + height), QPointF(table_width, y_ + height));
            }
            y_ += height;
        }
        Draw_Column_Rules(widths, top);
        y_ += Mm(1.5);
    }

    // A picture keeps its size on a screen (96 pixels to the inch) as far as the page allows.
    QSizeF Picture_Size(const Report_Block& block) const {
        if (block.Size.isEmpty())
            return {};
        QSizeF size(block.Size.width() * dpi_ / 96.0, block.Size.height() * dpi_ / 96.0);
        if (size.width() > page_.width())
            size *= page_.width() / size.width();
        if (size.height() > bottom_)
            size *= bottom_ / size.height();
        return size;
    }

    void Picture(const Report_Block& block) {
        if (!block.Paint || block.Size.isEmpty())
            return;
        const QSizeF size = Picture_Size(block);
        Need(size.height());
        if (painter_) {
            // Drawn at the page's resolution, so that its texts and lines keep their proportions.
            const QImage image = Render_Report_Picture(block, size.width() / block.Size.width());
            painter_->drawImage(QRectF(QPointF(0, y_), size), image);
        }
        y_ += size.height() + Mm(2);
    }

    QPdfWriter& writer_;
    QString footer_;
    std::function<QString(int, int)> page_label_;
    int dpi_;
    QRectF page_;
    qreal bottom_ = 0;
    qreal pad_ = 0;

    QPainter* painter_ = nullptr;
    int pages_ = 0;
    int page_index_ = 0;
    qreal y_ = 0;
};

} // namespace

int Write_Report_Pdf(QIODevice& device, const Report_Model& model, const QString& title,
                     const QString& footer,
                     const std::function<QString(int page, int pages)>& page_label) {
    QPdfWriter writer(&device);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Portrait);
    writer.setPageMargins(QMarginsF(15, 15, 15, 12), QPageLayout::Millimeter);
    writer.setResolution(300);
    writer.setTitle(title);
    writer.setCreator(
        QStringLiteral("%1 %2").arg(QLatin1String(SW_Code_Text), QLatin1String(Software_Version)));

    Pdf_Pages pages(writer, footer, page_label);
    const int count = pages.Run(model, nullptr, 0);
    QPainter painter;
    if (!painter.begin(&writer))
        throw Tessaro_Error(QStringLiteral("the PDF writer cannot start"));
    pages.Run(model, &painter, count);
    painter.end();
    return count;
}
