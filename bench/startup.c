/* Starts a program many times with empty input and prints the mean wall
   time of one run, in microseconds: start, run and exit. */
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>

extern char** environ;

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: startup RUNS PROGRAM\n");
    return 2;
  }
  const int runs = atoi(argv[1]);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  char* child_argv[] = {argv[2], NULL};
  struct timespec start, end;
  clock_gettime(CLOCK_MONOTONIC, &start);
  for (int i = 0; i < runs; ++i) {
    pid_t pid;
    if (posix_spawn(&pid, argv[2], &actions, NULL, child_argv, environ) != 0) {
      perror("posix_spawn");
      return 1;
    }
    int status;
    waitpid(pid, &status, 0);
  }
  clock_gettime(CLOCK_MONOTONIC, &end);
  const double total = (double)(end.tv_sec - start.tv_sec) * 1e6 +
                       (double)(end.tv_nsec - start.tv_nsec) / 1e3;
  printf("%.1f\n", total / runs);
  return 0;
}
