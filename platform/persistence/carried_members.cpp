#include "platform/persistence/carried_members.h"

#include <utility>

namespace vorlane {

void CarriedMembers::read(const Json& stored, Json understood) {
  if (stored == understood) {
    documents_.reset();
  } else {
    documents_ = Documents{stored, std::move(understood)};
  }
}

Json CarriedMembers::carriedInto(const Json& written) const {
  Json out = written;
  if (documents_) json::keepUnknownMembers(documents_->stored, documents_->understood, out);
  return out;
}

void CarriedMembers::wrote(Json stored, const Json& written) {
  if (stored == written) {
    documents_.reset();
  } else {
    documents_ = Documents{std::move(stored), written};
  }
}

}  // namespace vorlane
