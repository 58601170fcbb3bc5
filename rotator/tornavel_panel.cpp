#include "rotator/tornavel_panel.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "languages/maker_site.h"
#include "languages/tables.h"
#include "widgets/messages.h"
#include "widgets/named.h"

namespace korvalen::rotator {

using languages::Before;
using languages::kViewer;
using languages::kViewerFixed;
using widgets::Named;
using widgets::NamedAction;

namespace {

// Wide enough for the path of a program deep in folders.
constexpr int kPanelWidth = 480;

QString RunModal(QFileDialog& dialog) {
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                   : QString();
}

}  // namespace

TornavelPanel::TornavelPanel(const AzimuthLink& link, const languages::LanguageState& language)
    : MenuTornavel(NamedAction("MenuTornavel", kViewerFixed.MenuTornavel, this)),
      MenusetTornavel(NamedAction("MenusetTornavel", Before(kViewer.MenusetTornavel), this)),
      LabelTornavelpath(Named(new QLabel(Before(kViewer.LabelTornavelpath)), "LabelTornavelpath")),
      EditTornavelpath(Named(new QLineEdit, "EditTornavelpath")),
      ButtonParcourirTornavel(Named(new QPushButton(Before(kViewer.ButtonParcourirTornavel)), "ButtonParcourirTornavel")),
      ButtonOKTornavel(Named(new QPushButton(kViewerFixed.ButtonOKTornavel), "ButtonOKTornavel")),
      ButtonAnnuler(Named(new QPushButton(Before(kViewer.ButtonAnnuler)), "ButtonAnnuler")),
      PanelTRN(Named(new QFrame, "PanelTRN")),
      LabelTRN(Named(new QLabel(Before(kViewer.LabelTRN)), "LabelTRN")),
      LabelUrlRLK(Named(new widgets::TLabelUrl, "LabelUrlRLK")),
      link_(link),
      language_(language),
      pick_(RunModal) {
    setObjectName("PanelTornavel");
    // Raised and filled, so that it stands out from the map under it.
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    setAutoFillBackground(true);
    auto* grid = new QGridLayout(this);
    grid->addWidget(LabelTornavelpath, 0, 0, 1, 3);
    grid->addWidget(EditTornavelpath, 1, 0, 1, 2);
    grid->addWidget(ButtonParcourirTornavel, 1, 2);
    grid->addWidget(ButtonOKTornavel, 2, 1, Qt::AlignRight);
    grid->addWidget(ButtonAnnuler, 2, 2);
    grid->addWidget(PanelTRN, 3, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    PanelTRN->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* inner = new QVBoxLayout(PanelTRN);
    inner->addWidget(LabelTRN);
    inner->addWidget(LabelUrlRLK);
    for (QLabel* l : {LabelTornavelpath, LabelTRN}) l->setTextFormat(Qt::PlainText);
    // Before any language: the French page, its address as the caption.
    LabelUrlRLK->setUrl(QLatin1String(languages::kMakerSite) + Before(kViewer.LabelUrlRLK));
    setFixedWidth(kPanelWidth);
    adjustSize();
    hide();

    connect(MenuTornavel, &QAction::triggered, this, &TornavelPanel::LaunchTornavel);
    connect(MenusetTornavel, &QAction::triggered, this, &TornavelPanel::MenusetTornavelClick);
    connect(ButtonParcourirTornavel, &QPushButton::clicked, this, &TornavelPanel::ButtonParcourirTornavelClick);
    connect(ButtonOKTornavel, &QPushButton::clicked, this, &TornavelPanel::ButtonOKTornavelClick);
    connect(ButtonAnnuler, &QPushButton::clicked, this, &TornavelPanel::ButtonAnnulerClick);
}

TornavelPanel::~TornavelPanel() = default;

void TornavelPanel::ApplyLanguage(languages::Language language) {
    using languages::Text;
    MenusetTornavel->setText(Text(kViewer.MenusetTornavel, language));
    LabelTornavelpath->setText(Text(kViewer.LabelTornavelpath, language));
    ButtonParcourirTornavel->setText(Text(kViewer.ButtonParcourirTornavel, language));
    ButtonAnnuler->setText(Text(kViewer.ButtonAnnuler, language));
    LabelTRN->setText(Text(kViewer.LabelTRN, language));
    LabelUrlRLK->setUrl(QLatin1String(languages::kMakerSite) + Text(kViewer.LabelUrlRLK, language));
}

void TornavelPanel::ShowPath() { EditTornavelpath->setText(state_.TornavelPath); }

void TornavelPanel::LaunchTornavel() {
    switch (rotator::LaunchTornavel(state_, link_.ClientConnected(), actions_)) {
        case LaunchOutcome::AlreadyOpen:
            ShowError(AlreadyOpenMessage(language_.LanguageCode));
            break;
        case LaunchOutcome::AskForPath:
            ShowPanel();
            break;
        case LaunchOutcome::LaunchFailed:
            ShowError(LaunchErrorMessage(language_.LanguageCode));
            EditTornavelpath->clear();
            break;
        case LaunchOutcome::ClientConnected:
        case LaunchOutcome::Started:
            break;
    }
}

void TornavelPanel::ShowError(const QString& text) {
    // Before any language there is no text to show: the launch stays silent.
    if (!text.isEmpty()) widgets::ShowMessage(window(), widgets::MessageKind::Error, text);
}

void TornavelPanel::ShowPanel() {
    show();
    raise();
    emit Shown();
    EditTornavelpath->setFocus();
}

void TornavelPanel::MenusetTornavelClick() {
    ShowPanel();
    state_.LaunchPending = false;
}

void TornavelPanel::ButtonParcourirTornavelClick() {
    if (!openDialog_) {
        // No filter and no title: the program may have any name.
        openDialog_ = Named(new QFileDialog(window()), "OpenDialogTornavel");
        openDialog_->setFileMode(QFileDialog::ExistingFile);
    }
    const QString picked = pick_(*openDialog_);
    if (picked.isEmpty()) return;
    // In force at once: cancelling the panel afterwards keeps it.
    state_.TornavelPath = picked;
    EditTornavelpath->setText(picked);
}

void TornavelPanel::ButtonOKTornavelClick() {
    if (EditTornavelpath->text().isEmpty()) return;
    state_.TornavelPath = EditTornavelpath->text();
    hide();
    if (state_.LaunchPending) LaunchTornavel();
}

void TornavelPanel::ButtonAnnulerClick() {
    state_.LaunchPending = false;
    hide();
}

}  // namespace korvalen::rotator
