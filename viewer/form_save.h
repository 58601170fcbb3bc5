#pragma once
// The small non-modal dialog that saves the map as a bitmap file, kept for
// the next run; it also finishes the program's exit when the operator chose
// to save before quitting.
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>

#include "generator/generator_state.h"
#include "languages/languages.h"
#include "settings/settings.h"

namespace korvalen::viewer {

class TFormSave : public QDialog {
    Q_OBJECT
public:
    /// @param map the viewer's map image, written as it is when OK is pressed
    /// @param generator the centre whose text is kept with the map
    /// @param savedMap the kept map, replaced by a successful save
    /// @param language the program's language; showing sets the dialog's
    /// name message there
    /// All four must outlive the dialog.
    TFormSave(const QImage& map, const generator::GeneratorState& generator, settings::SavedMap& savedMap,
              languages::LanguageState& language);

    QLineEdit* const EditNomFichier;
    QPushButton* const ButtonOK;
    QPushButton* const ButtonCancel;

    /// Shows the dialog as an ordinary, non-modal window.
    void Open();
    /// The same, after which the program ends when the dialog next closes
    /// (`QuitAfterSave`).
    void OpenToQuit();
    bool QuitAfterSave() const { return quitAfterSave_; }

    void FormShow();
    /// The dialog's texts for the current language, applied at each showing.
    void ApplySaveLanguage();
    void ButtonOKClick();  ///< SaveMapToFile
    void ButtonCancelClick();
    void reject() override;

signals:
    /// The map was written and kept: it is no longer unsaved.
    void MapSaved();
    /// The dialog closed while a quit was pending: the settings are to be
    /// written and the program ended.
    void ProgramEndRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    const QImage& map_;
    const generator::GeneratorState& generator_;
    settings::SavedMap& savedMap_;
    languages::LanguageState& language_;
    bool quitAfterSave_ = false;
};

}  // namespace korvalen::viewer
