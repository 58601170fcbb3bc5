#pragma once
#include <QString>

// The program's seven windows, created once at start-up in this order and
// living until the program ends. Windows reach each other through these.
namespace korvalen {
class TFormCarte;
class TFormAzimut;
class TFormSave;
class TFormListeDXCC;
class TFormInfo;
class TFormListeDXCB;
class TFormConvert;

extern TFormCarte* FormCarte;
extern TFormAzimut* FormAzimut;
extern TFormSave* FormSave;
extern TFormListeDXCC* FormListeDXCC;
extern TFormInfo* FormInfo;
extern TFormListeDXCB* FormListeDXCB;
extern TFormConvert* FormConvert;

/// The map kept for the next run and its centre text, from the settings
/// file at start, replaced by a successful save.
extern QString SavedMapFile;
extern QString SavedMapCentreText;

/// Ends the program (leaves the event loop); every orderly exit ends here.
void EndProgram();
/// How many times EndProgram was called in this process (tests read it).
int EndProgramCalls();

/// Settings file at start (false when reading stopped at a bad value: the
/// command-line locator is then not examined) and at every orderly exit.
bool LoadSettings();
void SaveSettings();
}  // namespace korvalen
