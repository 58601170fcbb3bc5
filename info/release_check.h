#pragma once
// The release check: the download of the maker's versions file, and the
// check that the operator asks for or that runs once at start.
//
// The download runs on the event loop, so the windows keep painting and
// answering while a slow or silent server is waited for; a check ends after
// a timeout at the latest. One check runs at a time: a check asked for while
// another runs starts no second download but waits for the running one and
// takes its answer (the operator's button during the start-up check gets
// its message from the download already under way).
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <memory>

#include "info/release.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace korvalen::info {

/// The versions file on the maker's web site.
QUrl DefaultVersionsUrl();
/// The versions file's address from the settings' VERSIONURL value, which
/// points the check elsewhere (a mirror, a test server): the maker's own
/// when the value is empty. Without a scheme, a host is taken as a web
/// address and an absolute path as a local file.
QUrl VersionsUrl(const QString& setting);

/// How long a check waits for the whole versions file.
inline constexpr std::chrono::milliseconds kDefaultTimeout{10000};

/// The largest versions file taken. The real one is a few hundred bytes; a
/// server sending more is not serving it, and memory stays small.
inline constexpr qint64 kMaxVersionsFileSize = 1024 * 1024;

/// FetchPublishedVersion: the versions file downloaded into memory and read
/// there. No file is made, opened or removed for it: a file of the
/// operator's that bears the versions file's name is never touched.
class VersionsFetch : public QObject {
    Q_OBJECT
public:
    explicit VersionsFetch(QObject* parent = nullptr);
    ~VersionsFetch() override;

    /// The versions file's address; DefaultVersionsUrl() at first.
    void SetUrl(const QUrl& url) { url_ = url; }
    const QUrl& Url() const { return url_; }
    /// The longest a fetch waits for the whole file; kDefaultTimeout at first.
    void SetTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }

    /// Starts fetching the version published for @p key; Fetched follows,
    /// always later, never from within this call. Does nothing while a
    /// fetch runs (that one's Fetched serves).
    void FetchPublishedVersion(const QString& key);
    bool Running() const { return running_; }

signals:
    /// The version published for the key, or empty text when none could be
    /// had (no connection, a server error or missing file, a web page, no
    /// line for the key, the timeout, a file larger than
    /// kMaxVersionsFileSize).
    void Fetched(const QString& version);

private:
    /// Adds @p chunk to what came so far; false when it does not fit.
    bool Store(const QByteArray& chunk);
    void ReadChunk();
    void DownloadEnded();
    /// Emits Fetched on the next turn of the event loop, outside the
    /// network's own signals.
    void Finish(const QString& version);

    QUrl url_;
    std::chrono::milliseconds timeout_ = kDefaultTimeout;
    QString key_;
    bool running_ = false;
    /// The download went wrong on this side: too large.
    bool spoiled_ = false;
    /// What came so far, at most kMaxVersionsFileSize bytes.
    QByteArray received_;
    /// Made at the first fetch: most runs never check.
    std::unique_ptr<QNetworkAccessManager> network_;
    QPointer<QNetworkReply> reply_;
    QTimer deadline_;
};

/// The check itself, and the owner of CheckAtStart. The program holds one;
/// the information window's check box and the viewer's menu item are its
/// two views, kept in step through CheckAtStartChanged.
class ReleaseCheck : public QObject {
    Q_OBJECT
public:
    /// @param ownVersion this program's version, the one compared with.
    explicit ReleaseCheck(const QString& ownVersion, QObject* parent = nullptr);

    /// The download, for its address and timeout.
    VersionsFetch& Fetch() { return fetch_; }

    bool CheckAtStart() const { return checkAtStart_; }
    /// Sets CheckAtStart; CheckAtStartChanged follows when it changes.
    void SetCheckAtStart(bool on);

    /// The check asked for by the operator: Answered follows with a reply
    /// for every outcome.
    void CheckNow();
    /// The start-up check: at the first idle moment after this call (once
    /// the events already queued, the first window's among them, are
    /// handled), checks if CheckAtStart is on then; Answered follows, its
    /// reply None unless a newer release is out. Runs once per run, however
    /// often this is called.
    void CheckAtFirstIdle();

    bool Running() const { return fetch_.Running(); }

signals:
    /// A check ended. When both the start-up check and the operator waited
    /// for the same download, this comes once, with the operator's reply.
    void Answered(korvalen::info::Reply reply);
    void CheckAtStartChanged(bool on);

private:
    void Ask(Asker asker);
    void TakeAnswer(const QString& version);

    const QString ownVersion_;
    VersionsFetch fetch_;
    bool checkAtStart_ = false;
    bool firstIdleAsked_ = false;
    /// The operator waits for the running download (and may share it with
    /// the start-up check).
    bool operatorWaits_ = false;
};

}  // namespace korvalen::info
