#include "rotator/rotator_address.h"

#include <QHostAddress>

#include <algorithm>
#include <cmath>

namespace korvalen::rotator {
namespace {

// The texts come from the language tables as QStrings; the error carries
// them in UTF-8, as every error does.
Error Refused(const QString& reason) { return Error{reason.toStdString()}; }

bool IsHexDigit(QChar c) {
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

// What host names and interface names are made of.
bool IsNameCharacter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '.' || u == '-' ||
           u == '_';
}

bool IsIpv6(const QString& text) {
    // Hex digits, colons and dots, then perhaps "%" and an interface name,
    // checked first: the conversion alone stops at a NUL and takes what
    // came before it.
    const qsizetype percent = text.indexOf(u'%');
    const auto scope = percent < 0 ? text.end() : text.begin() + percent + 1;
    if (!std::all_of(text.begin(), percent < 0 ? text.end() : scope - 1,
                     [](QChar c) { return IsHexDigit(c) || c == u':' || c == u'.'; }) ||
        (percent >= 0 && (scope == text.end() || !std::all_of(scope, text.end(), IsNameCharacter))))
        return false;
    QHostAddress address;
    return address.setAddress(text) && address.protocol() == QAbstractSocket::IPv6Protocol;
}

// A host name or an IPv4 literal. Names are checked here, where the operator
// can still correct them, rather than failing later as a lookup nobody sees.
Expected<void> CheckHostName(const QString& host, TextLanguage language) {
    const languages::RotatorTable& t = languages::kRotator;
    if (host.isEmpty()) return Refused(RotatorText(t.hostMissing, language));
    // The longest name DNS carries.
    if (host.size() > 253) return Refused(RotatorText(t.hostTooLong, language));
    bool numeric = true;
    for (const QChar c : host) {
        if (!IsNameCharacter(c)) return Refused(RotatorText(t.hostCharacter, language).arg(c));
        if (!c.isDigit() && c != u'.') numeric = false;
    }
    // Digits and dots only would otherwise go to the name lookup, which takes
    // "300.1.1.1" for a name.
    QHostAddress address;
    if (numeric && !(address.setAddress(host) && address.protocol() == QAbstractSocket::IPv4Protocol))
        return Refused(RotatorText(t.notIpv4, language).arg(host));
    return {};
}

// The digits after the colon; 0 when they are not a usable port.
quint16 PortNumber(const QString& digits) {
    if (digits.isEmpty() || digits.size() > 5) return 0;
    unsigned value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9') return 0;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value <= 65535 ? static_cast<quint16>(value) : 0;
}

}  // namespace

QString RotatorText(const languages::Row& row, TextLanguage language) {
    return languages::Text(row, language ? language->LanguageCode : QString());
}

Expected<std::optional<RotatorAddress>> ParseRotatorAddress(const QString& text, std::optional<quint16> defaultPort,
                                                            TextLanguage language) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::optional<RotatorAddress>();
    const languages::RotatorTable& words = languages::kRotator;
    const auto refused = [&](const languages::Row& row) { return Refused(RotatorText(row, language)); };

    QString host;
    std::optional<QString> port;  // the text after the separating colon
    if (t.startsWith(u'[')) {
        const qsizetype close = t.indexOf(u']');
        if (close < 0) return refused(words.bracketMissing);
        host = t.mid(1, close - 1);
        const QString rest = t.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(u':')) return refused(words.portAfterBracket);
            port = rest.mid(1);
        }
        if (!IsIpv6(host)) return Refused(RotatorText(words.notIpv6, language).arg(host));
    } else if (t.count(u':') > 1) {
        // "::1:4533" could be read two ways; only an address alone is clear.
        if (!defaultPort || !IsIpv6(t))
            return refused(words.ipv6InBrackets);
        host = t;
    } else {
        const qsizetype colon = t.indexOf(u':');
        host = colon < 0 ? t : t.left(colon);
        if (colon >= 0) port = t.mid(colon + 1);
        if (const Expected<void> checked = CheckHostName(host, language); !checked) return checked.error();
    }

    RotatorAddress address{host, 0};
    if (!port) {
        if (!defaultPort) return refused(words.portMissing);
        address.port = *defaultPort;
    } else {
        address.port = PortNumber(*port);
        if (address.port == 0) return refused(words.portRange);
    }
    return std::optional<RotatorAddress>(address);
}

QString AddressText(const RotatorAddress& address) {
    const QString host = address.host.contains(u':') ? u'[' + address.host + u']' : address.host;
    return host + u':' + QString::number(address.port);
}

std::optional<double> ParseBearing(const QString& published) {
    // Digits with at most one decimal point between digits: no sign, no
    // exponent, no "nan" or "inf", which a conversion alone would let in.
    const QString t = published.trimmed();
    qsizetype point = -1;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] == u'.' && point < 0 && i > 0 && i + 1 < t.size()) point = i;
        else if (t[i] < u'0' || t[i] > u'9') return std::nullopt;
    }
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 || value > 360) return std::nullopt;
    return value;
}

QString DegreesText(double degrees) {
    QString text = QString::number(degrees, 'f', 2);
    // "200.00" -> "200", "200.50" -> "200.5"
    while (text.endsWith(u'0')) text.chop(1);
    if (text.endsWith(u'.')) text.chop(1);
    if (text == QStringLiteral("-0")) text = QStringLiteral("0");
    return text;
}

QString ShownText(const QString& text) { return text.size() <= 20 ? text : text.left(20) + QChar(0x2026); }

}  // namespace korvalen::rotator
