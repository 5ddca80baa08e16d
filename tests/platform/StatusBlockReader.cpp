// A second process for the status-block tests: prints the raw bytes of the
// named shared memory to standard output, or exits with 3 when there is no
// such block. It uses the system calls directly, not the program's reader.

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const int fd = shm_open(argv[1], O_RDONLY, 0);
  if (fd < 0) return 3;
  struct stat info {};
  if (fstat(fd, &info) != 0) return 4;
  const auto size = static_cast<std::size_t>(info.st_size);
  if (size == 0) return 0;
  void* view = mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
  if (view == MAP_FAILED) return 5;
  std::fwrite(view, 1, size, stdout);
  munmap(view, size);
  close(fd);
  return 0;
}
