#pragma once
// Every text of the interface, one table per window, in the three languages
// and as it stands before any language is chosen. The texts are UTF-8 and are
// kept byte for byte as the operators know them, odd spellings, blanks and
// all: a "&" marks the next letter as the menu's access key.
//
// Each row reads: English, French, Spanish, before any language.
#include <QString>

#include "languages/languages.h"

namespace korvalen::languages {

struct Row {
    const char* english;
    const char* french;
    const char* spanish;
    const char* before;
};

/// True for "E", "F" and "S" (exact comparison): the codes that have a block.
/// With any other code, empty before the first choice, no text changes.
bool HasBlock(const QString& code);
/// The row's text for @p code; the "before" column for a code without a block.
QString Text(const Row& row, const QString& code);
QString Text(const Row& row, Language language);
/// The row's text before any language.
QString Before(const Row& row);

// --- Map generator window -------------------------------------------------

struct GeneratorTable {
    Row captionSuffix;  ///< after KORVALEN_CAPTION; before: the whole caption
    Row Menuquitter;
    Row MenuLangue;
    Row MenuAide;
    Row MenuVoir;
    Row prompt;      ///< before: empty, the window shows kGeneratorFirstPrompt
    Row generating;  ///< before: empty
    Row HelpFileName;
};

inline constexpr GeneratorTable kGenerator = {
    {" - Azimuth World Map Generator by ORLAK", " - Générateur de cartes azimutales par ORLAK",
     " - Azimuth, Generador de mapas del mundo, por ORLAK", "KORVALEN - Azimuthal Map generator by ORLAK"},
    {"Quit", "Quitter", "Cierre", "Quit"},
    {"Language", "Langue", "Idioma", "Language"},
    {"Help", "Aide", "Ayuda", "Help"},
    {"Display the azimuth map", "Afficher la carte azimutale", "Despliegue el mapa azimut",
     "Display the azimuthal map"},
    {"Click the map or enter a grid square >>>", "Cliquer la carte ou entrer un locator >>>",
     "Haga clic en el mapa o introducir una cuadrícula", ""},
    {"Generation in progress. Wait please !", "Génération en cours. Patientez S.V.P.!",
     "Generación en curso. Espere por favor!", ""},
    {"Korvalen_EN.htm", "Korvalen_FR.htm", "Korvalen_ES.htm", "Korvalen_EN.htm"},
};

/// What the generator's status line shows before any language.
inline constexpr char kGeneratorFirstPrompt[] = " Cliquez la carte ou entrer un locator >>>";

/// The generator's captions that no language changes.
inline constexpr char kGeneratorEnglish[] = "English";
inline constexpr char kGeneratorFrancais[] = "Français";
inline constexpr char kGeneratorEspagnol[] = "Español";
inline constexpr char kGeneratorInfo[] = "Info";

// --- Viewer window --------------------------------------------------------

struct ViewerTable {
    Row MenuFichier;
    Row MenuEnregistrer;
    Row Menugenerateur;
    Row MenuListeDXCC;
    Row MenusetTornavel;
    Row MenuOptions;
    Row MenuUnit;
    Row MenuTime;
    Row MenuAxes;
    Row MenuDistances;
    Row MenuChoixListe;
    Row MenuDXCCOM;
    Row MenuDXCCCB;
    Row MenuSeparator;
    Row SepDefault;
    Row SepEqual;
    Row SepSlash;
    Row MenuLangue;
    Row MenuAide;
    Row MenuInfoVersion;
    Row LabelTornavelpath;
    Row ButtonParcourirTornavel;
    Row ButtonAnnuler;
    Row LabelTRN;
    Row LabelUrlRLK;  ///< the path on the maker's web site, caption and address
};

inline constexpr ViewerTable kViewer = {
    {"&File", "&Fichier", "&Archivo", "File"},
    {"&Save this azimuth map", "&Enregister la carte azimutale", "&Guardar este mapa azimut", "Save the azimuthal map"},
    {"&Back to map generator", "&Retour au générateur de cartes", "&Volver a generador de mapas",
     "Back to map generator"},
    {"Mana&ge my DX", "&Gérer mes DX", "Administrar mis &DX", "Manage my DX"},
    {"TORNAVEL path", "Chemin TORNAVEL", "Ruta TORNAVEL", "TORNAVEL pathname"},
    {"&Options", "&Options", "&Opciones", "Options"},
    {"&Unit", "&Unité", "&Unidad", "Unit"},
    {"&Time", "&Heure", "&Tiempo", "Time"},
    {"Add &axis", "Ajouter les &axes", "Añadir el &eje", "Add or remove axis"},
    {"Add equidistant &circles", "Ajouter les &cercles équidistants", "Añadir &círculos equidistantes",
     "Add or remove equidistant circles"},
    {"&Choose the list", "&Choix de la liste", "Seleccione la &lista", "Choose the DXCC list"},
    {"&Ham prefixes", "Préfixes radioa&mateur", "Prefijos &Ham", "Ham prefixes"},
    {"&11m prefixes", "Préfixes &11m", "Prefijos &11m", "11m prefixes"},
    {"Separator", "Séparateur", "Separador", "Separator"},
    {"Default \t", "Par défaut \t", "Por defecto \t", "Default"},
    {"Equal =", "Egal =", "Igualdad =", "Equal ="},
    {"Slash /", "Barre de fraction / ", "Raya vertical /", "Slash /"},
    {"&Language", "&Langue", "&Idioma", "Language"},
    {"&Help", "&Aide", "A&yuda", "Help"},
    {"Search for a more recent release when starting Korvalen", "Voir si version plus récente au démarrage d'Korvalen",
     "Buscar una nueva versión cuando se inicia el software",
     "Voir si nouvelle version disponible au démarrage du programme"},
    {"Full path of tornavel.exe", "Chemin complet de tornavel.exe", "Ruta completa del tornavel.exe",
     "Chemin complet du fichier tornavel.exe"},
    {"Browse", "Parcourir", "Navigar", "Parcourir"},
    {"Cancel", "Annuler", "Cancelar", "Annuler"},
    {"If Tornavel is not installed, please download it from this link :",
     "Si Tornavel n'est pas installé, téléchargez-le depuis ce lien :",
     "Si Tornavel no está instalado, puede descargarlo desde este enlace: ",
     "Si Tornavel n'est pas installé, veuillez le télécharger sur ce lien :"},
    {"/software.htm", "/logiciel.htm", "/software.htm", "/logiciel.htm"},
};

/// The viewer's captions that no language changes.
struct ViewerFixed {
    const char* MenuQuitter = "Quit";
    const char* MenuUnitKM = "Km";
    const char* MenuUnitmile = "Mile";
    const char* MenuTimeLocal = "Local";
    const char* MenuTimeUTC = "UTC (Z)";
    const char* SepUnderscore = "Underscore _";
    const char* MenuTornavel = "Tornavel";
    const char* MenuEnglish = "&English";
    const char* MenuFrancais = "&Français";
    const char* MenuEspagnol = "Español";
    const char* MenuHelp = "?";
    const char* menuInfo = "Info";
    const char* ButtonOKTornavel = "OK";
    const char* paths = "<=Direct       Long Pass =>";
    const char* call = "CALL : ";
    const char* utc = "UTC:";
};
inline constexpr ViewerFixed kViewerFixed{};

// --- The two DX editors ---------------------------------------------------

struct EditorTable {
    Row hamCaption;
    Row elevenCaption;
};

inline constexpr EditorTable kEditors = {
    {"My DX", "Mes DX", "Mi DX", "Mes DX"},
    {"My 11m DX", "Mes DX 11m", "Mi 11m DX", "Mes DX 11m"},
};

/// The grid headers, row 0, by column. The "before" column is what an
/// editor created before any language shows. Column 6 is the ham editor's.
inline constexpr Row kEditorHeaders[7] = {
    {"CALL", "CALL", "CALL", "CALL"},
    {"COUNTRY", "PAYS", "PAÍS", ""},
    {"LAT (dec)", "LAT (dec)", "LAT (dec)", ""},
    {"N/S", "N/S", "N/S", ""},
    {"LON (dec)", "LON (dec)", "LON (dec)", ""},
    {"E/W", "E/O", "E/O", ""},
    {"UTC", "UTC", "UTC", "UTC"},
};

// --- Shared messages ------------------------------------------------------

/// Set by the viewer's language routine. The newer-release row's Spanish and
/// initial texts are followed by the maker's web site.
struct MessageTable {
    Row SaveQuestion;
    Row AzimuthPrefix;
    Row RangePrefix;
    Row ConnectedMessage;
    Row DxEmptyField;
    Row DxNorthSouth;
    Row DxEastWest;
    Row DxBadNumber;
    Row NewerRelease;
    Row UpToDate;
};

inline constexpr MessageTable kMessages = {
    {"Do you want to save this map for the next session ?", "Voulez-vous enregistrer la carte pour la session suivante ?",
     "¿Desea guardar este mapa para la próxima sesión?",
     "Voulez_vous enregistrer cette carte azimutale pour la session suivante ?"},
    {" Azimuth = ", " Azimut = ", " Azimut = ", ""},
    {" Range = ", " Distance = ", " Rango = ", ""},
    {"An application is connected to Korvalen. Please, disconnect it.",
     "Une application est connectée à Korvalen. SVP, déconnectez-là.",
     "Una aplicación se conecta a Korvalen. Por favor, desconéctelo.",
     "Une application est connectée à Korvalen. Veuillez la fermer"},
    {"Please fill each field of a DX", "SVP, remplissez chaque champ d'un DX", "Rellene cada campo de un DX",
     "Renseignez tous les champs d'un DX , svp"},
    {"N or S", "N ou S", "N or S", "N ou S"},
    {"E or W", "E ou W", "E or O", "E ou W"},
    {"Wrong format!", "Format érroné!", "Formato incorrecto!", "Format erroné !"},
    {"A more recent release is available on ORLAK's web site",
     "Une version plus récente est disponible sur le site de ORLAK",
     "Una versión más reciente está disponible ! Consulte ", "Une version plus récente est disponible. Voir "},
    {"You are up to date", "Vous êtes à jour", "Usted está al día!", "Vous êtes à jour"},
};

/// The newer-release text for @p language, the maker's web site appended where
/// the row asks for it (Spanish, and before any language).
QString NewerReleaseText(std::optional<Language> language);

/// Set by the save dialog and the information window when they are shown.
inline constexpr Row kSaveNameMessage = {"File name must be like *.bmp !",
                                         "Entrer un nom de fichier sous la forme *.bmp !",
                                         "File name must be like *.bmp !", "Name must be like *.bmp"};
inline constexpr Row kInternetFailure = {"Internet failure !", "Echec Internet !", "Fracaso de Internet !", ""};

// --- Information window (applied each time it is shown) -------------------

struct InfoTable {
    Row LabelOther;
    Row BitBtnNewRelease;
    Row CheckBoxVersion;
};

inline constexpr InfoTable kInfo = {
    {"Other softwares are available on ORLAK's web site", "Autres logiciels disponibles sur le site de ORLAK",
     "Otros programas libres están disponibles en mi sitio Web", "Other free softwares on my web site"},
    {"Check if I am up to date", "Voir si je suis à jour", "Compruebe si estoy al día", "OK"},
    {"Always check if I am up to date when starting Korvalen",
     "Toujours vérifier si je suis à jour au démarrage d'Korvalen",
     "Siempre buscar una nueva versión cuando se inicia Korvalen",
     "M'avertir au démarrage si une version plus récente est disponible"},
};

// --- Converter (applied each time it is shown) ----------------------------

struct ConverterTable {
    Row caption;
    Row LabelDegMinSec;  ///< the blanks line the words up above the four fields
    Row Label1;
    Row LabelConv;
};

inline constexpr ConverterTable kConverter = {
    {"Deg/Min/Sec => Decimal", "Deg/Min/Sec => Décimal", "Deg / Min / Seg => Decimal", "Deg/Min/Sec => Decimal"},
    {"Degrees  Min     Sec    ms", "Degrés   Min     Sec    ms", "Grados   Min     Seg    ms",
     "Degres   Min     Sec    msec"},
    {"Decimal deg.", "Deg. décimaux", "Grad. decimales", "Deg. décimaux"},
    {"Korvalen needs decimal degrees", "Korvalen utilise des degrés décimaux", "Korvalen necesita decimal grados",
     "Tornavel  utilise des coordonnées décimales "},
};

// --- Rotators turned directly: their dialog and status lines --------------
// The program's own wording. Before any language they speak English.
// "%1"... are filled in by the rotator clients.

struct RotatorTable {
    Row caption;
    Row LabelRotctld;
    Row LabelPstRotator;
    Row ButtonCancel;
    // Status lines.
    Row turning;           ///< rotctld: turning to <bearing><target in range>
    Row turnRefused;       ///< <prefix> turning to ... refused, RPRT <code><code text>
    Row outsideRange;      ///< <prefix> <bearing> lies outside ..., <min> to <max>
    Row sent;              ///< PstRotator: sent <bearing>
    Row addressRefused;    ///< <rotator> address "<text>": <reason>
    Row ignored;           ///< <rotator>: "<published>" ignored, ...
    // Failures, after "<rotator> <address>: ".
    Row connectionRefused;
    Row hostNotFound;
    Row hostNotFoundWithin;
    Row closedByRotctld;
    Row noConnectionWithin;
    Row noAnswerWithin;
    Row replyWithoutEnd;
    Row nothingListens;
    // Hamlib's codes for a refused turn.
    Row invalidParameter;
    Row notSupported;
    Row timedOut;
    Row ioError;
    Row rejected;
    // Why an address typed is refused.
    Row hostMissing;
    Row hostTooLong;
    Row hostCharacter;
    Row notIpv4;
    Row bracketMissing;
    Row portAfterBracket;
    Row notIpv6;
    Row ipv6InBrackets;
    Row portMissing;
    Row portRange;
};

inline constexpr RotatorTable kRotator = {
    {"Rotators", "Rotors", "Rotores", "Rotators"},
    {"Hamlib rotctld (host:port)", "Hamlib rotctld (hôte:port)", "Hamlib rotctld (host:puerto)",
     "Hamlib rotctld (host:port)"},
    {"PstRotator (host:port)", "PstRotator (hôte:port)", "PstRotator (host:puerto)", "PstRotator (host:port)"},
    {"Cancel", "Annuler", "Cancelar", "Cancel"},
    {"rotctld: turning to %1%2", "rotctld : rotation vers %1%2", "rotctld: girando hacia %1%2",
     "rotctld: turning to %1%2"},
    {"%1 turning to %2%3 refused, RPRT %4%5", "%1 rotation vers %2%3 refusée, RPRT %4%5",
     "%1 giro hacia %2%3 rechazado, RPRT %4%5", "%1 turning to %2%3 refused, RPRT %4%5"},
    {"%1 %2 lies outside the rotator's range, %3 to %4", "%1 %2 est hors de la course du rotor, %3 à %4",
     "%1 %2 está fuera del recorrido del rotor, %3 a %4", "%1 %2 lies outside the rotator's range, %3 to %4"},
    {"PstRotator: sent %1", "PstRotator : envoyé %1", "PstRotator: enviado %1", "PstRotator: sent %1"},
    {"%1 address \"%2\": %3", "adresse %1 \"%2\" : %3", "dirección %1 \"%2\": %3", "%1 address \"%2\": %3"},
    {"%1: \"%2\" ignored, not a bearing from 0 to 360", "%1 : \"%2\" ignoré, pas un azimut de 0 à 360",
     "%1: \"%2\" ignorado, no es un rumbo de 0 a 360", "%1: \"%2\" ignored, not a bearing from 0 to 360"},
    {"connection refused", "connexion refusée", "conexión rechazada", "connection refused"},
    {"host not found", "hôte introuvable", "host no encontrado", "host not found"},
    {"host not found within %1 s", "hôte introuvable en %1 s", "host no encontrado en %1 s",
     "host not found within %1 s"},
    {"rotctld closed the connection", "rotctld a fermé la connexion", "rotctld cerró la conexión",
     "rotctld closed the connection"},
    {"no connection within %1 s", "pas de connexion en %1 s", "sin conexión en %1 s", "no connection within %1 s"},
    {"no answer within %1 s", "pas de réponse en %1 s", "sin respuesta en %1 s", "no answer within %1 s"},
    {"a reply without end; is this rotctld?", "une réponse sans fin ; est-ce bien rotctld ?",
     "una respuesta sin fin; ¿es esto rotctld?", "a reply without end; is this rotctld?"},
    {"nothing listens there", "personne n'écoute à cette adresse", "nadie escucha en esa dirección",
     "nothing listens there"},
    {" (invalid parameter)", " (paramètre invalide)", " (parámetro no válido)", " (invalid parameter)"},
    {" (not supported by this rotator)", " (non pris en charge par ce rotor)", " (no admitido por este rotor)",
     " (not supported by this rotator)"},
    {" (timed out)", " (délai dépassé)", " (tiempo agotado)", " (timed out)"},
    {" (I/O error)", " (erreur d'entrée-sortie)", " (error de E/S)", " (I/O error)"},
    {" (rejected by the rotator)", " (refusé par le rotor)", " (rechazado por el rotor)",
     " (rejected by the rotator)"},
    {"the host is missing", "l'hôte manque", "falta el host", "the host is missing"},
    {"the host name is longer than 253 characters", "le nom d'hôte dépasse 253 caractères",
     "el nombre del host supera los 253 caracteres", "the host name is longer than 253 characters"},
    {"the host contains '%1', which no host name has", "l'hôte contient '%1', qu'aucun nom d'hôte ne contient",
     "el host contiene '%1', que ningún nombre de host tiene", "the host contains '%1', which no host name has"},
    {"%1 is not an IPv4 address", "%1 n'est pas une adresse IPv4", "%1 no es una dirección IPv4",
     "%1 is not an IPv4 address"},
    {"the ']' closing the IPv6 address is missing", "le ']' qui ferme l'adresse IPv6 manque",
     "falta el ']' que cierra la dirección IPv6", "the ']' closing the IPv6 address is missing"},
    {"':' and the port must follow the ']'", "':' et le port doivent suivre le ']'",
     "':' y el puerto deben seguir al ']'", "':' and the port must follow the ']'"},
    {"[%1] is not an IPv6 address", "[%1] n'est pas une adresse IPv6", "[%1] no es una dirección IPv6",
     "[%1] is not an IPv6 address"},
    {"an IPv6 address goes in brackets, as in [::1]:4533", "une adresse IPv6 s'écrit entre crochets, comme [::1]:4533",
     "una dirección IPv6 va entre corchetes, como [::1]:4533", "an IPv6 address goes in brackets, as in [::1]:4533"},
    {"the port is missing: write host:port", "le port manque : écrivez hôte:port",
     "falta el puerto: escriba host:puerto", "the port is missing: write host:port"},
    {"the port must be a number from 1 to 65535", "le port doit être un nombre de 1 à 65535",
     "el puerto debe ser un número de 1 a 65535", "the port must be a number from 1 to 65535"},
};

// --- Starting the rotator program ----------------------------------------
// Error boxes; before any language nothing is shown.

struct LauncherTable {
    Row alreadyOpen;
    Row launchError;  ///< the launch error's first line
    Row verifyPath;   ///< and its second, after CR LF
};

inline constexpr LauncherTable kLauncher = {
    {"Caution ! Tornavel is already open. To use it please check the server Korvalen in its Server menu",
     "Attention ! Tornavel est déjà ouvert. Pour l'utiliser choisissez le serveur Korvalen dans son menu Serveur",
     "¡Precaución! Tornavel ya está abierto. Para usarlo, por favor compruebe el Korvalen servidor en el menú "
     "Servidor",
     ""},
    {"An error occured when running Tornavel.", "Une erreur est survenue à l'ouverture d'Tornavel.",
     "Se produjo un error al ejecutar Tornavel.", ""},
    {"Please verify the full path of Tornavel.exe", "SVP, vérifiez le chemin complet de Tornavel.exe",
     "Por favor, verifique la ruta completa de Tornavel.exe", ""},
};

// --- Save dialog (applied each time it is shown) --------------------------

inline constexpr Row kSaveCancel = {"Cancel", "Annuler", "Cancel", "Annuler"};

}  // namespace korvalen::languages
