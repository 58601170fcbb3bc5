#include "info/dms_converter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace korvalen::info {

namespace {

std::size_t Index(DmsField field) { return static_cast<std::size_t>(field); }

}  // namespace

bool ReadDmsField(const QString& text, int& value) {
    if (text.isEmpty()) {
        value = 0;
        return true;
    }
    qsizetype i = 0;
    const bool negative = text[0] == QLatin1Char('-');
    if (negative || text[0] == QLatin1Char('+')) ++i;
    if (i == text.size()) return false;  // a sign alone
    long long v = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') return false;
        v = v * 10 + (c - u'0');
        if (v > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return false;
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<int>::max()) return false;
    value = static_cast<int>(v);
    return true;
}

QString DecimalDegreesText(long double degrees, const QString& decimalSeparator) {
    // Six decimals, unless the whole part has more than four digits: then
    // ten significant digits leave fewer. The fields' bounds keep the
    // window's values within -99..180, where six decimals always apply.
    int decimals = 6;
    for (long double whole = 1e4L; decimals > 0 && std::fabs(degrees) >= whole; whole *= 10) --decimals;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*Lf", decimals, degrees);
    QString text = QString::fromLatin1(buffer);
    // A negative value that rounds to zero reads as zero.
    if (text.startsWith(QLatin1Char('-')) &&
        std::all_of(text.begin() + 1, text.end(), [](QChar c) { return c == QLatin1Char('0') || c == QLatin1Char('.'); }))
        text.remove(0, 1);
    if (decimals < 6) {
        if (decimals == 0) text += QLatin1Char('.');
        text += QString(6 - decimals, QLatin1Char('0'));
    }
    text.replace(QLatin1Char('.'), decimalSeparator);
    return text;
}

DmsConverter::DmsConverter()
    : lastValid_{QStringLiteral("000"), QStringLiteral("00"), QStringLiteral("00"), QStringLiteral("000")} {}

int DmsConverter::Bound(DmsField field) {
    switch (field) {
        case DmsField::Degrees: return 180;
        case DmsField::Minutes:
        case DmsField::Seconds: return 60;
        case DmsField::Milliseconds: break;
    }
    return 1000;
}

const QString& DmsConverter::LastValid(DmsField field) const { return lastValid_[Index(field)]; }

DmsConverter::Answer DmsConverter::Change(DmsField field, const QString& text, const QString& decimalSeparator) {
    int value = 0;
    const bool accepted = ReadDmsField(text, value) && value < Bound(field);
    if (accepted) lastValid_[Index(field)] = text;
    int v[4] = {};
    for (std::size_t f = 0; f < 4; ++f) ReadDmsField(lastValid_[f], v[f]);
    const long double x = static_cast<long double>(v[0]) + static_cast<long double>(v[1]) / 60 +
                          (static_cast<long double>(v[2]) + static_cast<long double>(v[3]) / 1000) / 3600;
    return {lastValid_[Index(field)], DecimalDegreesText(x, decimalSeparator), accepted};
}

}  // namespace korvalen::info
