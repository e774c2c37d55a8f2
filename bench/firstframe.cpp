// The program's start-up, as in app/main.cpp, ended right after the first
// paint of the chart. Prints one line of JSON: the time from `--since=NS`
// (a CLOCK_REALTIME stamp in nanoseconds taken by the launcher just before
// starting this process) to the end of the first paint, and the peak
// resident memory (VmHWM) at that moment.
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>

#include <QCoreApplication>

#include "app/VelmoraApplication.h"
#include "ui/Unit1.h"

namespace {

long long realtimeNs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Peak resident set in KiB, -1 if /proc cannot tell.
long peakResidentKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  long long since = -1;
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--since=", 8) == 0) since = std::atoll(argv[i] + 8);
  int qtArgc = 1;

  velmora::prepareApplication();
  velmora::VelmoraApplication application(qtArgc, argv);
  bool reported = false;
  try {
    velmora::ui::createMainWindow();
    auto& model = velmora::ui::Form1->Chart1->model();
    model.OnAfterDraw = [handler = model.OnAfterDraw, since, &reported] {
      if (handler) handler();
      if (reported) return;
      reported = true;
      const long long now = realtimeNs();
      const double ms = since >= 0 ? (now - since) / 1e6 : -1.0;
      std::printf("{\"first_frame_ms\": %.3f, \"vm_hwm_kib\": %ld}\n", ms, peakResidentKiB());
      std::fflush(stdout);
      QCoreApplication::exit(0);
    };
    velmora::ui::Form1->show();
  } catch (const std::exception& error) {
    std::cerr << "velmora-firstframe: " << error.what() << '\n';
    return 1;
  }
  const int status = application.exec();
  delete velmora::ui::Form1;
  velmora::ui::Form1 = nullptr;
  return reported ? status : 1;
}
