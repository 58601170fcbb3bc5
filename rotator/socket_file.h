#pragma once
// The azimuth socket's file as the system sees it: the folder that holds it,
// whatever already sits at its path, and the listening itself. On Unix the
// name lives in the file system, where another user may have put something
// first or may swap it later, so each step looks at what is really there
// and whose it is. On Windows the socket is a named pipe: no folder and no
// file. Every failure is a short phrase in plain words, without a final stop,
// as the azimuth server's Start passes it on.
#include <QString>

#include <cstdint>

#include "base/expected.h"

class QLocalServer;

namespace korvalen::rotator {

/// The socket's folder when the session names none (XDG_RUNTIME_DIR unset
/// or empty): on Unix the user's own <temporary folder>/korvalen-<uid>, the
/// temporary folder being $TMPDIR, else /tmp.
QString FallbackSocketFolder();

/// Makes @p folder (mode 0700) if it is missing, then checks, without
/// following a link, that it is a folder of this user's alone (no
/// permission at all for group or others).
/// @return why it is unfit, when it is
Expected<void> PrepareSocketFolder(const QString& folder);

/// What sits at the socket's path before the program listens there, when it
/// is nothing to refuse.
enum class SocketPathOccupant {
    Nothing,  ///< free: nothing there, or a stale socket of this user's, now removed
    OurCopy,  ///< a program of this same user answers on it
};
/// Looks at @p path. Removes nothing but a socket of this user's that nobody
/// answers on (left by a crash).
/// @return the occupant, or why what is there is to be left alone
Expected<SocketPathOccupant> InspectSocketPath(const QString& path);

/// The socket file made by ListenAt, told apart from any file that later
/// takes its name.
struct SocketFileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

/// Makes @p server listen on a new socket at @p path, readable and writable
/// by this user alone, with @p backlog connections waiting to be accepted.
/// Never replaces a file that is already there.
/// @return why not, when it could not
Expected<void> ListenAt(QLocalServer& server, const QString& path, int backlog, SocketFileId& made);

/// Stops @p server listening and removes @p path if it is still the file
/// ListenAt @p made.
void StopListening(QLocalServer& server, const QString& path, const SocketFileId& made);

}  // namespace korvalen::rotator
