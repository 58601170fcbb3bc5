#include "viewer/clock_text.h"

namespace korvalen::viewer {

namespace {

bool IsOpening(QChar c) { return c == u'(' || c == u'['; }
bool Closes(QChar opening, QChar c) { return (opening == u'(' && c == u')') || (opening == u'[' && c == u']'); }

}  // namespace

QString TimeFormatWithoutZone(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format[i];
        // Quoted text is literal: a 't' there is a letter, not the zone.
        // A doubled quote toggles twice, so it needs no case of its own.
        if (c == u'\'') quoted = !quoted;
        if (quoted || c != u't') {
            out += c;
            ++i;
            continue;
        }
        while (i < format.size() && format[i] == u't') ++i;
        // "(t)" as in Spanish: the brackets go with the zone.
        if (!out.isEmpty() && IsOpening(out.back()) && i < format.size() && Closes(out.back(), format[i])) {
            out.chop(1);
            ++i;
        }
        QString spaceBefore;
        while (!out.isEmpty() && out.back().isSpace()) {
            spaceBefore.prepend(out.back());
            out.chop(1);
        }
        QString spaceAfter;
        while (i < format.size() && format[i].isSpace()) spaceAfter += format[i++];
        // The zone between two fields ("h:mm t AP") leaves one separator.
        if (!out.isEmpty() && i < format.size()) out += spaceBefore.isEmpty() ? spaceAfter : spaceBefore;
    }
    return out.trimmed();
}

ClockTexts MakeClockTexts(const QDateTime& now, bool utc, const QLocale& locale) {
    const QDateTime shown = utc ? now.toUTC() : now;
    ClockTexts texts;
    texts.date = QStringLiteral(" ") + locale.toString(shown.date(), QLocale::ShortFormat);
    texts.time = QStringLiteral(" ") + locale.toString(shown.time(), TimeFormatWithoutZone(locale));
    if (utc) texts.time += QStringLiteral(" Z");
    return texts;
}

QColor ClockColour(bool utc) { return utc ? QColor(255, 0, 0) : QColor(0, 0, 0); }

}  // namespace korvalen::viewer
