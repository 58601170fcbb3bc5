#pragma once
// The degrees-minutes-seconds converter's rules, without widgets: each
// change of one of the four input fields either is accepted and gives the
// decimal degrees anew, or is refused and the field gets back its last
// valid text. The window holds the fields and applies the answers.
#include <QString>

#include <array>

namespace korvalen::info {

/// The four input fields, in their order on the window.
enum class DmsField { Degrees, Minutes, Seconds, Milliseconds };

/// A field's text as a whole number: empty counts as 0; otherwise an
/// optional sign and ASCII digits, nothing else (no blanks), within 32 bits.
/// Not a number: false, and @p value untouched.
bool ReadDmsField(const QString& text, int& value);

/// Decimal degrees in fixed notation with six decimals and the locale's
/// decimal separator (48.856667, or 48,856667 where the comma is the mark).
/// The value is rounded once, at the sixth decimal, or where it would
/// exceed ten significant digits when that comes first.
QString DecimalDegreesText(long double degrees, const QString& decimalSeparator);

class DmsConverter {
public:
    /// The fields' initial texts, "000", "00", "00" and "000", are their
    /// last valid texts.
    DmsConverter();

    /// Each field's bound: its value must be below it (there is no lower one).
    static int Bound(DmsField field);

    /// What the window does after a change.
    struct Answer {
        /// The text the field is to hold: the changed text when accepted,
        /// else the last valid text put back.
        QString fieldText;
        /// The result field's text: the four last valid texts converted.
        QString decimalText;
        bool accepted;
    };

    /// The text of @p field has changed to @p text. Accepted when it reads
    /// as a number below the field's bound; it then becomes the field's last
    /// valid text. Either way the result is computed from the four last
    /// valid texts, so the window need not count on a second change
    /// notification when it puts a text back.
    Answer Change(DmsField field, const QString& text, const QString& decimalSeparator);

    /// The last valid text of @p field.
    const QString& LastValid(DmsField field) const;

private:
    std::array<QString, 4> lastValid_;
};

}  // namespace korvalen::info
