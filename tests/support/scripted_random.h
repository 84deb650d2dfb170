#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <vector>

#include "foundation/random.h"

namespace vorlane {

// Hands out a fixed list of words, one per draw, so a test can choose each random value.
// Running past the end fails the test and yields the word 1 (never 0, which would keep a
// rejecting draw looping).
class ScriptedRandomGenerator final : public RandomGenerator {
 public:
  ScriptedRandomGenerator(std::initializer_list<std::uint64_t> words) : words_(words) {}
  explicit ScriptedRandomGenerator(std::vector<std::uint64_t> words) : words_(std::move(words)) {}

  std::uint64_t nextWord() override {
    if (next_ < words_.size()) return words_[next_++];
    ADD_FAILURE() << "scripted random words used up after " << words_.size();
    ++overruns_;
    return 1;
  }

  std::size_t wordsUsed() const { return next_; }
  bool allUsed() const { return next_ == words_.size() && overruns_ == 0; }

  // The word that makes `uniformBelow(g, n)` give `value` in one draw: the project's mapping
  // takes the high half of word * n and redraws only when the low half is below 2^64 mod n.
  static std::uint64_t wordFor(std::uint64_t value, std::uint64_t n) {
    const unsigned __int128 target = (static_cast<unsigned __int128>(value) << 64) + (0 - n) % n;
    return static_cast<std::uint64_t>((target + n - 1) / n);
  }
  // The words giving the lowest and highest value of any draw.
  static constexpr std::uint64_t lowest = 1;
  static constexpr std::uint64_t highest = std::numeric_limits<std::uint64_t>::max();

 private:
  std::vector<std::uint64_t> words_;
  std::size_t next_ = 0;
  std::size_t overruns_ = 0;
};

}  // namespace vorlane
