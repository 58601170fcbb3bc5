#include "rotator/form_rotators.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QShowEvent>
#include <QVBoxLayout>

#include "rotator/pst_rotator.h"
#include "rotator/rotator_address.h"
#include "widgets/messages.h"
#include "widgets/named.h"

namespace korvalen::rotator {

using widgets::Named;

TFormRotators::TFormRotators(const languages::LanguageState& language, QWidget* parent)
    : QDialog(parent),
      LabelRotctld(Named(new QLabel(languages::Before(languages::kRotator.LabelRotctld)), "LabelRotctld")),
      EditRotctld(Named(new QLineEdit, "EditRotctld")),
      LabelPstRotator(Named(new QLabel(languages::Before(languages::kRotator.LabelPstRotator)), "LabelPstRotator")),
      EditPstRotator(Named(new QLineEdit, "EditPstRotator")),
      LabelRotatorError(Named(new QLabel, "LabelRotatorError")),
      ButtonOK(Named(new QPushButton(QStringLiteral("OK")), "ButtonOK")),
      ButtonCancel(Named(new QPushButton(languages::Before(languages::kRotator.ButtonCancel)), "ButtonCancel")),
      language_(language) {
    setObjectName(QStringLiteral("TFormRotators"));
    setWindowTitle(languages::Before(languages::kRotator.caption));

    EditRotctld->setPlaceholderText(QStringLiteral("127.0.0.1:4533"));
    EditPstRotator->setPlaceholderText(QStringLiteral("127.0.0.1:12000"));
    EditRotctld->setMinimumWidth(220);
    LabelRotctld->setBuddy(EditRotctld);
    LabelPstRotator->setBuddy(EditPstRotator);
    LabelRotatorError->setWordWrap(true);
    LabelRotatorError->setStyleSheet(QStringLiteral("color: #b00000"));

    auto* layout = new QVBoxLayout(this);
    auto* fields = new QFormLayout;
    fields->addRow(LabelRotctld, EditRotctld);
    fields->addRow(LabelPstRotator, EditPstRotator);
    layout->addLayout(fields);
    layout->addWidget(LabelRotatorError);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonOK);
    buttons->addWidget(ButtonCancel);
    layout->addLayout(buttons);
    ButtonOK->setDefault(true);

    connect(ButtonOK, &QPushButton::clicked, this, &TFormRotators::ButtonOKClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormRotators::showEvent(QShowEvent* event) {
    const languages::RotatorTable& t = languages::kRotator;
    setWindowTitle(RotatorText(t.caption, &language_));
    LabelRotctld->setText(RotatorText(t.LabelRotctld, &language_));
    LabelPstRotator->setText(RotatorText(t.LabelPstRotator, &language_));
    ButtonCancel->setText(RotatorText(t.ButtonCancel, &language_));
    QDialog::showEvent(event);
}

void TFormRotators::SetAddresses(const QString& rotctld, const QString& pstRotator) {
    EditRotctld->setText(rotctld);
    EditPstRotator->setText(pstRotator);
    LabelRotatorError->clear();
}

void TFormRotators::ButtonOKClick() {
    struct Field {
        QLineEdit* edit;
        std::optional<quint16> defaultPort;
        const char* name;
    };
    const Field fields[] = {{EditRotctld, std::nullopt, "Hamlib rotctld"},
                            {EditPstRotator, PstRotatorDefaultPort, "PstRotator"}};
    for (const Field& field : fields) {
        const Expected<std::optional<RotatorAddress>> parsed =
            ParseRotatorAddress(field.edit->text(), field.defaultPort, &language_);
        if (parsed) continue;
        widgets::Beep();
        LabelRotatorError->setText(QLatin1String(field.name) + QStringLiteral(": ") +
                                   QString::fromStdString(parsed.error().text));
        field.edit->setFocus();
        return;
    }
    LabelRotatorError->clear();
    emit AddressesAccepted(EditRotctld->text().trimmed(), EditPstRotator->text().trimmed());
    accept();
}

}  // namespace korvalen::rotator
