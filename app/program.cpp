#include "app/program.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

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
    // Before the azimuth server: once a client can hold the close guard, a
    // `kill` must still leave the settings written.
    endRequests_ = std::make_unique<EndRequests>();
    connect(endRequests_.get(), &EndRequests::EndRequested, this, &Program::EndFromOutside);
    StartAzimuthServer();
    carte_ = std::make_unique<generator::TFormCarte>(rotator_, language_);
    if (LoadSettings()) carte_->CheckCommandLineLocator(arguments);
    viewer_ = std::make_unique<viewer::TFormAzimut>(carte_->State(), rotator_, language_);
    // The operator's DX entries live in the editors, made after the viewer:
    // until then the working list holds the built-in rows alone.
    viewer_->PanelDX->SetUserEntries([this](dx::DxList list) {
        const dx::UserDxEditor* editor =
            list == dx::DxList::Ham ? static_cast<const dx::UserDxEditor*>(dxcc_.get()) : dxcb_.get();
        return editor ? editor->Entries() : std::vector<dx::DxRecord>();
    });
    viewer_->ApplyStartSettings(read_);
    carte_->SetMapDisplay(*viewer_);
    viewer_->FormCreate(savedMap_.SavedMapFile);
    save_ = std::make_unique<viewer::TFormSave>(viewer_->MapImage(), carte_->State(), savedMap_, language_);
    dxcc_ = std::make_unique<dx::TFormListeDXCC>(language_);
    dxcc_->Load(read_.hamDxRecords);
    info_ = std::make_unique<info::TFormInfo>(language_, releaseCheck_);
    dxcb_ = std::make_unique<dx::TFormListeDXCB>(language_);
    dxcb_->Load(read_.elevenMetreDxRecords);
    conv_ = std::make_unique<info::TFormConv>(language_);
    rotators_ = std::make_unique<rotator::TFormRotators>(language_);
    Wire();
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
}

void Program::Wire() {
    using generator::TFormCarte;
    using viewer::TFormAzimut;
    using viewer::TFormSave;

    connect(carte_.get(), &TFormCarte::InfoRequested, info_.get(), [this] {
        info_->show();
        info_->raise();
    });
    connect(carte_.get(), &TFormCarte::ViewerLanguageRequested, viewer_.get(), &TFormAzimut::ApplyViewerLanguage);
    // As a click on the generator's own item: its routine brings the viewer
    // along.
    connect(viewer_.get(), &TFormAzimut::GeneratorLanguageRequested, carte_.get(),
            [this](languages::Language language) { carte_->LanguageItem(language)->trigger(); });
    connect(viewer_.get(), &TFormAzimut::InfoRequested, info_.get(), [this] {
        info_->show();
        info_->raise();
    });
    connect(carte_.get(), &TFormCarte::ProgramEndRequested, this, &Program::SaveSettingsAndEnd);
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
        dxcc_->hide();
        carte_->ReturnFromViewer();
    });
    connect(viewer_.get(), &TFormAzimut::SaveDialogRequested, save_.get(), &TFormSave::Open);
    connect(viewer_.get(), &TFormAzimut::SaveBeforeQuitting, save_.get(), [this] {
        carte_->hide();
        save_->OpenToQuit();
    });
    connect(viewer_.get(), &TFormAzimut::ProgramEndRequested, this, &Program::SaveSettingsAndEnd);
    connect(viewer_->PanelDX, &dx::DxPanelWidget::ManageDxRequested, this, [this](dx::DxList list) {
        dx::UserDxEditor& shown = list == dx::DxList::Ham ? static_cast<dx::UserDxEditor&>(*dxcc_) : *dxcb_;
        dx::UserDxEditor& hidden = list == dx::DxList::Ham ? static_cast<dx::UserDxEditor&>(*dxcb_) : *dxcc_;
        hidden.hide();
        shown.show();
        shown.raise();
    });

    // The operator's DX lists: OK puts the entries into the working list at
    // once (and looks the call box up again); "?" brings the converter. The
    // editors follow the viewer's language and its list choice.
    for (dx::UserDxEditor* editor :
         {static_cast<dx::UserDxEditor*>(dxcc_.get()), static_cast<dx::UserDxEditor*>(dxcb_.get())}) {
        connect(editor, &dx::UserDxEditor::UserListApplied, viewer_->PanelDX, &dx::DxPanelWidget::UserListChanged);
        connect(editor, &dx::UserDxEditor::ConverterRequested, conv_.get(), [this] {
            conv_->show();
            conv_->raise();
            conv_->activateWindow();
        });
        connect(viewer_.get(), &TFormAzimut::EditorLanguageRequested, editor, &dx::UserDxEditor::ApplyEditorLanguage);
    }
    connect(viewer_->PanelDX, &dx::DxPanelWidget::DxListChosen, this, [this](dx::DxList list) {
        (list == dx::DxList::Ham ? static_cast<dx::UserDxEditor&>(*dxcc_) : *dxcb_).WriteHeaders();
    });

    connect(save_.get(), &TFormSave::MapSaved, carte_.get(), &TFormCarte::MapSaved);
    connect(save_.get(), &TFormSave::ProgramEndRequested, this, &Program::SaveSettingsAndEnd);

    // The rotators turned directly follow the program's publications, not
    // the clients' pokes; their troubles show in the viewer's status line,
    // in the program's language.
    for (const std::unique_ptr<rotator::DirectRotator>& direct : directRotators_) {
        connect(&rotator_, &rotator::AzimuthLink::Published, direct.get(), &rotator::DirectRotator::Publish);
        connect(direct.get(), &rotator::DirectRotator::StatusChanged, viewer_.get(), &TFormAzimut::ShowRotatorStatus);
        direct->SetLanguage(&language_);
    }
    // Each rotator's address as the settings keep it, by the rotator's key:
    // the one place that pairs the two.
    const auto addressOf = [this](const rotator::DirectRotator& direct) -> std::string* {
        if (direct.SettingsKey() == "ROTCTLD") return &read_.rotctldAddress;
        if (direct.SettingsKey() == "PSTROTATOR") return &read_.pstRotatorAddress;
        return nullptr;
    };
    // The addresses last accepted; a rotator the settings keep none for
    // stays off.
    const auto applyAddresses = [this, addressOf] {
        for (const std::unique_ptr<rotator::DirectRotator>& direct : directRotators_)
            if (const std::string* address = addressOf(*direct)) direct->SetAddress(Q(*address));
    };
    connect(viewer_.get(), &TFormAzimut::RotatorSettingsRequested, rotators_.get(), [this] {
        rotators_->SetAddresses(Q(read_.rotctldAddress), Q(read_.pstRotatorAddress));
        rotators_->show();
        rotators_->raise();
        rotators_->activateWindow();
    });
    connect(rotators_.get(), &rotator::TFormRotators::AddressesAccepted, this,
            [this, applyAddresses](const QString& rotctld, const QString& pst) {
                read_.rotctldAddress = S(rotctld);
                read_.pstRotatorAddress = S(pst);
                applyAddresses();
            });
    // After the status connections: a bad address in the file shows there.
    applyAddresses();
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
        widgets::ShowMessage(carte_.get(), widgets::MessageKind::Error, Q(*r.error));
        return false;
    }
    return true;
}

void Program::SaveSettings() {
    QDir::setCurrent(folder_);
    settings::Settings values = read_;
    viewer_->StoreSettings(values);
    values.releaseCheckAtStart = releaseCheck_.CheckAtStart();
    values.language = carte_->TickedLanguage();
    values.savedMapFile = S(savedMap_.SavedMapFile);
    values.savedMapCentreText = S(savedMap_.SavedMapCentreText);
    values.hamDxRecords = dxcc_->Records();
    values.elevenMetreDxRecords = dxcb_->Records();
    bool replace = settingsFileExisted_;
    if (settingsUnread_) {
        // Whatever it holds, it is not ours to destroy. Should it not move,
        // it stays unread and the new settings stay in korvalen.~in beside it.
        settingsUnread_ = !settings::SetAsideUnreadFile(folder_, QDate::currentDate());
        replace = false;
    }
    if (const auto error = settings::SaveSettings(folder_, values, replace))
        widgets::ShowMessage(carte_.get(), widgets::MessageKind::Error, Q(*error));
}

void Program::EndFromOutside() {
    // The settings come from the windows: until they all exist (a message of
    // the start-up waits for its OK), the end waits for them, and the
    // message is answered so that the start-up goes on to make them.
    // The last window made is the rotators dialog.
    endPending_ = !rotators_;
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
