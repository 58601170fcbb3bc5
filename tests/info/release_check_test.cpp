// The release check against a real web server on loopback: every kind of
// answer the maker's site (or what stands in its way) can give, no file made
// for any of them, the timeout, and how checks asked for together share one
// download.
#include "info/release_check.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tests/info/version_server.h"

using namespace korvalen::info;
using korvalen::info::testing::VersionServer;
using Mode = VersionServer::Mode;

namespace {

constexpr std::chrono::milliseconds kShortTimeout{250};

class ReleaseCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        ASSERT_TRUE(server.Listening());
        previous_ = QDir::currentPath();
        QDir::setCurrent(folder_.path());
        MakeCheck();
    }
    void TearDown() override {
        check.reset();
        QDir::setCurrent(previous_);
    }

    void MakeCheck() {
        check = std::make_unique<ReleaseCheck>(QStringLiteral("2.1.4"));
        check->Fetch().SetUrl(server.Url());
        QObject::connect(&check->Fetch(), &VersionsFetch::Fetched, [this](const QString& v) { fetched.push_back(v); });
        QObject::connect(check.get(), &ReleaseCheck::Answered, [this](Reply r) { replies.push_back(r); });
    }

    /// Lets events through until @p n answers came; whether they did.
    bool AnswersCome(size_t n) {
        return QTest::qWaitFor([&] { return replies.size() >= n; }, 20000);
    }
    /// Lets through every event queued so far, zero timers included.
    static void LetQueuedEventsThrough() {
        bool marked = false;
        QTimer::singleShot(0, [&] { marked = true; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return marked; }, 5000));
    }
    QStringList FolderContents() const {
        return QDir(folder_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    }
    QString Path(const char* name) const { return folder_.filePath(QLatin1String(name)); }

    VersionServer server;
    std::unique_ptr<ReleaseCheck> check;
    std::vector<QString> fetched;
    std::vector<Reply> replies;

private:
    QTemporaryDir folder_;
    QString previous_;
};

// ---- What the server sends, what the check makes of it.

struct ServerCase {
    const char* name;
    int status;
    QByteArray body;
    Mode mode;
    QString published;  ///< what the fetch gives; empty: nothing
    Reply now;          ///< the operator's button
    Reply atStart;      ///< the start-up check
};

void PrintTo(const ServerCase& c, std::ostream* os) { *os << c.name; }

// Nobody listens at all: the server is closed before the check.
constexpr int kRefused = 0;

const ServerCase kServerCases[] = {
    {"UpToDate", 200, "korvalen=2.1.4\r\n", Mode::Answer, "2.1.4", Reply::UpToDate, Reply::None},
    {"NewerPatch", 200, "korvalen=2.1.5\r\n", Mode::Answer, "2.1.5", Reply::NewerRelease, Reply::NewerRelease},
    {"OtherCaseOnly", 200, "Korvalen=9.9.9\r\n", Mode::Answer, "", Reply::InternetFailure, Reply::None},
    {"NewerMajor", 200, "korvalen=3.0\r\n", Mode::Answer, "3.0", Reply::NewerRelease, Reply::NewerRelease},
    {"TwoDigitMinorIsOlder", 200, "korvalen=2.10.0\r\n", Mode::Answer, "2.10.0", Reply::UpToDate, Reply::None},
    {"EqualsFirstSkipped", 200, "=korvalen\r\n=korvalen=9.9.9\r\nkorvalen=2.1.4\r\n", Mode::Answer, "2.1.4",
     Reply::UpToDate, Reply::None},
    {"WebPage", 200, "<html><body>korvalen=9.9.9</body></html>\r\n", Mode::Answer, "", Reply::InternetFailure,
     Reply::None},
    {"TwoLinesFirstCounts", 200, "korvalen=2.1.5\r\nkorvalen=2.1.3\r\n", Mode::Answer, "2.1.5", Reply::NewerRelease,
     Reply::NewerRelease},
    {"AmongOtherProgramsLfAndCr", 200, "tornavel=1.3.2\nkorvalen=2.1.5\razimut=4", Mode::Answer, "2.1.5",
     Reply::NewerRelease, Reply::NewerRelease},
    {"ShorterThanThreeBytes", 200, "k=", Mode::Answer, "", Reply::InternetFailure, Reply::None},
    {"EmptyFile", 200, "", Mode::Answer, "", Reply::InternetFailure, Reply::None},
    {"NotFoundPage", 404, "<html>Not Found</html>", Mode::Answer, "", Reply::InternetFailure, Reply::None},
    {"NotFoundPlain", 404, "korvalen=9.9.9\r\n", Mode::Answer, "", Reply::InternetFailure, Reply::None},
    {"ServerError", 500, "", Mode::Answer, "", Reply::InternetFailure, Reply::None},
    {"TooLarge", 200, QByteArray("korvalen=2.1.5\r\n") + QByteArray(kMaxVersionsFileSize, 'x'), Mode::Answer, "",
     Reply::InternetFailure, Reply::None},
    {"NeverAnswers", 200, "korvalen=2.1.5\r\n", Mode::Never, "", Reply::InternetFailure, Reply::None},
    {"NobodyListens", kRefused, "", Mode::Answer, "", Reply::InternetFailure, Reply::None},
};

class ReleaseCheckServer : public ReleaseCheckTest, public ::testing::WithParamInterface<ServerCase> {};

TEST_P(ReleaseCheckServer, AnswersAndMakesNoFile) {
    const ServerCase& c = GetParam();
    if (c.status == kRefused)
        server.Close();
    else
        server.Serve(c.status, c.body, c.mode);
    if (c.mode == Mode::Never) check->Fetch().SetTimeout(kShortTimeout);

    // The start-up check, then the operator's: each a download of its own.
    check->SetCheckAtStart(true);
    check->CheckAtFirstIdle();
    ASSERT_TRUE(AnswersCome(1));
    check->CheckNow();
    ASSERT_TRUE(AnswersCome(2));
    EXPECT_TRUE(FolderContents().isEmpty()) << FolderContents().join(", ").toStdString();

    EXPECT_EQ(fetched, (std::vector<QString>{c.published, c.published}));
    EXPECT_EQ(replies, (std::vector<Reply>{c.atStart, c.now}));
    if (c.status != kRefused) {
        EXPECT_EQ(server.Requests(), 2);
        // Straight from the server, past any cache on the way.
        EXPECT_TRUE(server.LastRequest().startsWith("GET /index_fichiers/versions.txt HTTP/1.1\r\n"));
        EXPECT_TRUE(server.LastRequest().contains("\r\nCache-Control: no-cache")) << server.LastRequest().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, ReleaseCheckServer, ::testing::ValuesIn(kServerCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Checks asked for together, and the start-up check's once.

TEST_F(ReleaseCheckTest, OperatorWaitsForTheRunningStartupCheck) {
    server.Serve(200, "korvalen=2.1.4\r\n", Mode::Hold);
    check->SetCheckAtStart(true);
    check->CheckAtFirstIdle();
    // The server, on this same event loop, gets the request while the check
    // waits: the loop keeps turning during a check.
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.Requests() == 1; }, 20000));
    EXPECT_TRUE(check->Running());
    EXPECT_TRUE(FolderContents().isEmpty()) << FolderContents().join(", ").toStdString();
    check->CheckNow();
    check->CheckNow();
    server.Release();
    ASSERT_TRUE(AnswersCome(1));
    LetQueuedEventsThrough();
    // One download, one answer: the operator's, though alone the start-up
    // check would have said nothing.
    EXPECT_EQ(server.Requests(), 1);
    EXPECT_EQ(replies, std::vector<Reply>{Reply::UpToDate});
}

TEST_F(ReleaseCheckTest, StartupCheckOnceWhenOnAtTheFirstIdleMoment) {
    server.Serve(200, "korvalen=2.1.5\r\n");
    check->CheckAtFirstIdle();
    // Switched on after the asking but before the loop is idle: it counts.
    check->SetCheckAtStart(true);
    ASSERT_TRUE(AnswersCome(1));
    check->CheckAtFirstIdle();
    LetQueuedEventsThrough();
    EXPECT_EQ(server.Requests(), 1);
    EXPECT_EQ(replies, std::vector<Reply>{Reply::NewerRelease});
}

TEST_F(ReleaseCheckTest, StartupCheckOffAtTheFirstIdleMomentNeverRuns) {
    server.Serve(200, "korvalen=2.1.5\r\n");
    check->CheckAtFirstIdle();
    LetQueuedEventsThrough();
    check->SetCheckAtStart(true);
    check->CheckAtFirstIdle();
    LetQueuedEventsThrough();
    EXPECT_FALSE(check->Running());
    EXPECT_EQ(server.Requests(), 0);
    EXPECT_TRUE(replies.empty());
}

// The operator's own versions.txt in the settings folder, or a link of
// that name, is theirs: a check that succeeds, one that fails and one the
// program's end cuts short leave it as it was.
TEST_F(ReleaseCheckTest, OperatorsVersionsFileIsNeverTouched) {
    QFile own(Path("notes.txt"));
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.write("the operator's notes\n");
    own.close();
    ASSERT_TRUE(QFile::link(Path("notes.txt"), Path("versions.txt")));
    const auto untouched = [&] {
        QFile notes(Path("notes.txt"));
        return QFileInfo(Path("versions.txt")).isSymLink() && notes.open(QIODevice::ReadOnly) &&
               notes.readAll() == "the operator's notes\n";
    };

    server.Serve(200, "korvalen=2.1.5\r\n");
    check->CheckNow();
    ASSERT_TRUE(AnswersCome(1));
    EXPECT_TRUE(untouched());
    server.Serve(404, "");
    check->CheckNow();
    ASSERT_TRUE(AnswersCome(2));
    EXPECT_TRUE(untouched());
    server.Serve(200, "korvalen=2.1.5\r\n", Mode::Never);
    check->CheckNow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.Requests() == 3; }, 20000));
    check.reset();
    EXPECT_TRUE(untouched());
    EXPECT_EQ(replies, (std::vector<Reply>{Reply::NewerRelease, Reply::InternetFailure}));
}

}  // namespace
