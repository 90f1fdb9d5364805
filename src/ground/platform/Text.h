#pragma once

#include <QString>

// Removes leading and trailing characters up to U+0020 (blanks and control characters) and
// nothing else: this is what "trimmed" means everywhere in the program and its files.
QString Trim_Text(const QString& text);

// Upper case of the ASCII letters only, as the device compares its type and flag texts.
QString Ascii_Upper(const QString& text);
