#include "info/form_conv.h"

#include <QGridLayout>
#include <QShowEvent>

#include "languages/tables.h"
#include "widgets/locale.h"
#include "widgets/named.h"

namespace korvalen::info {

namespace {

using widgets::Named;

QLineEdit* NewField(const char* name, const char* text, int maxLength) {
    auto* edit = Named(new QLineEdit(QString::fromLatin1(text)), name);
    edit->setMaxLength(maxLength);
    // Room for the longest text, digits being the widest characters.
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QString(maxLength + 1, QLatin1Char('0'))) + 12);
    return edit;
}

}  // namespace

TFormConv::TFormConv(const languages::LanguageState& language)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      LabelConv(Named(new QLabel(languages::Before(languages::kConverter.LabelConv)), "LabelConv")),
      LabelDegMinSec(Named(new QLabel(languages::Before(languages::kConverter.LabelDegMinSec)), "LabelDegMinSec")),
      EditDeg(NewField("EditDeg", "000", 3)),
      EditMin(NewField("EditMin", "00", 2)),
      EditSec(NewField("EditSec", "00", 2)),
      EditMil(NewField("EditMil", "000", 3)),
      Label2(Named(new QLabel(QStringLiteral("=")), "Label2")),
      Label1(Named(new QLabel(languages::Before(languages::kConverter.Label1)), "Label1")),
      EditDec(NewField("EditDec", "0", 10)),
      language_(language) {
    setObjectName(QStringLiteral("TFormConv"));
    setWindowTitle(languages::Before(languages::kConverter.caption));
    EditDec->setReadOnly(true);
    for (QLabel* label : {LabelConv, LabelDegMinSec, Label1, Label2}) label->setTextFormat(Qt::PlainText);
    QFont font = LabelConv->font();
    font.setBold(true);
    font.setItalic(true);
    LabelConv->setFont(font);
    QPalette palette = LabelConv->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    LabelConv->setPalette(palette);

    auto* layout = new QGridLayout(this);
    layout->addWidget(LabelConv, 0, 0, 1, 6);
    layout->addWidget(LabelDegMinSec, 1, 0, 1, 4);
    layout->addWidget(Label1, 1, 5);
    layout->addWidget(EditDeg, 2, 0);
    layout->addWidget(EditMin, 2, 1);
    layout->addWidget(EditSec, 2, 2);
    layout->addWidget(EditMil, 2, 3);
    layout->addWidget(Label2, 2, 4);
    layout->addWidget(EditDec, 2, 5);
    layout->setColumnStretch(6, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // After the initial texts: before the first change the result is "0".
    connect(EditDeg, &QLineEdit::textChanged, this, &TFormConv::EditDegChange);
    connect(EditMin, &QLineEdit::textChanged, this, &TFormConv::EditMinChange);
    connect(EditSec, &QLineEdit::textChanged, this, &TFormConv::EditSecChange);
    connect(EditMil, &QLineEdit::textChanged, this, &TFormConv::EditMilChange);
}

void TFormConv::ApplyConverterLanguage() {
    const QString& code = language_.LanguageCode;
    if (!languages::HasBlock(code)) return;
    setWindowTitle(languages::Text(languages::kConverter.caption, code));
    LabelDegMinSec->setText(languages::Text(languages::kConverter.LabelDegMinSec, code));
    Label1->setText(languages::Text(languages::kConverter.Label1, code));
    LabelConv->setText(languages::Text(languages::kConverter.LabelConv, code));
}

void TFormConv::FieldChange(DmsField field, QLineEdit* edit) {
    const DmsConverter::Answer answer =
        converter_.Change(field, edit->text(), QString::fromStdString(widgets::DecimalSeparator()));
    // The answer carries the result even for a refused text, so nothing
    // hangs on the toolkit reporting the text put back as a change.
    EditDec->setText(answer.decimalText);
    if (!answer.accepted) edit->setText(answer.fieldText);
}

void TFormConv::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) ApplyConverterLanguage();
    QWidget::showEvent(event);
}

}  // namespace korvalen::info
