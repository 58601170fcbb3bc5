#include "rotator/direct_rotator.h"

namespace korvalen::rotator {

DirectRotator::DirectRotator(QString name, std::optional<quint16> defaultPort, QObject* parent)
    : QObject(parent), name_(std::move(name)), defaultPort_(defaultPort) {}

QString DirectRotator::SetAddress(const QString& text) {
    const AddressParse parsed = ParseRotatorAddress(text, defaultPort_, language_);
    if (parsed.address && address_ && *parsed.address == *address_) return {};
    Reset();
    address_ = parsed.address;
    if (!parsed.error.isEmpty()) emit StatusChanged(RefusedAddressStatus(name_, text, parsed.error, language_));
    return parsed.error;
}

void DirectRotator::Publish(const QString& azimuth) {
    if (!address_) return;
    if (const std::optional<double> bearing = ParseBearing(azimuth))
        Turn(*bearing);
    else
        emit StatusChanged(IgnoredPublicationStatus(name_, azimuth, language_));
}

QString DirectRotator::StatusPrefix() const { return name_ + u' ' + AddressText(*address_) + u':'; }

}  // namespace korvalen::rotator
