#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/persistence/stored_data.h"

namespace vorlane {

// The record store: small records, each under its own key. A bad record blocks
// only itself.
class RecordStore {
 public:
  virtual ~RecordStore() = default;

  // The bytes under `key`, or missing, or unreadable with the reason. Never throws.
  virtual StoredData data(const std::string& key) const = 0;

  // Replaces the bytes under `key` atomically and durably. Throws (std::system_error for the
  // file database) when they could not be stored; what was stored before is then unchanged.
  virtual void setData(const std::string& key, std::string_view bytes) = 0;

  // Removes the key. Returns false when stored bytes could not be removed (they stay).
  [[nodiscard]] virtual bool remove(const std::string& key) = 0;

  // Moves whatever is stored under `key` (readable or not) to a new name that nothing else
  // uses, so that a following setData cannot destroy it. Returns that name for the log; none
  // when nothing was stored. Throws when it could not be moved.
  virtual std::optional<std::string> setAside(const std::string& key) = 0;

  // Stores `bytes` under `key` as setData does, and keeps what was stored before (readable or
  // not) under a new name as setAside does, without the key ever standing empty: it holds the
  // old bytes or the new ones at every moment. Returns the new name for the log; none when
  // nothing was stored. Throws when either could not be done; nothing is changed then.
  virtual std::optional<std::string> setDataKeepingAside(const std::string& key,
                                                         std::string_view bytes) = 0;
};

}  // namespace vorlane
