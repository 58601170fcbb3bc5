#pragma once
// The rotator program's start from the viewer: the menu items "Tornavel" and
// "set Tornavel path", and the path panel over the map where the operator
// gives the program's executable, with the link to the maker's download
// page. The launch's rules are in launcher.h; this shows and asks.
#include <QFileDialog>
#include <QFrame>

#include <functional>

#include "languages/languages.h"
#include "rotator/azimuth_link.h"
#include "rotator/launcher.h"
#include "widgets/label_url.h"

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;

namespace korvalen::rotator {

class TornavelPanel : public QFrame {
    Q_OBJECT
public:
    /// The panel, hidden. It reads whether a rotator client is connected
    /// and the language, which must outlive it.
    TornavelPanel(const AzimuthLink& link, const languages::LanguageState& language);
    ~TornavelPanel() override;

    QAction* const MenuTornavel;
    QAction* const MenusetTornavel;
    QLabel* const LabelTornavelpath;
    QLineEdit* const EditTornavelpath;
    QPushButton* const ButtonParcourirTornavel;
    QPushButton* const ButtonOKTornavel;
    QPushButton* const ButtonAnnuler;
    QFrame* const PanelTRN;
    QLabel* const LabelTRN;
    widgets::TLabelUrl* const LabelUrlRLK;

    /// The path and whether a start waits for the panel.
    const LaunchState& State() const { return state_; }
    /// The path read from the settings at start.
    void SetPath(const QString& path) { state_.TornavelPath = path; }
    /// Whether the program runs, and its start (tests count or fix them).
    void SetLaunchActions(LaunchActions actions) { actions_ = std::move(actions); }
    /// How the file dialog is run: the file picked, or an empty text when
    /// the operator cancels (tests pick without a modal dialog).
    void SetFilePicker(std::function<QString(QFileDialog&)> pick) { pick_ = std::move(pick); }

    /// The panel's texts in @p language.
    void ApplyLanguage(languages::Language language);
    /// At each activation of the window: the box shows the path in force.
    void ShowPath();

    /// The menu item "Tornavel": starts the program, or asks for its path
    /// first (and starts it when the panel's OK gives it).
    void LaunchTornavel();
    void MenusetTornavelClick();
    void ButtonParcourirTornavelClick();
    void ButtonOKTornavelClick();
    void ButtonAnnulerClick();

signals:
    /// The panel was shown: the window brings it into view.
    void Shown();

private:
    void ShowPanel();
    /// An error box with @p text; nothing when the text is empty.
    void ShowError(const QString& text);

    const AzimuthLink& link_;
    const languages::LanguageState& language_;
    LaunchState state_;
    LaunchActions actions_;
    std::function<QString(QFileDialog&)> pick_;
    /// Made at the first Browse: most runs never browse, and a file dialog
    /// is costly to build.
    QFileDialog* openDialog_ = nullptr;
};

}  // namespace korvalen::rotator
