#include "app/DisplayCheck.h"
#include "app/InfoOptions.h"
#include "app/KestrumApp.h"

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
  // --help and --version need no display, so they are answered first.
  if (const auto exitCode = kestrum::AnswerInfoOptions(argc, argv)) return *exitCode;
  if (const auto message = MissingDisplayMessage(argc, argv)) {
    std::fputs(message->c_str(), stderr);
    return 1;
  }
  auto displayFailure = std::make_unique<DisplayFailureExit>();
  CKestrumApp app(argc, argv);
  displayFailure.reset();
  return app.Run();
}
