#include "info/release.h"

#include <QList>
#include <QStringView>

#include <string_view>

#include "geo/cp1252.h"

namespace korvalen::info {

namespace {

// The first character's value as a one-character decimal number; false for
// anything but 0-9 (other scripts' digits included).
bool DigitValue(const QString& text, int& value) {
    const QChar c = text.front();
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    value = c.unicode() - '0';
    return true;
}

// What follows the first ".", or nothing when there is none.
bool AfterFirstDot(QString& text) {
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot < 0) return false;
    text.remove(0, dot + 1);
    return true;
}

constexpr int kHeaderLength = 3;

}  // namespace

int VersionNumber(const QString& text) {
    // Hundreds, tens, units in turn; a part that is empty or starts with
    // "." adds nothing, a non-digit stops the whole count.
    if (text.isEmpty()) return 0;
    QString rest = text;
    int number = 0;
    int digit = 0;
    if (!rest.startsWith(QLatin1Char('.'))) {
        if (!DigitValue(rest, digit)) return number;
        number += 100 * digit;
    }
    if (!AfterFirstDot(rest) || rest.isEmpty()) return number;
    if (!rest.startsWith(QLatin1Char('.'))) {
        if (!DigitValue(rest, digit)) return number;
        number += 10 * digit;
    }
    if (!AfterFirstDot(rest) || rest.isEmpty() || rest.startsWith(QLatin1Char('.'))) return number;
    if (!DigitValue(rest, digit)) return number;
    return number + digit;
}

QString PublishedVersion(const QByteArray& fileBytes, const QString& key) {
    if (fileBytes.size() < kHeaderLength) return {};
    if (fileBytes.left(kHeaderLength).contains('<')) return {};
    // Windows-1252 is single-byte: CR, LF and "=" keep their places. Every
    // line end becomes LF, a CR LF pair one line end.
    QString text = QString::fromStdString(
        korvalen::text::Cp1252ToUtf8(std::string_view(fileBytes.constData(), static_cast<size_t>(fileBytes.size()))));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QStringView line : QStringView(text).split(u'\n')) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0 && line.left(eq) == key) return line.mid(eq + 1).toString();
    }
    return {};
}

Reply ReplyTo(const QString& published, const QString& ownVersion, Asker asker) {
    if (!published.isEmpty() && VersionNumber(published) > VersionNumber(ownVersion)) return Reply::NewerRelease;
    if (asker == Asker::AtStart) return Reply::None;
    return published.isEmpty() ? Reply::InternetFailure : Reply::UpToDate;
}

}  // namespace korvalen::info
