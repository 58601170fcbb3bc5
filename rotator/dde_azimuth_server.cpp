#include "rotator/dde_azimuth_server.h"

#include "geo/cp1252.h"
#include "rotator/log.h"

namespace korvalen::rotator {

namespace {

// CF_TEXT is in the Windows code page, Windows-1252 for this program; the
// link holds its text as every text in memory, in UTF-8.
std::string ItemBytes(const QString& text) { return korvalen::text::Utf8ToCp1252(text.toStdString()); }

DdeServer::Events LinkEvents(AzimuthLink& link) {
    DdeServer::Events events;
    events.opened = [&link] { link.KorvalenOpen(); };
    events.closed = [&link] { link.KorvalenClose(); };
    // The link tells ItemChanged, and Serve() below gives the item to the
    // server: the one way the item changes, whoever changes it.
    events.poked = [&link](const std::string& bytes) {
        link.Poke(QString::fromStdString(korvalen::text::Cp1252ToUtf8(bytes)));
    };
    return events;
}

}  // namespace

DdeAzimuthServer::DdeAzimuthServer(AzimuthLink& link, std::string service)
    : link_(link), service_(service), server_(std::move(service), LinkEvents(link)) {
    server_.SetItem(ItemBytes(link_.Azimuth()));
    connect(&link_, &AzimuthLink::ItemChanged, this, &DdeAzimuthServer::Serve);
    // Asked before the close guard refuses: a killed client must not keep
    // the program open.
    link_.SetDepartureCheck([this] { server_.Conversations(); });
}

// The server's end tells the link of every conversation still open.
DdeAzimuthServer::~DdeAzimuthServer() { link_.SetDepartureCheck({}); }

Expected<void> DdeAzimuthServer::Start() {
    const Expected<void> started = server_.Start();
    if (started) {
        qCInfo(lcRotator).noquote() << "DDE service" << Address() << "registered";
        return {};
    }
    qCWarning(lcRotator).noquote() << "DDE service" << Address() << "not registered:"
                                   << QString::fromStdString(started.error().text);
    return started;
}

int DdeAzimuthServer::Connections() const { return server_.Conversations(); }

QString DdeAzimuthServer::Address() const { return QString::fromStdString(service_); }

void DdeAzimuthServer::Serve(const QString& value) { server_.SetItem(ItemBytes(value)); }

}  // namespace korvalen::rotator
