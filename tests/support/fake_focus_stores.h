#pragma once

#include <algorithm>
#include <exception>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/focus/focus_history_store.h"
#include "core/focus/focus_recovery_store.h"
#include "core/productivity/daily_priorities_store.h"
#include "tests/support/in_memory_document.h"

namespace vorlane {

// The stores of the focus session, held in memory; each document can be made to fail.

class FakeFocusRecoveryStore final : public FocusRecoveryStore {
 public:
  Document& document() override { return stored; }
  const Document& document() const override { return stored; }

  InMemoryDocument<std::optional<FocusCheckpoint>> stored{std::nullopt};
};

// A store's document held in memory as `stored`, and its load error set by hand; a new error
// is announced as the store's other changes are.
template <class Store, class Value>
class FakeDocumentStore : public Store {
 public:
  explicit FakeDocumentStore(Value empty) : stored(std::move(empty)) {}

  const std::optional<std::string>& errorMessage() const override { return errorMessage_; }
  void setErrorMessage(std::optional<std::string> message) override {
    errorMessage_ = std::move(message);
    this->changes_.notify();
  }
  typename Store::Document& document() override { return stored; }
  const typename Store::Document& document() const override { return stored; }

  InMemoryDocument<Value> stored;

 protected:
  std::optional<std::string> errorMessage_;
};

class FakeDailyPrioritiesStore final
    : public FakeDocumentStore<DailyPrioritiesStore, DailyPriorities> {
 public:
  FakeDailyPrioritiesStore() : FakeDocumentStore(DailyPriorities()) {}

  const DailyPriorities& plan() const override { return plan_; }
  void setPlan(DailyPriorities plan) override {
    plan_ = std::move(plan);
    changes_.notify();
  }
  void apply(const std::function<void(DailyPriorities&)>& change) override {
    DailyPriorities next = plan_;
    change(next);
    stored.save(next);
    setPlan(std::move(next));
  }
  void clear() override {
    stored.clear();
    plan_ = stored.value();
    errorMessage_.reset();
    changes_.notify();
  }

 private:
  DailyPriorities plan_;
};

class FakeFocusHistoryStore final
    : public FakeDocumentStore<FocusHistoryStore, std::vector<FocusHistoryEntry>> {
 public:
  FakeFocusHistoryStore() : FakeDocumentStore({}) {}

  const std::vector<FocusHistoryEntry>& entries() const override { return stored.value(); }
  void setEntries(std::vector<FocusHistoryEntry> entries) override {
    stored.put(std::move(entries));
    changes_.notify();
  }

  // One entry per session, newest first; breaks and unnamed focuses are not kept.
  void record(const PomodoroSession::Completion& completion,
              std::optional<UUID> priorityID = std::nullopt) override {
    if (completion.kind != PomodoroSession::Kind::work || completion.focus.empty()) return;
    std::vector<FocusHistoryEntry> list{{completion.sessionID, completion.focus,
                                         completion.duration, completion.finishedAt, std::nullopt,
                                         priorityID}};
    for (const FocusHistoryEntry& entry : entries()) {
      if (entry.id == completion.sessionID) {
        list.front().accomplishedAt = entry.accomplishedAt;
        if (!priorityID) list.front().priorityID = entry.priorityID;
      } else {
        list.push_back(entry);
      }
    }
    save(std::move(list));
  }
  void markAccomplished(const UUID& id, Date at) override {
    std::vector<FocusHistoryEntry> list = entries();
    const auto found = std::find_if(list.begin(), list.end(),
                                    [&](const FocusHistoryEntry& entry) { return entry.id == id; });
    if (found == list.end()) throw std::runtime_error("no such entry");
    notifyAccomplished(*found, at);
    if (!found->accomplishedAt) found->accomplishedAt = at;
    save(std::move(list));
  }
  void remove(const UUID& id) override {
    std::vector<FocusHistoryEntry> list = entries();
    std::erase_if(list, [&](const FocusHistoryEntry& entry) { return entry.id == id; });
    save(std::move(list));
  }
  void reportFailure(const std::exception& error) override {
    failures.push_back(error.what());
    if (!errorMessage_) setErrorMessage(std::string(saveFailedMessage));
  }

  std::vector<std::string> failures;

 private:
  void save(std::vector<FocusHistoryEntry> list) {
    stored.save(std::move(list));
    errorMessage_.reset();
    changes_.notify();
  }
};

}  // namespace vorlane
