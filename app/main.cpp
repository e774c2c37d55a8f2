// Velmora: time normalisation of gait curves, taught interactively.
#include <iostream>

#include "app/VelmoraApplication.h"
#include "ui/Unit1.h"

int main(int argc, char** argv) {
  velmora::prepareApplication();
  velmora::VelmoraApplication application(argc, argv);
  const int status = velmora::startApplication(
      [] {
        velmora::ui::createMainWindow();
        velmora::ui::Form1->show();
      },
      std::cerr);
  delete velmora::ui::Form1;
  velmora::ui::Form1 = nullptr;
  return status;
}
