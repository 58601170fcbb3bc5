#include "tests/support/posix_files.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvalen::testing {

namespace {

bool WriteProcFile(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool written = ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    return ::close(fd) == 0 && written;
}

}  // namespace

QByteArray ReadToEnd(int fd) {
    QByteArray bytes;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
        if (n > 0)
            bytes.append(buffer, n);
        else if (errno != EINTR)
            break;
    }
    ::close(fd);
    return bytes;
}

QByteArray ReadBytes(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    return fd < 0 ? QByteArray("<cannot open: " + QByteArray(std::strerror(errno)) + ">") : ReadToEnd(fd);
}

bool WriteBytes(const std::string& path, const QByteArray& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool written = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && written;
}

std::map<std::string, std::string> Entries(const std::string& folder) {
    std::map<std::string, std::string> entries;
    DIR* d = ::opendir(folder.c_str());
    if (d == nullptr) return {{"<cannot list>", std::strerror(errno)}};
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "/" + name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            entries[name] = "?";
            continue;
        }
        std::string what = S_ISREG(st.st_mode)    ? "file"
                           : S_ISDIR(st.st_mode)  ? "folder"
                           : S_ISLNK(st.st_mode)  ? "link"
                           : S_ISFIFO(st.st_mode) ? "fifo"
                           : S_ISCHR(st.st_mode)  ? "device"
                                                  : "other";
        what += " #" + std::to_string(st.st_ino);
        if (S_ISLNK(st.st_mode)) {
            char target[4096];
            const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
            what += " -> " + std::string(target, n > 0 ? size_t(n) : 0);
        }
        entries[name] = what;
    }
    ::closedir(d);
    return entries;
}

std::string Names(const std::map<std::string, std::string>& entries) {
    std::string names;
    for (const auto& entry : entries) names += (names.empty() ? "" : " ") + entry.first;
    return names;
}

bool MakeNullDevice(const std::string& path) { return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; }

std::string LinkableDevice(const std::string& folder) {
    if (::geteuid() != 0) return "/dev/null";
    return MakeNullDevice(folder + "/null") ? folder + "/null" : std::string();
}

std::string EnterSmallFileSystem(const std::string& folder, int kib) {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (uid == 0) {
        if (::unshare(CLONE_NEWNS) != 0) return std::string("no mount namespace: ") + std::strerror(errno);
    } else {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return std::string("not root and no user namespace: ") + std::strerror(errno);
        if (!WriteProcFile("/proc/self/setgroups", "deny") ||
            !WriteProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !WriteProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return std::string("cannot map the user into its namespace: ") + std::strerror(errno);
    }
    // Private, so that the tmpfs never shows outside this process.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("cannot make the mounts private: ") + std::strerror(errno);
    const std::string options = "size=" + std::to_string(kib) + "k";
    if (::mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0)
        return std::string("cannot mount a tmpfs: ") + std::strerror(errno);
    return {};
}

std::string FillLeaving(const std::string& folder, long freeBytes) {
    const std::string filler = folder + "/filler";
    ::unlink(filler.c_str());
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return std::string("<filler: ") + std::strerror(errno) + ">";
    static const char block[4096] = {};
    long size = 0;
    for (ssize_t n; (n = ::write(fd, block, sizeof block)) > 0;) size += n;
    const int error = errno;
    const long page = ::sysconf(_SC_PAGESIZE);
    const long pages = (size + page - 1) / page, keep = pages - freeBytes / page;
    const bool ok = error == ENOSPC && keep >= 0 && ::ftruncate(fd, keep * page) == 0;
    ::close(fd);
    return ok ? std::string() : "<cannot fill the file system: " + std::string(std::strerror(error)) + ">";
}

std::string AnswerFromChild(const std::function<std::string()>& body, int seconds) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return std::string("<pipe: ") + std::strerror(errno) + ">";
    const pid_t child = ::fork();
    if (child < 0) return std::string("<fork: ") + std::strerror(errno) + ">";
    if (child == 0) {
        ::close(pipeEnds[0]);
        int code = 2;
        try {
            const std::string answer = body();
            code = ::write(pipeEnds[1], answer.data(), answer.size()) == ssize_t(answer.size()) ? 0 : 1;
        } catch (...) {
        }
        ::_exit(code);
    }
    ::close(pipeEnds[1]);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    std::string answer;
    bool ended = false;
    while (!ended) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd watched{pipeEnds[0], POLLIN, 0};
        const int ready = ::poll(&watched, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        char buffer[4096];
        const ssize_t n = ::read(pipeEnds[0], buffer, sizeof buffer);
        if (n > 0)
            answer.append(buffer, size_t(n));
        else if (n == 0 || errno != EINTR)
            ended = true;
    }
    ::close(pipeEnds[0]);
    if (!ended) ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!ended) return "<no answer within " + std::to_string(seconds) + " s>";
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "<child failed, status " + std::to_string(status) + ">";
    return answer;
}

Isolated InSmallFileSystem(const std::string& folder, int kib, const std::function<std::string()>& body) {
    const std::string answer = AnswerFromChild([&] {
        const std::string why = EnterSmallFileSystem(folder, kib);
        return why.empty() ? "ran\n" + body() : "skip\n" + why;
    });
    if (answer.rfind("skip\n", 0) == 0) return {false, answer.substr(5)};
    if (answer.rfind("ran\n", 0) == 0) return {true, answer.substr(4)};
    return {true, answer};
}

}  // namespace korvalen::testing
