// The settings file through the system's own calls: the type of what
// carries the name is known before anything opens it.
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/durable_file.h"
#include "settings/settings.h"
#include "settings/settings_file_system.h"

namespace korvalen::settings {
namespace {

Error SystemError(int error) { return Error{SystemErrorText(error)}; }

}  // namespace

bool MoveWithoutReplacing(const QString& from, const QString& to) {
    const QByteArray f = QFile::encodeName(from);
    const QByteArray t = QFile::encodeName(to);
#if defined(__linux__) && defined(RENAME_NOREPLACE)
    if (::renameat2(AT_FDCWD, f.constData(), AT_FDCWD, t.constData(), RENAME_NOREPLACE) == 0) return true;
    // EINVAL / ENOSYS: the file system or kernel lacks it; try the others.
    if (errno != EINVAL && errno != ENOSYS) return false;
#endif
    // link() refuses an existing name as atomically; a crash before the
    // unlink leaves korvalen.~in as well, which the next save removes.
    if (::link(f.constData(), t.constData()) == 0) {
        ::unlink(f.constData());
        return true;
    }
    if (errno == EEXIST) return false;
    // A file system without hard links (FAT): the check is no longer one
    // step with the rename, which is the best left.
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink()) return false;
    return std::rename(f.constData(), t.constData()) == 0;
}

Expected<std::string> ReadSettingsFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    // The type is looked at before opening, since opening some devices
    // already acts on them, and again on the open file, which is the one
    // read whatever replaced the name in between. O_NONBLOCK: an open FIFO
    // does not wait for a writer.
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) return SystemError(errno);
    const auto refusal = [](const struct stat& s) -> Expected<void> {
        if (S_ISDIR(s.st_mode)) return SystemError(EISDIR);
        if (!S_ISREG(s.st_mode)) return Error{kNotARegularFile};
        if (s.st_size > MaxSettingsFileSize) return SystemError(EFBIG);
        return {};
    };
    if (const Expected<void> refused = refusal(st); !refused) return refused.error();
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return SystemError(errno);
    Expected<void> reading;
    if (::fstat(fd, &st) != 0)
        reading = SystemError(errno);
    else
        reading = refusal(st);
    // The file may still grow while it is read: one byte past the limit is
    // enough to know.
    std::string data;
    if (reading) data.resize(static_cast<size_t>(st.st_size) + 1);
    size_t filled = 0;
    while (reading) {
        if (filled == data.size()) {
            if (data.size() > static_cast<size_t>(MaxSettingsFileSize)) {
                reading = SystemError(EFBIG);
                break;
            }
            data.resize(std::min(data.size() * 2, static_cast<size_t>(MaxSettingsFileSize) + 1));
        }
        const ssize_t n = ::read(fd, data.data() + filled, data.size() - filled);
        if (n > 0)
            filled += static_cast<size_t>(n);
        else if (n == 0)
            break;
        else if (errno != EINTR)
            reading = SystemError(errno);
    }
    ::close(fd);
    if (!reading) return reading.error();
    data.resize(filled);
    return data;
}

}  // namespace korvalen::settings
