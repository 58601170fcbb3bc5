#pragma once
// The azimuth service over DDE, as the program runs it on Windows: the
// AzimuthLink's item served by a DdeServer, the conversations counted into
// the link, the clients' pokes handed to it. It lives from start-up to the
// exit, like LocalAzimuthServer in its place on other systems.
#include <QObject>
#include <QString>

#include <string>

#include "rotator/azimuth_link.h"
#include "rotator/dde_server.h"

namespace korvalen::rotator {

class DdeAzimuthServer : public QObject {
    Q_OBJECT
public:
    /// Serves @p link's item under @p service (see ServiceName).
    DdeAzimuthServer(AzimuthLink& link, std::string service);
    ~DdeAzimuthServer() override;

    /// Registers the service; false when DDE refused (see ErrorText).
    /// Another running copy of the program may serve the same name: DDE
    /// lets each client talk to the first that answers.
    bool Start();
    QString ErrorText() const;

private:
    void Serve(const QString& value);

    AzimuthLink& link_;
    DdeServer server_;
};

}  // namespace korvalen::rotator
