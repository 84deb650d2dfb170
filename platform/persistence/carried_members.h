#pragma once

#include <optional>

#include "foundation/json.h"

namespace vorlane {

// What a newer version stored in a record that this version does not know, kept so that
// rewriting the record leaves it as it was. Holds nothing (and costs nothing) for a record
// with no such members.
class CarriedMembers {
 public:
  // After a read: the document as stored, and what this version writes for the value it
  // read from it.
  void read(const Json& stored, Json understood);
  // The document to store for `written`, with the unknown members carried in.
  [[nodiscard]] Json carriedInto(const Json& written) const;
  // After `stored` (from carriedInto) replaced the record, for `written`.
  void wrote(Json stored, const Json& written);

  bool empty() const { return !documents_; }

 private:
  struct Documents {
    Json stored;
    Json understood;
  };
  std::optional<Documents> documents_;
};

}  // namespace vorlane
