#pragma once
// A rotator behind PstRotator, over UDP: every publication is sent as
// "<PST><AZIMUTH>n</AZIMUTH></PST>" to the address the operator gave.
// PstRotator answers nothing, so a datagram sent is all that can be known;
// the failures told are those the network reports: a host that cannot be
// found, a send refused (for a closed port the kernel refuses the send after
// the one it bounced).
#include <QByteArray>
#include <QString>
#include <QTimer>

#include <optional>

#include "rotator/direct_rotator.h"

class QUdpSocket;

namespace korvalen::rotator {

/// PstRotator's UDP port when the operator gives only a host.
inline constexpr quint16 PstRotatorDefaultPort = 12000;

/// The datagram that turns PstRotator to @p bearing (0 to 360).
QByteArray PstRotatorDatagram(double bearing);

class PstRotatorClient : public DirectRotator {
    Q_OBJECT
public:
    /// Its address is "host:port" or a host alone (port 12000). The timeout
    /// bounds the host name lookup.
    explicit PstRotatorClient(QObject* parent = nullptr);
    ~PstRotatorClient() override;

protected:
    void Reset() override;
    /// Sends at once; while the host name is still being looked up, only
    /// the latest publication waits for it.
    void Turn(double bearing) override;

private:
    void SendWaiting();
    void OnSocketError();

    QUdpSocket* const socket_;
    QTimer timer_;
    /// The latest publication not yet sent.
    std::optional<double> waiting_;
};

}  // namespace korvalen::rotator
