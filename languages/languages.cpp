#include "languages/languages.h"

#include "languages/maker_site.h"
#include "languages/tables.h"

namespace korvalen::languages {

QString CodeOf(Language language) {
    switch (language) {
    case Language::French: return QStringLiteral("F");
    case Language::Spanish: return QStringLiteral("S");
    case Language::English: break;
    }
    return QStringLiteral("E");
}

std::optional<Language> LanguageOf(const QString& code) {
    for (Language language : {Language::English, Language::French, Language::Spanish})
        if (code == CodeOf(language)) return language;
    return std::nullopt;
}

bool HasBlock(const QString& code) { return LanguageOf(code).has_value(); }

QString Text(const Row& row, Language language) {
    switch (language) {
    case Language::French: return QString::fromUtf8(row.french);
    case Language::Spanish: return QString::fromUtf8(row.spanish);
    case Language::English: break;
    }
    return QString::fromUtf8(row.english);
}

QString Text(const Row& row, const QString& code) {
    const std::optional<Language> language = LanguageOf(code);
    return language ? Text(row, *language) : Before(row);
}

QString Before(const Row& row) { return QString::fromUtf8(row.before); }

QString NewerReleaseText(std::optional<Language> language) {
    QString text = language ? Text(kMessages.NewerRelease, *language) : Before(kMessages.NewerRelease);
    if (language != Language::English && language != Language::French) text += QLatin1String(kMakerSite);
    return text;
}

LanguageState::LanguageState()
    : ConnectedMessage(Before(kMessages.ConnectedMessage)),
      SaveQuestion(Before(kMessages.SaveQuestion)),
      DxEmptyFieldText(Before(kMessages.DxEmptyField)),
      DxNorthSouthText(Before(kMessages.DxNorthSouth)),
      DxEastWestText(Before(kMessages.DxEastWest)),
      DxBadNumberText(Before(kMessages.DxBadNumber)),
      NewerReleaseText(languages::NewerReleaseText(std::nullopt)),
      UpToDateText(Before(kMessages.UpToDate)),
      InternetFailureText(Before(kInternetFailure)),
      SaveNameText(Before(kSaveNameMessage)),
      PromptText(Before(kGenerator.prompt)),
      GenerationText(Before(kGenerator.generating)),
      HelpFileName(Before(kGenerator.HelpFileName)) {}

}  // namespace korvalen::languages
