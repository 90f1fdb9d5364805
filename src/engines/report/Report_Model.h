#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "report/Report_Data.h"

class Lang_Table;

// The report as a list of blocks in the order they are read, with every text already in the
// report's language. One model, two renderers: HTML and the paginated PDF.

// A column of a grid table.
struct Report_Column {
    QString Title;
    bool Numeric = false; // right-aligned
    bool Wrap = false;    // the column that takes the spare width and wraps long texts
};

struct Report_Row {
    QStringList Cells;
    bool Dim = false;       // a row that does not reach the device: grey
    bool Alert = false;     // a row that tells of an error: red
    int Italic_Column = -1; // a cell shown in italics (the "disabled" mark)
};

struct Report_Block {
    enum class Kind {
        Title,      // the report's title
        Subtitle,   // the line below it
        Heading,    // a section's heading
        Subheading, // a part of a section
        Info,       // labels and their values
        Grid,       // a table with a title row that repeats on every page
        Text,       // a plain paragraph
        Note,       // a remark that stands out
        Picture,    // a drawing
    };
    Kind Type = Kind::Note;
    QString Text;

    // Info: label and value; values in Mono_Values are shown in a fixed-width font.
    std::vector<std::pair<QString, QString>> Info;
    std::vector<int> Mono_Values;

    // Grid.
    std::vector<Report_Column> Columns;
    std::vector<Report_Row> Rows;
    bool Full_Width = false;  // the grid spans the page
    bool Row_Headers = false; // the first column titles its row
    bool Dim_Zeros = false;   // cells holding "0" in grey
    QString Css_Class;        // for the HTML

    // Picture: drawn by Paint into a rectangle of Size, in pixels of a screen (96 to the inch);
    // Text (above) is its text form, for readers that show no pictures.
    std::function<void(QPainter&, const QRect&)> Paint;
    QSize Size;
};

using Report_Model = std::vector<Report_Block>;

// The blocks of a report in the language of lang.
Report_Model Build_Report_Model(const Report_Data& data, const Lang_Table& lang);

// A picture block drawn into an image scale times its size (with that device pixel ratio, so
// that it draws in its own size).
QImage Render_Report_Picture(const Report_Block& block, qreal scale);

// The line at the foot of every page (without the page number).
QString Report_Footer(const Report_Data& data, const Lang_Table& lang);
