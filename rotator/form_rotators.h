#pragma once
// The dialog that sets the addresses of the rotators turned directly at each
// publication. It checks them and hands them on; the program keeps them in
// the settings and gives them to the clients.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include "languages/languages.h"

namespace korvalen::rotator {

class TFormRotators : public QDialog {
    Q_OBJECT
public:
    /// Speaks @p language, as it is each time the dialog is shown.
    explicit TFormRotators(const languages::LanguageState& language, QWidget* parent = nullptr);

    QLabel* const LabelRotctld;
    QLineEdit* const EditRotctld;
    QLabel* const LabelPstRotator;
    QLineEdit* const EditPstRotator;
    /// Why OK was refused; empty otherwise.
    QLabel* const LabelRotatorError;
    QPushButton* const ButtonOK;
    QPushButton* const ButtonCancel;

    /// Fills the two boxes with the addresses in use and clears the error.
    void SetAddresses(const QString& rotctld, const QString& pstRotator);

    /// Refuses, with a beep and the reason, an address that does not read;
    /// otherwise tells the two addresses, without surrounding spaces, and
    /// closes. An empty box switches its rotator off.
    void ButtonOKClick();

signals:
    void AddressesAccepted(const QString& rotctld, const QString& pstRotator);

protected:
    void showEvent(QShowEvent* event) override;

private:
    const languages::LanguageState& language_;
};

}  // namespace korvalen::rotator
