// Benchmark helper: runs one command with standard output sent to
// /dev/null and prints its wall time in nanoseconds and its peak resident
// memory in KiB. Started with fork() from this small static process, so the
// child's peak is its own, not that of a large parent it was copied from.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

namespace {

long long Now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: spawn COMMAND [ARG...]\n");
    return 2;
  }
  const long long start = Now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    execv(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return 2;
  const long long wall = Now() - start;
  std::printf("%lld %ld %d\n", wall, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : 128);
  return 0;
}
