#include "app/program.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QScrollBar>

#include "app/forms.h"
#include "app/messages.h"
#include "dx/dx_forms.h"
#include "generator/form_carte.h"
#include "info/info_forms.h"
#include "rotator/azimuth_link.h"
#include "viewer/form_azimut.h"
#include "viewer/form_save.h"

namespace korvalen {

TFormCarte* FormCarte = nullptr;
TFormAzimut* FormAzimut = nullptr;
TFormSave* FormSave = nullptr;
TFormListeDXCC* FormListeDXCC = nullptr;
TFormInfo* FormInfo = nullptr;
TFormListeDXCB* FormListeDXCB = nullptr;
TFormConvert* FormConvert = nullptr;
QString SavedMapFile;
QString SavedMapCentreText;

namespace {
int g_endCalls = 0;
QString g_folder;
bool g_settingsFileExisted = false;
settings::Settings g_kept;

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }
}  // namespace

void EndProgram() {
    ++g_endCalls;
    QCoreApplication::exit(0);
}

int EndProgramCalls() { return g_endCalls; }

bool LoadSettings() {
    const settings::LoadResult r = settings::LoadSettings(g_folder, g_settingsFileExisted);
    g_kept = r.values;
    const settings::Settings& v = r.values;
    // Values owned by the generator are set now; those of the viewer, which
    // does not exist yet, are taken from KeptSettings when it is created.
    FormCarte->CentreText = Q(v.centreText);
    FormCarte->CentreLatitude = v.centre.latitude;
    FormCarte->CentreLongitude = v.centre.longitude;
    FormCarte->MemoDX.clear();
    for (const std::string& row : v.hamDxRecords) FormCarte->MemoDX << Q(row);
    FormCarte->MemoDXCB.clear();
    for (const std::string& row : v.elevenMetreDxRecords) FormCarte->MemoDXCB << Q(row);
    SavedMapFile = Q(v.savedMapFile);
    SavedMapCentreText = Q(v.savedMapCentreText);
    if (r.error) {
        ShowMessage(FormCarte, MessageKind::Error, Q(*r.error));
        return false;
    }
    return true;
}

void SaveSettings() {
    QDir::setCurrent(g_folder);
    settings::Settings v = g_kept;
    v.unitFactor = FormAzimut->UnitFactor == 1 ? geo::KilometreFactor : geo::StatuteMileFactor;
    v.savedMapFile = S(SavedMapFile);
    v.savedMapCentreText = S(SavedMapCentreText);
    v.viewerTop = FormAzimut->pos().y();
    v.viewerLeft = FormAzimut->pos().x();
    v.viewerHeight = FormAzimut->height();
    v.viewerWidth = FormAzimut->width();
    v.viewerScroll = FormAzimut->ScrollBoxAzimut->horizontalScrollBar()->value();
    v.hamDxRecords.clear();
    for (const QString& row : FormCarte->MemoDX) v.hamDxRecords.push_back(S(row));
    v.elevenMetreDxRecords.clear();
    for (const QString& row : FormCarte->MemoDXCB) v.elevenMetreDxRecords.push_back(S(row));
    v.utc = FormAzimut->MenuTimeUTC->isChecked();
    if (const auto error = settings::SaveSettings(g_folder, v, g_settingsFileExisted))
        ShowMessage(FormCarte, MessageKind::Error, Q(*error));
}

namespace app {

void LocateProgramFolder(const QString& programFolder) {
    g_folder = settings::SettingsFolder(programFolder);
    QDir::setCurrent(g_folder);
    g_settingsFileExisted = settings::SettingsFileExists(g_folder);
}

const QString& ProgramFolder() { return g_folder; }
bool SettingsFileExisted() { return g_settingsFileExisted; }
settings::Settings& KeptSettings() { return g_kept; }

void DestroyWindows() {
    delete FormConvert;
    delete FormListeDXCB;
    delete FormInfo;
    delete FormListeDXCC;
    delete FormSave;
    delete FormAzimut;
    delete FormCarte;
    FormCarte = nullptr;
    FormAzimut = nullptr;
    FormSave = nullptr;
    FormListeDXCC = nullptr;
    FormInfo = nullptr;
    FormListeDXCB = nullptr;
    FormConvert = nullptr;
    SavedMapFile.clear();
    SavedMapCentreText.clear();
    rotator::ResetAzimuthLink();
}

void CreateWindows(const QStringList& arguments) {
    DestroyWindows();
    new TFormCarte(arguments);  // sets FormCarte, reads the settings
    auto* viewer = new TFormAzimut;
    FormAzimut = viewer;
    const settings::Settings& v = g_kept;
    viewer->StartTop = v.viewerTop;
    viewer->StartLeft = v.viewerLeft;
    viewer->StartHeight = v.viewerHeight;
    viewer->StartWidth = v.viewerWidth;
    viewer->StartHorizontalScroll = v.viewerScroll;
    viewer->StartUtc = v.utc;
    viewer->UnitFactor = v.unitFactor == 1 ? 1.0 : 1.609344;
    // The clock mode read at start is ticked from the start, not only from
    // the first showing: a run that never shows the viewer writes it back
    // instead of silently turning "UTC=Y" into "UTC=N".
    if (v.utc) viewer->MenuTimeUTCClick();
    viewer->FormCreate();
    FormSave = new TFormSave;
    FormListeDXCC = new TFormListeDXCC;
    FormInfo = new TFormInfo;
    FormListeDXCB = new TFormListeDXCB;
    FormConvert = new TFormConvert;
    FormCarte->show();
    // The first window of a program is the active one on Windows; ask for
    // the same here, so the keyboard goes to it without a click.
    FormCarte->activateWindow();
}

}  // namespace app
}  // namespace korvalen
