#include "app/InfoOptions.h"
#include "app/KestrumApp.h"

int main(int argc, char** argv) {
  if (const auto exitCode = kestrum::AnswerInfoOptions(argc, argv)) return *exitCode;
  CKestrumApp app(argc, argv);
  return app.Run();
}
