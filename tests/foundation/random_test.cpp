#include "foundation/random.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>

#include "tests/support/scripted_random.h"
#include "tests/support/seeded_random_generator.h"

namespace vorlane {
namespace {

constexpr std::uint64_t maxWord = ~std::uint64_t{0};
constexpr std::uint64_t half = std::uint64_t{1} << 63;

TEST(Random, UniformBelowMapsWordsByMultiplicationAndRejectsBiasedWords) {
  // 2^64 mod 10 = 6: products whose low word is below 6 would favour small results.
  const std::tuple<const char*, std::vector<std::uint64_t>, std::uint64_t, std::uint64_t> rows[] = {
      {"lowest word", {1}, 10, 0},
      {"highest word", {maxWord}, 10, 9},
      {"biased words rejected, next taken", {0, half, half + 1}, 10, 5},
      {"largest n", {maxWord - 1}, maxWord, maxWord - 2},
  };
  for (const auto& [name, script, n, expected] : rows) {
    ScriptedRandomGenerator words(script);
    EXPECT_EQ(uniformBelow(words, n), expected) << name;
    EXPECT_TRUE(words.allUsed()) << name;
  }
  ScriptedRandomGenerator ends{1, maxWord};
  EXPECT_EQ(uniformClosed(ends, -2.5, 7.0), -2.5);
  EXPECT_EQ(uniformClosed(ends, -2.5, 7.0), 7.0);
}

TEST(Random, DrawsAreUniformOverManySeedsAndSystemWordsVary) {
  for (std::uint64_t seed : {1u, 42u}) {
    SeededRandomGenerator generator(seed);
    std::array<int, 6> counts{};
    for (int i = 0; i < 60000; ++i) ++counts.at(uniformBelow(generator, 6));
    for (int count : counts) EXPECT_NEAR(count, 10000, 500) << "seed " << seed;  // 5 sigma is ~460
    double lowest = 1.0, highest = 0.0;
    for (int i = 0; i < 10000; ++i) {
      const double value = uniformClosed(generator, 0.25, 0.75);
      lowest = std::min(lowest, value);
      highest = std::max(highest, value);
    }
    EXPECT_TRUE(lowest >= 0.25 && lowest < 0.26) << lowest;
    EXPECT_TRUE(highest > 0.74 && highest <= 0.75) << highest;
  }
  SystemRandomGenerator system;
  std::uint64_t everSet = 0, everClear = 0;
  for (int i = 0; i < 128; ++i) {
    const std::uint64_t word = system.nextWord();
    everSet |= word;
    everClear |= ~word;
  }
  EXPECT_EQ(everSet & everClear, maxWord) << "every bit both set and clear at some draw";
}

TEST(Random, ForkedChildDrawsOtherWordsThanItsParent) {
  SystemRandomGenerator system;
  (void)system.nextWord();  // words are now in reserve, to be inherited by the child
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const std::uint64_t word = system.nextWord();
    const bool written = write(pipeEnds[1], &word, sizeof word) == sizeof word;
    _exit(written ? 0 : 1);
  }
  close(pipeEnds[1]);
  std::uint64_t childWord = 0;
  const bool read = ::read(pipeEnds[0], &childWord, sizeof childWord) == sizeof childWord;
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(read);
  EXPECT_NE(childWord, system.nextWord());
}

}  // namespace
}  // namespace vorlane
