#include "info/release_check.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include "info/log.h"
#include "languages/maker_site.h"

namespace korvalen::info {

QUrl DefaultVersionsUrl() {
    return QUrl(QLatin1String(languages::kMakerSite) + QLatin1String(kVersionsFilePath));
}

QUrl VersionsUrl(const QString& setting) {
    return setting.isEmpty() ? DefaultVersionsUrl() : QUrl::fromUserInput(setting);
}

VersionsFetch::VersionsFetch(QObject* parent) : QObject(parent), url_(DefaultVersionsUrl()) {
    deadline_.setSingleShot(true);
    // Aborting ends the download at once, through DownloadEnded, as a
    // failure.
    connect(&deadline_, &QTimer::timeout, this, [this] {
        if (!reply_) return;
        qCWarning(lcInfo).noquote() << "release check: no whole answer within" << timeout_.count() / 1000.0 << "s";
        reply_->abort();
    });
}

VersionsFetch::~VersionsFetch() {
    // The program ends during a check.
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
    }
}

void VersionsFetch::FetchPublishedVersion(const QString& key) {
    if (running_) return;
    running_ = true;
    key_ = key;
    spoiled_ = false;
    received_.clear();
    if (!network_) network_ = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest request(url_);
    // Straight from the server: neither a cache of ours nor one on the way
    // may answer with an older list.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    qCInfo(lcInfo).noquote() << "release check: fetching" << url_.toString();
    reply_ = network_->get(request);
    connect(reply_, &QNetworkReply::readyRead, this, &VersionsFetch::ReadChunk);
    connect(reply_, &QNetworkReply::finished, this, &VersionsFetch::DownloadEnded);
    deadline_.start(timeout_);
}

bool VersionsFetch::Store(const QByteArray& chunk) {
    if (received_.size() + chunk.size() > kMaxVersionsFileSize) return false;
    received_ += chunk;
    return true;
}

void VersionsFetch::ReadChunk() {
    const QByteArray chunk = reply_->readAll();
    if (spoiled_ || Store(chunk)) return;
    qCWarning(lcInfo) << "release check: the answer is longer than" << kMaxVersionsFileSize << "bytes: dropped";
    spoiled_ = true;
    reply_->abort();
}

void VersionsFetch::DownloadEnded() {
    deadline_.stop();
    QNetworkReply* const reply = reply_;
    reply->disconnect(this);
    if (!spoiled_ && reply->bytesAvailable() > 0 && !Store(reply->readAll())) spoiled_ = true;
    const bool downloaded = reply->error() == QNetworkReply::NoError && !spoiled_;
    if (reply->error() != QNetworkReply::NoError)
        qCWarning(lcInfo).noquote() << "release check:" << url_.toString() << "failed:" << reply->errorString();
    reply_ = nullptr;
    reply->deleteLater();
    const QString version = downloaded ? PublishedVersion(received_, key_) : QString();
    if (downloaded && version.isEmpty())
        qCWarning(lcInfo).noquote() << "release check:" << url_.toString() << "gave no version for" << key_
                                    << "(a web page, or no line for it)";
    received_.clear();
    Finish(version);
}

void VersionsFetch::Finish(const QString& version) {
    QMetaObject::invokeMethod(
        this,
        [this, version] {
            running_ = false;
            emit Fetched(version);
        },
        Qt::QueuedConnection);
}

ReleaseCheck::ReleaseCheck(const QString& ownVersion, QObject* parent) : QObject(parent), ownVersion_(ownVersion) {
    connect(&fetch_, &VersionsFetch::Fetched, this, &ReleaseCheck::TakeAnswer);
}

void ReleaseCheck::SetCheckAtStart(bool on) {
    if (on == checkAtStart_) return;
    checkAtStart_ = on;
    emit CheckAtStartChanged(on);
}

void ReleaseCheck::CheckNow() { Ask(Asker::Now); }

void ReleaseCheck::CheckAtFirstIdle() {
    if (firstIdleAsked_) return;
    firstIdleAsked_ = true;
    // A zero timer fires once the events queued before it are handled:
    // the application's first idle moment.
    QTimer::singleShot(0, this, [this] {
        if (checkAtStart_) Ask(Asker::AtStart);
    });
}

void ReleaseCheck::Ask(Asker asker) {
    if (asker == Asker::Now) operatorWaits_ = true;
    fetch_.FetchPublishedVersion(QLatin1String(kProgramKey));
}

void ReleaseCheck::TakeAnswer(const QString& version) {
    const Asker asker = operatorWaits_ ? Asker::Now : Asker::AtStart;
    if (!version.isEmpty())
        qCInfo(lcInfo).noquote() << "release check: published" << version << "- this is" << ownVersion_;
    operatorWaits_ = false;
    emit Answered(ReplyTo(version, ownVersion_, asker));
}

}  // namespace korvalen::info
