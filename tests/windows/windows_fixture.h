#pragma once
// Runs the real program, windows and all, offscreen in a fresh program
// folder for each test, with the message boxes answered by the test instead
// of a person.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "tests/support/azimuth_client.h"
#include "widgets/messages.h"

namespace korvalen::testing {

using widgets::MessageKind;

struct Shown {
    MessageKind kind;
    QString text;
};

using RotatorClient = AzimuthClient;

class WindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        // The azimuth socket of each test's program in a folder of its own:
        // tests run side by side, and each is a copy of the same program.
        ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("run")));
        // As a session's runtime folder is: the program serves only there.
        ASSERT_TRUE(QFile::setPermissions(folder_.filePath(QStringLiteral("run")),
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder_.filePath(QStringLiteral("run"))));
        widgets::SetMessageHandler([this](MessageKind kind, const QString& text) {
            shown.push_back({kind, text});
            return answer;
        });
    }

    void TearDown() override {
        program_.reset();
        widgets::SetMessageHandler({});
        QDir::setCurrent(QDir::tempPath());
    }

    /// Starts the program in the test's folder with @p arguments, as the
    /// program's main does, without letting any event through yet.
    void StartQuietly(const QStringList& arguments = {}) {
        program_.reset();
        program_ = std::make_unique<app::Program>(folder_.path());
        program_->Start(arguments);
    }

    /// The same, then the events of the start-up are delivered.
    void Start(const QStringList& arguments = {}) {
        StartQuietly(arguments);
        QCoreApplication::processEvents();
    }

    /// Ends the program's windows, as the end of main does.
    void Stop() { program_.reset(); }

    /// Writes korvalen.ini (Windows-1252 bytes given as is) before Start.
    void WriteSettings(const std::string& bytes) {
        QFile f(folder_.filePath("korvalen.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }

    QByteArray ReadFile(const QString& name) const {
        QFile f(folder_.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) return {};
        return f.readAll();
    }

    QString Path(const QString& name) const { return folder_.filePath(name); }

    // Simulated pointer, in the widget's own pixels.
    static void Move(QWidget* w, int x, int y) {
        QMouseEvent e(QEvent::MouseMove, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    static void Click(QWidget* w, int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(w, button, Qt::NoModifier, QPoint(x, y));
    }

    /// Lets events through until @p condition holds, for @p ms at most;
    /// whether it holds. (Qt's QTRY_ macros report to QTest, not to
    /// GoogleTest, so a failed one would pass unnoticed here.)
    template <class Condition>
    static bool WaitFor(Condition condition, int ms = 10000) {
        return QTest::qWaitFor(condition, ms);
    }

    /// A rotator client with an open conversation on the program's socket.
    std::unique_ptr<RotatorClient> ConnectRotatorClient() {
        const QString path = program_->AzimuthServer().Address();
        auto client = std::make_unique<RotatorClient>(path);
        EXPECT_TRUE(client->Connected());
        EXPECT_EQ(client->Ask("CONNECT * Korvalen"), "OK windows_test Korvalen");
        return client;
    }
    /// Lets events through until the program holds @p n connections.
    bool RotatorConnectionsDropTo(int n) {
        return WaitFor([&] { return program_->AzimuthServer().Connections() == n; });
    }

    app::Program& program() { return *program_; }
    generator::TFormCarte& carte() { return program_->FormCarte(); }
    viewer::TFormAzimut& viewer() { return program_->FormAzimut(); }
    viewer::TFormSave& save() { return program_->FormSave(); }
    const generator::GeneratorState& centre() { return carte().State(); }
    const QString& SavedMapFile() { return program_->SavedMap().SavedMapFile; }
    const QString& SavedMapCentreText() { return program_->SavedMap().SavedMapCentreText; }
    const QString& PublishedAzimuth() { return program_->Rotator().Azimuth(); }
    int EndCount() { return program_->EndCount(); }

    /// Generates by a click on the world map; the viewer then shows.
    void GenerateAt(int x, int y) { Click(carte().ImageMercator, x, y); }

    std::vector<Shown> shown;
    QMessageBox::StandardButton answer = QMessageBox::No;

private:
    QTemporaryDir folder_;
    std::unique_ptr<app::Program> program_;
};

}  // namespace korvalen::testing
