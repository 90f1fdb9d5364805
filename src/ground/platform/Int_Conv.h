#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// Integer conversion of texts as the program reads every number a user typed or a file holds:
// leading blanks (space characters) are skipped, then an optional "+" or "-" and one or more
// ASCII decimal digits, with nothing after them. Anything else does not convert.

// The value, or nothing when the text does not convert or lies outside the signed 32-bit range.
std::optional<std::int32_t> Parse_Int(const QString& text);
// The value, or nothing when the text does not convert or lies outside the signed 64-bit range.
std::optional<std::int64_t> Parse_Int64(const QString& text);

// The value, or the caller's default when the text does not convert.
std::int32_t To_Int(const QString& text, std::int32_t default_value);
std::int64_t To_Int64(const QString& text, std::int64_t default_value);
