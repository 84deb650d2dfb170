#include "ui/scene/action.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "ui/scene/node.h"

namespace vorlane {

enum class ActionKind {
  moveTo,
  moveToY,
  moveBy,
  scaleTo,
  scaleYTo,
  rotateTo,
  rotateBy,
  fadeAlphaTo,
  wait,
  run,
  custom,
  removeFromParent,
  sequence,
  group,
  repeat
};

struct ActionSpec {
  ActionKind kind = ActionKind::wait;
  double duration = 0;
  TimingMode timing = TimingMode::linear;
  QPointF vector;  // target or change, by kind
  double value = 0;
  int count = 0;  // repeat count; 0 repeats endless
  Action::Block block;
  Action::CustomStep step;
  std::vector<Action> children;
};

double timingCurve(TimingMode timing, double t) {
  switch (timing) {
    case TimingMode::linear:
      return t;
    case TimingMode::easeIn:
      return t * t;
    case TimingMode::easeOut:
      return 1 - (1 - t) * (1 - t);
    case TimingMode::easeInEaseOut:
      return t * t * (3 - 2 * t);
  }
  return t;
}

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

// Turns the time the parent gives into this action's warped time, and reports the end.
class TimedInstance : public ActionInstance {
 public:
  explicit TimedInstance(std::shared_ptr<const ActionSpec> spec)
      : keep_(std::move(spec)), spec_(*keep_) {}

  bool advanceTo(Node& node, double time, bool finish, const RunControl& control) final {
    const double d = spec_.duration;
    const bool ends = finish || time >= d;
    double warped = time;
    if (std::isfinite(d)) {
      if (ends) {
        warped = d;
      } else if (d > 0) {
        warped = timingCurve(spec_.timing, std::clamp(time / d, 0.0, 1.0)) * d;
      }
    }
    return apply(node, warped, ends, control) || ends;
  }

 protected:
  // Returns true when the action ended on its own (only repeats decide that themselves).
  virtual bool apply(Node& node, double time, bool ends, const RunControl& control) = 0;
  double progress(double time) const {
    return spec_.duration > 0 ? std::clamp(time / spec_.duration, 0.0, 1.0) : 1.0;
  }

 private:
  std::shared_ptr<const ActionSpec> keep_;

 protected:
  const ActionSpec& spec_;
};

class PropertyInstance final : public TimedInstance {
 public:
  using TimedInstance::TimedInstance;

 protected:
  bool apply(Node& node, double time, bool, const RunControl&) override {
    const double p = progress(time);
    const ActionSpec& s = spec_;
    if (!started_) {
      started_ = true;
      switch (s.kind) {
        case ActionKind::moveTo:
        case ActionKind::moveToY:
          from_ = node.position();
          break;
        case ActionKind::scaleTo:
          from_ = {node.xScale(), node.yScale()};
          break;
        case ActionKind::scaleYTo:
          from_ = {0, node.yScale()};
          break;
        case ActionKind::rotateTo:
          from_ = {node.zRotation(), 0};
          break;
        case ActionKind::fadeAlphaTo:
          from_ = {node.alpha(), 0};
          break;
        default:
          break;
      }
    }
    const double step = p - lastProgress_;
    lastProgress_ = p;
    auto mix = [p](double a, double b) { return a + (b - a) * p; };
    switch (s.kind) {
      case ActionKind::moveTo:
        node.setPosition({mix(from_.x(), s.vector.x()), mix(from_.y(), s.vector.y())});
        break;
      case ActionKind::moveToY:
        node.setPosition({node.position().x(), mix(from_.y(), s.value)});
        break;
      case ActionKind::moveBy:
        node.setPosition(node.position() + s.vector * step);
        break;
      case ActionKind::scaleTo:
        node.setScale(mix(from_.x(), s.value), mix(from_.y(), s.value));
        break;
      case ActionKind::scaleYTo:
        node.setYScale(mix(from_.y(), s.value));
        break;
      case ActionKind::rotateTo:
        node.setZRotation(mix(from_.x(), s.value));
        break;
      case ActionKind::rotateBy:
        node.setZRotation(node.zRotation() + s.value * step);
        break;
      case ActionKind::fadeAlphaTo:
        node.setAlpha(mix(from_.x(), s.value));
        break;
      default:
        break;
    }
    return false;
  }

 private:
  bool started_ = false;
  QPointF from_;
  double lastProgress_ = 0;
};

class OnceInstance final : public TimedInstance {
 public:
  using TimedInstance::TimedInstance;

 protected:
  bool apply(Node& node, double time, bool, const RunControl&) override {
    switch (spec_.kind) {
      case ActionKind::run:
        if (!done_ && spec_.block) {
          done_ = true;
          spec_.block();
        }
        break;
      case ActionKind::removeFromParent:
        if (!done_) {
          done_ = true;
          node.removeFromParent();
        }
        break;
      case ActionKind::custom:
        if (spec_.step) spec_.step(node, time);
        break;
      default:
        break;  // wait
    }
    return false;
  }

 private:
  bool done_ = false;
};

class SequenceInstance final : public TimedInstance {
 public:
  using TimedInstance::TimedInstance;

 protected:
  bool apply(Node& node, double time, bool ends, const RunControl& control) override {
    const auto& children = spec_.children;
    while (index_ < children.size()) {
      if (!current_) current_ = children[index_].instantiate();
      const bool done = current_->advanceTo(node, time - start_, ends, control);
      if (control.stopped() || !done) return false;
      start_ += children[index_].duration();
      current_.reset();
      ++index_;
      if (!ends && time < start_) return false;
    }
    return false;
  }

 private:
  std::size_t index_ = 0;
  double start_ = 0;
  std::unique_ptr<ActionInstance> current_;
};

class GroupInstance final : public TimedInstance {
 public:
  using TimedInstance::TimedInstance;

 protected:
  bool apply(Node& node, double time, bool ends, const RunControl& control) override {
    const auto& children = spec_.children;
    if (members_.empty()) {
      for (const Action& child : children) members_.push_back(child.instantiate());
      done_.assign(children.size(), false);
    }
    for (std::size_t i = 0; i < members_.size(); ++i) {
      if (done_[i]) continue;
      done_[i] = members_[i]->advanceTo(node, time, ends, control);
      if (control.stopped()) return false;
    }
    return false;
  }

 private:
  std::vector<std::unique_ptr<ActionInstance>> members_;
  std::vector<bool> done_;
};

class RepeatInstance final : public TimedInstance {
 public:
  using TimedInstance::TimedInstance;

 protected:
  bool apply(Node& node, double time, bool ends, const RunControl& control) override {
    const Action& child = spec_.children.front();
    const double d = child.duration();
    const bool endless = spec_.count == 0;
    if (endless && ends) return true;
    while (endless || iteration_ < spec_.count) {
      if (!current_) current_ = child.instantiate();
      const bool done = current_->advanceTo(node, time - iteration_ * d, ends, control);
      if (control.stopped() || !done) return false;
      current_.reset();
      ++iteration_;
      // A zero-length body repeated endless plays once a step, never in a tight loop.
      if (endless && d <= 0) return false;
      if (!ends && time < iteration_ * d) return false;
    }
    return true;
  }

 private:
  int iteration_ = 0;
  std::unique_ptr<ActionInstance> current_;
};

Action make(ActionKind kind, double duration, auto&& fill) {
  auto spec = std::make_shared<ActionSpec>();
  spec->kind = kind;
  spec->duration = std::isfinite(duration) ? std::max(0.0, duration) : 0.0;
  fill(*spec);
  return Action::fromSpec(std::move(spec));
}

}  // namespace

Action Action::fromSpec(std::shared_ptr<const ActionSpec> spec) { return Action(std::move(spec)); }

Action Action::moveTo(QPointF to, double d) {
  return make(ActionKind::moveTo, d, [&](ActionSpec& s) { s.vector = to; });
}
Action Action::moveToY(double y, double d) {
  return make(ActionKind::moveToY, d, [&](ActionSpec& s) { s.value = y; });
}
Action Action::moveBy(double dx, double dy, double d) {
  return make(ActionKind::moveBy, d, [&](ActionSpec& s) { s.vector = {dx, dy}; });
}
Action Action::scaleTo(double scale, double d) {
  return make(ActionKind::scaleTo, d, [&](ActionSpec& s) { s.value = scale; });
}
Action Action::scaleYTo(double scale, double d) {
  return make(ActionKind::scaleYTo, d, [&](ActionSpec& s) { s.value = scale; });
}
Action Action::rotateTo(double radians, double d) {
  return make(ActionKind::rotateTo, d, [&](ActionSpec& s) { s.value = radians; });
}
Action Action::rotateBy(double radians, double d) {
  return make(ActionKind::rotateBy, d, [&](ActionSpec& s) { s.value = radians; });
}
Action Action::fadeAlphaTo(double alpha, double d) {
  return make(ActionKind::fadeAlphaTo, d, [&](ActionSpec& s) { s.value = alpha; });
}
Action Action::fadeIn(double d) { return fadeAlphaTo(1, d); }
Action Action::fadeOut(double d) { return fadeAlphaTo(0, d); }
Action Action::wait(double d) {
  return make(ActionKind::wait, d, [](ActionSpec&) {});
}
Action Action::run(Block block) {
  return make(ActionKind::run, 0, [&](ActionSpec& s) { s.block = std::move(block); });
}
Action Action::custom(double d, CustomStep step) {
  return make(ActionKind::custom, d, [&](ActionSpec& s) { s.step = std::move(step); });
}
Action Action::removeFromParent() {
  return make(ActionKind::removeFromParent, 0, [](ActionSpec&) {});
}
Action Action::sequence(std::vector<Action> actions) {
  double total = 0;
  for (const Action& a : actions) total += a.duration();
  auto spec = std::make_shared<ActionSpec>();
  spec->kind = ActionKind::sequence;
  spec->duration = total;
  spec->children = std::move(actions);
  return Action(std::move(spec));
}
Action Action::group(std::vector<Action> actions) {
  double longest = 0;
  for (const Action& a : actions) longest = std::max(longest, a.duration());
  auto spec = std::make_shared<ActionSpec>();
  spec->kind = ActionKind::group;
  spec->duration = longest;
  spec->children = std::move(actions);
  return Action(std::move(spec));
}
Action Action::repeat(const Action& action, int count) {
  auto spec = std::make_shared<ActionSpec>();
  spec->kind = ActionKind::repeat;
  spec->count = std::max(1, count);
  spec->duration = action.duration() * spec->count;
  spec->children = {action};
  return Action(std::move(spec));
}
Action Action::repeatForever(const Action& action) {
  auto spec = std::make_shared<ActionSpec>();
  spec->kind = ActionKind::repeat;
  spec->count = 0;
  spec->duration = infinity;
  spec->children = {action};
  return Action(std::move(spec));
}

Action Action::withTiming(TimingMode timing) const {
  auto spec = std::make_shared<ActionSpec>(*spec_);
  spec->timing = timing;
  return Action(std::move(spec));
}

double Action::duration() const { return spec_->duration; }
TimingMode Action::timing() const { return spec_->timing; }

std::unique_ptr<ActionInstance> Action::instantiate() const {
  switch (spec_->kind) {
    case ActionKind::sequence:
      return std::make_unique<SequenceInstance>(spec_);
    case ActionKind::group:
      return std::make_unique<GroupInstance>(spec_);
    case ActionKind::repeat:
      return std::make_unique<RepeatInstance>(spec_);
    case ActionKind::wait:
    case ActionKind::run:
    case ActionKind::custom:
    case ActionKind::removeFromParent:
      return std::make_unique<OnceInstance>(spec_);
    default:
      return std::make_unique<PropertyInstance>(spec_);
  }
}

}  // namespace vorlane
