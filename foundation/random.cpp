#include "foundation/random.h"

#include <pthread.h>
#include <sys/random.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <random>

namespace vorlane {

namespace {

// getrandom is a system call costing far more than the words it gives, so each thread draws
// a few hundred bytes at a time and hands them out in turn.
struct Reserve {
  static constexpr std::size_t size = 256;
  unsigned char bytes[size];
  std::size_t used = size;
};

thread_local Reserve reserve;

// A forked child would otherwise hand out the same words as its parent.
void discardReserve() { reserve.used = Reserve::size; }

bool fill(Reserve& r) {
  std::size_t filled = 0;
  while (filled < Reserve::size) {
    const ssize_t got = getrandom(r.bytes + filled, Reserve::size - filled, 0);
    if (got > 0) {
      filled += static_cast<std::size_t>(got);
    } else if (got < 0 && errno != EINTR) {
      return false;
    }
  }
  r.used = 0;
  return true;
}

}  // namespace

std::uint64_t SystemRandomGenerator::nextWord() {
  static const int forkHandler = pthread_atfork(nullptr, nullptr, discardReserve);
  (void)forkHandler;
  if (reserve.used + sizeof(std::uint64_t) > Reserve::size && !fill(reserve)) {
    // Kernels without getrandom: the library's own system source.
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) ^ device();
  }
  std::uint64_t word = 0;
  std::memcpy(&word, reserve.bytes + reserve.used, sizeof word);
  // Handed-out bytes are not kept.
  std::memset(reserve.bytes + reserve.used, 0, sizeof word);
  reserve.used += sizeof word;
  return word;
}

std::uint64_t uniformBelow(RandomGenerator& generator, std::uint64_t n) {
  if (n == 0) return 0;  // no valid result; refuse to divide by zero or loop
  unsigned __int128 product = static_cast<unsigned __int128>(generator.nextWord()) * n;
  auto low = static_cast<std::uint64_t>(product);
  if (low < n) {
    const std::uint64_t threshold = (0 - n) % n;
    while (low < threshold) {
      product = static_cast<unsigned __int128>(generator.nextWord()) * n;
      low = static_cast<std::uint64_t>(product);
    }
  }
  return static_cast<std::uint64_t>(product >> 64);
}

double uniformClosed(RandomGenerator& generator, double lo, double hi) {
  constexpr std::uint64_t twoTo53 = std::uint64_t{1} << 53;
  const std::uint64_t r = uniformBelow(generator, twoTo53 + 1);
  if (r == twoTo53) return hi;
  return lo + (hi - lo) * static_cast<double>(r) * 0x1p-53;
}

}  // namespace vorlane
