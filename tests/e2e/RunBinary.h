// RunBinary: runs the vorn binary in a fresh temporary folder and captures
// its standard output, standard error and exit status, for end-to-end tests.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/TestSupport.h"

struct RunResult {
  virtual ~RunResult() = default;
  // Exit status of the process; 128 + signal number when a signal ended it.
  int status = -1;
  // True when the run outlived the time limit and was killed.
  bool timed_out = false;
  std::string out;
  std::string err;

  // Standard error without the "# cont" and "# total" timing lines, whose
  // values change from run to run.
  std::string Diagnostics() const {
    std::string kept;
    size_t start = 0;
    while (start < err.size()) {
      size_t end = err.find('\n', start);
      end = end == std::string::npos ? err.size() : end + 1;
      const std::string line = err.substr(start, end - start);
      if (line.rfind("# cont ", 0) != 0 && line.rfind("# total ", 0) != 0) kept += line;
      start = end;
    }
    return kept;
  }
  // True when the last line of standard error is the "# total" line.
  bool EndsWithTotal() const {
    const size_t last = err.rfind('\n', err.size() >= 2 ? err.size() - 2 : 0);
    const size_t from = last == std::string::npos ? 0 : last + 1;
    return err.compare(from, 8, "# total ") == 0 && err.size() >= 5 &&
           err.compare(err.size() - 5, 5, " sec\n") == 0;
  }
};

// Runs the binary in the folder "run" of a temporary folder; the captured
// streams are kept beside "run", never in it.
class RunBinary : public TempFolder {
 public:
  // Runs binary with args (no shell involved) in dir, standard input empty.
  RunResult Run(const std::vector<std::string>& args,
                const std::string& binary = VORN_BINARY) const {
    const std::string out_path = (base / "stdout").string(), err_path = (base / "stderr").string();
    const std::string work = dir.string();
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(binary.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    RunResult result;
    const pid_t pid = fork();
    if (pid == 0) {
      // Only async-signal-safe calls between fork and exec.
      const int in = open("/dev/null", O_RDONLY);
      const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (in < 0 || out < 0 || err < 0 || chdir(work.c_str()) != 0 || dup2(in, 0) < 0 ||
          dup2(out, 1) < 0 || dup2(err, 2) < 0)
        _exit(126);
      execv(binary.c_str(), argv.data());
      _exit(127);
    }
    int wstatus = 0;
    if (pid < 0 || !Wait(pid, wstatus, result.timed_out)) return result;
    result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    result.out = ReadPath(out_path);
    result.err = ReadPath(err_path);
    return result;
  }

  // Seconds after which a run is killed (SIGKILL); 0 waits for ever.
  int time_limit = 0;

 private:
  // Waits for pid, killing it once the time limit has passed.
  bool Wait(pid_t pid, int& wstatus, bool& timed_out) const {
    if (time_limit <= 0) return waitpid(pid, &wstatus, 0) == pid;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(time_limit);
    for (;;) {
      const pid_t done = waitpid(pid, &wstatus, WNOHANG);
      if (done != 0) return done == pid;
      if (std::chrono::steady_clock::now() >= deadline) {
        timed_out = true;
        kill(pid, SIGKILL);
        return waitpid(pid, &wstatus, 0) == pid;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
};
