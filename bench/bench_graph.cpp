// Graph figures: one full paint of 65,500 samples at the slowest of the time scales, and the graph
// button's hand-over of 65,500 lines up to the first paint of the graph window.
#include "app/TApplication.h"
#include "app/TForm1.h"
#include "graph/GraphPainter.h"
#include "graph/TForm2.h"
#include "graph/core/GraphHandover.h"
#include "graph/core/TimeScale.h"
#include "platform/ScriptedInteraction.h"
#include "recording/RecordingFile.h"
#include "support/FakeRegistry.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace vexa;

namespace {

constexpr int kSamples = 65500;

// A 1-s recording (about 18 hours) with missing samples and a long pause, values moving on every axis.
std::string Line(int k, int& t) {
    t += (k % 500 == 0) ? 40000 : 1000;
    if (k == kSamples / 3) t += 45 * 60000;
    const int s = t / 1000;
    char line[96];
    std::snprintf(line, sizeof line, "2024/03/%02d %02d:%02d:%02d.%03d,%3d,%3d,%3d, %2d.5", 1 + s / 86400,
                  s / 3600 % 24, s / 60 % 60, s % 60, t % 1000, (k * 7) % 60 - 30, (k % 40 < 20) ? 10 : -40,
                  60 - (k * 13) % 50, 20 + (k / 3000) % 5);
    return line;
}

std::vector<std::string> WorkArea() {
    std::vector<std::string> lines = {"Start Year=2024 @1G=10", "date time,x(G),y(G),z(G),temperature(C)"};
    int t = 0;
    for (int k = 0; k < kSamples - 2; ++k)
        lines.push_back(Line(k, t));
    return lines;
}

double Ms(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

// Processor time of this thread: what a paint costs, apart from waiting for a processor on a busy machine.
double CpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    const std::vector<std::string> work = WorkArea();

    // Paint figures straight on the painter: the slowest scale, with a fresh painter (no label cached)
    // and again with the labels of the previous paint cached, and the sample-by-sample painter walk.
    GraphData data;
    const std::optional<GraphHandover> h =
        PrepareGraphHandover(std::make_shared<const Recording>(ReadRecordingLines(work)), 10);
    const GraphParseResult parsed = FillGraphData(*h, data);
    QImage image(800, 550, QImage::Format_RGB32);
    // The window keeps one painter; it has painted once (at the start scale) before a scale is chosen.
    GraphPainter painter(GraphFont(), GraphColours::FromPalette(QPalette()));
    GraphPaintParams p;
    p.hasSamples = true;
    p.lastSample = parsed.LastSample();
    p.centre = parsed.MiddleSample();
    painter.Paint(image, data, p, StrokeMode::Fast);
    double slowest = 0, slowestCpu = 0, slowestReference = 0;
    std::string slowestItem;
    for (const TimeScaleItem& item : TimeScaleItems()) {
        p.scale = ChooseTimeScale(item.text, "", TimeScale{}).scale;
        double wall = 1e9, cpu = 1e9;
        for (int rep = 0; rep < 7; ++rep) {
            QElapsedTimer t;
            t.start();
            const double cpu0 = CpuMs();
            painter.Paint(image, data, p, StrokeMode::Fast);
            cpu = std::min(cpu, CpuMs() - cpu0);
            wall = std::min(wall, Ms(t));
        }
        QElapsedTimer t;
        t.start();
        painter.Paint(image, data, p, StrokeMode::Reference);
        slowestReference = std::max(slowestReference, Ms(t));
        if (wall > slowest) slowestItem = item.text;
        slowest = std::max(slowest, wall);
        slowestCpu = std::max(slowestCpu, cpu);
    }
    // The slowest scale's paint, its processor time, and the sample-by-sample painter walk that gives the
    // same picture.
    std::printf("bench: graph.paint65k_ms %.2f ms\n", slowest);
    std::printf("bench: graph.paint65k_cpu_ms %.2f ms\n", slowestCpu);
    std::printf("bench: graph.paint65k_painter_walk_ms %.2f ms\n", slowestReference);
    std::fprintf(stderr, "slowest scale: %s\n", slowestItem.c_str());

    // The graph button on the main window up to the graph window's first paint.
    ScriptedInteraction ui;
    FakeRegistry registry; // no logger: the tick finds nothing
    TForm1Deps deps;
    deps.interaction = &ui;
    deps.registry = &registry;
    deps.screenSize = QSize(1280, 1024);
    TForm1 main(deps);
    main.Timer1->SetInterval(0);
    TForm2 graph;
    main.SetGraphWindow(&graph);
    main.Memo1->SetLines(work);
    double handover = 1e9;
    for (int rep = 0; rep < 5; ++rep) {
        QElapsedTimer t;
        t.start();
        main.Button12Click();
        graph.repaint();
        handover = std::min(handover, Ms(t));
    }
    std::printf("bench: graph.handover65k_ms %.2f ms\n", handover);
    return 0;
}
