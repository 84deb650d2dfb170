#pragma once

#include <cstdlib>
#include <memory>

namespace vorlane {

// What xcb hands back (replies, errors, key code lists) is the caller's to free.
struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

// Takes ownership of what xcb returned, which may be null.
template <typename T>
XcbReply<T> owned(T* reply) {
  return XcbReply<T>(reply);
}

}  // namespace vorlane
