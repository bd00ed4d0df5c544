#include "tests/engine/engine_fixture.h"

namespace tessel::test {

TEngineTest::TEngineTest() {
  engine = std::make_unique<TProject>(dir.File("engine.log"));
  engine->LogWindow = &ui;
}

std::string TEngineTest::Script(const std::string& name, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return dir.Write(name, text);
}

uint8_t TEngineTest::RunLines(const std::vector<std::string>& lines) {
  return engine->Run(Script("TOP.PRJ", lines));
}

}  // namespace tessel::test
