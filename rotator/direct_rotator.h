#pragma once
// A rotator the program turns itself at each of its publications, through
// the controller the operator names by "host:port" (Hamlib's rotctld,
// PstRotator, ...), as opposed to a rotator program that reads the azimuth
// item. What every such rotator shares lives here: the address, the reading
// of a publication, the language, the timeout, and what the operator is told;
// each controller adds how it talks and reports what happened as a
// RotatorStatus. A new controller is a subclass added to MakeDirectRotators
// (direct_rotators.h).
#include <QObject>
#include <QString>

#include <chrono>
#include <optional>
#include <string>

#include "rotator/rotator_address.h"

class QAbstractSocket;

namespace korvalen::rotator {

/// The azimuths a rotator accepts, in degrees, min <= max.
struct AzimuthRange {
    double min = 0;
    double max = 360;
};

/// What a directly driven rotator has just done or met, as its driver tells
/// it. The words the operator reads are made from it in one place,
/// StatusText, so that every controller says the same thing the same way.
struct RotatorStatus {
    enum class State {
        Sent,          ///< the bearing went out to a controller that never answers
        Turning,       ///< the controller took the bearing, as target in its range
        Refused,       ///< the controller refused the bearing, with its code
        OutsideRange,  ///< no turn of the bearing lies in range
        Failed,        ///< the link failed for reason; the next publication starts afresh
        Ignored,       ///< the publication, text, is not a bearing
        Off,           ///< the address typed, text, was refused for reason
    };
    explicit RotatorStatus(State s) : state(s) {}

    State state;
    double bearing = 0;
    /// Turning, Refused: the bearing as the rotator's own azimuth (see
    /// MapIntoRange), the bearing itself when the range holds it.
    double target = 0;
    /// Refused: the controller's code (Hamlib's "RPRT n").
    int code = 0;
    /// OutsideRange.
    AzimuthRange range;
    /// Ignored, Off: what was given, as it was.
    QString text;
    /// Failed, Off: why, already in the status line's language.
    QString reason;
};

/// The status line for @p status of the rotator named @p rotator ("rotctld")
/// at @p address, which the states about the link name; in @p language.
QString StatusText(const RotatorStatus& status, const QString& rotator, const std::optional<RotatorAddress>& address,
                   TextLanguage language = nullptr);

class DirectRotator : public QObject {
    Q_OBJECT
public:
    /// @p name names the rotator in its status lines ("rotctld");
    /// @p settingsKey is the key its address is kept under in korvalen.ini
    /// ("ROTCTLD").
    DirectRotator(QString name, std::string settingsKey, std::optional<quint16> defaultPort,
                  QObject* parent = nullptr);

    const QString& Name() const { return name_; }
    /// Which address of the settings is this rotator's: the program keeps
    /// the addresses by this key, so it needs to know no controller.
    const std::string& SettingsKey() const { return settingsKey_; }

    /// Sets the address (see ParseRotatorAddress: without a default port the
    /// port is required), or switches the rotator off with an empty text. A
    /// change drops the connection and any publication not yet sent. Fails
    /// with the reason an address was refused, also told as the status; the
    /// rotator is then off.
    Expected<void> SetAddress(const QString& text);
    bool Enabled() const { return address_.has_value(); }

    /// The language of the status lines; English until set.
    void SetLanguage(TextLanguage language) { language_ = language; }

    /// How long a connection, a host name lookup or one command may take
    /// before it counts as failed. Three seconds unless set.
    void SetTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }

    /// A publication of the program: the rotator turns to this bearing.
    /// Returns at once; a text that is not a bearing from 0 to 360 is told
    /// and ignored.
    void Publish(const QString& azimuth);

signals:
    /// What happened, for the operator: each move, each failure, each
    /// publication ignored.
    void StatusChanged(const QString& status);

protected:
    /// Drops the connection and whatever waits, before a new address.
    virtual void Reset() = 0;
    /// Turns the rotator at address() to @p bearing (0 to 360).
    virtual void Turn(double bearing) = 0;

    /// Tells @p status: as the status line, and to the log.
    void Report(const RotatorStatus& status);
    /// The link failed for @p reason: whatever was under way is dropped
    /// (Reset) and the failure told; the next publication starts afresh.
    /// Nothing while the rotator is off, where a late socket error is news
    /// to nobody.
    void Fail(const QString& reason);
    /// The words for the error @p socket met: @p refused for a refused
    /// connection (a TCP peer's refusal and a bounced datagram say different
    /// things), "host not found", else the system's own words.
    QString SocketFailure(const QAbstractSocket& socket, const languages::Row& refused) const;

    const RotatorAddress& address() const { return *address_; }
    std::chrono::milliseconds timeout() const { return timeout_; }
    /// The timeout in seconds, as the status lines give it ("3", "0.5").
    QString TimeoutSeconds() const;
    QString Text(const languages::Row& row) const { return RotatorText(row, language_); }

private:
    const QString name_;
    const std::string settingsKey_;
    const std::optional<quint16> defaultPort_;
    TextLanguage language_ = nullptr;
    std::chrono::milliseconds timeout_{3000};
    std::optional<RotatorAddress> address_;
};

}  // namespace korvalen::rotator
