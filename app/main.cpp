// Velmora: time normalisation of gait curves, taught interactively.
#include <exception>
#include <iostream>

#include "app/VelmoraApplication.h"
#include "ui/Unit1.h"

int main(int argc, char** argv) {
  velmora::prepareApplication();
  velmora::VelmoraApplication application(argc, argv);
  try {
    velmora::ui::createMainWindow();
    velmora::ui::Form1->show();
  } catch (const std::exception& error) {
    // Start-up failed: there is no window to show the message in.
    std::cerr << "velmora: " << error.what() << '\n';
    return 1;
  }
  const int status = application.exec();
  delete velmora::ui::Form1;
  velmora::ui::Form1 = nullptr;
  return status;
}
