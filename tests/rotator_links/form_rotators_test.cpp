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
    const char* rotctld;
    const char* pst;
    const char* error;  // nullptr: accepted
};
void PrintTo(const FormCase& c, std::ostream* os) { *os << c.name; }

const FormCase kFormCases[] = {
    {"BothSet", " 127.0.0.1:4533 ", "pst.lan", nullptr},
    {"BothOff", "", "", nullptr},
    {"RotctldWithoutPort", "rotor.lan", "", "Hamlib rotctld: the port is missing: write host:port"},
    {"PstPortZero", "", "pst.lan:0", "PstRotator: the port must be a number from 1 to 65535"},
};

class RotatorsDialog : public testing::TestWithParam<FormCase> {};

TEST_P(RotatorsDialog, AcceptsOrRefuses) {
    const FormCase& c = GetParam();
    int beeps = 0;
    widgets::SetMessageHandler([&](widgets::MessageKind, const QString& text) {
        beeps += text.isEmpty();
        return QMessageBox::Ok;
    });
    rotator::TFormRotators form;
    QSignalSpy accepted(&form, &rotator::TFormRotators::AddressesAccepted);
    form.SetAddresses(c.rotctld, c.pst);
    form.show();
    form.ButtonOK->click();
    widgets::SetMessageHandler({});
    EXPECT_EQ(form.isVisible(), c.error != nullptr);
    EXPECT_EQ(beeps, c.error ? 1 : 0);
    EXPECT_EQ(form.LabelRotatorError->text(), c.error ? c.error : "");
    const QList<QVariant> expected{QString(c.rotctld).trimmed(), QString(c.pst).trimmed()};
    EXPECT_EQ(accepted, c.error ? QList<QList<QVariant>>() : QList<QList<QVariant>>{expected});
}

INSTANTIATE_TEST_SUITE_P(Rows, RotatorsDialog, testing::ValuesIn(kFormCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
