#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace vorlane {

// A list of callbacks told of a change, for owners that publish state without Qt.
// Subscribing returns a Subscription; the callback stays until that is destroyed or
// cancelled. Either side may go first: a Subscription that outlives its list does nothing.
// Single-threaded. A callback may subscribe or cancel (itself or others) while being told;
// one cancelled during a notification is not called later in it, one added is called from
// the next notification on. An exception from a callback goes to whoever notified.
template <class... Args>
class Observers {
  struct Entry {
    std::function<void(const Args&...)> callback;
    bool active = true;
  };
  using List = std::vector<std::shared_ptr<Entry>>;

 public:
  using Callback = std::function<void(const Args&...)>;

  class Subscription {
   public:
    Subscription() = default;
    Subscription(Subscription&& other) noexcept { *this = std::move(other); }
    Subscription& operator=(Subscription&& other) noexcept {
      if (this != &other) {
        cancel();
        list_ = std::move(other.list_);
        entry_ = std::move(other.entry_);
      }
      return *this;
    }
    ~Subscription() { cancel(); }

    // Stops the callback; later calls do nothing.
    void cancel() {
      if (auto entry = entry_.lock()) {
        entry->active = false;
        entry->callback = nullptr;
        if (auto list = list_.lock()) std::erase(*list, entry);
      }
      entry_.reset();
      list_.reset();
    }

   private:
    friend class Observers;
    Subscription(std::weak_ptr<List> list, std::weak_ptr<Entry> entry)
        : list_(std::move(list)), entry_(std::move(entry)) {}

    std::weak_ptr<List> list_;
    std::weak_ptr<Entry> entry_;
  };

  Observers() = default;
  // A copy would share or drop subscriptions silently; owners keep one list each.
  Observers(const Observers&) = delete;
  Observers& operator=(const Observers&) = delete;

  [[nodiscard]] Subscription subscribe(Callback callback) {
    auto entry = std::make_shared<Entry>(Entry{std::move(callback)});
    list_->push_back(entry);
    return Subscription(list_, entry);
  }

  // Calls every callback subscribed before this call, in subscription order.
  void notify(const Args&... args) const {
    const List snapshot = *list_;
    for (const auto& entry : snapshot) {
      if (entry->active && entry->callback) {
        // A copy, so a callback that cancels itself does not destroy what is running.
        const Callback callback = entry->callback;
        callback(args...);
      }
    }
  }

 private:
  std::shared_ptr<List> list_ = std::make_shared<List>();
};

}  // namespace vorlane
