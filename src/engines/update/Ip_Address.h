#pragma once

#include <QString>
#include <array>

// A dotted device address split into the texts of the four address boxes.
struct Split_IP {
    // True when all four parts are integers from 0 to 255.
    bool ok = false;
    // The trimmed texts, as written: leading zeros stay.
    std::array<QString, 4> parts;
};

// Splits at the first three points; the fourth part takes the rest (further points included).
// A text with fewer than three points does not split.
Split_IP Split_IP_Text(const QString& text);
