// The interface languages on the real windows: every caption and message
// read back after a switch by either menu, the texts of a first start, the
// language kept from one run to the next, the help pages, the access keys.
// The expected texts are typed here again, apart from the program's tables,
// so that a slip in either shows.
#include <QActionGroup>
#include <QFileInfo>
#include <QMenuBar>
#include <QUrl>

#include <functional>
#include <ostream>

#include "tests/windows/windows_fixture.h"
#include "widgets/label_url.h"

namespace korvalen::testing {
namespace {

using app::Program;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

/// One text of one window: how to read it, and what it says in English,
/// French, Spanish and before any language.
struct Expected {
    const char* what;
    std::function<QString(Program&)> read;
    const char* english;
    const char* french;
    const char* spanish;
    const char* before;

    const char* In(char code) const {
        return code == 'E' ? english : code == 'F' ? french : code == 'S' ? spanish : before;
    }
};

// Re-captioned at once by a switch.
const std::vector<Expected>& AtOnce() {
    static const std::vector<Expected> texts = {
        // The generator.
        {"generator caption", [](Program& p) { return p.FormCarte().windowTitle(); },
         "KORVALEN V2.1.4 - Azimuth World Map Generator by ORLAK", "KORVALEN V2.1.4 - Générateur de cartes azimutales par ORLAK",
         "KORVALEN V2.1.4 - Azimuth, Generador de mapas del mundo, por ORLAK", "KORVALEN - Azimuthal Map generator by ORLAK"},
        {"Menuquitter", [](Program& p) { return p.FormCarte().Menuquitter->text(); }, "Quit", "Quitter", "Cierre", "Quit"},
        {"generator MenuLangue", [](Program& p) { return p.FormCarte().MenuLangue->title(); }, "Language", "Langue", "Idioma",
         "Language"},
        {"generator MenuAide", [](Program& p) { return p.FormCarte().MenuAide->text(); }, "Help", "Aide", "Ayuda", "Help"},
        {"MenuVoir", [](Program& p) { return p.FormCarte().MenuVoir->text(); }, "Display the azimuth map",
         "Afficher la carte azimutale", "Despliegue el mapa azimut", "Display the azimuthal map"},
        {"StaticText1", [](Program& p) { return p.FormCarte().StaticText1->text(); },
         "Click the map or enter a grid square >>>", "Cliquer la carte ou entrer un locator >>>",
         "Haga clic en el mapa o introducir una cuadrícula", " Cliquez la carte ou entrer un locator >>>"},
        {"generation text", [](Program& p) { return p.Language().GenerationText; },
         "Generation in progress. Wait please !", "Génération en cours. Patientez S.V.P.!",
         "Generación en curso. Espere por favor!", ""},
        {"HelpFileName", [](Program& p) { return p.Language().HelpFileName; }, "Korvalen_EN.htm", "Korvalen_FR.htm",
         "Korvalen_ES.htm", "Korvalen_EN.htm"},
        {"generator MenuEnglish", [](Program& p) { return p.FormCarte().MenuEnglish->text(); }, "English", "English",
         "English", "English"},
        {"generator MenuFrancais", [](Program& p) { return p.FormCarte().MenuFrancais->text(); }, "Français",
         "Français", "Français", "Français"},
        {"generator MenuEspagnol", [](Program& p) { return p.FormCarte().MenuEspagnol->text(); }, "Español", "Español",
         "Español", "Español"},
        {"generator MenuInfo", [](Program& p) { return p.FormCarte().MenuInfo->text(); }, "Info", "Info", "Info", "Info"},
        // The viewer.
        {"MenuFichier", [](Program& p) { return p.FormAzimut().MenuFichier->title(); }, "&File", "&Fichier", "&Archivo",
         "File"},
        {"MenuEnregistrer", [](Program& p) { return p.FormAzimut().MenuEnregistrer->text(); }, "&Save this azimuth map",
         "&Enregister la carte azimutale", "&Guardar este mapa azimut", "Save the azimuthal map"},
        {"Menugenerateur", [](Program& p) { return p.FormAzimut().Menugenerateur->text(); }, "&Back to map generator",
         "&Retour au générateur de cartes", "&Volver a generador de mapas", "Back to map generator"},
        {"MenuListeDXCC", [](Program& p) { return p.FormAzimut().PanelDX->MenuListeDXCC->text(); }, "Mana&ge my DX",
         "&Gérer mes DX", "Administrar mis &DX", "Manage my DX"},
        {"MenusetTornavel", [](Program& p) { return p.FormAzimut().PanelTornavel->MenusetTornavel->text(); }, "TORNAVEL path",
         "Chemin TORNAVEL", "Ruta TORNAVEL", "TORNAVEL pathname"},
        {"MenuOptions", [](Program& p) { return p.FormAzimut().MenuOptions->title(); }, "&Options", "&Options",
         "&Opciones", "Options"},
        {"MenuUnit", [](Program& p) { return p.FormAzimut().MenuUnit->title(); }, "&Unit", "&Unité", "&Unidad", "Unit"},
        {"MenuTime", [](Program& p) { return p.FormAzimut().MenuTime->title(); }, "&Time", "&Heure", "&Tiempo", "Time"},
        {"MenuAxes", [](Program& p) { return p.FormAzimut().MenuAxes->text(); }, "Add &axis", "Ajouter les &axes",
         "Añadir el &eje", "Add or remove axis"},
        {"MenuDistances", [](Program& p) { return p.FormAzimut().MenuDistances->text(); }, "Add equidistant &circles",
         "Ajouter les &cercles équidistants", "Añadir &círculos equidistantes", "Add or remove equidistant circles"},
        {"MenuChoixListe", [](Program& p) { return p.FormAzimut().PanelDX->MenuChoixListe->title(); }, "&Choose the list",
         "&Choix de la liste", "Seleccione la &lista", "Choose the DXCC list"},
        {"MenuDXCCOM", [](Program& p) { return p.FormAzimut().PanelDX->MenuDXCCOM->text(); }, "&Ham prefixes",
         "Préfixes radioa&mateur", "Prefijos &Ham", "Ham prefixes"},
        {"MenuDXCCCB", [](Program& p) { return p.FormAzimut().PanelDX->MenuDXCCCB->text(); }, "&11m prefixes", "Préfixes &11m",
         "Prefijos &11m", "11m prefixes"},
        {"MenuSeparator", [](Program& p) { return p.FormAzimut().PanelDX->MenuSeparator->title(); }, "Separator", "Séparateur",
         "Separador", "Separator"},
        {"SepDefault", [](Program& p) { return p.FormAzimut().PanelDX->SepDefault->text(); }, "Default \t", "Par défaut \t",
         "Por defecto \t", "Default"},
        {"SepEqual", [](Program& p) { return p.FormAzimut().PanelDX->SepEqual->text(); }, "Equal =", "Egal =", "Igualdad =",
         "Equal ="},
        {"SepSlash", [](Program& p) { return p.FormAzimut().PanelDX->SepSlash->text(); }, "Slash /", "Barre de fraction / ",
         "Raya vertical /", "Slash /"},
        {"viewer MenuLangue", [](Program& p) { return p.FormAzimut().MenuLangue->title(); }, "&Language", "&Langue",
         "&Idioma", "Language"},
        {"viewer MenuAide", [](Program& p) { return p.FormAzimut().MenuAide->text(); }, "&Help", "&Aide", "A&yuda",
         "Help"},
        {"MenuInfoVersion", [](Program& p) { return p.FormAzimut().MenuInfoVersion->text(); },
         "Search for a more recent release when starting Korvalen",
         "Voir si version plus récente au démarrage d'Korvalen", "Buscar una nueva versión cuando se inicia el software",
         "Voir si nouvelle version disponible au démarrage du programme"},
        {"LabelTornavelpath", [](Program& p) { return p.FormAzimut().PanelTornavel->LabelTornavelpath->text(); },
         "Full path of tornavel.exe", "Chemin complet de tornavel.exe", "Ruta completa del tornavel.exe",
         "Chemin complet du fichier tornavel.exe"},
        {"ButtonParcourirTornavel", [](Program& p) { return p.FormAzimut().PanelTornavel->ButtonParcourirTornavel->text(); }, "Browse",
         "Parcourir", "Navigar", "Parcourir"},
        {"ButtonAnnuler", [](Program& p) { return p.FormAzimut().PanelTornavel->ButtonAnnuler->text(); }, "Cancel", "Annuler",
         "Cancelar", "Annuler"},
        {"LabelTRN", [](Program& p) { return p.FormAzimut().PanelTornavel->LabelTRN->text(); },
         "If Tornavel is not installed, please download it from this link :",
         "Si Tornavel n'est pas installé, téléchargez-le depuis ce lien :",
         "Si Tornavel no está instalado, puede descargarlo desde este enlace: ",
         "Si Tornavel n'est pas installé, veuillez le télécharger sur ce lien :"},
        {"LabelUrlRLK address", [](Program& p) { return QUrl(p.FormAzimut().PanelTornavel->LabelUrlRLK->Url()).path(); },
         "/software.htm", "/logiciel.htm", "/software.htm", "/logiciel.htm"},
        {"LabelUrlRLK caption", [](Program& p) { return QUrl(p.FormAzimut().PanelTornavel->LabelUrlRLK->text()).path(); },
         "/software.htm", "/logiciel.htm", "/software.htm", "/logiciel.htm"},
        // The viewer's captions that no language changes.
        {"viewer MenuQuitter", [](Program& p) { return p.FormAzimut().MenuQuitter->text(); }, "Quit", "Quit", "Quit",
         "Quit"},
        {"MenuUnitKM", [](Program& p) { return p.FormAzimut().MenuUnitKM->text(); }, "Km", "Km", "Km", "Km"},
        {"MenuUnitmile", [](Program& p) { return p.FormAzimut().MenuUnitmile->text(); }, "Mile", "Mile", "Mile", "Mile"},
        {"MenuTimeLocal", [](Program& p) { return p.FormAzimut().MenuTimeLocal->text(); }, "Local", "Local", "Local",
         "Local"},
        {"MenuTimeUTC", [](Program& p) { return p.FormAzimut().MenuTimeUTC->text(); }, "UTC (Z)", "UTC (Z)", "UTC (Z)",
         "UTC (Z)"},
        {"SepUnderscore", [](Program& p) { return p.FormAzimut().PanelDX->SepUnderscore->text(); }, "Underscore _",
         "Underscore _", "Underscore _", "Underscore _"},
        {"MenuTornavel", [](Program& p) { return p.FormAzimut().PanelTornavel->MenuTornavel->text(); }, "Tornavel", "Tornavel",
         "Tornavel", "Tornavel"},
        {"viewer MenuEnglish", [](Program& p) { return p.FormAzimut().MenuEnglish->text(); }, "&English", "&English",
         "&English", "&English"},
        {"viewer MenuFrancais", [](Program& p) { return p.FormAzimut().MenuFrancais->text(); }, "&Français",
         "&Français", "&Français", "&Français"},
        {"viewer MenuEspagnol", [](Program& p) { return p.FormAzimut().MenuEspagnol->text(); }, "Español", "Español",
         "Español", "Español"},
        {"help menu", [](Program& p) { return p.FormAzimut().MenuHelp->title(); }, "?", "?", "?", "?"},
        {"menuInfo", [](Program& p) { return p.FormAzimut().menuInfo->text(); }, "Info", "Info", "Info", "Info"},
        {"ButtonOKTornavel", [](Program& p) { return p.FormAzimut().PanelTornavel->ButtonOKTornavel->text(); }, "OK", "OK", "OK", "OK"},
        {"LabelLP", [](Program& p) { return p.FormAzimut().LabelLP->text(); }, "<=Direct       Long Pass =>",
         "<=Direct       Long Pass =>", "<=Direct       Long Pass =>", "<=Direct       Long Pass =>"},
        {"LabelCall", [](Program& p) { return p.FormAzimut().PanelDX->LabelCall->text(); }, "CALL : ", "CALL : ", "CALL : ",
         "CALL : "},
        {"LabelUTC", [](Program& p) { return p.FormAzimut().PanelDX->LabelUTC->text(); }, "UTC:", "UTC:", "UTC:", "UTC:"},
        {"viewer caption", [](Program& p) { return p.FormAzimut().windowTitle(); }, "KORVALEN V2.1.4",
         "KORVALEN V2.1.4", "KORVALEN V2.1.4", "KORVALEN V2.1.4"},
        // The DX editors' captions and the ham editor's country header.
        {"ham editor caption", [](Program& p) { return p.FormListeDXCC().windowTitle(); }, "My DX", "Mes DX", "Mi DX",
         "Mes DX"},
        {"11m editor caption", [](Program& p) { return p.FormListeDXCB().windowTitle(); }, "My 11m DX", "Mes DX 11m",
         "Mi 11m DX", "Mes DX 11m"},
        {"ham editor country header", [](Program& p) { return p.FormListeDXCC().HeaderText(1); }, "COUNTRY", "PAYS",
         "PAÍS", ""},
        // The shared messages the viewer sets.
        {"save question", [](Program& p) { return p.Language().SaveQuestion; },
         "Do you want to save this map for the next session ?",
         "Voulez-vous enregistrer la carte pour la session suivante ?", "¿Desea guardar este mapa para la próxima sesión?",
         "Voulez_vous enregistrer cette carte azimutale pour la session suivante ?"},
        {"azimuth prefix", [](Program& p) { return p.FormAzimut().State().AzimuthCaption; }, " Azimuth = ",
         " Azimut = ", " Azimut = ", ""},
        {"range prefix", [](Program& p) { return p.FormAzimut().State().RangeCaption; }, " Range = ", " Distance = ",
         " Rango = ", ""},
        {"connected message", [](Program& p) { return p.Language().ConnectedMessage; },
         "An application is connected to Korvalen. Please, disconnect it.",
         "Une application est connectée à Korvalen. SVP, déconnectez-là.",
         "Una aplicación se conecta a Korvalen. Por favor, desconéctelo.",
         "Une application est connectée à Korvalen. Veuillez la fermer"},
        {"DX empty field", [](Program& p) { return p.Language().DxEmptyFieldText; }, "Please fill each field of a DX",
         "SVP, remplissez chaque champ d'un DX", "Rellene cada campo de un DX", "Renseignez tous les champs d'un DX , svp"},
        {"DX N or S", [](Program& p) { return p.Language().DxNorthSouthText; }, "N or S", "N ou S", "N or S", "N ou S"},
        {"DX E or W", [](Program& p) { return p.Language().DxEastWestText; }, "E or W", "E ou W", "E or O", "E ou W"},
        {"DX bad number", [](Program& p) { return p.Language().DxBadNumberText; }, "Wrong format!", "Format érroné!",
         "Formato incorrecto!", "Format erroné !"},
        {"newer release", [](Program& p) { return p.Language().NewerReleaseText; },
         "A more recent release is available on ORLAK's web site",
         "Une version plus récente est disponible sur le site de ORLAK",
         "Una versión más reciente está disponible ! Consulte https://www.orlak.example",
         "Une version plus récente est disponible. Voir https://www.orlak.example"},
        {"up to date", [](Program& p) { return p.Language().UpToDateText; }, "You are up to date", "Vous êtes à jour",
         "Usted está al día!", "Vous êtes à jour"},
    };
    return texts;
}

// Set when the save dialog is next shown.
const std::vector<Expected>& AtSaveShowing() {
    static const std::vector<Expected> texts = {
        {"save ButtonCancel", [](Program& p) { return p.FormSave().ButtonCancel->text(); }, "Cancel", "Annuler", "Cancel",
         "Annuler"},
        {"save-name message", [](Program& p) { return p.Language().SaveNameText; }, "File name must be like *.bmp !",
         "Entrer un nom de fichier sous la forme *.bmp !", "File name must be like *.bmp !", "Name must be like *.bmp"},
        {"save caption", [](Program& p) { return p.FormSave().windowTitle(); }, "KORVALEN V2.1.4", "KORVALEN V2.1.4",
         "KORVALEN V2.1.4", "KORVALEN V2.1.4"},
    };
    return texts;
}

// Set when the converter is next shown.
const std::vector<Expected>& AtConverterShowing() {
    static const std::vector<Expected> texts = {
        {"converter caption", [](Program& p) { return p.FormConv().windowTitle(); }, "Deg/Min/Sec => Decimal",
         "Deg/Min/Sec => Décimal", "Deg / Min / Seg => Decimal", "Deg/Min/Sec => Decimal"},
        {"LabelDegMinSec", [](Program& p) { return p.FormConv().LabelDegMinSec->text(); }, "Degrees  Min     Sec    ms",
         "Degrés   Min     Sec    ms", "Grados   Min     Seg    ms", "Degres   Min     Sec    msec"},
        {"converter Label1", [](Program& p) { return p.FormConv().Label1->text(); }, "Decimal deg.", "Deg. décimaux",
         "Grad. decimales", "Deg. décimaux"},
        {"LabelConv", [](Program& p) { return p.FormConv().LabelConv->text(); }, "Korvalen needs decimal degrees",
         "Korvalen utilise des degrés décimaux", "Korvalen necesita decimal grados",
         "Tornavel  utilise des coordonnées décimales "},
    };
    return texts;
}

// Set when the information window is next shown.
const std::vector<Expected>& AtInfoShowing() {
    static const std::vector<Expected> texts = {
        {"LabelOther", [](Program& p) { return p.FormInfo().LabelOther->text(); },
         "Other softwares are available on ORLAK's web site", "Autres logiciels disponibles sur le site de ORLAK",
         "Otros programas libres están disponibles en mi sitio Web", "Other free softwares on my web site"},
        {"BitBtnNewRelease", [](Program& p) { return p.FormInfo().BitBtnNewRelease->text(); }, "Check if I am up to date",
         "Voir si je suis à jour", "Compruebe si estoy al día", "OK"},
        {"CheckBoxVersion", [](Program& p) { return p.FormInfo().CheckBoxVersion->text(); },
         "Always check if I am up to date when starting Korvalen",
         "Toujours vérifier si je suis à jour au démarrage d'Korvalen",
         "Siempre buscar una nueva versión cuando se inicia Korvalen",
         "M'avertir au démarrage si une version plus récente est disponible"},
        {"info Label1", [](Program& p) { return p.FormInfo().Label1->text(); }, "KORVALEN V2.1.4", "KORVALEN V2.1.4",
         "KORVALEN V2.1.4", "KORVALEN V2.1.4"},
        {"Internet failure", [](Program& p) { return p.Language().InternetFailureText; }, "Internet failure !",
         "Echec Internet !", "Fracaso de Internet !", ""},
    };
    return texts;
}

// The other grid headers follow at the next choice of the list.
const std::vector<Expected>& AtListChoice() {
    static const std::vector<Expected> texts = {
        {"ham CALL", [](Program& p) { return p.FormListeDXCC().HeaderText(0); }, "CALL", "CALL", "CALL", "CALL"},
        {"ham LAT", [](Program& p) { return p.FormListeDXCC().HeaderText(2); }, "LAT (dec)", "LAT (dec)", "LAT (dec)", ""},
        {"ham N/S", [](Program& p) { return p.FormListeDXCC().HeaderText(3); }, "N/S", "N/S", "N/S", ""},
        {"ham LON", [](Program& p) { return p.FormListeDXCC().HeaderText(4); }, "LON (dec)", "LON (dec)", "LON (dec)", ""},
        {"ham E/W", [](Program& p) { return p.FormListeDXCC().HeaderText(5); }, "E/W", "E/O", "E/O", ""},
        {"ham UTC", [](Program& p) { return p.FormListeDXCC().HeaderText(6); }, "UTC", "UTC", "UTC", "UTC"},
        {"11m CALL", [](Program& p) { return p.FormListeDXCB().HeaderText(0); }, "CALL", "CALL", "CALL", "CALL"},
        {"11m COUNTRY", [](Program& p) { return p.FormListeDXCB().HeaderText(1); }, "COUNTRY", "PAYS", "PAÍS", ""},
        {"11m E/W", [](Program& p) { return p.FormListeDXCB().HeaderText(5); }, "E/W", "E/O", "E/O", ""},
    };
    return texts;
}

void ExpectTexts(Program& p, const std::vector<Expected>& texts, char code) {
    for (const Expected& t : texts) EXPECT_EQ(t.read(p).toStdString(), t.In(code)) << t.what;
}

enum class Route { GeneratorMenu, ViewerMenu };

struct Switch {
    char code;
    Route route;
};

std::string Name(const Switch& s) {
    const char* language = s.code == 'E' ? "English" : s.code == 'F' ? "French" : "Spanish";
    return std::string(language) + (s.route == Route::GeneratorMenu ? "ByTheGeneratorMenu" : "ByTheViewerMenu");
}

void PrintTo(const Switch& s, std::ostream* os) { *os << Name(s); }

class Languages : public WindowsTest {
protected:
    QAction* GeneratorItem(char code) {
        return code == 'E' ? carte().MenuEnglish : code == 'F' ? carte().MenuFrancais : carte().MenuEspagnol;
    }
    QAction* ViewerItem(char code) {
        return code == 'E' ? viewer().MenuEnglish : code == 'F' ? viewer().MenuFrancais : viewer().MenuEspagnol;
    }
    void ExpectTicks(char code) {
        for (char c : {'E', 'F', 'S'}) {
            EXPECT_EQ(GeneratorItem(c)->isChecked(), c == code) << c;
            EXPECT_EQ(ViewerItem(c)->isChecked(), c == code) << c;
        }
    }
    QStringList LanguageLines() const {
        QStringList out;
        for (const QByteArray& line : ReadFile("korvalen.ini").split('\n'))
            if (line.startsWith("LANGUAGE=")) out << QString::fromLatin1(line.trimmed());
        return out;
    }
};

class LanguageSwitch : public Languages, public ::testing::WithParamInterface<Switch> {};

TEST_P(LanguageSwitch, RecaptionsEveryWindowAtOnceAndTheDialogsAtTheirNextShowing) {
    const Switch s = GetParam();
    Start();
    // A save dialog shown before the switch keeps its texts until shown again.
    save().show();
    if (s.route == Route::ViewerMenu) {
        viewer().show();
        ViewerItem(s.code)->trigger();
    } else {
        GeneratorItem(s.code)->trigger();
    }
    EXPECT_EQ(program().Language().LanguageCode.toStdString(), std::string(1, s.code));
    ExpectTicks(s.code);
    ExpectTexts(program(), AtOnce(), s.code);
    ExpectTexts(program(), AtSaveShowing(), 0);
    ExpectTexts(program(), AtConverterShowing(), 0);
    ExpectTexts(program(), AtInfoShowing(), 0);
    ExpectTexts(program(), AtListChoice(), 0);

    program().FormInfo().show();
    ExpectTexts(program(), AtInfoShowing(), s.code);
    save().hide();
    save().show();
    ExpectTexts(program(), AtSaveShowing(), s.code);
    program().FormConv().show();
    ExpectTexts(program(), AtConverterShowing(), s.code);
    viewer().PanelDX->MenuDXCCCB->trigger();
    viewer().PanelDX->MenuDXCCOM->trigger();
    ExpectTexts(program(), AtListChoice(), s.code);
}

TEST_P(LanguageSwitch, IsTheLanguageTheSettingsFileRecords) {
    const Switch s = GetParam();
    WriteSettings("[KORVALEN]\r\nLANGUAGE=FRENCH\r\n");
    Start();
    viewer().show();
    if (s.route == Route::ViewerMenu)
        ViewerItem(s.code)->trigger();
    else
        GeneratorItem(s.code)->trigger();
    viewer().close();
    ASSERT_EQ(EndCount(), 1);
    const char* name = s.code == 'E' ? "ENGLISH" : s.code == 'F' ? "FRENCH" : "SPANISH";
    EXPECT_EQ(LanguageLines(), QStringList{QStringLiteral("LANGUAGE=") + QLatin1String(name)});
}

INSTANTIATE_TEST_SUITE_P(Both, LanguageSwitch,
                         ::testing::Values(Switch{'E', Route::GeneratorMenu}, Switch{'F', Route::GeneratorMenu},
                                           Switch{'S', Route::GeneratorMenu}, Switch{'E', Route::ViewerMenu},
                                           Switch{'F', Route::ViewerMenu}, Switch{'S', Route::ViewerMenu}),
                         [](const auto& info) { return Name(info.param); });

TEST_F(Languages, AFirstStartShowsTheTextsBeforeAnyLanguageAndRecordsEnglish) {
    Start();
    viewer().show();
    save().show();
    program().FormConv().show();
    program().FormInfo().show();
    EXPECT_TRUE(program().Language().LanguageCode.isEmpty());
    ExpectTexts(program(), AtOnce(), 0);
    ExpectTexts(program(), AtSaveShowing(), 0);
    ExpectTexts(program(), AtConverterShowing(), 0);
    ExpectTexts(program(), AtInfoShowing(), 0);
    ExpectTexts(program(), AtListChoice(), 0);
    EXPECT_TRUE(carte().MenuEnglish->isChecked());
    EXPECT_TRUE(viewer().MenuEnglish->isChecked());
    viewer().close();
    EXPECT_EQ(LanguageLines(), QStringList{QStringLiteral("LANGUAGE=ENGLISH")});
}

TEST_F(Languages, TheSettingsFileChoosesBeforeTheViewerExistsAndTheViewerFollowsWhenShown) {
    WriteSettings("[KORVALEN]\r\nLANGUAGE=SPANISH\r\n");
    StartQuietly();
    EXPECT_EQ(program().Language().LanguageCode, QStringLiteral("S"));
    EXPECT_EQ(carte().Menuquitter->text(), QStringLiteral("Cierre"));
    EXPECT_TRUE(carte().MenuEspagnol->isChecked());
    // The viewer has not been shown: its captions and messages wait.
    EXPECT_EQ(viewer().MenuFichier->title(), QStringLiteral("File"));
    EXPECT_TRUE(viewer().State().AzimuthCaption.isEmpty());
    viewer().show();
    EXPECT_EQ(viewer().MenuFichier->title(), QStringLiteral("&Archivo"));
    EXPECT_TRUE(viewer().MenuEspagnol->isChecked());
    EXPECT_EQ(viewer().State().AzimuthCaption, QStringLiteral(" Azimut = "));
}

TEST_F(Languages, AValueOtherThanTheThreeNamesIsIgnoredAndEnglishRecorded) {
    WriteSettings("[KORVALEN]\r\nLANGUAGE=french\r\n");
    Start();
    viewer().show();
    EXPECT_TRUE(program().Language().LanguageCode.isEmpty());
    ExpectTexts(program(), AtOnce(), 0);
    viewer().close();
    EXPECT_EQ(LanguageLines(), QStringList{QStringLiteral("LANGUAGE=ENGLISH")});
}

TEST_F(Languages, TheLongestReadOutOfEveryLanguageFitsItsBox) {
    Start();
    GenerateAt(400, 100);
    ASSERT_TRUE(viewer().isVisible());
    viewer().MenuUnitmileClick();
    for (QAction* item : {viewer().MenuEnglish, viewer().MenuFrancais, viewer().MenuEspagnol}) {
        item->trigger();
        // Near the rim: five-digit ranges both ways round.
        Move(viewer().ImageAzimut, 300, 2);
        for (QLabel* box : {viewer().StaticTextAzim, viewer().StaticTextLP}) {
            ASSERT_FALSE(box->text().isEmpty());
            EXPECT_LE(box->fontMetrics().horizontalAdvance(box->text()), box->contentsRect().width())
                << box->text().toStdString();
        }
    }
}

TEST_F(Languages, TheHiddenButtonAppliesTheCurrentLanguageToTheViewer) {
    WriteSettings("[KORVALEN]\r\nLANGUAGE=FRENCH\r\n");
    StartQuietly();
    ASSERT_FALSE(viewer().ButtonLangue->isVisible());
    EXPECT_EQ(viewer().MenuOptions->title(), QStringLiteral("Options"));
    viewer().ButtonLangue->click();
    EXPECT_EQ(viewer().MenuOptions->title(), QStringLiteral("&Options"));
    EXPECT_EQ(viewer().MenuUnit->title(), U("&Unité"));
}

// The help page of the language, from the program's folder whatever the
// current folder, by either window's Help item.
struct HelpCase {
    const char* label;
    const char* languageLine;  ///< the settings line, or none
    bool fromViewer;
    const char* page;
};

void PrintTo(const HelpCase& c, std::ostream* os) { *os << c.label; }

class HelpPage : public Languages, public ::testing::WithParamInterface<HelpCase> {
protected:
    void TearDown() override {
        widgets::SetUrlOpener({});
        Languages::TearDown();
    }
};

TEST_P(HelpPage, OpensThePageOfTheLanguageFromTheProgramsFolder) {
    const HelpCase& c = GetParam();
    WriteSettings(std::string("[KORVALEN]\r\n") + c.languageLine);
    Start();
    QList<QUrl> opened;
    widgets::SetUrlOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });
    QDir::setCurrent(QDir::rootPath());
    (c.fromViewer ? viewer().MenuAide : carte().MenuAide)->trigger();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first().toLocalFile(),
              QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(c.page)));
}

INSTANTIATE_TEST_SUITE_P(
    Languages, HelpPage,
    ::testing::Values(HelpCase{"BeforeAnyLanguageFromTheGenerator", "", false, "Korvalen_EN.htm"},
                      HelpCase{"EnglishFromTheViewer", "LANGUAGE=ENGLISH\r\n", true, "Korvalen_EN.htm"},
                      HelpCase{"FrenchFromTheGenerator", "LANGUAGE=FRENCH\r\n", false, "Korvalen_FR.htm"},
                      HelpCase{"FrenchFromTheViewer", "LANGUAGE=FRENCH\r\n", true, "Korvalen_FR.htm"},
                      HelpCase{"SpanishFromTheViewer", "LANGUAGE=SPANISH\r\n", true, "Korvalen_ES.htm"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(Languages, TheViewersMenusOpenFromTheKeyboardOnceALanguageIsChosen) {
    Start();
    carte().MenuFrancais->trigger();
    viewer().show();
    viewer().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer()));
    // Alt+F opens "&Fichier", Alt+O "&Options".
    QTest::keyClick(&viewer(), Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(WaitFor([&] { return viewer().MenuFichier->isVisible(); }));
    QTest::keyClick(viewer().MenuFichier, Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([&] { return !viewer().MenuFichier->isVisible(); }));
    QTest::keyClick(&viewer(), Qt::Key_O, Qt::AltModifier);
    ASSERT_TRUE(WaitFor([&] { return viewer().MenuOptions->isVisible(); }));
    QTest::keyClick(viewer().MenuOptions, Qt::Key_Escape);
}

}  // namespace
}  // namespace korvalen::testing
