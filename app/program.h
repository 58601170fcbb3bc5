#pragma once
// Start-up: the program's folder, the settings, the seven windows in their
// order, and what the settings file carries between them.
#include <QString>
#include <QStringList>

#include "settings/settings.h"

namespace korvalen::app {

/// Makes the settings folder (the program's own folder when writable) the
/// current folder and notes whether korvalen.ini exists there.
void LocateProgramFolder(const QString& programFolder);

/// The folder chosen by LocateProgramFolder.
const QString& ProgramFolder();
bool SettingsFileExisted();

/// Values read from the settings file that no window owns yet; they are
/// written back at exit so that a user's choices survive every run.
settings::Settings& KeptSettings();

/// Creates the seven windows in order, all hidden but the generator, which
/// is shown. @p arguments are the command-line arguments without the
/// program name. Windows already created are deleted first.
void CreateWindows(const QStringList& arguments);

/// Deletes the windows (end of the program, or between tests).
void DestroyWindows();

}  // namespace korvalen::app
