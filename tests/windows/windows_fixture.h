#pragma once
// Runs the real windows offscreen in a fresh program folder for each test,
// with the message boxes answered by the test instead of a person.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/forms.h"
#include "app/messages.h"
#include "app/program.h"
#include "generator/form_carte.h"
#include "rotator/azimuth_link.h"
#include "viewer/form_azimut.h"
#include "viewer/form_save.h"

namespace korvalen::testing {

struct Shown {
    MessageKind kind;
    QString text;
};

class WindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        SetMessageHandler([this](MessageKind kind, const QString& text) {
            shown.push_back({kind, text});
            return answer;
        });
    }

    void TearDown() override {
        app::DestroyWindows();
        SetMessageHandler({});
        QDir::setCurrent(QDir::tempPath());
    }

    /// Starts the program in the test's folder with @p arguments.
    void Start(const QStringList& arguments = {}) {
        app::LocateProgramFolder(folder_.path());
        app::CreateWindows(arguments);
        QTest::qWait(1);
    }

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

    TFormCarte& carte() { return *FormCarte; }
    TFormAzimut& viewer() { return *FormAzimut; }

    /// Generates by a click on the world map and waits for the viewer.
    void GenerateAt(int x, int y) {
        Click(carte().ImageMercator, x, y);
        QTest::qWait(1);
    }

    std::vector<Shown> shown;
    QMessageBox::StandardButton answer = QMessageBox::No;

private:
    QTemporaryDir folder_;
};

}  // namespace korvalen::testing
