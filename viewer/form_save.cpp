#include "viewer/form_save.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "korvalen_version.h"
#include "viewer/map_file.h"
#include "widgets/messages.h"

namespace korvalen::viewer {

TFormSave::TFormSave(const QImage& map, const generator::GeneratorState& generator, settings::SavedMap& savedMap)
    : QDialog(nullptr),
      EditNomFichier(new QLineEdit("image1.bmp")),
      ButtonOK(new QPushButton("OK")),
      ButtonCancel(new QPushButton("Annuler")),
      map_(map),
      generator_(generator),
      savedMap_(savedMap) {
    setObjectName("TFormSave");
    EditNomFichier->setObjectName("EditNomFichier");
    ButtonOK->setObjectName("ButtonOK");
    ButtonCancel->setObjectName("ButtonCancel");
    setWindowTitle(QStringLiteral(KORVALEN_CAPTION));
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(EditNomFichier);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonOK);
    buttons->addWidget(ButtonCancel);
    layout->addLayout(buttons);
    EditNomFichier->setMinimumWidth(260);
    ButtonOK->setDefault(true);
    ButtonOK->setAutoDefault(true);
    ButtonCancel->setAutoDefault(false);

    connect(ButtonOK, &QPushButton::clicked, this, &TFormSave::ButtonOKClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormSave::ButtonCancelClick);
}

void TFormSave::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TFormSave::FormShow() {
    setWindowTitle(QStringLiteral(KORVALEN_CAPTION));
    // The cancel caption and the name message follow the language once one
    // is chosen; until then they keep their values.
    EditNomFichier->setFocus();
}

void TFormSave::Open() {
    show();
    raise();
    activateWindow();
}

void TFormSave::OpenToQuit() {
    quitAfterSave_ = true;
    Open();
}

void TFormSave::ButtonOKClick() {
    const QString name = EditNomFichier->text();
    if (!HasBmpName(name)) {
        widgets::Beep();
        widgets::ShowMessage(this, widgets::MessageKind::Plain, nameErrorText_);
        return;
    }
    if (const std::optional<QString> failure = SaveMapBmp(map_, name)) {
        widgets::ShowMessage(this, widgets::MessageKind::Error, *failure);
        return;
    }
    savedMap_.SavedMapFile = name;
    savedMap_.SavedMapCentreText = generator_.CentreText;
    emit MapSaved();
    close();
}

void TFormSave::ButtonCancelClick() { close(); }

void TFormSave::reject() { close(); }

void TFormSave::closeEvent(QCloseEvent* event) {
    event->accept();
    hide();
    if (quitAfterSave_) emit ProgramEndRequested();
}

}  // namespace korvalen::viewer
