/* What the file rules alone cost: the gradient read with 4096-byte read
 * calls and as many bytes as the include file has written with 4096-byte
 * write calls, and nothing else. bench/run.sh times it beside tintgrove.
 *   floor GRADIENT OUT BYTES-TO-WRITE */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: floor GRADIENT OUT BYTES-TO-WRITE\n");
    return 2;
  }
  static char buffer[4096];
  const int in = open(argv[1], O_RDONLY);
  if (in < 0) return perror(argv[1]), 1;
  long long got;
  while ((got = read(in, buffer, sizeof buffer)) > 0) {
  }
  if (got < 0) return perror(argv[1]), 1;
  close(in);

  const int out = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0) return perror(argv[2]), 1;
  long long left = atoll(argv[3]);
  while (left > 0) {
    const long long piece = left < (long long)sizeof buffer ? left : (long long)sizeof buffer;
    if (write(out, buffer, (size_t)piece) != piece) return perror(argv[2]), 1;
    left -= piece;
  }
  return close(out) == 0 ? 0 : 1;
}
