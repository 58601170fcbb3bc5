#pragma once
// The degrees-minutes-seconds converter, opened from the DX editors: four
// fields in, decimal degrees out, recomputed at every change. Its rules are
// DmsConverter's; the window holds the fields and applies the answers. It
// exists, hidden, from the start, keeps its fields between showings and
// applies the current language each time it is shown.
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "info/dms_converter.h"
#include "languages/languages.h"

namespace korvalen::info {

class TFormConv : public QWidget {
    Q_OBJECT
public:
    /// @param language the program's language state (its code is read at
    ///        each showing); it must outlive the window.
    explicit TFormConv(const languages::LanguageState& language);

    QLabel* const LabelConv;
    QLabel* const LabelDegMinSec;
    QLineEdit* const EditDeg;
    QLineEdit* const EditMin;
    QLineEdit* const EditSec;
    QLineEdit* const EditMil;
    QLabel* const Label2;
    QLabel* const Label1;
    QLineEdit* const EditDec;

    /// The caption and labels of the current language; nothing before any
    /// language. Runs each time the window is shown.
    void ApplyConverterLanguage();

    void EditDegChange() { FieldChange(DmsField::Degrees, EditDeg); }
    void EditMinChange() { FieldChange(DmsField::Minutes, EditMin); }
    void EditSecChange() { FieldChange(DmsField::Seconds, EditSec); }
    void EditMilChange() { FieldChange(DmsField::Milliseconds, EditMil); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FieldChange(DmsField field, QLineEdit* edit);

    const languages::LanguageState& language_;
    DmsConverter converter_;
};

}  // namespace korvalen::info
