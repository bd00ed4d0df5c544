#include "tests/support/kill_during.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

namespace tessel::test {

void KillDuring(const std::function<void(int round)>& work, int delayMicroseconds) {
  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    try {
      for (int round = 0;; ++round) work(round);
    } catch (...) {
      ::_exit(2);
    }
  }
  ::usleep(static_cast<useconds_t>(delayMicroseconds));
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
}

}  // namespace tessel::test
