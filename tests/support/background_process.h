// Runs a built program of the project in the background (a simulator, for instance) and reads what
// it prints, line by line, while the test goes on. The program is stopped when the object goes.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <csignal>

#include <sys/types.h>

namespace vireo::test {

class BackgroundProcess {
 public:
  // Starts `program` with `args`; its standard input is empty, its standard error the test's.
  BackgroundProcess(const std::string& program, const std::vector<std::string>& args);
  ~BackgroundProcess();
  BackgroundProcess(const BackgroundProcess&) = delete;
  BackgroundProcess& operator=(const BackgroundProcess&) = delete;

  bool started() const { return pid_ > 0; }
  // True once the program has a handler of its own for `signal`.
  bool catches(int signal) const;
  // The next line of its standard output without the line end; nothing when none came in time or
  // the output ended.
  std::optional<std::string> read_line(std::chrono::milliseconds timeout);
  // Sends `signal` (SIGTERM unless told) and waits for the end (SIGKILL after `timeout`). Returns the
  // exit status, or -1 when the program did not exit normally.
  int stop(std::chrono::milliseconds timeout = std::chrono::seconds(5), int signal = SIGTERM);

 private:
  pid_t pid_ = -1;
  int out_ = -1;  // read end of its standard output
  std::string buffered_;
  int status_ = -1;
};

// Waits until `condition` holds, checking every few milliseconds; false when `timeout` passed first.
template <typename Condition>
bool wait_until(Condition condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace vireo::test
