#pragma once

#include <functional>
#include <optional>

#include "core/contracts/visit.h"

namespace vorlane {

// The mascot as the coordinator sees it.
class MascotPresenter {
 public:
  using Completion = std::function<void()>;

  MascotPresenter() = default;
  MascotPresenter(const MascotPresenter&) = delete;
  MascotPresenter& operator=(const MascotPresenter&) = delete;
  virtual ~MascotPresenter() = default;

  virtual bool isPerformingVisit() const = 0;
  // Plays the visit; the completion, when given, is called once it has finished.
  virtual void perform(const Visit& visit, Completion completion) = 0;
  // The running focus session's progress fraction, or none to hide it.
  virtual void showProgress(std::optional<double> fraction) = 0;
};

}  // namespace vorlane
