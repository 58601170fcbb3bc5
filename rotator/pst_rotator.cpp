#include "rotator/pst_rotator.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

namespace korvalen::rotator {

QByteArray PstRotatorDatagram(double bearing) {
    return "<PST><AZIMUTH>" + DegreesText(bearing).toLatin1() + "</AZIMUTH></PST>";
}

PstRotatorClient::PstRotatorClient(QObject* parent)
    : DirectRotator(QStringLiteral("PstRotator"), "PSTROTATOR", PstRotatorDefaultPort, parent),
      socket_(new QUdpSocket(this)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this,
            [this] { Fail(Text(languages::kRotator.hostNotFoundWithin).arg(TimeoutSeconds())); });
    // Connected, the socket keeps its one peer: the host name is looked up
    // once, and the kernel refuses a send to a port it found closed.
    connect(socket_, &QUdpSocket::connected, this, &PstRotatorClient::SendWaiting);
    connect(socket_, &QUdpSocket::errorOccurred, this, &PstRotatorClient::OnSocketError);
    // PstRotator sends nothing; anything arriving is dropped unread. A send
    // the peer's system refused (nothing listens on the port) comes back as
    // readiness without a datagram: only a read hands that refusal on, as
    // errorOccurred, and lets the socket tell the next one.
    connect(socket_, &QUdpSocket::readyRead, this, [this] {
        do socket_->receiveDatagram(0);
        while (socket_->state() == QAbstractSocket::ConnectedState && socket_->hasPendingDatagrams());
    });
}

PstRotatorClient::~PstRotatorClient() {
    socket_->disconnect(this);
    socket_->abort();
}

void PstRotatorClient::Reset() {
    timer_.stop();
    socket_->abort();
    waiting_.reset();
}

void PstRotatorClient::Turn(double bearing) {
    waiting_ = bearing;
    switch (socket_->state()) {
        case QAbstractSocket::ConnectedState: SendWaiting(); break;
        case QAbstractSocket::UnconnectedState:
            timer_.start(timeout());
            // Sends from connected() once the host is known, which for an IP
            // literal can be before this returns.
            socket_->connectToHost(address().host, address().port);
            break;
        default: break;  // the lookup is under way; the waiting bearing was replaced
    }
}

void PstRotatorClient::SendWaiting() {
    timer_.stop();
    if (!waiting_ || socket_->state() != QAbstractSocket::ConnectedState) return;
    const double bearing = *waiting_;
    waiting_.reset();
    const QByteArray datagram = PstRotatorDatagram(bearing);
    if (socket_->write(datagram) == datagram.size()) {
        RotatorStatus sent(RotatorStatus::State::Sent);
        sent.bearing = bearing;
        Report(sent);
    } else {
        OnSocketError();  // a refused write sets the error without signalling it
    }
}

// The next publication connects afresh, looking the host up again.
void PstRotatorClient::OnSocketError() { Fail(SocketFailure(*socket_, languages::kRotator.nothingListens)); }

}  // namespace korvalen::rotator
