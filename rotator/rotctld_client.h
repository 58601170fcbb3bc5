#pragma once
// A rotator behind Hamlib's rotctld, over TCP: every publication turns it.
//
// The client speaks rotctld's extended response protocol ("+" before each
// command) because there every reply, whatever the command and however it
// ends, closes with one "RPRT n" line; the plain protocol ends some replies
// with it and others with nothing, which leaves no way to tell a reply is
// complete. Per connection it reads the azimuth range once (dump_state,
// whose range is the one set_pos enforces, including a range configured with
// -C min_az=...,max_az=...; dump_caps, the model's fixed range, only when
// dump_state gives none). Per publication it reads the position, to keep the
// elevation, and sends set_pos with the bearing turned into the range.
//
// Everything runs on the event loop: nothing here waits, every step has a
// timeout, and a failure ends the connection with a status text; the next
// publication connects again.
#include <QByteArray>
#include <QString>
#include <QTimer>

#include <optional>

#include "rotator/direct_rotator.h"

class QTcpSocket;

namespace korvalen::rotator {

/// The range in a dump_state or dump_caps reply, either protocol:
/// "Minimum Azimuth: x" / "min_az=x" (dump_state) or "Min Azimuth: x"
/// (dump_caps), and the matching maximum. nullopt when either is missing,
/// not a finite number or beyond ten turns, or the minimum exceeds the
/// maximum.
std::optional<AzimuthRange> ParseAzimuthRange(const QString& reply);

/// The elevation in a get_pos reply: "Elevation: e" (extended) or the second
/// of the two numbers that make up the whole reply (plain). nullopt when
/// there is none.
std::optional<double> ParseElevation(const QString& reply);

/// The code n of the reply's "RPRT n" line; nullopt when there is none.
std::optional<int> ReplyCode(const QString& reply);

/// @p bearing (0 to 360) as the rotator's own azimuth: the bearing itself
/// when @p range holds it, otherwise the same direction a whole turn away
/// that lies in the range, nearest to the bearing (200 is -160 on a -180..180
/// rotator; 360 is 0 on a 0..359 one). nullopt when no turn of it lies in the
/// range (a rotator of less than a full turn) or a value is not finite.
std::optional<double> MapIntoRange(double bearing, const AzimuthRange& range);

class RotctldClient : public DirectRotator {
    Q_OBJECT
public:
    /// Its address is "host:port": rotctld has no usual port. The timeout
    /// bounds the connection and each command.
    explicit RotctldClient(QObject* parent = nullptr);
    ~RotctldClient() override;

protected:
    void Reset() override;
    /// Only the latest publication counts: one made while another is under
    /// way replaces any that was waiting.
    void Turn(double bearing) override;

private:
    enum class Step { Idle, Connecting, ReadingRange, ReadingCaps, ReadingPosition, Setting };

    void Advance();
    void Send(Step step, const QByteArray& command);
    void OnConnected();
    void OnReadyRead();
    void OnReply(const QString& reply);
    void OnSocketError();
    void OnTimeout();
    /// "rotctld <host:port>:", which a log line about the link starts with.
    QString LogPrefix() const;
    void LogRange() const;

    QTcpSocket* const socket_;
    QTimer timer_;
    Step step_ = Step::Idle;
    QByteArray buffer_;
    /// Read once per connection.
    std::optional<AzimuthRange> range_;
    /// The newest publication not yet under way.
    std::optional<double> waiting_;
    /// The one under way, and what it became in the rotator's range.
    double bearing_ = 0;
    double target_ = 0;
};

}  // namespace korvalen::rotator
