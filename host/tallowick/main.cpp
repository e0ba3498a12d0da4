#include <cstdio>
#include <cstring>

int main(int argc, char **argv) {
  if (argc > 1 && std::strcmp(argv[1], "status") == 0) {
    std::puts("tallowick: platform core built; the kit's classes arrive with the kit entry.");
    return 0;
  }
  std::fprintf(stderr, "usage: tallowick status\n");
  return 2;
}
