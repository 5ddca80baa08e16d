#include "app/KestrumApp.h"

int main(int argc, char** argv) {
  CKestrumApp app(argc, argv);
  return app.Run();
}
