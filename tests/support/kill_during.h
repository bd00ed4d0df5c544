#pragma once
// Kills a child process with SIGKILL while it repeats some work, to show
// that files are never left half-written.

#include <functional>

namespace tessel::test {

// Forks a child that calls `work(round)` for round = 0, 1, 2, ... until it is
// killed, waits `delayMicroseconds` and kills it with SIGKILL. Returns after
// the child is gone.
void KillDuring(const std::function<void(int round)>& work, int delayMicroseconds);

}  // namespace tessel::test
