#include "viewer/form_save.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "korvalen_version.h"
#include "languages/tables.h"
#include "viewer/map_file.h"
#include "widgets/messages.h"

namespace korvalen::viewer {

TFormSave::TFormSave(const QImage& map, const generator::GeneratorState& generator, settings::SavedMap& savedMap,
                     languages::LanguageState& language)
    : QDialog(nullptr),
      EditNomFichier(new QLineEdit("image1.bmp")),
      ButtonOK(new QPushButton("OK")),
      ButtonCancel(new QPushButton(languages::Before(languages::kSaveCancel))),
      map_(map),
      generator_(generator),
      savedMap_(savedMap),
      language_(language) {
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
    ApplySaveLanguage();
    EditNomFichier->setFocus();
}

void TFormSave::ApplySaveLanguage() {
    const QString& code = language_.LanguageCode;
    if (!languages::HasBlock(code)) return;
    ButtonCancel->setText(languages::Text(languages::kSaveCancel, code));
    language_.SaveNameText = languages::Text(languages::kSaveNameMessage, code);
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
        widgets::ShowMessage(this, widgets::MessageKind::Plain, language_.SaveNameText);
        return;
    }
    if (const Expected<void> saved = SaveMapBmp(map_, name); !saved) {
        widgets::ShowMessage(this, widgets::MessageKind::Error, QString::fromStdString(saved.error().text));
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
