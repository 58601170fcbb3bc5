// The rotators dialog: OK hands on addresses that read and refuses the
// others with a beep and the reason, staying open.
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "rotator/form_rotators.h"
#include "widgets/messages.h"

using namespace korvalen;

namespace {

struct FormCase {
    const char* name;
    const char* code;  // the language code; "" before any language
    const char* rotctld;
    const char* pst;
    const char* error;  // nullptr: accepted
    const char* caption;
};
void PrintTo(const FormCase& c, std::ostream* os) { *os << c.name; }

const FormCase kFormCases[] = {
    {"BothSet", "", " 127.0.0.1:4533 ", "pst.lan", nullptr, "Rotators"},
    {"BothOff", "E", "", "", nullptr, "Rotators"},
    {"RotctldWithoutPort", "", "rotor.lan", "", "Hamlib rotctld: the port is missing: write host:port", "Rotators"},
    {"PstPortZero", "E", "", "pst.lan:0", "PstRotator: the port must be a number from 1 to 65535", "Rotators"},
    {"RotctldWithoutPortInFrench", "F", "rotor.lan", "", "Hamlib rotctld: le port manque : écrivez hôte:port",
     "Rotors"},
    {"PstPortZeroInSpanish", "S", "", "pst.lan:0", "PstRotator: el puerto debe ser un número de 1 a 65535",
     "Rotores"},
};

class RotatorsDialog : public testing::TestWithParam<FormCase> {};

TEST_P(RotatorsDialog, AcceptsOrRefuses) {
    const FormCase& c = GetParam();
    int beeps = 0;
    widgets::SetMessageHandler([&](widgets::MessageKind, const QString& text) {
        beeps += text.isEmpty();
        return QMessageBox::Ok;
    });
    languages::LanguageState language;
    language.LanguageCode = QString::fromLatin1(c.code);
    rotator::TFormRotators form(language);
    QSignalSpy accepted(&form, &rotator::TFormRotators::AddressesAccepted);
    form.SetAddresses(c.rotctld, c.pst);
    form.show();
    form.ButtonOK->click();
    widgets::SetMessageHandler({});
    EXPECT_EQ(form.isVisible(), c.error != nullptr);
    EXPECT_EQ(beeps, c.error ? 1 : 0);
    EXPECT_EQ(form.LabelRotatorError->text(), QString::fromUtf8(c.error ? c.error : ""));
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8(c.caption));
    const QList<QVariant> expected{QString(c.rotctld).trimmed(), QString(c.pst).trimmed()};
    EXPECT_EQ(accepted, c.error ? QList<QList<QVariant>>() : QList<QList<QVariant>>{expected});
}

INSTANTIATE_TEST_SUITE_P(Rows, RotatorsDialog, testing::ValuesIn(kFormCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
