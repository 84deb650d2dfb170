#pragma once

#include <QPointF>
#include <functional>
#include <memory>
#include <vector>

namespace vorlane {

class Node;

// How an action's time runs. On a composite it warps the whole composite's time and the
// children run at the warped time.
enum class TimingMode { linear, easeIn, easeOut, easeInEaseOut };

// Whether the run an instance belongs to must stop: it was removed, its node is gone or its
// scene was torn down. Composites check it after every child, since a block may do any of it.
struct RunControl {
  bool dead = false;
  const bool* sceneTornDown = nullptr;
  bool stopped() const { return dead || (sceneTornDown != nullptr && *sceneTornDown); }
};

// The per-run state of one action.
class ActionInstance {
 public:
  virtual ~ActionInstance() = default;
  // Brings the action to `time` seconds after its start (never decreasing); `finish`
  // forces it to its end. Returns true once the action has ended.
  virtual bool advanceTo(Node& node, double time, bool finish, const RunControl& control) = 0;
};

struct ActionSpec;

// An immutable description of a motion, shared freely; each run gets its own state.
// "To" actions take their start value when they first run; "By" actions add the change
// since their previous step, so several on one node add up.
class Action {
 public:
  using Block = std::function<void()>;
  using CustomStep = std::function<void(Node& node, double elapsed)>;

  static Action moveTo(QPointF to, double duration);
  static Action moveToY(double y, double duration);
  static Action moveBy(double dx, double dy, double duration);
  static Action scaleTo(double scale, double duration);
  static Action scaleYTo(double scale, double duration);
  // Plain interpolation of the angle in radians, no shortest arc.
  static Action rotateTo(double radians, double duration);
  static Action rotateBy(double radians, double duration);
  static Action fadeAlphaTo(double alpha, double duration);
  static Action fadeIn(double duration);
  static Action fadeOut(double duration);
  static Action wait(double duration);
  static Action run(Block block);
  // Called on every step with the elapsed time, and once more with exactly `duration`.
  static Action custom(double duration, CustomStep step);
  static Action removeFromParent();
  static Action sequence(std::vector<Action> actions);
  static Action group(std::vector<Action> actions);
  static Action repeat(const Action& action, int count);
  static Action repeatForever(const Action& action);

  Action withTiming(TimingMode timing) const;

  // Seconds; infinite for anything that repeats forever.
  double duration() const;
  TimingMode timing() const;

  std::unique_ptr<ActionInstance> instantiate() const;
  // For the implementation's builders.
  static Action fromSpec(std::shared_ptr<const ActionSpec> spec);

 private:
  explicit Action(std::shared_ptr<const ActionSpec> spec) : spec_(std::move(spec)) {}
  std::shared_ptr<const ActionSpec> spec_;
};

// The warp of each timing mode on a progress in 0...1.
double timingCurve(TimingMode timing, double progress);

}  // namespace vorlane
