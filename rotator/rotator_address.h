#pragma once
// What the directly driven rotators share: the "host:port" the operator
// types for each, the reading of a publication as a bearing, and the texts.
#include <QString>

#include <optional>

#include "base/expected.h"
#include "languages/languages.h"
#include "languages/tables.h"

namespace korvalen::rotator {

/// The language the rotators' texts follow: the program's language state;
/// null, or before any language is chosen, English.
using TextLanguage = const languages::LanguageState*;
/// @p row of languages::kRotator in @p language.
QString RotatorText(const languages::Row& row, TextLanguage language);

/// A rotator controller on the network. The host is a name or an IP
/// literal, an IPv6 one without its brackets.
struct RotatorAddress {
    QString host;
    quint16 port = 0;
    bool operator==(const RotatorAddress& o) const { return host == o.host && port == o.port; }
};

/// Reads "host:port": "rotor.lan:4533", "192.168.1.5:4533", "[::1]:4533".
/// Spaces around the text are ignored. Without @p defaultPort the port is
/// required; with it, a host alone ("pst.lan", "::1") takes that port.
/// @return the address; no address when the text is empty (that rotator is
///         off), which is no error; or the reason it was refused, in
///         @p language
Expected<std::optional<RotatorAddress>> ParseRotatorAddress(const QString& text,
                                                            std::optional<quint16> defaultPort = std::nullopt,
                                                            TextLanguage language = nullptr);

/// The address as the operator would type it, IPv6 hosts in brackets.
QString AddressText(const RotatorAddress& address);

/// A publication as a bearing: a finite decimal number from 0 to 360, with
/// a decimal point if any; anything else is nullopt.
std::optional<double> ParseBearing(const QString& published);

/// Degrees for a controller: whole degrees without decimals, others to a
/// hundredth, always with a decimal point whatever the locale.
QString DegreesText(double degrees);

/// A text of the operator's shown back in a status line: at most 20
/// characters, longer ones cut with an ellipsis.
QString ShownText(const QString& text);

}  // namespace korvalen::rotator
