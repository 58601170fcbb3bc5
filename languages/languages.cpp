#include "languages/languages.h"

namespace korvalen::languages {

QString ConnectedMessage = QString::fromUtf8("Une application est connect\u00e9e \u00e0 Korvalen. Veuillez la fermer");
QString SaveQuestion =
    QString::fromUtf8("Voulez_vous enregistrer cette carte azimutale pour la session suivante ?");

}  // namespace korvalen::languages
