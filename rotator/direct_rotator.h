#pragma once
// A rotator the program turns itself at each of its publications, through
// the controller the operator names by "host:port" (Hamlib's rotctld,
// PstRotator, ...), as opposed to a rotator program that reads the azimuth
// item. What every such rotator shares lives here: the address, the reading
// of a publication, the language and the status line; each controller adds
// how it talks.
#include <QObject>
#include <QString>

#include <optional>

#include "rotator/rotator_address.h"

namespace korvalen::rotator {

class DirectRotator : public QObject {
    Q_OBJECT
public:
    /// @p name names the rotator in its status lines ("rotctld").
    DirectRotator(QString name, std::optional<quint16> defaultPort, QObject* parent = nullptr);

    /// Sets the address (see ParseRotatorAddress: without a default port the
    /// port is required), or switches the rotator off with an empty text. A
    /// change drops the connection and any publication not yet sent. Returns
    /// the reason an address was refused, also told as the status; the
    /// rotator is then off.
    QString SetAddress(const QString& text);
    bool Enabled() const { return address_.has_value(); }

    /// The language of the status lines; English until set.
    void SetLanguage(TextLanguage language) { language_ = language; }

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

    const RotatorAddress& address() const { return *address_; }
    const QString& name() const { return name_; }
    QString Text(const languages::Row& row) const { return RotatorText(row, language_); }
    /// "<name> <host:port>:", which a status about this rotator starts with.
    QString StatusPrefix() const;

private:
    const QString name_;
    const std::optional<quint16> defaultPort_;
    TextLanguage language_ = nullptr;
    std::optional<RotatorAddress> address_;
};

}  // namespace korvalen::rotator
