#include "rotator/rotctld_client.h"

#include <QStringList>
#include <QTcpSocket>

#include <cmath>

#include "rotator/log.h"

namespace korvalen::rotator {
namespace {

// The longest reply taken: dump_caps, the longest, is a few kilobytes. A
// peer sending more without an "RPRT" line is not rotctld.
constexpr qsizetype kMaxReply = 64 * 1024;

std::optional<double> Number(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

// The value after any of @p keys at the start of a line of @p reply.
std::optional<double> KeyedNumber(const QString& reply, std::initializer_list<const char*> keys) {
    for (const QString& line : reply.split(u'\n')) {
        const QString t = line.trimmed();
        for (const char* key : keys)
            if (t.startsWith(QLatin1String(key))) return Number(t.mid(qsizetype(qstrlen(key))));
    }
    return std::nullopt;
}

}  // namespace

std::optional<AzimuthRange> ParseAzimuthRange(const QString& reply) {
    const std::optional<double> min = KeyedNumber(reply, {"Minimum Azimuth:", "Min Azimuth:", "min_az="});
    const std::optional<double> max = KeyedNumber(reply, {"Maximum Azimuth:", "Max Azimuth:", "max_az="});
    // Ten turns either way is far beyond any rotator; a reply claiming more
    // is not read as a range.
    constexpr double kLargest = 3600;
    if (!min || !max || *min > *max || std::abs(*min) > kLargest || std::abs(*max) > kLargest) return std::nullopt;
    return AzimuthRange{*min, *max};
}

std::optional<double> ParseElevation(const QString& reply) {
    if (const std::optional<double> e = KeyedNumber(reply, {"Elevation:"})) return e;
    // Plain: the two numbers are the whole reply, an "RPRT" line apart.
    QList<double> numbers;
    for (const QString& line : reply.split(u'\n')) {
        const QString t = line.trimmed();
        if (t.isEmpty() || t.startsWith(QLatin1String("RPRT "))) continue;
        const std::optional<double> n = Number(t);
        if (!n) return std::nullopt;
        numbers.append(*n);
    }
    if (numbers.size() == 2) return numbers[1];
    return std::nullopt;
}

std::optional<int> ReplyCode(const QString& reply) {
    for (const QString& line : reply.split(u'\n')) {
        const QString t = line.trimmed();
        if (!t.startsWith(QLatin1String("RPRT "))) continue;
        bool ok = false;
        const int code = t.mid(5).toInt(&ok);
        if (ok) return code;
    }
    return std::nullopt;
}

std::optional<double> MapIntoRange(double bearing, const AzimuthRange& range) {
    if (!std::isfinite(bearing) || !std::isfinite(range.min) || !std::isfinite(range.max) || range.min > range.max)
        return std::nullopt;
    if (bearing >= range.min && bearing <= range.max) return bearing;
    // Below the range every other turn is above the bearing, so the lowest
    // one in range is the nearest; above it, the highest.
    const double turned = bearing < range.min ? bearing + 360 * std::ceil((range.min - bearing) / 360)
                                              : bearing - 360 * std::ceil((bearing - range.max) / 360);
    // Both ends checked: far from 0 the rounding can step past either.
    if (turned >= range.min && turned <= range.max) return turned;
    return std::nullopt;
}

RotctldClient::RotctldClient(QObject* parent)
    : DirectRotator(QStringLiteral("rotctld"), "ROTCTLD", std::nullopt, parent), socket_(new QTcpSocket(this)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &RotctldClient::OnTimeout);
    connect(socket_, &QTcpSocket::connected, this, &RotctldClient::OnConnected);
    connect(socket_, &QTcpSocket::readyRead, this, &RotctldClient::OnReadyRead);
    connect(socket_, &QTcpSocket::errorOccurred, this, &RotctldClient::OnSocketError);
}

RotctldClient::~RotctldClient() {
    // The socket goes with this object; nothing it says on its way out is
    // for a half-destroyed client.
    socket_->disconnect(this);
    socket_->abort();
}

void RotctldClient::Turn(double bearing) {
    waiting_ = bearing;
    if (step_ == Step::Idle) Advance();
}

// The next step for the waiting publication, from wherever the connection is.
void RotctldClient::Advance() {
    while (waiting_ && step_ == Step::Idle) {
        if (socket_->state() != QAbstractSocket::ConnectedState) {
            socket_->abort();
            buffer_.clear();
            range_.reset();
            step_ = Step::Connecting;
            timer_.start(timeout());
            socket_->connectToHost(address().host, address().port);
            return;
        }
        if (!range_) {
            Send(Step::ReadingRange, "+\\dump_state\n");
            return;
        }
        bearing_ = *waiting_;
        waiting_.reset();
        if (const std::optional<double> target = MapIntoRange(bearing_, *range_)) {
            target_ = *target;
            Send(Step::ReadingPosition, "+p\n");
            return;
        }
        RotatorStatus outside(RotatorStatus::State::OutsideRange);
        outside.bearing = bearing_;
        outside.range = *range_;
        Report(outside);
    }
}

void RotctldClient::Send(Step step, const QByteArray& command) {
    step_ = step;
    buffer_.clear();
    timer_.start(timeout());
    // A failed write reports itself through errorOccurred.
    socket_->write(command);
}

QString RotctldClient::LogPrefix() const { return Name() + u' ' + AddressText(address()) + u':'; }

void RotctldClient::LogRange() const {
    qCInfo(lcRotator).noquote() << LogPrefix() << "azimuth range" << DegreesText(range_->min) << "to"
                                << DegreesText(range_->max);
}

void RotctldClient::OnConnected() {
    if (step_ != Step::Connecting) return;
    qCInfo(lcRotator).noquote() << LogPrefix() << "connected";
    timer_.stop();
    step_ = Step::Idle;
    Advance();
}

void RotctldClient::OnReadyRead() {
    buffer_ += socket_->readAll();
    if (step_ == Step::Idle || step_ == Step::Connecting) {
        // Nothing was asked: whatever this is, it answers no command.
        buffer_.clear();
        return;
    }
    // A reply is complete with its "RPRT n" line.
    qsizetype lineStart = 0;
    for (qsizetype end; (end = buffer_.indexOf('\n', lineStart)) >= 0; lineStart = end + 1) {
        if (!QByteArrayView(buffer_).sliced(lineStart).startsWith("RPRT ")) continue;
        const QString reply = QString::fromUtf8(buffer_.left(end + 1));
        buffer_.remove(0, end + 1);
        timer_.stop();
        OnReply(reply);
        return;
    }
    if (buffer_.size() > kMaxReply) Fail(Text(languages::kRotator.replyWithoutEnd));
}

void RotctldClient::OnReply(const QString& reply) {
    const int code = ReplyCode(reply).value_or(-1);
    const Step step = step_;
    step_ = Step::Idle;
    switch (step) {
        case Step::ReadingRange:
            range_ = code == 0 ? ParseAzimuthRange(reply) : std::nullopt;
            if (!range_) {
                qCInfo(lcRotator).noquote() << LogPrefix() << "dump_state, RPRT" << code << "and no range in it";
                Send(Step::ReadingCaps, "+\\dump_caps\n");
                return;
            }
            LogRange();
            break;
        case Step::ReadingCaps:
            // A rotctld that tells neither range gets bearings as they are;
            // it still refuses what its rotator cannot do.
            range_ = code == 0 ? ParseAzimuthRange(reply) : std::nullopt;
            if (!range_) {
                qCInfo(lcRotator).noquote() << LogPrefix() << "dump_caps, RPRT" << code << "and no range in it";
                range_ = AzimuthRange{};
            }
            LogRange();
            break;
        case Step::ReadingPosition: {
            // Without the position the elevation goes to 0, the horizon a
            // bearing is meant for.
            const std::optional<double> read = code == 0 ? ParseElevation(reply) : std::nullopt;
            if (!read)
                qCInfo(lcRotator).noquote() << LogPrefix() << "get_pos, RPRT" << code << "and no elevation in it";
            const double elevation = read.value_or(0);
            Send(Step::Setting, "+P " + DegreesText(target_).toLatin1() + ' ' + DegreesText(elevation).toLatin1() + '\n');
            return;
        }
        case Step::Setting: {
            RotatorStatus turn(code == 0 ? RotatorStatus::State::Turning : RotatorStatus::State::Refused);
            turn.bearing = bearing_;
            turn.target = target_;
            turn.code = code;
            Report(turn);
            break;
        }
        case Step::Idle:
        case Step::Connecting:
            return;
    }
    Advance();
}

void RotctldClient::OnSocketError() {
    if (step_ == Step::Idle) {
        // Between publications a closed connection is no failure: the next
        // publication connects again.
        socket_->abort();
        return;
    }
    if (socket_->error() == QAbstractSocket::RemoteHostClosedError)
        Fail(Text(languages::kRotator.closedByRotctld));
    else
        Fail(SocketFailure(*socket_, languages::kRotator.connectionRefused));
}

void RotctldClient::OnTimeout() {
    Fail(Text(step_ == Step::Connecting ? languages::kRotator.noConnectionWithin : languages::kRotator.noAnswerWithin)
             .arg(TimeoutSeconds()));
}

void RotctldClient::Reset() {
    // The next publication starts again from a new connection, which reads
    // the range again; nothing waiting survives.
    timer_.stop();
    socket_->abort();
    step_ = Step::Idle;
    buffer_.clear();
    range_.reset();
    waiting_.reset();
}

}  // namespace korvalen::rotator
