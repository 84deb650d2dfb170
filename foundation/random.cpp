#include "foundation/random.h"

#include <sys/random.h>

#include <cerrno>
#include <cstddef>
#include <random>

namespace vorlane {

std::uint64_t SystemRandomGenerator::nextWord() {
  std::uint64_t word = 0;
  auto* bytes = reinterpret_cast<unsigned char*>(&word);
  std::size_t filled = 0;
  while (filled < sizeof word) {
    const ssize_t got = getrandom(bytes + filled, sizeof word - filled, 0);
    if (got > 0) {
      filled += static_cast<std::size_t>(got);
    } else if (got < 0 && errno != EINTR) {
      // Kernels without getrandom: the library's own system source.
      std::random_device device;
      return (static_cast<std::uint64_t>(device()) << 32) ^ device();
    }
  }
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
