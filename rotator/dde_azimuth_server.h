#pragma once
// The azimuth service over DDE, as the program runs it on Windows: the
// AzimuthLink's item served by a DdeServer, the conversations counted into
// the link, the clients' pokes handed to it. It lives from start-up to the
// exit, like LocalAzimuthServer in its place on other systems.
#include <QObject>
#include <QString>

#include <string>

#include "rotator/azimuth_link.h"
#include "rotator/azimuth_server.h"
#include "rotator/dde_server.h"

namespace korvalen::rotator {

class DdeAzimuthServer : public QObject, public AzimuthServer {
    Q_OBJECT
public:
    /// Serves @p link's item under @p service (see ServiceName).
    DdeAzimuthServer(AzimuthLink& link, std::string service);
    ~DdeAzimuthServer() override;

    /// Registers the service; the error is why DDE refused. Another running
    /// copy of the program may serve the same name: DDE lets each client
    /// talk to the first that answers.
    Expected<void> Start() override;
    /// The conversations open, once those of clients gone without a word
    /// are counted out.
    int Connections() const override;
    /// The service name.
    QString Address() const override;

private:
    void Serve(const QString& value);

    AzimuthLink& link_;
    const std::string service_;
    /// Counting its conversations counts out the departed ones (telling the
    /// link), which a reader of the count must be able to ask for.
    mutable DdeServer server_;
};

}  // namespace korvalen::rotator
