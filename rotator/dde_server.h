#pragma once
// The azimuth service over Windows DDE (the DDE management library, server
// side only): one service, the topic TopicName, the item ItemName in
// CF_TEXT, with the connect and item rules of azimuth_protocol.h. Plain
// Win32, no Qt: the program wraps it in DdeAzimuthServer, the test server
// drives it from a console. <windows.h> stays inside the .cpp, so that its
// macros never meet the program's code.
//
// Everything happens on the thread that calls Start(), which must run a
// message loop: DDE transactions arrive as window messages.
#include <functional>
#include <memory>
#include <string>

#include "base/expected.h"

namespace korvalen::rotator {

class DdeServer {
public:
    /// What the server tells its owner, always on the owner's thread.
    struct Events {
        /// A client's conversation on the topic was confirmed.
        std::function<void()> opened;
        /// That conversation ended (the client left, or the server ends).
        std::function<void()> closed;
        /// A client poked the item in CF_TEXT: @p text is its bytes up to
        /// the first zero. The server keeps its item as it was: the owner
        /// decides, normally by SetItem(text).
        std::function<void(const std::string& text)> poked;
    };

    /// Serves under @p service (see ServiceName); names and item are
    /// Windows-1252 bytes.
    DdeServer(std::string service, Events events);
    /// Ends every conversation (telling closed() for each), unregisters the
    /// service and leaves the DDE library.
    ~DdeServer();
    DdeServer(const DdeServer&) = delete;
    DdeServer& operator=(const DdeServer&) = delete;

    /// Joins the DDE library and registers the service. One server at a
    /// time in a process: the library's callback carries no pointer of ours.
    /// Started already is a success.
    /// @return why that failed, when it did
    Expected<void> Start();

    /// Makes @p text the item and tells every advise link. Called from
    /// inside a transaction (as the owner's answer to poked()), the advise
    /// goes out once that transaction is over: one posted from within is
    /// lost for the client whose transaction it is.
    void SetItem(std::string text);
    std::string Item() const;

    /// Conversations open now. A client killed outright says no goodbye
    /// and the DDE library tells nothing; its conversation is counted out
    /// (closed() told) once its window is found gone: here and before each
    /// advise. The program asks this before its close guard answers.
    int Conversations();

private:
    struct Impl;
    const std::unique_ptr<Impl> impl_;
};

}  // namespace korvalen::rotator
