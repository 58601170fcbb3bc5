#include "rotator/direct_rotator.h"

#include <QAbstractSocket>

#include "rotator/log.h"

namespace korvalen::rotator {
namespace {

QString Degrees(double degrees) { return DegreesText(degrees) + QChar(0x00B0); }

// Hamlib's error codes that a set_pos can meet, in words; null for others.
const languages::Row* CodeWords(int code) {
    const languages::RotatorTable& t = languages::kRotator;
    switch (code) {
        case -1: return &t.invalidParameter;
        case -4: return &t.notSupported;
        case -5: return &t.timedOut;
        case -6: return &t.ioError;
        case -9: return &t.rejected;
        default: return nullptr;
    }
}

}  // namespace

QString StatusText(const RotatorStatus& status, const QString& rotator, const std::optional<RotatorAddress>& address,
                   TextLanguage language) {
    using State = RotatorStatus::State;
    const languages::RotatorTable& t = languages::kRotator;
    const auto text = [language](const languages::Row& row) { return RotatorText(row, language); };
    // "<rotator> <host:port>:", which a line about the link starts with.
    const QString prefix = rotator + u' ' + (address ? AddressText(*address) : QString()) + u':';
    // " (-160)" when the rotator reaches the bearing a turn away.
    const QString turned =
        status.target == status.bearing ? QString() : QStringLiteral(" (") + DegreesText(status.target) + u')';
    switch (status.state) {
        case State::Sent: return text(t.sent).arg(Degrees(status.bearing));
        case State::Turning: return text(t.turning).arg(Degrees(status.bearing), turned);
        case State::Refused: {
            const languages::Row* words = CodeWords(status.code);
            return text(t.turnRefused)
                .arg(prefix, Degrees(status.bearing), turned, QString::number(status.code),
                     words ? text(*words) : QString());
        }
        case State::OutsideRange:
            return text(t.outsideRange)
                .arg(prefix, Degrees(status.bearing), Degrees(status.range.min), Degrees(status.range.max));
        case State::Failed: return prefix + u' ' + status.reason;
        case State::Ignored: return text(t.ignored).arg(rotator, ShownText(status.text));
        case State::Off: return text(t.addressRefused).arg(rotator, ShownText(status.text.trimmed()), status.reason);
    }
    return {};
}

DirectRotator::DirectRotator(QString name, std::string settingsKey, std::optional<quint16> defaultPort,
                             QObject* parent)
    : QObject(parent), name_(std::move(name)), settingsKey_(std::move(settingsKey)), defaultPort_(defaultPort) {}

Expected<void> DirectRotator::SetAddress(const QString& text) {
    const Expected<std::optional<RotatorAddress>> parsed = ParseRotatorAddress(text, defaultPort_, language_);
    const std::optional<RotatorAddress> address = parsed ? *parsed : std::optional<RotatorAddress>();
    if (address && address_ && *address == *address_) return {};
    Reset();
    const bool wasOn = address_.has_value();
    address_ = address;
    if (!parsed) {
        RotatorStatus off(RotatorStatus::State::Off);
        off.text = text;
        off.reason = QString::fromStdString(parsed.error().text);
        Report(off);
        return parsed.error();
    }
    if (wasOn || address_) {
        const QString now = address_ ? QStringLiteral("address ") + AddressText(*address_) : QStringLiteral("off");
        qCInfo(lcRotator).noquote() << name_ + u':' << now;
    }
    return {};
}

void DirectRotator::Publish(const QString& azimuth) {
    if (!address_) return;
    if (const std::optional<double> bearing = ParseBearing(azimuth)) {
        Turn(*bearing);
    } else {
        RotatorStatus ignored(RotatorStatus::State::Ignored);
        ignored.text = azimuth;
        Report(ignored);
    }
}

void DirectRotator::Report(const RotatorStatus& status) {
    const QString line = StatusText(status, name_, address_, language_);
    switch (status.state) {
        case RotatorStatus::State::Sent:
        case RotatorStatus::State::Turning:
        case RotatorStatus::State::Ignored: qCInfo(lcRotator).noquote() << line; break;
        default: qCWarning(lcRotator).noquote() << line; break;
    }
    emit StatusChanged(line);
}

void DirectRotator::Fail(const QString& reason) {
    if (!Enabled()) return;
    Reset();
    RotatorStatus failed(RotatorStatus::State::Failed);
    failed.reason = reason;
    Report(failed);
}

QString DirectRotator::SocketFailure(const QAbstractSocket& socket, const languages::Row& refused) const {
    switch (socket.error()) {
        case QAbstractSocket::ConnectionRefusedError: return Text(refused);
        case QAbstractSocket::HostNotFoundError: return Text(languages::kRotator.hostNotFound);
        default: return socket.errorString();
    }
}

QString DirectRotator::TimeoutSeconds() const { return QString::number(timeout_.count() / 1000.0); }

}  // namespace korvalen::rotator
