#include "platform/clock.h"

#include <gtest/gtest.h>
#include <time.h>

#include "platform/environment.h"

using namespace tessel;

namespace {

class TimeZoneGuard {
 public:
  explicit TimeZoneGuard(const std::string& zone) : saved_(GetEnvironmentValue("TZ")) {
    SetEnvironmentValue("TZ", zone);
    ::tzset();
  }
  ~TimeZoneGuard() {
    SetEnvironmentValue("TZ", saved_);
    ::tzset();
  }

 private:
  std::string saved_;
};

}  // namespace

TEST(Clock, ConvertsUnixSecondsToLocalTime) {
  {
    TimeZoneGuard zone("UTC0");
    EXPECT_EQ(LocalDateTimeFromUnix(0), 25569.0);
    EXPECT_NEAR(LocalDateTimeFromUnix(86400 + 43200, 500), 25570.5 + 0.5 / 86400, 1e-10);
    EXPECT_EQ(UnixFromLocalDateTime(25570.5), 86400 + 43200);
  }
  {
    TimeZoneGuard zone("<+05>-5");  // five hours ahead of UTC
    EXPECT_NEAR(LocalDateTimeFromUnix(0), 25569.0 + 5.0 / 24, 1e-10);
    EXPECT_EQ(UnixFromLocalDateTime(25569.0 + 5.0 / 24), 0);
    const int64_t someSecond = 1700000000;
    EXPECT_EQ(UnixFromLocalDateTime(LocalDateTimeFromUnix(someSecond)), someSecond);
  }
}

TEST(Clock, NowAndTicksMoveForward) {
  const TDateTime now = Now();
  EXPECT_GT(now, 43000.0);  // after 2017
  EXPECT_LT(now, 2958466.0);
  const uint32_t first = TickCount();
  const uint32_t second = TickCount();
  EXPECT_LT(static_cast<uint32_t>(second - first), 1000u);  // wraps safely
}
