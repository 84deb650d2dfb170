#pragma once

#include <optional>
#include <string>

namespace vorlane {

// One value kept whole in storage. Stored data that could not be read is never overwritten:
// while errorMessage() is set every save is refused until clear().
template <class T>
class StoredDocument {
 public:
  StoredDocument() = default;
  StoredDocument(const StoredDocument&) = delete;
  StoredDocument& operator=(const StoredDocument&) = delete;
  virtual ~StoredDocument() = default;

  virtual const T& value() const = 0;
  // Set while the stored value could not be read; the sentence the screens show.
  virtual const std::optional<std::string>& errorMessage() const = 0;
  // Stores `newValue` whole, then makes it the value. Throws an error whose what() is the
  // sentence to show (unreadable data kept, invalid value, failed write); then nothing
  // changed.
  virtual void save(T newValue) = 0;
  // Removes the stored value, resets the value to the empty one and forgets a read error.
  // Throws when the stored data could not be removed; then nothing changed.
  virtual void clear() = 0;
};

}  // namespace vorlane
