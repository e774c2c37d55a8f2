// Times the window's work on the real objects: the spline tables, one step
// of each slider, the gait-cycle round trip, and whole paints through the
// backing store. Runs on Qt's offscreen platform. `--scale=2` runs the paints
// at a device-pixel ratio of 2 instead (Qt's scale factor for the whole
// process, the one way the offscreen backing store follows a ratio).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QBackingStore>
#include <QByteArray>
#include <QEventLoop>
#include <QImage>

#include "app/VelmoraApplication.h"
#include "ui/Unit1.h"

namespace {

using velmora::ui::Form1;

// Everything pending, paints included; a paint may move the hint label,
// which asks for one more.
void settle() {
  for (int round = 0; round < 4; ++round) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
}

int paints = 0;  // paints finished since the window was made

// The pictures a benchmark starts from.
enum class Picture {
  StartUp,  // as shown after start-up, nothing resampled
  Linear100,
  Spline100,
  Linear3,
  Spline3,
  Busiest,  // N = 100, spline, "Point #" checked
};

// A fresh window in the given picture, shown at `width` x `height` logical
// pixels.
void makeWindow(Picture picture, int width = 1000, int height = 600) {
  delete Form1;
  Form1 = nullptr;
  velmora::ui::createMainWindow();
  auto& model = Form1->Chart1->model();
  model.OnAfterDraw = [handler = model.OnAfterDraw] {
    if (handler) handler();
    ++paints;
  };

  Form1->setGeometry(10, 10, width, height);
  Form1->show();
  settle();

  switch (picture) {
    case Picture::StartUp: break;
    case Picture::Linear100: Form1->TrackBar2->setValue(100.0f); break;
    case Picture::Linear3: Form1->TrackBar2Click(Form1->TrackBar2); break;
    case Picture::Spline100:
    case Picture::Busiest:
      Form1->TrackBar2->setValue(100.0f);
      Form1->Switch1->setOn(true);
      if (picture == Picture::Busiest) Form1->CheckBox2->setChecked(true);
      break;
    case Picture::Spline3: Form1->Switch1->setOn(true); break;
  }
  settle();
  paints = 0;
}

bool rightRatio(benchmark::State& state, int ratio) {
  const QImage* store = dynamic_cast<QImage*>(Form1->backingStore()->paintDevice());
  if (Form1->devicePixelRatio() == ratio && store && store->devicePixelRatio() == ratio &&
      store->width() >= Form1->width() * ratio)
    return true;
  state.SkipWithError("the window is not at the wanted device-pixel ratio");
  return false;
}

void BM_Splines(benchmark::State& state) {
  makeWindow(Picture::StartUp);
  for (auto _ : state) {
    Form1->Splines();
    benchmark::ClobberMemory();
  }
  benchmark::DoNotOptimize(velmora::ui::slowCurve[6100]);
}

// One change of the Points slider within the same whole N, so that each step
// resamples and refills the series at that N (the paint is not included).
void BM_PointsStep(benchmark::State& state, bool spline, int n) {
  makeWindow(spline ? (n == 3 ? Picture::Spline3 : Picture::Spline100)
                    : (n == 3 ? Picture::Linear3 : Picture::Linear100));
  const float low = n == 100 ? 99.5f : 3.5f;
  const float high = n == 100 ? 100.0f : 3.0f;
  bool flip = false;
  for (auto _ : state) {
    Form1->TrackBar2->setValue(flip ? high : low);
    flip = !flip;
  }
  state.counters["N"] = n;
  state.counters["fastNorm"] = Form1->Series3->count();
  QCoreApplication::processEvents();
}

void BM_StretchStep(benchmark::State& state) {
  makeWindow(Picture::Spline100);
  bool flip = false;
  for (auto _ : state) {
    Form1->TrackBar1->setValue(flip ? 40.0f : 41.0f);
    flip = !flip;
  }
  QCoreApplication::processEvents();
}

// Into cycle mode and back, after a resampling at N = 100.
void BM_CycleRoundTrip(benchmark::State& state) {
  makeWindow(Picture::Linear100);
  for (auto _ : state) {
    Form1->CheckBox1->setChecked(true);
    Form1->CheckBox1->setChecked(false);
  }
  QCoreApplication::processEvents();
}

// A whole paint of the window, synchronously through its backing store.
// Cold: the layout is renewed first, so everything is laid out and drawn
// anew, as after a resize, a zoom or a stretch. Warm: nothing changed since
// the last paint, as when the window is uncovered.
void BM_Paint(benchmark::State& state, Picture picture, int width, int height, int ratio,
              bool cold) {
  makeWindow(picture, width, height);
  if (!rightRatio(state, ratio)) return;
  auto& model = Form1->Chart1->model();
  for (auto _ : state) {
    if (cold) model.layoutChanged();
    Form1->Chart1->repaint();
  }
  state.counters["paints"] = benchmark::Counter(paints, benchmark::Counter::kAvgIterations);
  state.counters["device_px"] = static_cast<double>(width) * ratio * height * ratio;
}

// What a person sees while dragging the Points slider: one step to the next
// whole N (99, 100, 99, ...) and the paint it causes.
void BM_InteractionFrame(benchmark::State& state, bool spline, int width, int height, int ratio) {
  makeWindow(spline ? Picture::Busiest : Picture::Linear100, width, height);
  if (!rightRatio(state, ratio)) return;
  bool flip = false;
  for (auto _ : state) {
    Form1->TrackBar2->setValue(flip ? 100.0f : 99.0f);
    flip = !flip;
    QCoreApplication::sendPostedEvents();
  }
  state.counters["paints"] = benchmark::Counter(paints, benchmark::Counter::kAvgIterations);
}

// Dragging the Stretch slider: a new layout at every step, so every frame is
// drawn whole.
void BM_StretchFrame(benchmark::State& state, int width, int height, int ratio) {
  makeWindow(Picture::Busiest, width, height);
  if (!rightRatio(state, ratio)) return;
  bool flip = false;
  for (auto _ : state) {
    Form1->TrackBar1->setValue(flip ? 40.0f : 41.0f);
    flip = !flip;
    QCoreApplication::sendPostedEvents();
  }
  state.counters["paints"] = benchmark::Counter(paints, benchmark::Counter::kAvgIterations);
}

void registerAll(int ratio) {
  using benchmark::kMicrosecond;
  using benchmark::kMillisecond;
  struct PaintCase {
    const char* name;
    Picture picture;
    int width, height, ratio;
  };
  const PaintCase paintCases[] = {
      {"1000x600/startup", Picture::StartUp, 1000, 600, 1},
      {"1000x600/busiest", Picture::Busiest, 1000, 600, 1},
      // A 4K screen at 200 %: 3840 x 2160 device pixels.
      {"3840x2160@2/startup", Picture::StartUp, 1920, 1080, 2},
      {"3840x2160@2/busiest", Picture::Busiest, 1920, 1080, 2},
      // A 3840 x 2160 window at 200 %: four times the pixels again.
      {"window3840x2160@2/busiest", Picture::Busiest, 3840, 2160, 2},
  };
  for (const PaintCase& c : paintCases) {
    if (c.ratio != ratio) continue;
    for (bool cold : {true, false})
      benchmark::RegisterBenchmark((std::string(cold ? "Paint/" : "Repaint/") + c.name).c_str(),
                                   BM_Paint, c.picture, c.width, c.height, c.ratio, cold)
          ->Unit(kMillisecond);
  }
  if (ratio == 2) {
    benchmark::RegisterBenchmark("InteractionFrame@2/3840x2160/spline", BM_InteractionFrame, true,
                                 1920, 1080, 2)
        ->Unit(kMillisecond);
    benchmark::RegisterBenchmark("StretchFrame@2/3840x2160", BM_StretchFrame, 1920, 1080, 2)
        ->Unit(kMillisecond);
  }
  if (ratio != 1) return;

  benchmark::RegisterBenchmark("Splines", BM_Splines)->Unit(kMicrosecond);
  for (bool spline : {false, true})
    for (int n : {100, 3}) {
      const std::string name = std::string("PointsStep/") + (spline ? "spline" : "linear") +
                               "/N:" + std::to_string(n);
      benchmark::RegisterBenchmark(name.c_str(), BM_PointsStep, spline, n)->Unit(kMicrosecond);
    }
  benchmark::RegisterBenchmark("StretchStep", BM_StretchStep)->Unit(kMicrosecond);
  benchmark::RegisterBenchmark("CycleRoundTrip/N:100", BM_CycleRoundTrip)->Unit(kMicrosecond);

  benchmark::RegisterBenchmark("InteractionFrame/1000x600/spline", BM_InteractionFrame, true,
                               1000, 600, 1)
      ->Unit(kMillisecond);
  benchmark::RegisterBenchmark("InteractionFrame/1000x600/linear", BM_InteractionFrame, false,
                               1000, 600, 1)
      ->Unit(kMillisecond);
  benchmark::RegisterBenchmark("StretchFrame/1000x600", BM_StretchFrame, 1000, 600, 1)
      ->Unit(kMillisecond);
}

}  // namespace

int main(int argc, char** argv) {
  // Our own flag goes before Google Benchmark sees the arguments.
  int ratio = 1;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--scale=", 8) == 0)
      ratio = std::atoi(argv[i] + 8);
    else
      argv[kept++] = argv[i];
  }
  argc = kept;
  if (ratio != 1 && ratio != 2) {
    std::fprintf(stderr, "velmora_bench: --scale is 1 or 2\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_SCALE_FACTOR", QByteArray::number(ratio));
  int qtArgc = 1;

  velmora::prepareApplication();
  velmora::VelmoraApplication application(qtArgc, argv);

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  registerAll(ratio);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  delete Form1;
  Form1 = nullptr;
  return 0;
}
