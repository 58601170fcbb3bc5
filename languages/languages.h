#pragma once
// The interface languages: which one is applied, and the message texts that
// one window sets for the language and others show. Every text starts as the
// one in force before any language is chosen (the tables' last column); the
// language routines replace them.
#include <QString>

#include <optional>

namespace korvalen::languages {

/// The languages of the language menu, in its order.
enum class Language { English, French, Spanish };

/// The code of a language: "E", "F" or "S".
QString CodeOf(Language language);
/// The language of a code, compared exactly; none for any other text (the
/// empty code before the first choice among them).
std::optional<Language> LanguageOf(const QString& code);

/// The language state every window shares. The program holds one and hands
/// it to the windows; the language routines set it.
struct LanguageState {
    /// "E", "F" or "S"; empty until a language is first applied, and never
    /// empty again afterwards.
    QString LanguageCode;
    /// The language of LanguageCode; none until one is applied.
    std::optional<Language> Current() const { return LanguageOf(LanguageCode); }

    /// Shown when a close is refused because a rotator client is connected.
    QString ConnectedMessage;
    /// The closing question: keep the new map for the next session?
    QString SaveQuestion;

    /// The ham DX editor's four check messages. The 11-metre editor keeps
    /// these initial texts whatever the language.
    QString DxEmptyFieldText;
    QString DxNorthSouthText;
    QString DxEastWestText;
    QString DxBadNumberText;

    /// The release check's answers. The first two are set with the viewer's
    /// language; the failure text when the information window is shown.
    QString NewerReleaseText;
    QString UpToDateText;
    QString InternetFailureText;

    /// The save dialog's answer to a name that does not end in ".bmp".
    QString SaveNameText;

    /// The generator's status line: waiting for a centre, and generating.
    /// Both empty before any language (the window then shows its own
    /// French prompt).
    QString PromptText;
    QString GenerationText;

    /// The help page of the current language, beside the program.
    QString HelpFileName;

    LanguageState();
};

}  // namespace korvalen::languages
