#pragma once
// The GUI test classes register themselves here; the test program runs the
// one named on its command line (or all of them).

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessel::test {

struct TGuiTestClass {
  std::string name;
  std::function<std::unique_ptr<QObject>()> create;
};

std::vector<TGuiTestClass>& GuiTestClasses();

struct TGuiTestRegistration {
  TGuiTestRegistration(const char* name, std::function<std::unique_ptr<QObject>()> create) {
    GuiTestClasses().push_back({name, std::move(create)});
  }
};

}  // namespace tessel::test

#define TESSEL_GUI_TEST(Class)                                           \
  static const ::tessel::test::TGuiTestRegistration Class##Registration( \
      #Class, [] { return std::unique_ptr<QObject>(std::make_unique<Class>()); })
