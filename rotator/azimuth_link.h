#pragma once
// The rotator link as the windows see it: the azimuth item served to
// rotator programs, how many of them hold a conversation, and the
// publications that rotators driven directly (rotctld, PstRotator) follow.
// The servers that carry the item to clients (the local socket here, DDE
// on Windows) plug in behind this through its signals and operations.
#include <QObject>
#include <QString>

#include <functional>

#include "rotator/azimuth_protocol.h"

namespace korvalen::rotator {

class AzimuthLink : public QObject {
    Q_OBJECT
public:
    /// Sets the served item `azimuth` (whole degrees as plain decimal digits)
    /// and tells every advise link and every directly driven rotator.
    void PublishAzimuth(const QString& azimuth);

    /// A client's poke: the text becomes the item and the advise links are
    /// told; nothing else happens (no rotator is turned).
    void Poke(const QString& text);

    /// The value last published or poked; empty before the first.
    const QString& Azimuth() const { return azimuth_; }

    /// A conversation was opened or closed (see ConversationCount).
    void KorvalenOpen() { conversations_.Opened(); }
    void KorvalenClose() { conversations_.Closed(); }

    /// For a server that is not told of every client's end (under DDE a
    /// client killed outright says no goodbye): @p check counts out, through
    /// KorvalenClose, the conversations whose client is gone. It runs before
    /// ClientConnected answers. Empty: none.
    void SetDepartureCheck(std::function<void()> check) { departureCheck_ = std::move(check); }

    /// Whether a rotator client holds a conversation: the program then
    /// refuses to end.
    bool ClientConnected() const {
        if (departureCheck_) departureCheck_();
        return conversations_.Any();
    }
    int OpenConversations() const { return conversations_.Count(); }

signals:
    /// The item changed (publication or poke): advise links send it.
    void ItemChanged(const QString& value);
    /// A publication by this program: the rotators driven directly follow it.
    void Published(const QString& azimuth);

private:
    QString azimuth_;
    ConversationCount conversations_;
    std::function<void()> departureCheck_;
};

}  // namespace korvalen::rotator
