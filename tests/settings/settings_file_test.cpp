#include <gtest/gtest.h>

#include "tests/support/failure_text.h"
#include "tests/support/posix_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>

#include "settings/settings.h"

using namespace korvalen::settings;

using namespace korvalen::testing;

namespace {

class SettingsFile : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        a_.hamDxRecords = {"F6ABC\t14.025", "EA4XYZ"};
        a_.language = Language::French;
        b_.utc = true;
        b_.viewerTop = 40;
    }

    QString folder() const { return dir_.path(); }
    QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    std::string Read(const char* name) const {
        QFile f(Path(name));
        if (!f.open(QIODevice::ReadOnly)) return "<unreadable>";
        return f.readAll().toStdString();
    }
    void Write(const char* name, const std::string& bytes) const {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    // The mode bits themselves: Qt's "User" flags say what the running
    // user may do, which for root is always everything.
    bool Writable(const char* name) const {
        struct stat st {};
        return ::stat(QFile::encodeName(Path(name)).constData(), &st) != 0 || (st.st_mode & 0222) != 0;
    }

    QTemporaryDir dir_;
    Settings a_, b_;
};

TEST_F(SettingsFile, FirstSaveCreatesReadOnlyFileThatLoadsBack) {
    ASSERT_FALSE(SettingsFileExists(folder()));
    EXPECT_EQ(FailureText(SaveSettings(folder(), a_, false)), std::nullopt);
    EXPECT_EQ(Read(SettingsFileName), FormatSettings(a_));
    EXPECT_FALSE(Writable(SettingsFileName));
    EXPECT_FALSE(QFile::exists(Path(TemporaryFileName)));
    ASSERT_TRUE(SettingsFileExists(folder()));
    const LoadResult r = LoadSettings(folder(), true);
    EXPECT_FALSE(r.error);
    EXPECT_EQ(r.values, a_);
}

TEST_F(SettingsFile, ReadOnlyFileReplacedAtSecondSave) {
    ASSERT_EQ(FailureText(SaveSettings(folder(), a_, false)), std::nullopt);
    ASSERT_TRUE(QFile::setPermissions(Path(SettingsFileName), QFile::ReadOwner));
    EXPECT_EQ(FailureText(SaveSettings(folder(), b_, true)), std::nullopt);
    EXPECT_EQ(Read(SettingsFileName), FormatSettings(b_));
    EXPECT_FALSE(Writable(SettingsFileName));
}

TEST_F(SettingsFile, LeftoverReadOnlyTemporaryRemoved) {
    Write(TemporaryFileName, "half a fi");
    ASSERT_TRUE(QFile::setPermissions(Path(TemporaryFileName), QFile::ReadOwner));
    EXPECT_EQ(FailureText(SaveSettings(folder(), a_, false)), std::nullopt);
    EXPECT_EQ(Read(SettingsFileName), FormatSettings(a_));
    EXPECT_FALSE(QFile::exists(Path(TemporaryFileName)));
}

TEST_F(SettingsFile, FileOfAnotherCopyKept) {
    // No korvalen.ini at start, but another copy wrote one meanwhile.
    Write(SettingsFileName, "[KORVALEN]\r\nWTOP=9\r\n");
    EXPECT_EQ(FailureText(SaveSettings(folder(), a_, false)), std::nullopt);
    EXPECT_EQ(Read(SettingsFileName), "[KORVALEN]\r\nWTOP=9\r\n");
    EXPECT_EQ(Read(TemporaryFileName), FormatSettings(a_));
    EXPECT_FALSE(Writable(TemporaryFileName));
}

TEST_F(SettingsFile, FileRemovedMeanwhileRecreated) {
    EXPECT_EQ(FailureText(SaveSettings(folder(), b_, true)), std::nullopt);
    EXPECT_EQ(Read(SettingsFileName), FormatSettings(b_));
}

TEST_F(SettingsFile, TemporaryThatCannotBeReplacedFailsAndKeepsOldFile) {
    ASSERT_EQ(FailureText(SaveSettings(folder(), a_, false)), std::nullopt);
    // A non-empty folder of that name can be neither deleted nor opened as a
    // file, whoever runs the test.
    ASSERT_TRUE(QDir(folder()).mkpath(QStringLiteral("korvalen.~in/x")));
    EXPECT_EQ(FailureText(SaveSettings(folder(), b_, true)), SaveErrorText);
    EXPECT_EQ(SaveErrorText, std::string("Ne peut cr\u00e9er korvalen.ini"));
    EXPECT_EQ(Read(SettingsFileName), FormatSettings(a_));
}

// The user and group "nobody": no capability lets it past a folder's mode.
constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

// What SaveSettings answers for @p values in @p folder, or "<saved>". Root
// ignores permission bits, so as root the save runs in a child that has
// dropped to nobody, and the answer comes back through a pipe; any other
// user saves here. Text in angle brackets says why the save did not run.
std::string SaveAsUnprivilegedUser(const QString& folder, const Settings& values) {
    if (::geteuid() != 0) return FailureText(SaveSettings(folder, values, true)).value_or("<saved>");
    return AnswerFromChild([&] {
        const QByteArray path = QFile::encodeName(folder);
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNoGroup) != 0 || ::setuid(kNobody) != 0)
            return std::string("<cannot become nobody: ") + std::strerror(errno) + ">";
        // Failing for any other reason than the folder's write bit would
        // prove nothing.
        if (::access(path.constData(), R_OK | X_OK) != 0)
            return "<folder out of nobody's reach: " + path.toStdString() + ">";
        if (::access(path.constData(), W_OK) == 0) return std::string("<folder still writable by nobody>");
        return FailureText(SaveSettings(folder, values, true)).value_or("<saved>");
    });
}

TEST_F(SettingsFile, UnwritableFolderFailsAndKeepsOldFile) {
    ASSERT_EQ(FailureText(SaveSettings(folder(), a_, false)), std::nullopt);
    const QByteArray path = QFile::encodeName(folder());
    // The folder must belong to whoever saves, so that only its mode stands
    // in the way.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(path.constData(), kNobody, kNoGroup), 0) << std::strerror(errno);
    }
    ASSERT_EQ(::chmod(path.constData(), 0555), 0);
    const std::string answer = SaveAsUnprivilegedUser(folder(), b_);
    ::chmod(path.constData(), 0755);
    EXPECT_EQ(answer, SaveErrorText);
    EXPECT_EQ(Read(SettingsFileName), FormatSettings(a_));
}

struct LoadCase {
    const char* name;
    std::function<void(const QString& folder)> prepare;
    bool existed;
    std::string error;  // empty: no error expected
    bool reasonFollows;  // error is only the start, the system's reason follows
};

const std::string kOpenError = "Impossible d'ouvrir le fichier \"korvalen.ini\". ";
const std::string kUnread = std::string("\n\n") + UnreadFileNotice;

const LoadCase kLoadCases[] = {
    // The flag is taken at start: a file arriving later is not read.
    {"NotThereAtStart", [](const QString& f) { ASSERT_TRUE(SaveSettings(f, Settings{}, false).ok()); }, false, "",
     false},
    {"Vanished", [](const QString&) {}, true, kOpenError + std::strerror(ENOENT) + kUnread, false},
    {"IsAFolder", [](const QString& f) { QDir(f).mkdir(SettingsFileName); }, true, kOpenError, true},
    {"BadNumber",
     [](const QString& f) {
         QFile file(QDir(f).filePath(SettingsFileName));
         file.open(QIODevice::WriteOnly);
         file.write("[KORVALEN]\r\nWWIDTH=8x\r\n");
     },
     true, "'8x' n'est pas une valeur enti\u00e8re correcte", false},
};

void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.name; }

class SettingsLoad : public testing::TestWithParam<LoadCase> {};

TEST_P(SettingsLoad, ReportsError) {
    QTemporaryDir dir;
    GetParam().prepare(dir.path());
    const LoadResult r = LoadSettings(dir.path(), GetParam().existed);
    const LoadCase& c = GetParam();
    EXPECT_EQ(r.values, Settings{});
    if (!c.reasonFollows) {
        EXPECT_EQ(FailureText(r.error).value_or(""), c.error);
    } else {
        ASSERT_TRUE(r.error);
        EXPECT_EQ(r.error->text.substr(0, c.error.size()), c.error);
        EXPECT_GT(r.error->text.size(), c.error.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, SettingsLoad, testing::ValuesIn(kLoadCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- A korvalen.ini that is no plain file of a settings file's size. One
// that never ends (a FIFO without a writer, /dev/zero) would hang the test
// rather than fail it, so each load runs in a child watched from here.

struct OddFileCase {
    const char* name;
    std::function<bool(const QString& file)> make;  // creates korvalen.ini at that path
    std::string error;                               // the whole message; empty: none
    std::function<void(Settings&)> expect;           // the values: defaults changed so
};

void PrintTo(const OddFileCase& c, std::ostream* os) { *os << c.name; }

const std::string kSettingsHead = "[KORVALEN]\r\nWTOP=5\r\n";

// A settings file of exactly @p size bytes setting WTOP=5, padded with a
// line that is no setting.
bool WriteSettingsOfSize(const QString& file, qint64 size) {
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly)) return false;
    std::string bytes = kSettingsHead;
    bytes.resize(static_cast<size_t>(size), 'x');
    return f.write(bytes.data(), size) == size;
}

bool MakeLink(const char* target, const QString& file) {
    return ::symlink(target, QFile::encodeName(file).constData()) == 0;
}

const OddFileCase kOddFileCases[] = {
    {"Fifo", [](const QString& f) { return ::mkfifo(QFile::encodeName(f).constData(), 0644) == 0; },
     kOpenError + "Not a regular file" + kUnread, [](Settings&) {}},
    {"LinkToDevZero", [](const QString& f) { return MakeLink("/dev/zero", f); }, kOpenError + "Not a regular file" + kUnread,
     [](Settings&) {}},
    {"Folder", [](const QString& f) { return QDir().mkdir(f); }, kOpenError + std::strerror(EISDIR) + kUnread,
     [](Settings&) {}},
    {"OneByteOverTheLimit", [](const QString& f) { return WriteSettingsOfSize(f, MaxSettingsFileSize + 1); },
     kOpenError + std::strerror(EFBIG) + kUnread, [](Settings&) {}},
    {"AtTheLimit", [](const QString& f) { return WriteSettingsOfSize(f, MaxSettingsFileSize); }, "",
     [](Settings& s) { s.viewerTop = 5; }},
    {"LinkToAPlainFile",
     [](const QString& f) {
         const QString real = QFileInfo(f).dir().filePath(QStringLiteral("real.ini"));
         return WriteSettingsOfSize(real, static_cast<qint64>(kSettingsHead.size())) &&
                MakeLink("real.ini", f);
     },
     "", [](Settings& s) { s.viewerTop = 5; }},
    {"DanglingLink", [](const QString& f) { return MakeLink("nowhere.ini", f); }, kOpenError + std::strerror(ENOENT) + kUnread,
     [](Settings&) {}},
};

// LoadSettings(folder, true) run in a child: "<values>" or "<other values>",
// then the message when there is one. Text in angle brackets alone says why
// no answer came.
std::string LoadInChild(const QString& folder, const Settings& expected) {
    // Far beyond what a load takes, even under the sanitizers: only a load
    // that never ends reaches it.
    return AnswerFromChild(
        [&] {
#ifndef KORVALEN_SANITIZED
            // A load that reads without end must fail here, not exhaust the
            // machine's memory first (the sanitizers reserve more than this).
            const rlimit limit{rlim_t(2) << 30, rlim_t(2) << 30};
            ::setrlimit(RLIMIT_AS, &limit);
#endif
            const LoadResult r = LoadSettings(folder, true);
            std::string answer = r.values == expected ? "<values>" : "<other values>";
            if (r.error) answer += r.error->text;
            return answer;
        },
        30);
}

class SettingsLoadOddFile : public testing::TestWithParam<OddFileCase> {};

TEST_P(SettingsLoadOddFile, AnswersPromptlyWithTheOpenErrorOrTheValues) {
    const OddFileCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(c.make(QDir(dir.path()).filePath(SettingsFileName)));
    ASSERT_TRUE(SettingsFileExists(dir.path()) || c.name == std::string("DanglingLink"));
    Settings expected;
    c.expect(expected);
    EXPECT_EQ(LoadInChild(dir.path(), expected), "<values>" + c.error);
}

INSTANTIATE_TEST_SUITE_P(Rows, SettingsLoadOddFile, testing::ValuesIn(kOddFileCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A file too large to read is moved aside whole, never over one set aside
// before, and the new settings then take its place.
TEST(SettingsUnreadFile, IsSetAsideUnderAFreeNameBeforeTheNewSettings) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = QDir(dir.path()).filePath(SettingsFileName);
    const QDate day(2026, 12, 9);
    for (const char* expected : {"korvalen.ini.unread-2026-12-09", "korvalen.ini.unread-2026-12-09-2"}) {
        ASSERT_TRUE(WriteSettingsOfSize(file, MaxSettingsFileSize + 1));
        ASSERT_TRUE(LoadSettings(dir.path(), true).unread);
        const korvalen::Expected<QString> moved = SetAsideUnreadFile(dir.path(), day);
        ASSERT_TRUE(moved.ok()) << moved.error().text;
        EXPECT_EQ(*moved, QString::fromLatin1(expected));
        EXPECT_EQ(QFileInfo(QDir(dir.path()).filePath(expected)).size(), MaxSettingsFileSize + 1);
    }
    EXPECT_FALSE(SetAsideUnreadFile(dir.path(), day).ok());  // nothing left to move
    EXPECT_EQ(FailureText(SaveSettings(dir.path(), Settings{}, false)), std::nullopt);
    EXPECT_EQ(FailureText(LoadSettings(dir.path(), true).error), std::nullopt);
}

TEST(SettingsFolder, ProgramFolderWhenWritableElseConfigFolder) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    EXPECT_EQ(SettingsFolder(home.path()), home.path());

    const QString config = home.filePath(QStringLiteral("config"));
    ::setenv("XDG_CONFIG_HOME", QFile::encodeName(config).constData(), 1);
    QCoreApplication::setApplicationName(QStringLiteral("korvalen"));
    // A program folder where nothing can be created: one that is a file.
    const QString notAFolder = home.filePath(QStringLiteral("plain"));
    QFile(notAFolder).open(QIODevice::WriteOnly);
    const QString chosen = SettingsFolder(notAFolder);
    EXPECT_TRUE(chosen.startsWith(config)) << chosen.toStdString();
    EXPECT_TRUE(QFileInfo(chosen).isDir());
    EXPECT_TRUE(QDir(home.path()).entryList({QStringLiteral("korvalen-probe-*")}, QDir::Files).isEmpty());
    ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
