#pragma once
// The running program: the settings folder, the values that live with the
// program rather than with one window, the seven windows in their creation
// order, and the wiring between them. The one place that knows every window.
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

#include "korvalen_version.h"

#include "app/end_requests.h"
#include "dx/form_liste_dx.h"
#include "generator/form_carte.h"
#include "info/form_conv.h"
#include "info/form_info.h"
#include "info/release_check.h"
#include "languages/languages.h"
#include "rotator/azimuth_link.h"
#include "rotator/azimuth_server.h"
#include "rotator/direct_rotators.h"
#include "rotator/form_rotators.h"
#include "settings/settings.h"
#include "viewer/form_azimut.h"
#include "viewer/form_save.h"

namespace korvalen::app {

/// To be called before the QApplication is made. On X11, Qt hands window
/// contents to the server through shared memory, and each repaint of
/// pixels already handed over first waits for the server to be done with
/// them (a round trip). The progress bar repaints after each of the 796
/// columns, so a generation waited on the X server 796 times (and much
/// longer whenever the server or this program waited for a processor).
/// Sent over the connection instead, a repaint never waits. An explicit
/// QT_XCB_NO_MITSHM in the environment is left as it is.
void PrepareWindowSystem();

class Program : public QObject {
    Q_OBJECT
public:
    /// LocateProgramFolder: makes the settings folder (the program's own
    /// folder when files can be created there) the current folder and notes
    /// whether korvalen.ini exists there. No window exists yet.
    explicit Program(const QString& programFolder);
    ~Program() override;

    /// Makes the generator and shows it, after the settings file, the
    /// command-line locator (@p arguments without the program name) and the
    /// kept map's check. Every other window is made at its first use, with
    /// what it would have been told since the start, so that the first
    /// window is up sooner: the viewer when the generator first needs it
    /// (a generation, or the kept map brought up after its first paint),
    /// the others when they are opened.
    void Start(const QStringList& arguments);

    generator::TFormCarte& FormCarte() { return *carte_; }
    viewer::TFormAzimut& FormAzimut();
    viewer::TFormSave& FormSave();
    dx::TFormListeDXCC& FormListeDXCC();
    info::TFormInfo& FormInfo();
    dx::TFormListeDXCB& FormListeDXCB();
    info::TFormConv& FormConv();
    rotator::TFormRotators& FormRotators();
    /// The editor of @p list.
    dx::UserDxEditor& Editor(dx::DxList list);

    const settings::SavedMap& SavedMap() const { return savedMap_; }
    const rotator::AzimuthLink& Rotator() const { return rotator_; }
    /// The release check, with CheckAtStart (tests follow the start-up check).
    info::ReleaseCheck& ReleaseCheck() { return releaseCheck_; }
    /// The language code and the shared messages.
    const languages::LanguageState& Language() const { return language_; }
    /// The azimuth service (tests connect to it).
    const rotator::AzimuthServer& AzimuthServer() const { return *server_; }
    /// Where Start spent its time: each step's end, in milliseconds from
    /// its beginning (the benchmark prints them).
    struct StartStep {
        const char* name;
        double endMs;
    };
    const std::vector<StartStep>& StartSteps() const { return startSteps_; }
    /// How many times an orderly exit ended the program (tests read it).
    int EndCount() const { return endCount_; }

    /// The common end of every orderly exit: the settings file is written
    /// from the owners' values, then the program leaves its event loop.
    void SaveSettingsAndEnd();

private:
    /// Reads korvalen.ini into the owners; false when reading stopped at a
    /// bad value (the command-line locator is then not examined).
    bool LoadSettings();
    /// A signal or the session's end: SaveSettingsAndEnd, once the windows
    /// that hold the settings exist.
    void EndFromOutside();
    void SaveSettings();
    void StartAzimuthServer();
    /// Checks the kept map the viewer will put up, and tells at once why it
    /// cannot, while the program comes up.
    void CheckKeptMap();
    void Wire();
    void WireViewer();
    void ShowInfo();
    /// The operator's entries of @p list, and the lines the settings file
    /// keeps for it: the editor's when it was made, else the file's as the
    /// editor would read them.
    std::vector<dx::DxRecord> UserEntries(dx::DxList list) const;
    std::vector<std::string> UserRecords(dx::DxList list);
    dx::UserDxTable StoredTable(dx::DxList list) const;
    /// The editor of @p list if it was made yet, else null.
    const dx::UserDxEditor* Made(dx::DxList list) const;
    /// The lines the settings file gave for @p list.
    const std::vector<std::string>& StoredRecords(dx::DxList list) const;
    /// A DX editor just made: its entries, the texts it missed, its wiring.
    void Prepare(dx::UserDxEditor& editor, dx::DxList list);
    /// The settings' address of a rotator driven directly, by its key.
    std::string* AddressOf(const rotator::DirectRotator& direct);
    void ApplyRotatorAddresses();

    const QString folder_;
    const bool settingsFileExisted_;
    /// korvalen.ini was there but could not be read: it is set aside, not
    /// written over, at the exit.
    bool settingsUnread_ = false;
    /// What the file said at start: the values no window owns (the
    /// rotators' addresses, as last accepted) are written back from here.
    settings::Settings read_;
    settings::SavedMap savedMap_;
    languages::LanguageState language_;
    /// The release check and CheckAtStart, read from VERSTART and written
    /// back at exit; the information window's check box and the viewer's
    /// MenuInfoVersion are its two views.
    info::ReleaseCheck releaseCheck_{QStringLiteral(KORVALEN_VERSION)};
    rotator::AzimuthLink rotator_;
    /// The azimuth service (DDE on Windows, a local socket elsewhere), from
    /// start-up to the exit.
    std::unique_ptr<rotator::AzimuthServer> server_;
    QString serverError_;
    /// The rotators turned directly at each publication.
    std::vector<std::unique_ptr<rotator::DirectRotator>> directRotators_ = rotator::MakeDirectRotators();
    /// SIGTERM, SIGHUP and the session's end: the settings are written as at
    /// an orderly exit, close guard or not, and the program ends.
    std::unique_ptr<EndRequests> endRequests_;
    /// An end was asked for before Start was through.
    bool endPending_ = false;
    /// Start read the settings and wired the program: an end may write them.
    bool started_ = false;
    std::vector<StartStep> startSteps_;
    /// The kept map as checked at start, until the viewer takes it.
    std::optional<viewer::KeptMap> keptMap_;
    /// The directly driven rotators' last status, for a viewer made later.
    QString rotatorStatus_;
    /// What each DX editor would have been told before it was made: the
    /// language of its last header writing and of its last language
    /// routine, and which came last. Applied when it is made.
    struct EditorTexts {
        std::optional<languages::Language> headers;
        std::optional<languages::Language> routine;
        bool routineLast = false;
    };
    EditorTexts hamTexts_;
    EditorTexts elevenTexts_;
    EditorTexts& TextsOf(dx::DxList list) { return list == dx::DxList::Ham ? hamTexts_ : elevenTexts_; }
    int endCount_ = 0;
    // The windows last, so they go before the values they refer to.
    std::unique_ptr<generator::TFormCarte> carte_;
    std::unique_ptr<viewer::TFormAzimut> viewer_;
    std::unique_ptr<viewer::TFormSave> save_;
    std::unique_ptr<dx::TFormListeDXCC> dxcc_;
    std::unique_ptr<info::TFormInfo> info_;
    std::unique_ptr<dx::TFormListeDXCB> dxcb_;
    std::unique_ptr<info::TFormConv> conv_;
    std::unique_ptr<rotator::TFormRotators> rotators_;
};

}  // namespace korvalen::app
