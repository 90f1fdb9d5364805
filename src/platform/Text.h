#pragma once

#include <QString>

// Removes leading and trailing characters up to U+0020 (blanks and control characters) and
// nothing else: this is what "trimmed" means everywhere in the program and its files.
QString Trim_Text(const QString& text);
