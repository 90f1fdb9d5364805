#pragma once

#include <QIODevice>
#include <QString>
#include <functional>

#include "report/Report_Model.h"

// The report on A4 pages, portrait, drawn with QPainter on a QPdfWriter: blocks flow from page to
// page, a heading never stays alone at the foot of a page, a table row is never split and a
// table's title row is repeated on every page it runs over; the foot of every page carries the
// footer text and the page label (page, pages). Returns the number of pages.
int Write_Report_Pdf(QIODevice& device, const Report_Model& model, const QString& title,
                     const QString& footer,
                     const std::function<QString(int page, int pages)>& page_label);
