#include "rotator/launcher.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <memory>

namespace korvalen::rotator {

namespace {

/// The target of the symbolic link @p path; empty when it cannot be read.
QByteArray ReadLink(const QByteArray& path) {
    char target[PATH_MAX];
    const ssize_t n = ::readlink(path.constData(), target, sizeof target);
    if (n <= 0) return {};
    return QByteArray(target, static_cast<qsizetype>(n));
}

QByteArray FileName(const QByteArray& path) { return path.mid(path.lastIndexOf('/') + 1); }

/// The executable's file name of the process in @p folder, or its `comm`
/// when the executable cannot be read.
QByteArray ExecutableName(const QByteArray& folder) {
    QByteArray exe = ReadLink(folder + "/exe");
    if (!exe.isEmpty()) {
        // The kernel marks an executable replaced or removed since the
        // start; the process is still the same program.
        static const QByteArray kDeleted(" (deleted)");
        if (exe.endsWith(kDeleted)) exe.chop(kDeleted.size());
        return FileName(exe);
    }
    QFile comm(QFile::decodeName(folder + "/comm"));
    if (!comm.open(QIODevice::ReadOnly)) return {};
    QByteArray name = comm.readAll();
    if (name.endsWith('\n')) name.chop(1);
    return name;
}

bool IsProcessFolder(const char* name) {
    if (!*name) return false;
    for (const char* c = name; *c; ++c)
        if (!std::isdigit(static_cast<unsigned char>(*c))) return false;
    return true;
}

}  // namespace

bool ProgramRunning(const QString& procRoot, const QString& name, uid_t uid) {
    const QByteArray root = QFile::encodeName(procRoot);
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(root.constData()), ::closedir);
    if (!dir) return false;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (!IsProcessFolder(entry->d_name)) continue;
        const QByteArray folder = root + '/' + entry->d_name;
        struct stat info;
        if (::stat(folder.constData(), &info) != 0 || info.st_uid != uid) continue;
        const QByteArray executable = ExecutableName(folder);
        if (!executable.isEmpty() &&
            QFile::decodeName(executable).compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool RotatorProgramRunning() {
    return ProgramRunning(QStringLiteral("/proc"), QLatin1String(kRotatorProgramName), ::getuid());
}

bool StartProgram(const QString& path) {
    // The static start reports a file that cannot be executed (missing, not
    // executable, a folder) as a failure, not as a process that dies at once.
    return QProcess::startDetached(path, {});
}

LaunchOutcome LaunchTornavel(LaunchState& state, bool clientConnected, const LaunchActions& actions) {
    if (!state.LaunchPending) {
        if (actions.running()) return LaunchOutcome::AlreadyOpen;
        if (clientConnected) return LaunchOutcome::ClientConnected;
        if (state.TornavelPath.isEmpty()) {
            state.LaunchPending = true;
            return LaunchOutcome::AskForPath;
        }
    }
    state.LaunchPending = false;
    if (actions.start(state.TornavelPath)) return LaunchOutcome::Started;
    state.TornavelPath.clear();
    return LaunchOutcome::LaunchFailed;
}

QString AlreadyOpenMessage(const QString& languageCode) {
    if (languageCode == QLatin1String("E"))
        return QStringLiteral(
            "Caution ! Tornavel is already open. To use it please check the server Korvalen in its Server menu");
    if (languageCode == QLatin1String("F"))
        return QStringLiteral(
            "Attention ! Tornavel est d\u00e9j\u00e0 ouvert. Pour l'utiliser choisissez le serveur Korvalen dans "
            "son menu Serveur");
    if (languageCode == QLatin1String("S"))
        return QStringLiteral(
            "\u00a1Precauci\u00f3n! Tornavel ya est\u00e1 abierto. Para usarlo, por favor compruebe el Korvalen "
            "servidor en el men\u00fa Servidor");
    return {};
}

QString LaunchErrorMessage(const QString& languageCode) {
    const char16_t* first = nullptr;
    const char16_t* second = nullptr;
    if (languageCode == QLatin1String("E")) {
        first = u"An error occured when running Tornavel.";
        second = u"Please verify the full path of Tornavel.exe";
    } else if (languageCode == QLatin1String("F")) {
        first = u"Une erreur est survenue \u00e0 l'ouverture d'Tornavel.";
        second = u"SVP, v\u00e9rifiez le chemin complet de Tornavel.exe";
    } else if (languageCode == QLatin1String("S")) {
        first = u"Se produjo un error al ejecutar Tornavel.";
        second = u"Por favor, verifique la ruta completa de Tornavel.exe";
    } else {
        return {};
    }
    return QString::fromUtf16(first) + QStringLiteral("\r\n") + QString::fromUtf16(second);
}

}  // namespace korvalen::rotator
