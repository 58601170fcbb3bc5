#include "viewer/form_save.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/forms.h"
#include "app/messages.h"
#include "generator/form_carte.h"
#include "korvalen_version.h"
#include "viewer/form_azimut.h"
#include "viewer/map_file.h"

namespace korvalen {

TFormSave::TFormSave()
    : QDialog(nullptr),
      EditNomFichier(new QLineEdit("image1.bmp")),
      ButtonOK(new QPushButton("OK")),
      ButtonCancel(new QPushButton("Annuler")) {
    setObjectName("TFormSave");
    EditNomFichier->setObjectName("EditNomFichier");
    ButtonOK->setObjectName("ButtonOK");
    ButtonCancel->setObjectName("ButtonCancel");
    setWindowTitle(QStringLiteral("KORVALEN V" KORVALEN_VERSION));
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
    setWindowTitle(QStringLiteral("KORVALEN V" KORVALEN_VERSION));
    // The cancel caption and the name message follow the language once one
    // is chosen; until then they keep their values.
    EditNomFichier->setFocus();
}

void TFormSave::ButtonOKClick() {
    const QString name = EditNomFichier->text();
    if (name.isEmpty() || name.right(4) != QLatin1String(".bmp")) {
        Beep();
        ShowMessage(this, MessageKind::Plain, NameErrorText);
        return;
    }
    QString reason;
    if (!viewer::SaveMapBmp(FormAzimut->ImageAzimut->image(), name, &reason)) {
        ShowMessage(this, MessageKind::Error, reason);
        return;
    }
    SavedMapFile = name;
    SavedMapCentreText = FormCarte->CentreText;
    FormCarte->MapUnsaved = false;
    close();
}

void TFormSave::ButtonCancelClick() { close(); }

void TFormSave::reject() { close(); }

void TFormSave::closeEvent(QCloseEvent* event) {
    event->accept();
    hide();
    if (QuitAfterSave) {
        SaveSettings();
        EndProgram();
    }
}

}  // namespace korvalen
