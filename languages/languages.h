#pragma once
#include <QString>

// Switching the interface language. The language tables are not part of the
// program yet: until they are, these operations leave every text as built
// into the windows, and LanguageCode stays empty.
namespace korvalen {
class TFormCarte;
class TFormAzimut;

namespace languages {

/// Shared message texts, with their texts before any language is applied.
extern QString ConnectedMessage;  ///< a rotator client is connected: quitting refused
extern QString SaveQuestion;      ///< keep the new map for the next session?

enum class Language { English, French, Spanish };

/// Texts of the generator window for @p language; then of the viewer too
/// unless the settings file is being read.
inline void ApplyGeneratorLanguage(TFormCarte& /*form*/, Language /*language*/) {}

/// Texts of the viewer window and its dialogs for the current language.
inline void ApplyViewerLanguage(TFormAzimut& /*form*/) {}

}  // namespace languages
}  // namespace korvalen
