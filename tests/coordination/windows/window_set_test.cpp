// The controllers keyed by their window's kind.

#include "coordination/windows/window_set.h"

#include <gtest/gtest.h>

#include "tests/support/fake_feature_windows.h"

namespace vorlane {
namespace {

// A controller whose window interface is not its first base, as a Qt object's is: the
// pointer to the interface differs from the pointer to the object.
struct Something {
  virtual ~Something() = default;
  int filler = 7;
};
class TwoBasedTodayWindow final : public Something, public TodayWindow {
 public:
  void show(DailyPrioritiesStore&, int, std::optional<std::string>, std::function<void()>,
            std::function<void(const UUID&, bool)>) override {}
};

TEST(WindowSet, EachKindHoldsOneControllerReadBackAsItsInterface) {
  WindowSet set;
  EXPECT_FALSE(set.has(WindowKind::today));
  EXPECT_EQ(set.get<TodayWindow>(), nullptr);

  const auto today = std::make_shared<TwoBasedTodayWindow>();
  const auto history = std::make_shared<FakeFocusHistoryWindow>();
  set.set<FocusHistoryWindow>(history);
  set.set<TodayWindow>(today);
  EXPECT_EQ(set.get<TodayWindow>().get(), static_cast<TodayWindow*>(today.get()));
  EXPECT_EQ(set.get<FocusHistoryWindow>(), history);
  EXPECT_EQ(set.kinds(), (std::vector<WindowKind>{WindowKind::today, WindowKind::focusHistory}));

  // A second controller replaces the first; a null one or a removal takes the kind away.
  const auto other = std::make_shared<FakeTodayWindow>();
  set.set<TodayWindow>(other);
  EXPECT_EQ(set.get<TodayWindow>(), other);
  set.set<TodayWindow>(nullptr);
  EXPECT_FALSE(set.has(WindowKind::today));
  set.remove(WindowKind::focusHistory);
  EXPECT_TRUE(set.kinds().empty());
  // The set shares its controllers: they outlive a copy.
  set.set<TodayWindow>(today);
  const WindowSet copy = set;
  set = WindowSet{};
  EXPECT_EQ(copy.get<TodayWindow>().get(), static_cast<TodayWindow*>(today.get()));
}

// Every interface the coordinator opens names a kind of its own.
TEST(WindowSet, TheCoordinatorsWindowsHaveOneKindEach) {
  const WindowSet all = FakeFeatureWindows{}.controllers();
  EXPECT_EQ(all.kinds(), (std::vector<WindowKind>{
                             WindowKind::quickCommand, WindowKind::focusSessionEditor,
                             WindowKind::resumeNote, WindowKind::today, WindowKind::focusHistory,
                             WindowKind::weeklyReflection, WindowKind::calendarFocus}));
}

}  // namespace
}  // namespace vorlane
