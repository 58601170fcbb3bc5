#pragma once
// The two clock lines under the map: the date and the time, local or UTC.

#include <QColor>
#include <QDateTime>
#include <QLocale>
#include <QString>

namespace korvalen::viewer {

struct ClockTexts {
    QString date;  ///< " " + the locale's short date
    QString time;  ///< " " + the locale's long time without zone, " Z" after it in UTC
};

/// The clock's texts for @p now.
/// @param now  in local mode shown as given (its own date and time, whatever
///             its zone), so pass QDateTime::currentDateTime(); in UTC mode
///             converted with toUTC() first
/// @param utc  UTC mode: the time gets " Z" after it
ClockTexts MakeClockTexts(const QDateTime& now, bool utc, const QLocale& locale);

/// The locale's long time format with its time-zone field taken out, along
/// with the spaces or brackets around it: the clock names its zone itself
/// (" Z", or nothing for local time), but keeps the seconds that the short
/// format would drop.
QString TimeFormatWithoutZone(const QLocale& locale);

/// The clock's text colour: black for local time, red for UTC.
QColor ClockColour(bool utc);

}  // namespace korvalen::viewer
