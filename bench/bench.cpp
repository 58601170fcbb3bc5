// Prints the time of one map generation for the centre of JN18EU, the time
// PROJ takes to project the same points with its azimuthal equidistant
// projection on a sphere, and their ratio; then, in the offscreen windows,
// the pointer read-out, the generation with its progress bar, saving and
// loading the kept map, writing the settings at exit, and the DX panel's
// list rebuild and call-box keystroke. Run with
// QT_QPA_PLATFORM=xcb on an X display (e.g. Xvfb), it also times the
// generation on screen, from the Enter key in the locator box to the
// viewer's first paint of the new map, with where that time goes, and the
// start-up to the first window shown against a bare Qt main window's.
#include <proj.h>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLocalSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QMainWindow>
#include <QProcess>
#include <QProgressBar>
#include <QTimer>
#include <QWindow>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <thread>
#include <string>
#include <vector>

#include "app/program.h"
#include "data/resources.h"
#include "generator/map_generation.h"
#include "generator/projection.h"
#include "settings/settings.h"
#include "viewer/map_file.h"
#include "viewer/map_surface.h"

using namespace korvalen;
using Clock = std::chrono::steady_clock;

namespace {

template <class F>
double MedianMs(int runs, F&& f) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        const auto a = Clock::now();
        f();
        t.push_back(std::chrono::duration<double, std::milli>(Clock::now() - a).count());
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

std::string CpuName() {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
    return "unknown CPU";
}

// --- On screen (X) -------------------------------------------------------

double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

struct Spread {
    double median = 0, min = 0, max = 0;
};

Spread SpreadOf(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.front(), v.back()};
}

// Lets the event loop run for @p ms milliseconds.
void Settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The moments of one generation on screen, caught by an application-wide
// event filter, from the Enter key to the viewer's first paint of the map.
struct Timeline {
    // mapDone: that first paint done and flushed to the X server.
    Clock::time_point posted, keyIn, firstBar, lastBar, viewerShow, viewerExpose, mapPaint, mapDone;
    bool keySeen = false, shown = false, exposed = false, painted = false;
    int barPaints = 0;
    int barIncreases = 0;  // paints showing a higher value than the paint before
    int lastBarValue = -1;
};

class ScreenProbe : public QObject {
public:
    ScreenProbe(generator::TFormCarte* carte, viewer::TFormAzimut* viewer) : carte_(carte), viewer_(viewer) {}

    // Presses Enter in the locator box holding @p locator; returns once the
    // viewer painted its map (or after 10 s).
    Timeline Run(const QString& locator) {
        carte_->EditQRA->setText(locator);
        t_ = Timeline{};
        QEventLoop loop;
        loop_ = &loop;
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        armed_ = true;
        t_.posted = Clock::now();
        QApplication::postEvent(carte_->EditQRA, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
        QApplication::postEvent(carte_->EditQRA, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier));
        loop.exec();
        armed_ = false;
        loop_ = nullptr;
        return t_;
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (!armed_) return false;
        const auto now = Clock::now();
        switch (e->type()) {
        case QEvent::KeyPress:
            if (o == carte_->EditQRA && !t_.keySeen) {
                t_.keySeen = true;
                t_.keyIn = now;
            }
            break;
        case QEvent::Paint:
            if (o == carte_->ProgressBarCalcul && t_.keySeen && !t_.shown) {
                if (t_.barPaints++ == 0) t_.firstBar = now;
                t_.lastBar = now;
                const int value = carte_->ProgressBarCalcul->value();
                if (t_.lastBarValue >= 0 && value > t_.lastBarValue) ++t_.barIncreases;
                t_.lastBarValue = value;
            } else if (o == viewer_->ImageAzimut && t_.shown && !t_.painted) {
                t_.painted = true;
                t_.mapPaint = now;
                // Runs once the paint and its flush are over.
                if (loop_)
                    QTimer::singleShot(0, loop_, [this] {
                        t_.mapDone = Clock::now();
                        loop_->quit();
                    });
            }
            break;
        case QEvent::Show:
            if (o == viewer_ && t_.keySeen && !t_.shown) {
                t_.shown = true;
                t_.viewerShow = now;
            }
            break;
        case QEvent::Expose:
            if (t_.shown && !t_.exposed && o == viewer_->windowHandle()) {
                t_.exposed = true;
                t_.viewerExpose = now;
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    generator::TFormCarte* carte_;
    viewer::TFormAzimut* viewer_;
    QEventLoop* loop_ = nullptr;
    bool armed_ = false;
    Timeline t_;
};

// Catches the first expose and the first paint of one top-level window.
class FirstShown : public QObject {
public:
    explicit FirstShown(QWidget* window) : window_(window) {}
    Clock::time_point expose, paint;
    bool exposed = false, painted = false;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (!exposed && e->type() == QEvent::Expose && o == window_->windowHandle()) {
            exposed = true;
            expose = Clock::now();
        }
        if (!painted && e->type() == QEvent::Paint && o->isWidgetType() &&
            static_cast<QWidget*>(o)->window() == window_) {
            painted = true;
            paint = Clock::now();
            // Once this paint is done and flushed, the child reports.
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        }
        return false;
    }

private:
    QWidget* window_;
};

// Child process of the start-up figures: "--startup bare|program" shows a
// bare QMainWindow or the program's windows as main() does, and prints the
// times from the parent's launch (KORVALEN_BENCH_T0, steady clock, ns) to
// QApplication constructed, first expose and first paint of the window.
int StartupChild(int argc, char** argv, bool program) {
    const Clock::time_point t0{Clock::duration{std::stoll(qgetenv("KORVALEN_BENCH_T0").toStdString())}};
    const auto entered = Clock::now();
    if (program) app::PrepareWindowSystem();  // as main() does
    QApplication app(argc, argv);
    const auto constructed = Clock::now();
    QTemporaryDir folder;
    std::unique_ptr<QMainWindow> bare;
    std::unique_ptr<app::Program> korvalen;
    QWidget* window = nullptr;
    if (program) {
        QApplication::setApplicationName(QStringLiteral(KORVALEN_NAME));
        data::InitResources();
        korvalen = std::make_unique<app::Program>(folder.path());
        korvalen->Start({});
        window = &korvalen->FormCarte();
    } else {
        bare = std::make_unique<QMainWindow>();
        bare->resize(796, 560);
        bare->show();
        window = bare.get();
    }
    const auto created = Clock::now();
    FirstShown probe(window);
    app.installEventFilter(&probe);
    QTimer::singleShot(10000, &app, [] { QCoreApplication::exit(1); });
    const int rc = QApplication::exec();
    const auto flushed = Clock::now();
    std::printf("%.3f %.3f %.3f %.3f %.3f %.3f\n", Ms(t0, entered), Ms(t0, constructed), Ms(t0, created),
                Ms(t0, probe.expose), Ms(t0, probe.paint), Ms(t0, flushed));
    // Then the program's own steps, one a line: its name, a tab, its end.
    if (korvalen)
        for (const app::Program::StartStep& step : korvalen->StartSteps()) std::printf("%s\t%.3f\n", step.name, step.endMs);
    return rc;
}

void StartupFigures(const QString& self, int runs) {
    // Columns: main entered, QApplication built, windows created and shown,
    // first expose, first paint, first paint done (event loop back).
    std::vector<double> cols[2][6];
    // The program's steps, in their order, and each one's durations.
    std::vector<std::pair<std::string, std::vector<double>>> steps;
    for (int i = 0; i < runs; ++i)
        for (int kind = 0; kind < 2; ++kind) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("QT_QPA_PLATFORM", "xcb");
            env.insert("KORVALEN_BENCH_T0", QString::number(Clock::now().time_since_epoch().count()));
            child.setProcessEnvironment(env);
            child.start(self, {"--startup", kind ? "program" : "bare"});
            if (!child.waitForFinished(20000) || child.exitCode() != 0) {
                std::printf("start-up child failed: %s\n", child.readAllStandardError().constData());
                return;
            }
            const QList<QByteArray> lines = child.readAllStandardOutput().trimmed().split('\n');
            const QList<QByteArray> f = lines.value(0).split(' ');
            if (f.size() != 6) return;
            for (int c = 0; c < 6; ++c) cols[kind][c].push_back(f[c].toDouble());
            double previous = 0;
            for (int l = 1; l < lines.size(); ++l) {
                const QList<QByteArray> named = lines[l].split('\t');
                if (named.size() != 2) continue;
                const std::string name = named[0].toStdString();
                auto it = std::find_if(steps.begin(), steps.end(), [&](const auto& s) { return s.first == name; });
                if (it == steps.end()) it = steps.insert(steps.end(), {name, {}});
                it->second.push_back(named[1].toDouble() - previous);
                previous = named[1].toDouble();
            }
        }
    std::printf("start-up on X, from launch, median of %d (min-max) [main, QApplication, windows shown,"
                " first expose, first paint, first paint flushed], ms:\n", runs);
    for (int kind = 0; kind < 2; ++kind) {
        std::printf("  %-28s", kind ? "Korvalen generator window:" : "bare QMainWindow:");
        for (int c = 0; c < 6; ++c) {
            const Spread s = SpreadOf(cols[kind][c]);
            std::printf(" %.1f (%.1f-%.1f)", s.median, s.min, s.max);
        }
        std::printf("\n");
    }
    const double bare = SpreadOf(cols[0][5]).median;
    const double korvalen = SpreadOf(cols[1][5]).median;
    std::printf("  first paint flushed: Korvalen %.2f x the bare window (target 1.2)\n", korvalen / bare);
    std::printf("  where the program's Start spends its time, median ms:");
    for (const auto& [name, durations] : steps) std::printf(" %s %.2f;", name.c_str(), SpreadOf(durations).median);
    std::printf("\n");
}

// The generation as an operator runs it on an X display: Enter in the
// locator box, then back to the generator with the viewer's menu; the
// breakdown of where the time goes comes from the same runs.
void GenerationOnScreen(generator::TFormCarte* carte, viewer::TFormAzimut* viewer, double bareGenerationMs, int runs) {
    std::printf("generation on screen (%s, DISPLAY=%s, %d runs):\n", qPrintable(QGuiApplication::platformName()),
                qgetenv("DISPLAY").constData(), runs);
    ScreenProbe probe(carte, viewer);
    qApp->installEventFilter(&probe);
    std::vector<double> total, totalDone, keyLatency, beforeBar, inGeneration, afterGeneration, toExpose, exposeToPaint;
    std::vector<int> barPaints, barIncreases;
    const QString locators[] = {"JN18EU", "FN20XR", "QF56OD", "KP20LE"};
    for (int i = 0; i < runs + 1; ++i) {
        viewer->MenugenerateurClick();  // as "Back to map generator"
        Settle(250);
        const Timeline t = probe.Run(locators[i % 4]);
        if (!t.painted) {
            std::printf("  run %d: the viewer did not paint its map\n", i);
            break;
        }
        if (i == 0) continue;  // the first run warms up
        total.push_back(Ms(t.posted, t.mapPaint));
        totalDone.push_back(Ms(t.posted, t.mapDone));
        keyLatency.push_back(Ms(t.posted, t.keyIn));
        beforeBar.push_back(Ms(t.keyIn, t.firstBar));
        inGeneration.push_back(Ms(t.firstBar, t.lastBar));
        afterGeneration.push_back(Ms(t.lastBar, t.viewerShow));
        toExpose.push_back(Ms(t.viewerShow, t.viewerExpose));
        exposeToPaint.push_back(Ms(t.viewerExpose, t.mapPaint));
        barPaints.push_back(t.barPaints);
        barIncreases.push_back(t.barIncreases);
    }
    qApp->removeEventFilter(&probe);
    if (total.empty()) return;
    auto line = [](const char* what, const std::vector<double>& v) {
        const Spread s = SpreadOf(v);
        std::printf("  %-62s median %7.2f ms (min %.2f, max %.2f)\n", what, s.median, s.min, s.max);
    };
    line("Enter in the locator box to the viewer's first map paint:", total);
    line("  key posted to key delivered", keyLatency);
    line("  key delivered to first bar paint (viewer hidden, busy text)", beforeBar);
    line("  generation with its progress callback (first to last bar paint)", inGeneration);
    const double generationMedian = SpreadOf(inGeneration).median;
    std::printf("    of which the generation proper (in memory, above): %.2f ms,"
                " progress-bar repaints: %.2f ms\n",
                bareGenerationMs, generationMedian - bareGenerationMs);
    line("  last bar paint to the viewer's show (image conversion)", afterGeneration);
    line("  viewer show to its expose (window map, X round trip)", toExpose);
    line("  viewer expose to the map's first paint", exposeToPaint);
    line("Enter to the viewer's first map paint done and flushed to X:", totalDone);
    std::sort(barPaints.begin(), barPaints.end());
    std::sort(barIncreases.begin(), barIncreases.end());
    std::printf("  progress-bar paint events per generation: %d to %d, of which showing a higher value: %d to %d"
                " (columns: %d)\n",
                barPaints.front(), barPaints.back(), barIncreases.front(), barIncreases.back(), geo::WorldWidth);

    // The repaints alone, on the shown generator window.
    viewer->MenugenerateurClick();
    Settle(250);
    QProgressBar* bar = carte->ProgressBarCalcul;
    std::vector<double> repaints;
    for (int r = 0; r < 5; ++r) {
        const auto a = Clock::now();
        for (int c = 0; c < geo::WorldWidth; ++c) {
            bar->setValue(c);
            bar->repaint();
        }
        repaints.push_back(Ms(a, Clock::now()));
        bar->setValue(0);
        Settle(50);
    }
    const Spread s = SpreadOf(repaints);
    std::printf("  %d progress-bar repaints alone, median %.2f ms (min %.2f, max %.2f), %.1f us per repaint\n",
                geo::WorldWidth, s.median, s.min, s.max, s.median * 1000 / geo::WorldWidth);

    // Hiding and showing the viewer alone (show up to its map's first paint).
    std::vector<double> hides, shows;
    for (int r = 0; r < 5; ++r) {
        viewer->show();
        Settle(150);
        auto a = Clock::now();
        viewer->hide();
        hides.push_back(Ms(a, Clock::now()));
        Settle(150);
        struct MapPaint : QObject {
            QWidget* map;
            Clock::time_point at;
            bool seen = false;
            bool eventFilter(QObject* o, QEvent* e) override {
                if (!seen && o == map && e->type() == QEvent::Paint) {
                    seen = true;
                    at = Clock::now();
                }
                return false;
            }
        } mapPaint;
        mapPaint.map = viewer->ImageAzimut;
        qApp->installEventFilter(&mapPaint);
        a = Clock::now();
        viewer->show();
        for (int w = 0; w < 200 && !mapPaint.seen; ++w) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        qApp->removeEventFilter(&mapPaint);
        if (mapPaint.seen) shows.push_back(Ms(a, mapPaint.at));
    }
    viewer->MenugenerateurClick();
    Settle(100);
    const Spread h = SpreadOf(hides);
    std::printf("  hiding the shown viewer alone: median %.2f ms (min %.2f, max %.2f)\n", h.median, h.min, h.max);
    if (!shows.empty()) {
        const Spread w = SpreadOf(shows);
        std::printf("  showing the viewer alone, to its map's first paint: median %.2f ms (min %.2f, max %.2f)\n",
                    w.median, w.min, w.max);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--startup") return StartupChild(argc, argv, std::string(argv[2]) == "program");
    // Offscreen unless a platform is asked for: QT_QPA_PLATFORM=xcb with a
    // DISPLAY adds the figures on screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app::PrepareWindowSystem();  // as main() does
    QApplication app(argc, argv);
    data::InitResources();
    std::printf("machine: %s, %u hardware threads\n", CpuName().c_str(), std::thread::hardware_concurrency());
    if (argc > 1 && std::string(argv[1]) == "--start-up") {
        // Only the start-up figures: "--start-up [RUNS]", on X.
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            std::fprintf(stderr, "--start-up needs QT_QPA_PLATFORM=xcb and an X display\n");
            return 2;
        }
        StartupFigures(QCoreApplication::applicationFilePath(), argc > 2 ? std::max(5, std::atoi(argv[2])) : 21);
        return 0;
    }
    if (argc > 1 && std::string(argv[1]) == "--on-screen") {
        // Only the figures on screen: "--on-screen [RUNS]".
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            std::fprintf(stderr, "--on-screen needs QT_QPA_PLATFORM=xcb and an X display\n");
            return 2;
        }
        const int screenRuns = argc > 2 ? std::max(5, std::atoi(argv[2])) : 21;
        QTemporaryDir folder;
        app::Program program(folder.path());
        program.Start({});
        // The generation proper, in memory, as the window runs it without its bar.
        generator::AzimuthalProjector projector;
        const QImage world = program.FormCarte().ImageMercator->image();
        const QImage templ = program.FormAzimut().MapTemplate();
        QImage target;
        const auto centre = geo::LocatorToLatLong("JN18EU");
        const double generation = MedianMs(21, [&] {
            geo::Real lat = centre->latitude;
            generator::GenerateMapImage(projector, world, templ, target, lat, centre->longitude, {});
        });
        std::printf("generation JN18EU in memory, median of 21: %.3f ms\n", generation);
        GenerationOnScreen(&program.FormCarte(), &program.FormAzimut(), generation, screenRuns);
        StartupFigures(QCoreApplication::applicationFilePath(), 11);
        return 0;
    }
    const int runs = argc > 1 ? std::max(20, std::atoi(argv[1])) : 41;

    QImage world(QString::fromLatin1(data::kWorldMapPath));
    QImage templ(QString::fromLatin1(data::kTemplatePath));
    if (world.format() != QImage::Format_Indexed8 || templ.format() != QImage::Format_Indexed8) {
        std::fprintf(stderr, "built-in images missing\n");
        return 1;
    }
    QImage target = templ.copy();
    const generator::ConstIndexedView w{world.constBits(), world.width(), world.height(), world.bytesPerLine()};
    const generator::ConstIndexedView t{templ.constBits(), templ.width(), templ.height(), templ.bytesPerLine()};
    const generator::IndexedView out{target.bits(), target.width(), target.height(), target.bytesPerLine()};
    const auto centre = geo::LocatorToLatLong("JN18EU");

    generator::AzimuthalProjector projector(2);
    auto generate = [&] {
        generator::CopyTemplate(t, out);
        geo::Real lat = centre->latitude;
        projector.Project(w, out, lat, centre->longitude);
    };
    const double generation = MedianMs(runs, generate);

    // Pixel identity with the extended-precision reference, in this very run.
    QImage reference = templ.copy();
    {
        const generator::IndexedView r{reference.bits(), reference.width(), reference.height(),
                                       reference.bytesPerLine()};
        geo::Real lat = centre->latitude;
        generator::ProjectReference(w, r, lat, centre->longitude);
    }
    generate();
    bool identical = reference == target;
    const double referenceMs = MedianMs(3, [&] {
        QImage r = templ.copy();
        const generator::IndexedView v{r.bits(), r.width(), r.height(), r.bytesPerLine()};
        geo::Real lat = centre->latitude;
        generator::ProjectReference(w, v, lat, centre->longitude);
    });

    // PROJ, the reference peer: the same 405,960 points, forward aeqd on a sphere.
    PJ_CONTEXT* ctx = proj_context_create();
    const std::string def = "+proj=aeqd +R=6371008.8 +lat_0=" + std::to_string(static_cast<double>(centre->latitude)) +
                            " +lon_0=" + std::to_string(static_cast<double>(centre->longitude));
    PJ* pj = proj_create(ctx, def.c_str());
    if (!pj) {
        std::fprintf(stderr, "PROJ refused %s\n", def.c_str());
        return 1;
    }
    const size_t n = static_cast<size_t>(geo::WorldWidth) * geo::WorldHeight;
    std::vector<double> lon0(n), lat0(n), x(n), y(n);
    for (int c = 0; c < geo::WorldWidth; ++c)
        for (int r = 0; r < geo::WorldHeight; ++r) {
            const geo::LatLong p = geo::WorldPixelToLatLong(c, r);
            lon0[c * geo::WorldHeight + r] = proj_torad(static_cast<double>(p.longitude));
            lat0[c * geo::WorldHeight + r] = proj_torad(static_cast<double>(p.latitude));
        }
    const double projMs = MedianMs(runs, [&] {
        generator::ClearUpperVectorState();
        std::copy(lon0.begin(), lon0.end(), x.begin());
        std::copy(lat0.begin(), lat0.end(), y.begin());
        proj_trans_generic(pj, PJ_FWD, x.data(), sizeof(double), n, y.data(), sizeof(double), n, nullptr, 0, 0,
                           nullptr, 0, 0);
    });
    proj_destroy(pj);
    proj_context_destroy(ctx);

    std::printf("generation JN18EU (template copy + %zu points), median of %d: %.3f ms\n", n, runs, generation);
    std::printf("  points recomputed in extended precision: %d\n", projector.RecheckedPoints());
    std::printf("  pixel-identical to the extended-precision reference: %s (reference %.1f ms)\n",
                identical ? "yes" : "NO", referenceMs);
    std::printf("PROJ aeqd forward on a sphere, same points, median of %d: %.3f ms\n", runs, projMs);
    std::printf("ratio PROJ / generation: %.2f\n", projMs / generation);

    // The windows, offscreen, in a throw-away program folder, with a
    // stand-in rotctld on loopback that answers at once and notes when each
    // set_pos command arrives.
    QTemporaryDir folder;
    QTcpServer rotctld;
    rotctld.listen(QHostAddress::LocalHost);
    Clock::time_point setPosAt;
    QObject::connect(&rotctld, &QTcpServer::newConnection, [&] {
        QTcpSocket* peer = rotctld.nextPendingConnection();
        QObject::connect(peer, &QTcpSocket::readyRead, [peer, &setPosAt] {
            while (peer->canReadLine()) {
                const QByteArray line = peer->readLine();
                if (line.startsWith("+P ")) {
                    setPosAt = Clock::now();
                    peer->write("set_pos:\nRPRT 0\n");
                } else if (line.startsWith("+\\dump_state")) {
                    peer->write("dump_state:\nMinimum Azimuth: 0.000000\nMaximum Azimuth: 360.000000\ndone\nRPRT 0\n");
                } else if (line.startsWith("+p")) {
                    peer->write("get_pos:\nAzimuth: 0.00\nElevation: 0.00\nRPRT 0\n");
                } else {
                    peer->write("RPRT -1\n");
                }
            }
        });
    });
    {
        QFile ini(QDir(folder.path()).filePath(QStringLiteral("korvalen.ini")));
        ini.open(QIODevice::WriteOnly);
        ini.write("[KORVALEN]\r\nROTCTLD=127.0.0.1:" + QByteArray::number(rotctld.serverPort()) + "\r\n");
    }
    app::Program program(folder.path());
    program.Start({});
    viewer::TFormAzimut* viewer = &program.FormAzimut();
    generator::TFormCarte* carte = &program.FormCarte();
    carte->GenerateAzimuthalMap(Qt::LeftButton, 403, 94);
    QCoreApplication::processEvents();

    // One pointer read-out: both texts computed and set, over the whole disc.
    std::vector<std::pair<int, int>> pixels;
    for (int y = 0; y < 600; y += 7)
        for (int x = 0; x < 600; x += 7) pixels.emplace_back(x, y);
    const double readoutMs = MedianMs(runs, [&] {
        for (const auto& p : pixels) viewer->ImageAzimutMouseMove(p.first, p.second);
    });
    std::printf("pointer read-out (compute and set both texts), median: %.2f us per move\n",
                readoutMs * 1000 / static_cast<double>(pixels.size()));

    // The DX panel: the ham working list rebuilt (sorted, the list box
    // filled), and one keystroke in the call box (the lookup, the row
    // choice, the read-outs and the marker written).
    const double fillMs = MedianMs(runs, [&] { viewer->PanelDX->FillDxList(); });
    std::printf("ham DX list rebuilt with sorting and the list box filled, median: %.3f ms (target 3 ms)\n",
                fillMs);
    const std::vector<QString> typed = {"F6ABC", "DL1ABC", "JA1XYZ", "VK2AB", "ZS1ABC", "W1AW", "HK0ABC"};
    std::vector<QString> keystrokes;  // every text the box holds while these are typed
    for (const QString& call : typed)
        for (int n = 1; n <= call.size(); ++n) keystrokes.push_back(call.left(n));
    const double lookupMs = MedianMs(runs, [&] {
        for (const QString& text : keystrokes) viewer->PanelDX->EditCall->setText(text);
    });
    std::printf("one call-box keystroke (lookup, row choice, read-outs), median: %.1f us (target 300 us)\n",
                lookupMs * 1000 / static_cast<double>(keystrokes.size()));

    // A map click to the advise line in a connected rotator client: the
    // click, the item changed, the line written to the socket and read on
    // the other side.
    {
        QLocalSocket client;
        client.connectToServer(program.AzimuthServer().Address());
        auto answer = [&client](const char* line) {
            client.write(line);
            while (!client.canReadLine()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            return client.readLine();
        };
        while (client.state() != QLocalSocket::ConnectedState)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        answer("CONNECT * Korvalen\n");
        answer("ADVISE azimuth\n");
        viewer->ImageAzimutMouseMove(400, 200);
        bool received = true;
        const double adviseMs = MedianMs(runs, [&] {
            viewer->ImageAzimutClick();
            while (!client.canReadLine()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            received = received && client.readLine() == "DATA azimuth 45\n";
        });
        std::printf("map click to the advise line read by a connected client, median: %.1f us (target 1000 us)%s\n",
                    adviseMs * 1000, received ? "" : " WRONG LINE");
        identical = identical && received;
    }
    {
        // The first publication connects and reads the range; the clicks
        // timed after it find the connection open, as in a session.
        auto clickToSetPos = [&] {
            const Clock::time_point clicked = Clock::now();
            setPosAt = {};
            viewer->ImageAzimutClick();
            const Clock::time_point deadline = clicked + std::chrono::seconds(5);
            while (setPosAt < clicked && Clock::now() < deadline)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
            return setPosAt < clicked ? -1.0 : std::chrono::duration<double, std::micro>(setPosAt - clicked).count();
        };
        clickToSetPos();
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) times.push_back(clickToSetPos());
        std::sort(times.begin(), times.end());
        const bool arrived = times.front() >= 0;
        std::printf("map click to the set_pos command received by rotctld, median: %.1f us (target 1000 us)%s\n",
                    times[times.size() / 2], arrived ? "" : " NOT ALL ARRIVED");
        identical = identical && arrived;
    }

    // The whole generation as the window runs it: 796 progress-bar repaints,
    // the viewer hidden and shown again.
    const double windowMs = MedianMs(std::min(runs, 21), [&] {
        carte->GenerateAzimuthalMap(Qt::LeftButton, 403, 94);
        QCoreApplication::processEvents();
    });
    std::printf("generation in the window with its progress bar, median: %.2f ms (%.2f x the bare generation)\n",
                windowMs, windowMs / generation);
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        GenerationOnScreen(carte, viewer, generation, 21);
        StartupFigures(QCoreApplication::applicationFilePath(), 11);
    }

    // Saving the map and checking it back as the next start does, with and
    // without the red of the overlays (4 and 8 bits per pixel).
    const QString mapFile = QDir(folder.path()).filePath(QStringLiteral("bench.bmp"));
    for (bool overlays : {false, true}) {
        if (overlays) {
            viewer->Surface().DrawAxes();
            viewer->Surface().DrawCircles();
        }
        const QImage& map = *viewer->Surface().image();
        // A failed save shows in the round trip below.
        const double saveMs = MedianMs(21, [&] { (void)viewer::SaveMapBmp(map, mapFile); });
        const double loadMs = MedianMs(21, [&] { viewer::CheckKeptMap(mapFile); });
        const viewer::KeptMap kept = viewer::CheckKeptMap(mapFile);
        const bool same = kept.status == viewer::KeptMapStatus::Ok &&
                          kept.image.convertToFormat(QImage::Format_RGB32) ==
                              map.convertToFormat(QImage::Format_RGB32);
        std::printf("map %s: save %.2f ms (%lld bytes), check and load at start %.2f ms,"
                    " loaded map identical: %s\n",
                    overlays ? "with axes and circles" : "alone", saveMs,
                    static_cast<long long>(QFileInfo(mapFile).size()), loadMs, same ? "yes" : "NO");
        identical = identical && same;  // a failed round trip fails the run
    }

    // The settings written at every exit: formatted, flushed to disk and
    // renamed over the old file.
    settings::Settings values;
    // Only the time counts here; the settings tests check what is written.
    const double settingsMs = MedianMs(21, [&] { (void)settings::SaveSettings(folder.path(), values, true); });
    std::printf("settings written at exit (with the flush to disk), median: %.2f ms\n", settingsMs);

    return identical ? 0 : 1;
}
