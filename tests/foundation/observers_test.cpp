#include "foundation/observers.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(Observers, CallsSubscribersInOrderUntilTheirSubscriptionEnds) {
  Observers<std::string> observers;
  std::vector<std::string> calls;
  auto first = observers.subscribe([&](const std::string& s) { calls.push_back("1:" + s); });
  {
    auto second = observers.subscribe([&](const std::string& s) { calls.push_back("2:" + s); });
    observers.notify("a");
  }
  Observers<std::string>::Subscription moved = std::move(first);
  observers.notify("b");
  moved.cancel();
  observers.notify("c");
  EXPECT_EQ(calls, (std::vector<std::string>{"1:a", "2:a", "1:b"}));
  EXPECT_EQ(observers.size(), 0u);
}

TEST(Observers, CancellingDuringANotificationIsSafe) {
  Observers<> observers;
  std::vector<int> calls;
  std::optional<Observers<>::Subscription> second;
  std::optional<Observers<>::Subscription> added;
  // The first cancels itself and the second, and subscribes a third.
  std::optional<Observers<>::Subscription> first;
  first = observers.subscribe([&] {
    calls.push_back(1);
    second.reset();
    added = observers.subscribe([&] { calls.push_back(3); });
    first.reset();
  });
  second = observers.subscribe([&] { calls.push_back(2); });
  observers.notify();
  observers.notify();
  EXPECT_EQ(calls, (std::vector<int>{1, 3}));
}

TEST(Observers, ListReleasesCallbacksWhileSubscriptionsLive) {
  auto held = std::make_shared<int>(0);
  Observers<>::Subscription subscription;
  {
    Observers<> observers;
    subscription = observers.subscribe([held] {});
    EXPECT_EQ(held.use_count(), 2);
  }
  EXPECT_EQ(held.use_count(), 1);
  subscription.cancel();  // must not touch the destroyed list
}

}  // namespace
}  // namespace vorlane
