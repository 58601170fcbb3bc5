#pragma once
// The interface languages: which one is applied, and the message texts that
// one window sets for the language and others show.
#include <QString>

namespace korvalen::languages {

/// The languages of the language menu, in its order.
enum class Language { English, French, Spanish };

/// The language state every window shares. The program holds one and hands
/// it to the windows; the language routines set it.
struct LanguageState {
    /// "E", "F" or "S"; empty until a language is first applied.
    QString LanguageCode;
    /// Shown when a close is refused because a rotator client is connected.
    QString ConnectedMessage = QStringLiteral("Une application est connect\u00e9e \u00e0 Korvalen. Veuillez la fermer");
    /// The closing question: keep the new map for the next session?
    QString SaveQuestion =
        QStringLiteral("Voulez_vous enregistrer cette carte azimutale pour la session suivante ?");
};

}  // namespace korvalen::languages
