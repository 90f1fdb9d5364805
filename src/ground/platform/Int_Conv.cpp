#include "platform/Int_Conv.h"

#include <limits>

namespace {

// Reads the digits into a magnitude bounded by limit; nothing on any syntax error or overflow.
std::optional<std::int64_t> parse_bounded(const QString& text, std::uint64_t max_positive,
                                          std::uint64_t max_negative_magnitude) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i >= n)
        return std::nullopt;
    const std::uint64_t limit = negative ? max_negative_magnitude : max_positive;
    std::uint64_t magnitude = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const std::uint64_t digit = c - u'0';
        if (magnitude > (limit - digit) / 10)
            return std::nullopt;
        magnitude = magnitude * 10 + digit;
    }
    if (!negative)
        return static_cast<std::int64_t>(magnitude);
    if (magnitude == static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1)
        return std::numeric_limits<std::int64_t>::min();
    return -static_cast<std::int64_t>(magnitude);
}

} // namespace

std::optional<std::int32_t> Parse_Int(const QString& text) {
    const auto v =
        parse_bounded(text, std::numeric_limits<std::int32_t>::max(), std::uint64_t{1} << 31);
    if (!v)
        return std::nullopt;
    return static_cast<std::int32_t>(*v);
}

std::optional<std::int64_t> Parse_Int64(const QString& text) {
    return parse_bounded(text, std::numeric_limits<std::int64_t>::max(), std::uint64_t{1} << 63);
}

std::int32_t To_Int(const QString& text, std::int32_t default_value) {
    return Parse_Int(text).value_or(default_value);
}

std::int64_t To_Int64(const QString& text, std::int64_t default_value) {
    return Parse_Int64(text).value_or(default_value);
}
