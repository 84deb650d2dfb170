#pragma once

#include <string>

namespace vorlane {

// A mascot character: a stable machine name and the name shown to the user.
class Character {
 public:
  virtual ~Character() = default;
  virtual std::string identifier() const = 0;
  virtual std::string displayName() const = 0;
};

}  // namespace vorlane
