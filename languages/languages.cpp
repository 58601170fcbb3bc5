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

bool HasBlock(const QString& code) {
    return code == QLatin1String("E") || code == QLatin1String("F") || code == QLatin1String("S");
}

QString Text(const Row& row, const QString& code) {
    if (code == QLatin1String("E")) return QString::fromUtf8(row.english);
    if (code == QLatin1String("F")) return QString::fromUtf8(row.french);
    if (code == QLatin1String("S")) return QString::fromUtf8(row.spanish);
    return Before(row);
}

QString Before(const Row& row) { return QString::fromUtf8(row.before); }

QString NewerReleaseText(const QString& code) {
    QString text = Text(kMessages.NewerRelease, code);
    if (code != QLatin1String("E") && code != QLatin1String("F")) text += QLatin1String(kMakerSite);
    return text;
}

LanguageState::LanguageState()
    : ConnectedMessage(Before(kMessages.ConnectedMessage)),
      SaveQuestion(Before(kMessages.SaveQuestion)),
      DxEmptyFieldText(Before(kMessages.DxEmptyField)),
      DxNorthSouthText(Before(kMessages.DxNorthSouth)),
      DxEastWestText(Before(kMessages.DxEastWest)),
      DxBadNumberText(Before(kMessages.DxBadNumber)),
      NewerReleaseText(languages::NewerReleaseText(QString())),
      UpToDateText(Before(kMessages.UpToDate)),
      InternetFailureText(Before(kInternetFailure)),
      SaveNameText(Before(kSaveNameMessage)),
      PromptText(Before(kGenerator.prompt)),
      GenerationText(Before(kGenerator.generating)),
      HelpFileName(Before(kGenerator.HelpFileName)) {}

}  // namespace korvalen::languages
