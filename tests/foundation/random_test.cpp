#include "foundation/random.h"

#include <algorithm>
#include <array>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/scripted_random.h"

namespace vorlane {
namespace {

using ScriptedWords = ScriptedRandomGenerator;
constexpr std::uint64_t maxWord = ~std::uint64_t{0};

TEST(Random, UniformBelowMapsWordsByMultiplication) {
  struct Row {
    const char* name;
    std::vector<std::uint64_t> words;
    std::uint64_t n;
    std::uint64_t expected;
    std::size_t drawn;
  };
  const Row rows[] = {
      {"lowest word", {1}, 10, 0, 1},
      {"highest word", {maxWord}, 10, 9, 1},
      {"half way", {(std::uint64_t{1} << 63) + 1}, 10, 5, 1},
      // 2^64 mod 10 = 6: products whose low word is below 6 would favour small results.
      {"biased words rejected, next taken", {0, std::uint64_t{1} << 63, (std::uint64_t{1} << 63) + 1}, 10, 5, 3},
      {"n of one", {maxWord}, 1, 0, 1},
      {"largest n", {maxWord - 1}, maxWord, maxWord - 2, 1},
  };
  for (const Row& row : rows) {
    ScriptedWords words(row.words);
    EXPECT_EQ(uniformBelow(words, row.n), row.expected) << row.name;
    EXPECT_EQ(words.wordsUsed(), row.drawn) << row.name;
  }
}

TEST(Random, UniformClosedReachesBothEnds) {
  ScriptedWords words{1, maxWord, (std::uint64_t{1} << 63) + 1};
  EXPECT_EQ(uniformClosed(words, -2.5, 7.0), -2.5);
  EXPECT_EQ(uniformClosed(words, -2.5, 7.0), 7.0);
  EXPECT_DOUBLE_EQ(uniformClosed(words, 0.0, 8.0), 4.0);
  EXPECT_TRUE(words.allUsed());
}

TEST(Random, DrawsAreUniformOverManySeeds) {
  for (std::uint64_t seed : {1u, 42u, 2026u}) {
    SeededRandomGenerator generator(seed);
    std::array<int, 6> counts{};
    for (int i = 0; i < 60000; ++i) {
      const std::uint64_t face = uniformBelow(generator, 6);
      ASSERT_LT(face, 6u);
      ++counts[face];
    }
    // Each face near 10000; five standard deviations is about 460.
    for (int count : counts) EXPECT_NEAR(count, 10000, 500) << "seed " << seed;

    double lowest = 1.0;
    double highest = 0.0;
    for (int i = 0; i < 10000; ++i) {
      const double value = uniformClosed(generator, 0.25, 0.75);
      ASSERT_GE(value, 0.25);
      ASSERT_LE(value, 0.75);
      lowest = std::min(lowest, value);
      highest = std::max(highest, value);
    }
    EXPECT_LT(lowest, 0.26);
    EXPECT_GT(highest, 0.74);
  }
}

TEST(Random, SeededGeneratorsRepeatAndSystemWordsVary) {
  SeededRandomGenerator a(7);
  SeededRandomGenerator b(7);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(a.nextWord(), b.nextWord());

  SystemRandomGenerator system;
  std::uint64_t everSet = 0;
  std::uint64_t everClear = 0;
  for (int i = 0; i < 128; ++i) {
    const std::uint64_t word = system.nextWord();
    everSet |= word;
    everClear |= ~word;
  }
  EXPECT_EQ(everSet, maxWord);
  EXPECT_EQ(everClear, maxWord);
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
