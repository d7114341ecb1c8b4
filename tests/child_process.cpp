#include "child_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace molagirlik::test {
namespace {

using Clock = std::chrono::steady_clock;

int spawn(const std::string& program, Stdin stdin_kind,
          const std::string& stdin_path, const std::string& memory_file,
          bool nonblocking, int& to_child, int& from_child) {
  int in[2];
  int out[2];
  if (pipe(in) != 0 || pipe(out) != 0) throw std::runtime_error("pipe");
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) {
    signal(SIGPIPE, SIG_DFL);
    dup2(out[1], STDOUT_FILENO);
    switch (stdin_kind) {
      case Stdin::pipe:
        dup2(in[0], STDIN_FILENO);
        break;
      case Stdin::closed:
        close(STDIN_FILENO);
        break;
      case Stdin::directory:
      case Stdin::file: {
        const char* path = stdin_kind == Stdin::file ? stdin_path.c_str() : "/";
        const int fd = open(path, O_RDONLY);
        // A child without its input would test nothing: 126, not the run.
        if (fd < 0) _exit(126);
        dup2(fd, STDIN_FILENO);
        close(fd);
        break;
      }
    }
    for (int fd : {in[0], in[1], out[0], out[1]}) close(fd);
    if (nonblocking) {
      fcntl(STDIN_FILENO, F_SETFL, O_NONBLOCK);
      fcntl(STDOUT_FILENO, F_SETFL, O_NONBLOCK);
    }
    if (!memory_file.empty()) {
      execl("/usr/bin/time", "time", "-f", "%M", "-o", memory_file.c_str(),
            program.c_str(), static_cast<char*>(nullptr));
    }
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  to_child = in[1];
  from_child = out[0];
  signal(SIGPIPE, SIG_IGN);
  return pid;
}

// Waits for the child, killing it once `deadline` has passed.
void collect_status(int pid, Outcome& outcome,
                    Clock::time_point deadline = Clock::time_point::max()) {
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (Clock::now() > deadline) {
      kill(pid, SIGKILL);
      outcome.timed_out = true;
      waitpid(pid, &status, 0);
      break;
    }
    usleep(1000);
  }
  if (WIFEXITED(status)) outcome.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
}

}  // namespace

Outcome run_program(const std::string& program, std::string_view input,
                    const RunOptions& options) {
  const Stdin stdin_kind = options.stdin_kind;
  const auto limit = options.time_limit;
  int to_child = -1;
  int from_child = -1;
  const auto start = Clock::now();
  const std::string memory_file =
      options.measure_memory ? ::testing::TempDir() + "molagirlik-memory-" +
                                   std::to_string(getpid())
                             : "";
  const int pid = spawn(program, stdin_kind, options.stdin_path, memory_file,
                        options.nonblocking, to_child, from_child);
  if (stdin_kind != Stdin::pipe || input.empty()) {
    close(to_child);
    to_child = -1;
  } else {
    fcntl(to_child, F_SETFL, O_NONBLOCK);
  }
  Outcome outcome;
  char buffer[65536];
  while (from_child >= 0) {
    const auto left = limit - (Clock::now() - start);
    if (left <= std::chrono::milliseconds(0)) {
      kill(pid, SIGKILL);
      outcome.timed_out = true;
      break;
    }
    pollfd fds[2] = {{from_child, POLLIN, 0}, {to_child, POLLOUT, 0}};
    const nfds_t count = to_child >= 0 ? 2 : 1;
    const auto wait =
        std::chrono::duration_cast<std::chrono::milliseconds>(left).count();
    if (poll(fds, count, static_cast<int>(wait) + 1) < 0 && errno != EINTR) {
      break;
    }
    if (fds[0].revents != 0) {
      const ssize_t got = read(from_child, buffer, sizeof buffer);
      if (got > 0) outcome.output.append(buffer, static_cast<std::size_t>(got));
      if (got <= 0 || outcome.output.size() >= options.read_limit) {
        close(from_child);
        from_child = -1;
      }
    }
    if (count == 2 && fds[1].revents != 0) {
      const ssize_t done = write(to_child, input.data(), input.size());
      if (done > 0) input.remove_prefix(static_cast<std::size_t>(done));
      if (done < 0 && errno != EAGAIN) input = {};
      if (input.empty()) {
        close(to_child);
        to_child = -1;
      }
    }
  }
  if (to_child >= 0) close(to_child);
  if (from_child >= 0) close(from_child);
  collect_status(pid, outcome, start + limit);
  if (!memory_file.empty()) {
    std::ifstream(memory_file) >> outcome.peak_kib;
    std::remove(memory_file.c_str());
  }
  outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return outcome;
}

Conversation::Conversation(const std::string& program, bool nonblocking) {
  pid_ =
      spawn(program, Stdin::pipe, "", "", nonblocking, to_child_, from_child_);
}

Conversation::~Conversation() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    finish();
  }
}

bool Conversation::wait_for(std::string_view text,
                            std::chrono::milliseconds limit) {
  const auto start = Clock::now();
  char buffer[4096];
  while (!std::string_view(output_).ends_with(text)) {
    const auto left = limit - (Clock::now() - start);
    if (left <= std::chrono::milliseconds(0)) return false;
    pollfd fd = {from_child_, POLLIN, 0};
    const auto wait =
        std::chrono::duration_cast<std::chrono::milliseconds>(left).count();
    if (poll(&fd, 1, static_cast<int>(wait) + 1) <= 0) continue;
    const ssize_t got = read(from_child_, buffer, sizeof buffer);
    if (got <= 0) return false;
    output_.append(buffer, static_cast<std::size_t>(got));
  }
  return true;
}

void Conversation::type(std::string_view text) {
  while (!text.empty()) {
    const ssize_t done = write(to_child_, text.data(), text.size());
    if (done <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(done));
  }
}

int Conversation::finish() {
  if (to_child_ >= 0) close(to_child_);
  to_child_ = -1;
  char buffer[4096];
  for (ssize_t got; (got = read(from_child_, buffer, sizeof buffer)) > 0;) {
    output_.append(buffer, static_cast<std::size_t>(got));
  }
  close(from_child_);
  Outcome outcome;
  collect_status(pid_, outcome);
  pid_ = -1;
  return outcome.exit_status;
}

}  // namespace molagirlik::test
