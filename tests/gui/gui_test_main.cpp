#include <QApplication>
#include <QTest>
#include <cstdio>
#include <cstring>

#include "gui_test.h"

namespace tessel::test {

std::vector<TGuiTestClass>& GuiTestClasses() {
  static std::vector<TGuiTestClass> classes;
  return classes;
}

}  // namespace tessel::test

int main(int argc, char** argv) {
  // Windows are never shown on a screen: boxes are answered through the seam.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const char* wanted = argc > 1 ? argv[1] : nullptr;
  QStringList args{QString::fromLocal8Bit(argv[0])};
  for (int i = 2; i < argc; ++i) args.append(QString::fromLocal8Bit(argv[i]));

  int failed = 0;
  bool found = false;
  for (const auto& testClass : tessel::test::GuiTestClasses()) {
    if (wanted != nullptr && testClass.name != wanted) continue;
    found = true;
    const std::unique_ptr<QObject> object = testClass.create();
    failed += QTest::qExec(object.get(), args);
  }
  if (!found) {
    std::fprintf(stderr, "No GUI test class named %s\n", wanted);
    return 2;
  }
  return failed == 0 ? 0 : 1;
}
