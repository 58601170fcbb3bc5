#include "app/program.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

#include "widgets/locale.h"
#include "widgets/messages.h"

namespace korvalen::app {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

QString LocateProgramFolder(const QString& programFolder) {
    const QString folder = settings::SettingsFolder(programFolder);
    QDir::setCurrent(folder);
    return folder;
}

}  // namespace

void PrepareWindowSystem() {
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
}

Program::Program(const QString& programFolder)
    : folder_(LocateProgramFolder(programFolder)), settingsFileExisted_(settings::SettingsFileExists(folder_)) {}

Program::~Program() = default;

void Program::Start(const QStringList& arguments) {
    QElapsedTimer clock;
    clock.start();
    const auto step = [&](const char* name) { startSteps_.push_back({name, clock.nsecsElapsed() / 1e6}); };
    // Before the azimuth server: once a client can hold the close guard, a
    // `kill` must still leave the settings written.
    endRequests_ = std::make_unique<EndRequests>();
    connect(endRequests_.get(), &EndRequests::EndRequested, this, &Program::EndFromOutside);
    StartAzimuthServer();
    step("signals and azimuth server");
    carte_ = std::make_unique<generator::TFormCarte>(rotator_, language_);
    step("generator window");
    if (LoadSettings()) carte_->CheckCommandLineLocator(arguments);
    step("settings file");
    CheckKeptMap();
    step("kept map");
    // The viewer is made when the generator first needs it: at the
    // generation, or when it brings the kept map up after its first paint.
    carte_->SetMapDisplay({[this]() -> generator::MapDisplay& { return FormAzimut(); },
                           [this]() -> generator::MapDisplay* { return viewer_.get(); }});
    // An editor writes its headers in the language of its making.
    hamTexts_.headers = elevenTexts_.headers = language_.Current();
    Wire();
    started_ = true;
    step("wiring");
    // Asked while a message of the start-up was waiting for its OK.
    if (endPending_) QTimer::singleShot(0, this, &Program::EndFromOutside);
    carte_->show();
    if (!serverError_.isEmpty())
        widgets::ShowMessage(carte_.get(), widgets::MessageKind::Warning,
                             QStringLiteral("The azimuth server could not start: ") + serverError_ + QLatin1Char('.'));
    // The first window of a program is the active one on Windows; ask for
    // the same here, so the keyboard goes to it without a click.
    carte_->activateWindow();
    // Once the generator is up and the queued events are handled; at most
    // once per run, and only if CheckAtStart is on by then.
    releaseCheck_.CheckAtFirstIdle();
    step("generator shown");
}

void Program::CheckKeptMap() {
    // At start, as the program comes up, whenever the viewer is made: a map
    // that cannot be loaded is told now.
    if (savedMap_.SavedMapFile.isEmpty() || carte_->State().LocatorPending) return;
    keptMap_ = viewer::CheckKeptMap(savedMap_.SavedMapFile);
    if (keptMap_->status != viewer::KeptMapStatus::Ok)
        widgets::ShowMessage(carte_.get(),
                             keptMap_->status == viewer::KeptMapStatus::BitmapError ? widgets::MessageKind::Plain
                                                                                      : widgets::MessageKind::Error,
                             Q(keptMap_->error->text));
}

viewer::TFormAzimut& Program::FormAzimut() {
    if (!viewer_) {
        viewer_ = std::make_unique<viewer::TFormAzimut>(carte_->State(), rotator_, language_);
        viewer_->PanelDX->SetUserEntries([this](dx::DxList list) { return UserEntries(list); });
        viewer_->ApplyStartSettings(read_);
        viewer_->FormCreate(keptMap_);
        keptMap_.reset();
        viewer_->ShowRotatorStatus(rotatorStatus_);
        WireViewer();
    }
    return *viewer_;
}

viewer::TFormSave& Program::FormSave() {
    if (!save_) {
        save_ = std::make_unique<viewer::TFormSave>(FormAzimut().MapImage(), carte_->State(), savedMap_, language_);
        connect(save_.get(), &viewer::TFormSave::MapSaved, carte_.get(), &generator::TFormCarte::MapSaved);
        connect(save_.get(), &viewer::TFormSave::ProgramEndRequested, this, &Program::SaveSettingsAndEnd);
    }
    return *save_;
}

void Program::Wire() {
    using generator::TFormCarte;
    connect(carte_.get(), &TFormCarte::InfoRequested, this, &Program::ShowInfo);
    connect(carte_.get(), &TFormCarte::ViewerLanguageRequested, this, [this] { FormAzimut().ApplyViewerLanguage(); });
    // A release check's answer is the information window's to show, which
    // listens once made; the start-up check's usual answer (nothing new)
    // does not need it made.
    connect(&releaseCheck_, &info::ReleaseCheck::Answered, this, [this](info::Reply reply) {
        if (!info_ && reply != info::Reply::None) FormInfo().ShowReply(reply);
    });
    connect(carte_.get(), &TFormCarte::ProgramEndRequested, this, &Program::SaveSettingsAndEnd);

    // The rotators turned directly follow the program's publications, not
    // the clients' pokes; their troubles show in the viewer's status line,
    // in the program's language.
    for (const std::unique_ptr<rotator::DirectRotator>& direct : directRotators_) {
        connect(&rotator_, &rotator::AzimuthLink::Published, direct.get(), &rotator::DirectRotator::Publish);
        connect(direct.get(), &rotator::DirectRotator::StatusChanged, this, [this](const QString& status) {
            rotatorStatus_ = status;
            if (viewer_) viewer_->ShowRotatorStatus(status);
        });
        direct->SetLanguage(&language_);
    }
    // After the status connections: a bad address in the file shows there.
    ApplyRotatorAddresses();
}

void Program::ShowInfo() {
    FormInfo().show();
    FormInfo().raise();
}

void Program::WireViewer() {
    using viewer::TFormAzimut;
    // As a click on the generator's own item: its routine brings the viewer
    // along.
    connect(viewer_.get(), &TFormAzimut::GeneratorLanguageRequested, carte_.get(),
            [this](languages::Language language) { carte_->LanguageItem(language)->trigger(); });
    connect(viewer_.get(), &TFormAzimut::InfoRequested, this, &Program::ShowInfo);
    // CheckAtStart's second view (the information window's check box is
    // the first, wired by the window itself): a click on the item sets it,
    // and the mark follows every change, so it always shows CheckAtStart
    // whenever the viewer becomes active.
    connect(viewer_->MenuInfoVersion, &QAction::triggered, &releaseCheck_, &info::ReleaseCheck::SetCheckAtStart);
    connect(&releaseCheck_, &info::ReleaseCheck::CheckAtStartChanged, viewer_->MenuInfoVersion, &QAction::setChecked);
    viewer_->MenuInfoVersion->setChecked(releaseCheck_.CheckAtStart());

    connect(viewer_.get(), &TFormAzimut::PublishAzimuth, this,
            [this](const QString& azimuth) { rotator_.PublishAzimuth(azimuth); });
    connect(viewer_.get(), &TFormAzimut::BackToGenerator, carte_.get(), [this] {
        if (dxcc_) dxcc_->hide();
        carte_->ReturnFromViewer();
    });
    connect(viewer_.get(), &TFormAzimut::SaveDialogRequested, this, [this] { FormSave().Open(); });
    connect(viewer_.get(), &TFormAzimut::SaveBeforeQuitting, this, [this] {
        carte_->hide();
        FormSave().OpenToQuit();
    });
    connect(viewer_.get(), &TFormAzimut::ProgramEndRequested, this, &Program::SaveSettingsAndEnd);
    connect(viewer_->PanelDX, &dx::DxPanelWidget::ManageDxRequested, this, [this](dx::DxList list) {
        const dx::DxList other = list == dx::DxList::Ham ? dx::DxList::ElevenMetre : dx::DxList::Ham;
        if (Made(other)) Editor(other).hide();
        dx::UserDxEditor& shown = Editor(list);
        shown.show();
        shown.raise();
    });
    // The editors follow the viewer's language and its list choice; one not
    // made yet is told when it is made.
    connect(viewer_.get(), &TFormAzimut::EditorLanguageRequested, this, [this] {
        for (dx::DxList list : {dx::DxList::Ham, dx::DxList::ElevenMetre}) {
            if (Made(list)) {
                Editor(list).ApplyEditorLanguage();
            } else if (const std::optional<languages::Language> language = language_.Current()) {
                TextsOf(list).routine = language;
                TextsOf(list).routineLast = true;
            }
        }
    });
    connect(viewer_->PanelDX, &dx::DxPanelWidget::DxListChosen, this, [this](dx::DxList list) {
        if (Made(list)) {
            Editor(list).WriteHeaders();
        } else if (const std::optional<languages::Language> language = language_.Current()) {
            TextsOf(list).headers = language;
            TextsOf(list).routineLast = false;
        }
    });

    connect(viewer_.get(), &TFormAzimut::RotatorSettingsRequested, this, [this] {
        rotator::TFormRotators& dialog = FormRotators();
        dialog.SetAddresses(Q(read_.rotctldAddress), Q(read_.pstRotatorAddress));
        dialog.show();
        dialog.raise();
        dialog.activateWindow();
    });
}

std::string* Program::AddressOf(const rotator::DirectRotator& direct) {
    // The one place that pairs a rotator with the settings' field of its
    // address, by the rotator's key.
    if (direct.SettingsKey() == "ROTCTLD") return &read_.rotctldAddress;
    if (direct.SettingsKey() == "PSTROTATOR") return &read_.pstRotatorAddress;
    return nullptr;
}

void Program::ApplyRotatorAddresses() {
    // The addresses last accepted; a rotator the settings keep none for
    // stays off, and one whose address is refused says so in its status.
    for (const std::unique_ptr<rotator::DirectRotator>& direct : directRotators_)
        if (const std::string* address = AddressOf(*direct)) (void)direct->SetAddress(Q(*address));
}

const dx::UserDxEditor* Program::Made(dx::DxList list) const {
    return list == dx::DxList::Ham ? static_cast<const dx::UserDxEditor*>(dxcc_.get()) : dxcb_.get();
}

const std::vector<std::string>& Program::StoredRecords(dx::DxList list) const {
    return list == dx::DxList::Ham ? read_.hamDxRecords : read_.elevenMetreDxRecords;
}

dx::UserDxEditor& Program::Editor(dx::DxList list) {
    if (list == dx::DxList::Ham) return FormListeDXCC();
    return FormListeDXCB();
}

dx::TFormListeDXCC& Program::FormListeDXCC() {
    if (!dxcc_) {
        dxcc_ = std::make_unique<dx::TFormListeDXCC>(language_);
        Prepare(*dxcc_, dx::DxList::Ham);
    }
    return *dxcc_;
}

dx::TFormListeDXCB& Program::FormListeDXCB() {
    if (!dxcb_) {
        dxcb_ = std::make_unique<dx::TFormListeDXCB>(language_);
        Prepare(*dxcb_, dx::DxList::ElevenMetre);
    }
    return *dxcb_;
}

void Program::Prepare(dx::UserDxEditor& editor, dx::DxList list) {
    editor.Load(StoredRecords(list));
    const EditorTexts& texts = TextsOf(list);
    editor.ShowTextsOf(texts.headers, texts.routine, texts.routineLast);
    // OK puts the entries into the working list at once (and looks the call
    // box up again); "?" brings the converter.
    connect(&editor, &dx::UserDxEditor::UserListApplied, FormAzimut().PanelDX, &dx::DxPanelWidget::UserListChanged);
    connect(&editor, &dx::UserDxEditor::ConverterRequested, this, [this] {
        info::TFormConv& converter = FormConv();
        converter.show();
        converter.raise();
        converter.activateWindow();
    });
}

info::TFormInfo& Program::FormInfo() {
    if (!info_) info_ = std::make_unique<info::TFormInfo>(language_, releaseCheck_);
    return *info_;
}

info::TFormConv& Program::FormConv() {
    if (!conv_) conv_ = std::make_unique<info::TFormConv>(language_);
    return *conv_;
}

rotator::TFormRotators& Program::FormRotators() {
    if (!rotators_) {
        rotators_ = std::make_unique<rotator::TFormRotators>(language_);
        connect(rotators_.get(), &rotator::TFormRotators::AddressesAccepted, this,
                [this](const QString& rotctld, const QString& pst) {
                    read_.rotctldAddress = S(rotctld);
                    read_.pstRotatorAddress = S(pst);
                    ApplyRotatorAddresses();
                });
    }
    return *rotators_;
}

dx::UserDxTable Program::StoredTable(dx::DxList list) const {
    // As the editor reads them when it is made.
    dx::UserDxTable table(list);
    table.Load(StoredRecords(list), widgets::DecimalSeparator());
    return table;
}

std::vector<dx::DxRecord> Program::UserEntries(dx::DxList list) const {
    if (const dx::UserDxEditor* editor = Made(list)) return editor->Entries();
    return StoredTable(list).Entries();
}

std::vector<std::string> Program::UserRecords(dx::DxList list) {
    return Made(list) ? Editor(list).Records() : StoredTable(list).SettingsLines();
}

void Program::StartAzimuthServer() {
    // Before any window: a rotator program may connect while only the
    // generator shows. When another running copy of the same user already
    // serves the name, this copy serves nothing and its clients stay with
    // that copy; what the server refuses (another user's socket or folder)
    // shows in the warning at the end of Start.
    const std::string service =
        rotator::ServiceName(QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString());
    server_ = rotator::MakeAzimuthServer(rotator_, service);
    if (const Expected<void> started = server_->Start(); !started) serverError_ = Q(started.error().text);
}

bool Program::LoadSettings() {
    const settings::LoadResult r = settings::LoadSettings(folder_, settingsFileExisted_);
    read_ = r.values;
    settingsUnread_ = r.unread;
    releaseCheck_.SetCheckAtStart(read_.releaseCheckAtStart);
    releaseCheck_.Fetch().SetUrl(info::VersionsUrl(Q(read_.versionsUrl)));
    // The viewer does not exist yet: the generator's routine alone runs, and
    // the viewer takes the language when it is first shown.
    if (read_.language) carte_->ApplyGeneratorLanguage(*read_.language, true);
    carte_->RestoreCentre(Q(read_.centreText), read_.centre);
    savedMap_ = {Q(read_.savedMapFile), Q(read_.savedMapCentreText)};
    if (r.error) {
        widgets::ShowMessage(carte_.get(), widgets::MessageKind::Error, Q(r.error->text));
        return false;
    }
    return true;
}

void Program::SaveSettings() {
    QDir::setCurrent(folder_);
    settings::Settings values = read_;
    FormAzimut().StoreSettings(values);
    values.releaseCheckAtStart = releaseCheck_.CheckAtStart();
    values.language = carte_->TickedLanguage();
    values.savedMapFile = S(savedMap_.SavedMapFile);
    values.savedMapCentreText = S(savedMap_.SavedMapCentreText);
    values.hamDxRecords = UserRecords(dx::DxList::Ham);
    values.elevenMetreDxRecords = UserRecords(dx::DxList::ElevenMetre);
    bool replace = settingsFileExisted_;
    if (settingsUnread_) {
        // Whatever it holds, it is not ours to destroy. Should it not move,
        // it stays unread and the new settings stay in korvalen.~in beside it.
        settingsUnread_ = !settings::SetAsideUnreadFile(folder_, QDate::currentDate());
        replace = false;
    }
    if (const Expected<void> saved = settings::SaveSettings(folder_, values, replace); !saved)
        widgets::ShowMessage(carte_.get(), widgets::MessageKind::Error, Q(saved.error().text));
}

void Program::EndFromOutside() {
    // The settings come from the values Start reads and the windows it
    // wires: until it is through (a message of the start-up waits for its
    // OK), the end waits, and the message is answered so that the start-up
    // goes on.
    endPending_ = !started_;
    if (!endPending_) {
        SaveSettingsAndEnd();
    } else if (QWidget* message = QApplication::activeModalWidget()) {
        message->close();
    }
}

void Program::SaveSettingsAndEnd() {
    SaveSettings();
    ++endCount_;
    QCoreApplication::exit(0);
}

}  // namespace korvalen::app
