#pragma once

#include <memory>
#include <stdexcept>

#include "tests/coordination/coordinator/coordinator_harness.h"

namespace vorlane {

// The real coordinator, started at 10:59 with a `Controller` as its `Window` in place of the
// fake, so that the window opens as the coordinator asks and its buttons reach the session.
template <typename Window, typename Controller, typename View>
class WindowOverCoordinatorTest : public CoordinatorTest {
 protected:
  void SetUp() override {
    fresh(at(10, 59), [this](VisitCoordinator::Dependencies& given) {
      given.windows.template set<Window>(controller);
    });
  }
  // What the window shows; throws when it is not on screen.
  View& view() {
    auto* content = dynamic_cast<View*>(controller->host().content());
    if (content == nullptr) throw std::logic_error("the window is not on screen");
    return *content;
  }

  std::shared_ptr<Controller> controller = std::make_shared<Controller>();
};

}  // namespace vorlane
