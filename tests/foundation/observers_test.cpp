#include "foundation/observers.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

namespace vorlane {
namespace {

TEST(Observers, SubscriptionsMayChangeWhileNotifiedAndOutliveTheList) {
  auto observers = std::make_unique<Observers<int>>();
  std::vector<int> calls;
  std::optional<Observers<int>::Subscription> first, second, third;
  // The first cancels itself and the second, and subscribes a third.
  first = observers->subscribe([&](int n) {
    calls.push_back(10 + n);
    second.reset();
    third = observers->subscribe([&](int m) { calls.push_back(30 + m); });
    first.reset();
  });
  second = observers->subscribe([&](int n) { calls.push_back(20 + n); });
  observers->notify(1);
  observers->notify(2);
  EXPECT_EQ(calls, (std::vector<int>{11, 32}));
  // A subscription outliving its list: the callback was released, cancelling is harmless.
  auto held = std::make_shared<int>(0);
  auto late = observers->subscribe([held](int) {});
  observers.reset();
  EXPECT_EQ(held.use_count(), 1);
  late.cancel();
}

}  // namespace
}  // namespace vorlane
