// The POSIX half of durable_file.h: names as bytes, and the replacement done
// with the system's own calls, so that what stands at the name is judged
// without opening it.
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/durable_file.h"
#include "settings/durable_file_system.h"

namespace korvalen::settings {
namespace {

void FlushFolderOf(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

QByteArray FolderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// The system's reason for the errno value @p error, as a failure.
Error SystemError(int error) { return Error{SystemErrorText(error)}; }

// Every byte written, or the system's reason; a write cut short by a signal
// or by a nearly full disk goes on until the disk itself says why it stops.
Expected<void> WriteAll(int fd, const QByteArray& bytes) {
    const char* at = bytes.constData();
    for (size_t left = size_t(bytes.size()); left > 0;) {
        const ssize_t n = ::write(fd, at, left);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return SystemError(errno);
        if (n == 0) return SystemError(ENOSPC);
        at += n;
        left -= size_t(n);
    }
    return {};
}

}  // namespace

int SyncToDisk(int handle) { return ::fsync(handle) == 0 ? 0 : errno; }

FilePath::FilePath(const QString& name) : native_(QFile::encodeName(name)) {}

FilePath FilePath::FromCommandLine(const char* argument) {
    FilePath path;
    path.native_ = QByteArray(argument);
    return path;
}

QString FilePath::ToString() const { return QFile::decodeName(native_); }

void FlushFolder(const QString& folder) { FlushFolderOf(QFile::encodeName(folder)); }

Expected<void> ReplaceFile(const QString& from, const QString& to) {
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return SystemError(errno);
    return {};
}

Expected<void> WriteFileDurably(const FilePath& target, const QByteArray& bytes) {
    // What stands at the name is judged from its type alone: opening a FIFO
    // would block, and writing to a device would hand it the map.
    QByteArray path = target.Native();
    struct stat st {};
    bool exists = true;
    if (::lstat(path.constData(), &st) != 0) {
        if (errno != ENOENT) return SystemError(errno);
        exists = false;
    } else if (S_ISLNK(st.st_mode)) {
        // A link is the user's way of keeping the file elsewhere: the file it
        // points to is replaced in its own folder (a rename beside the link
        // would replace the link itself), and the link stays.
        char* const real = ::realpath(path.constData(), nullptr);
        if (real == nullptr) return SystemError(errno);
        path = QByteArray(real);
        std::free(real);
        if (::stat(path.constData(), &st) != 0) return SystemError(errno);
    }
    if (exists) {
        if (S_ISDIR(st.st_mode)) return SystemError(EISDIR);
        if (!S_ISREG(st.st_mode)) return Error{kNotARegularFile};
        // Renaming over a file needs no right to the file itself, only to its
        // folder; the user's read-only mark must still protect it, as a
        // direct write would (root included, whom access() never refuses).
        if ((st.st_mode & 0222) == 0) return SystemError(EACCES);
        if (::faccessat(AT_FDCWD, path.constData(), W_OK, AT_EACCESS) != 0) return SystemError(errno);
    }

    // O_EXCL: no existing file, nor a link planted at the name, is ever
    // written through.
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = path + TemporarySuffix();
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return SystemError(errno);
    }
    if (fd < 0) return SystemError(EEXIST);

    Expected<void> written = WriteAll(fd, bytes);
    // A replaced file keeps the permissions its owner gave the old one: the
    // mode itself, not what the running user may do.
    if (written && exists && ::fchmod(fd, st.st_mode & 07777) != 0) written = SystemError(errno);
    if (written && ::fsync(fd) != 0) written = SystemError(errno);
    // close() is where some file systems report a write that never reached
    // the disk; it is not retried, the descriptor being gone either way.
    if (::close(fd) != 0 && written) written = SystemError(errno);
    if (written && std::rename(temporary.constData(), path.constData()) != 0) written = SystemError(errno);
    if (!written) {
        ::unlink(temporary.constData());
        return written;
    }
    FlushFolderOf(FolderOf(path));
    return {};
}

}  // namespace korvalen::settings
