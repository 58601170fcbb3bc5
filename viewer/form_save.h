#pragma once
// The small non-modal dialog that saves the map as a bitmap file, kept for
// the next run; it also finishes the program's exit when the operator chose
// to save before quitting.
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

namespace korvalen {

class TFormSave : public QDialog {
    Q_OBJECT
public:
    TFormSave();

    QLineEdit* const EditNomFichier;
    QPushButton* const ButtonOK;
    QPushButton* const ButtonCancel;

    /// Set by the viewer's closing question; the program ends when this
    /// dialog next closes.
    bool QuitAfterSave = false;
    /// The name error message of the current language.
    QString NameErrorText = QStringLiteral("Name must be like *.bmp");

    void FormShow();
    void ButtonOKClick();  ///< SaveMapToFile
    void ButtonCancelClick();
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
};

}  // namespace korvalen
