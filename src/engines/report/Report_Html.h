#pragma once

#include <QString>

#include "report/Report_Model.h"

// The report as one self-contained HTML page: its style inside, pictures as PNG data inside.
QString Report_Model_Html(const Report_Model& model, const QString& title);
