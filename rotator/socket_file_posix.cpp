#include "rotator/socket_file.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/types.h>
#include <sys/un.h>
#include <unistd.h>

namespace korvalen::rotator {

namespace {

QString SystemError(int error) { return qt_error_string(error); }

// The phrases are made with Qt's arguments; the error carries them in UTF-8.
Error Why(const QString& text) { return Error{text.toStdString()}; }

// What a file of @p mode is, in a few words.
QString Kind(mode_t mode) {
    if (S_ISREG(mode)) return QStringLiteral("a file");
    if (S_ISDIR(mode)) return QStringLiteral("a folder");
    if (S_ISLNK(mode)) return QStringLiteral("a symbolic link");
    if (S_ISSOCK(mode)) return QStringLiteral("a socket");
    if (S_ISFIFO(mode)) return QStringLiteral("a named pipe");
    return QStringLiteral("a device");
}

// A descriptor closed on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

// A stream socket for a local address, not inherited by the rotator
// programs the launcher starts.
int NewSocket() {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd >= 0) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    return fd;
}

bool MakeAddress(const QByteArray& name, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(name.size()) >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    return true;
}

QString TooLong(const QString& path) {
    return QStringLiteral("the path %1 is too long for a socket (at most %2 bytes)")
        .arg(path)
        .arg(sizeof(sockaddr_un::sun_path) - 1);
}

// The user the program at the other end of the connected @p fd runs as:
// the one who made its listening socket.
bool PeerUser(int fd, uid_t& user) {
#ifdef __linux__
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0) return false;
    user = credentials.uid;
    return true;
#else
    gid_t group = 0;
    return ::getpeereid(fd, &user, &group) == 0;
#endif
}

}  // namespace

QString FallbackSocketFolder() {
    // A folder of the user's own, not the temporary folder itself: there any
    // user may take the socket's name first.
    return QDir(QDir::tempPath()).filePath(QStringLiteral("korvalen-%1").arg(::geteuid()));
}

Expected<void> PrepareSocketFolder(const QString& folder) {
    const QByteArray name = QFile::encodeName(folder);
    if (::mkdir(name.constData(), S_IRWXU) != 0 && errno != EEXIST)
        return Why(
            QStringLiteral("cannot create the folder %1 for the azimuth socket: %2").arg(folder, SystemError(errno)));
    // Checked whether or not it was just made: a folder of that name may
    // have been there before, made by anyone.
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0)
        return Why(QStringLiteral("cannot examine the folder %1 for the azimuth socket: %2")
                       .arg(folder, SystemError(errno)));
    if (!S_ISDIR(st.st_mode))
        return Why(
            QStringLiteral("%1 should be the folder for the azimuth socket but is %2").arg(folder, Kind(st.st_mode)));
    if (st.st_uid != ::geteuid())
        return Why(QStringLiteral("the folder %1 for the azimuth socket belongs to another user").arg(folder));
    // Write permission would let another user take or swap the socket's
    // name. Reading or searching it would let them do nothing, but a
    // private folder that others may enter is not what this folder was
    // made as: someone changed it, and it is not trusted.
    if ((st.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return Why(QStringLiteral("the folder %1 for the azimuth socket is open to other users (mode %2); "
                                  "it must be its owner's alone (mode 700)")
                       .arg(folder)
                       .arg(st.st_mode & 07777, 3, 8, QLatin1Char('0')));
    return {};
}

Expected<SocketPathOccupant> InspectSocketPath(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0) {
        if (errno == ENOENT) return SocketPathOccupant::Nothing;
        return Why(QStringLiteral("cannot examine %1: %2").arg(path, SystemError(errno)));
    }
    if (!S_ISSOCK(st.st_mode))
        return Why(QStringLiteral("%1 is %2, not a socket; it is left in place").arg(path, Kind(st.st_mode)));

    sockaddr_un address{};
    if (!MakeAddress(name, address)) return Why(TooLong(path));
    const Descriptor probe(NewSocket());
    if (probe.get() < 0)
        return Why(QStringLiteral("cannot connect to %1 to see who answers: %2").arg(path, SystemError(errno)));
    // A listener whose queue is full keeps connect() waiting; it must not
    // hold up the program's start for long.
    timeval limit{};
    limit.tv_sec = 5;
    ::setsockopt(probe.get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    if (::connect(probe.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        uid_t peer = 0;
        if (!PeerUser(probe.get(), peer))
            return Why(QStringLiteral("cannot tell who answers on %1: %2").arg(path, SystemError(errno)));
        if (peer == ::geteuid()) return SocketPathOccupant::OurCopy;
        return Why(QStringLiteral("another user's program answers on %1; it is left alone").arg(path));
    }
    const int error = errno;
    if (error == ENOENT) return SocketPathOccupant::Nothing;  // gone meanwhile
    if (error != ECONNREFUSED)
        return Why(QStringLiteral("cannot connect to %1 to see who answers: %2").arg(path, SystemError(error)));
    // Nobody answers: left by a crash.
    if (st.st_uid != ::geteuid())
        return Why(QStringLiteral("%1 is another user's socket that nobody answers on; it is left in place").arg(path));
    if (::unlink(name.constData()) != 0 && errno != ENOENT)
        return Why(QStringLiteral("cannot remove the stale socket %1: %2").arg(path, SystemError(errno)));
    return SocketPathOccupant::Nothing;
}

Expected<void> ListenAt(QLocalServer& server, const QString& path, int backlog, SocketFileId& made) {
    // The socket is bound under a name of this process's, then linked to its
    // path, and Qt is handed the descriptor rather than the path:
    // QLocalServer::close() removes, by name, the file its socket was bound
    // to, whatever that file is by then (in a shared folder, another user's
    // socket). Bound to the staging name, removed right after the link,
    // close() finds nothing there; the path itself is removed by
    // StopListening alone, and only while it is still this socket. link(),
    // as bind() would, refuses a path already taken: whatever appeared there
    // since the inspection is never replaced.
    const QString staging = path + QStringLiteral(".%1").arg(::getpid());
    const QByteArray stagingName = QFile::encodeName(staging);
    sockaddr_un address{};
    if (!MakeAddress(stagingName, address)) return Why(TooLong(path));
    auto failed = [&path](int error) {
        return Why(QStringLiteral("cannot make the socket %1: %2").arg(path, SystemError(error)));
    };

    Descriptor listening(NewSocket());
    if (listening.get() < 0) return failed(errno);
    if (::bind(listening.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return failed(errno);
    struct stat st {};
    if (::chmod(stagingName.constData(), S_IRWXU) != 0 || ::listen(listening.get(), backlog) != 0 ||
        ::lstat(stagingName.constData(), &st) != 0) {
        const int error = errno;
        ::unlink(stagingName.constData());
        return failed(error);
    }
    const QByteArray name = QFile::encodeName(path);
    const bool linked = ::link(stagingName.constData(), name.constData()) == 0;
    const int linkError = errno;
    ::unlink(stagingName.constData());
    if (!linked) {
        if (linkError == EEXIST)
            return Why(
                QStringLiteral("something took the name %1 while the program was starting; it is left in place")
                    .arg(path));
        return failed(linkError);
    }
    made = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    if (!server.listen(listening.get())) {
        const QString why = server.errorString();
        ::unlink(name.constData());
        made = {};
        return Why(QStringLiteral("cannot make the socket %1: %2").arg(path, why));
    }
    listening.release();
    return {};
}

void StopListening(QLocalServer& server, const QString& path, const SocketFileId& made) {
    server.close();
    if (made.inode == 0) return;
    // Only while the name is still this socket: another copy of the program
    // may have replaced it since (taking it for stale), or anything else
    // may sit there now. What remains is a small window between this look
    // and the removal, open to this user alone in the user's own folder.
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(name.constData(), &st) == 0 && static_cast<std::uint64_t>(st.st_dev) == made.device &&
        static_cast<std::uint64_t>(st.st_ino) == made.inode)
        ::unlink(name.constData());
}

}  // namespace korvalen::rotator
