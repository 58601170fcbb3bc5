#include "rotator/pst_rotator.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

namespace korvalen::rotator {

QByteArray PstRotatorDatagram(double bearing) {
    return "<PST><AZIMUTH>" + DegreesText(bearing).toLatin1() + "</AZIMUTH></PST>";
}

PstRotatorClient::PstRotatorClient(QObject* parent) : QObject(parent), socket_(new QUdpSocket(this)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] {
        Fail(RotatorText(languages::kRotator.hostNotFoundWithin, language_).arg(timeout_.count() / 1000.0));
    });
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

QString PstRotatorClient::SetAddress(const QString& text) {
    const AddressParse parsed = ParseRotatorAddress(text, PstRotatorDefaultPort, language_);
    if (parsed.address && address_ && *parsed.address == *address_) return {};
    timer_.stop();
    socket_->abort();
    waiting_.reset();
    address_ = parsed.address;
    if (!parsed.error.isEmpty())
        emit StatusChanged(RefusedAddressStatus(QStringLiteral("PstRotator"), text, parsed.error, language_));
    return parsed.error;
}

void PstRotatorClient::Publish(const QString& azimuth) {
    if (!address_) return;
    const std::optional<double> bearing = ParseBearing(azimuth);
    if (!bearing) {
        emit StatusChanged(IgnoredPublicationStatus(QStringLiteral("PstRotator"), azimuth, language_));
        return;
    }
    waiting_ = bearing;
    switch (socket_->state()) {
        case QAbstractSocket::ConnectedState: SendWaiting(); break;
        case QAbstractSocket::UnconnectedState:
            timer_.start(timeout_);
            // Sends from connected() once the host is known, which for an IP
            // literal can be before this returns.
            socket_->connectToHost(address_->host, address_->port);
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
    if (socket_->write(datagram) == datagram.size())
        emit StatusChanged(RotatorText(languages::kRotator.sent, language_).arg(DegreesText(bearing) + QChar(0x00B0)));
    else
        OnSocketError();  // a refused write sets the error without signalling it
}

void PstRotatorClient::OnSocketError() {
    switch (socket_->error()) {
        case QAbstractSocket::ConnectionRefusedError: Fail(RotatorText(languages::kRotator.nothingListens, language_)); break;
        case QAbstractSocket::HostNotFoundError: Fail(RotatorText(languages::kRotator.hostNotFound, language_)); break;
        default: Fail(socket_->errorString()); break;
    }
}

void PstRotatorClient::Fail(const QString& reason) {
    if (!address_) return;
    timer_.stop();
    // The next publication connects afresh, looking the host up again.
    socket_->abort();
    waiting_.reset();
    emit StatusChanged(QStringLiteral("PstRotator ") + AddressText(*address_) + QStringLiteral(": ") + reason);
}

}  // namespace korvalen::rotator
