#pragma once
// The information window: the program and its version, the maker's sites,
// discussion group and donation page, and the release check, now or at
// every start. It exists, hidden, from the start; showing it applies the
// current language, and its close button only hides it.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

#include "info/release_check.h"
#include "languages/languages.h"
#include "widgets/image_widget.h"
#include "widgets/label_url.h"

namespace korvalen::info {

class TFormInfo : public QWidget {
    Q_OBJECT
public:
    /// @param language the program's language state: the window reads the
    ///        code and the release messages, and sets InternetFailureText.
    /// @param check the release check: the button asks it, the check box
    ///        shows and sets its CheckAtStart, and every answer it gives
    ///        (the start-up check's as well) is shown from here.
    /// Both must outlive the window.
    TFormInfo(languages::LanguageState& language, ReleaseCheck& check);

    QLabel* const Panel1;
    widgets::ImageWidget* const Image1;
    QLabel* const Label1;
    QLabel* const Label2;
    QLabel* const LabelOther;
    widgets::TLabelUrl* const LabelUrl1;
    widgets::TLabelUrl* const LabelUrl3;
    QLabel* const Label3;
    widgets::TLabelUrl* const LabelUrl2;
    QToolButton* const SpeedButton1;
    QPushButton* const BitBtnNewRelease;
    QCheckBox* const CheckBoxVersion;
    QPushButton* const BitBtn1;

    /// The texts of the current language, when it has a block; otherwise
    /// the texts in force stay. Runs each time the window is shown.
    void ApplyInfoLanguage();
    /// Label1, the language, and CheckBoxVersion from CheckAtStart.
    void FormShow();
    void SpeedButton1Click();
    void BitBtnNewReleaseClick();
    void CheckBoxVersionClick();
    void BitBtn1Click();
    /// Shows what a finished check has to say, for either asker.
    void ShowReply(Reply reply);

protected:
    void showEvent(QShowEvent* event) override;

private:
    languages::LanguageState& language_;
    ReleaseCheck& check_;
};

}  // namespace korvalen::info
