#include "coordination/calendar_focus/calendar_focus_model.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "coordination/commands/action_error.h"
#include "platform/persistence/in_memory_record_store.h"
#include "tests/support/fake_calendar_source.h"
#include "tests/support/fake_clock.h"
#include "tests/support/log_capture.h"
#include "tests/support/log_lines.h"
#include "tests/support/nested_json.h"

namespace vorlane {
namespace {

using State = CalendarFocusState;
using Kind = CalendarFocusState::Kind;

const Calendar berlin("Europe/Berlin", "en_GB");
const std::string key = CalendarFocusOptIn::key;

// Tuesday 2026-03-10 in Berlin.
Date at(int hour, int minute) { return *berlin.date(2026, 3, 10, hour, minute); }

class CalendarFocusModelTest : public ::testing::Test {
 protected:
  // A model over the fakes as they stand now; the opt-in is read here.
  CalendarFocusModel& make(const Calendar& zone = berlin) {
    model = std::make_unique<CalendarFocusModel>(
        CalendarFocusModel::Dependencies{.source = source,
                                         .clock = clock,
                                         .calendar = [zone] { return zone; },
                                         .maximumMinutes = [this] { return minutes; },
                                         .recordStore = &records});
    subscription = model->changes().subscribe([this] { ++changes; });
    return *model;
  }
  // A model opted in earlier, with access granted.
  CalendarFocusModel& enabledModel() {
    records.setData(key, "true");
    source->accessNow = CalendarAccess::granted;
    return make();
  }
  std::optional<std::string> stored() const { return records.rawBytes(key); }

  std::shared_ptr<FakeCalendarSource> source = std::make_shared<FakeCalendarSource>();
  std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>(at(10, 0));
  InMemoryRecordStore records;
  int minutes = 25;
  std::unique_ptr<CalendarFocusModel> model;
  Observers<>::Subscription subscription;
  int changes = 0;
};

TEST_F(CalendarFocusModelTest, OffersTheBlockThatEndsTwoMinutesBeforeTheNextMeeting) {
  auto& m = enabledModel();
  int done = 0;
  m.refresh([&] { ++done; });
  EXPECT_EQ(m.state(), State::checking());
  EXPECT_TRUE(m.isBusy());
  ASSERT_EQ(source->asked.size(), 1u);
  EXPECT_EQ(source->asked[0], (DateInterval{at(10, 0), at(10, 27)}));
  EXPECT_EQ(done, 0);

  clock->set(at(10, 0));
  source->answerRead(0, {{at(10, 20), at(10, 50)}});
  EXPECT_EQ(done, 1);
  EXPECT_EQ(m.state(), State::available({18, at(10, 18), at(10, 20)}));
  ASSERT_TRUE(m.opportunity());
  EXPECT_EQ(m.opportunity()->minutes, 18);
  EXPECT_EQ(m.checkedAt(), at(10, 0));
  EXPECT_FALSE(m.isBusy());
}

// The read ends at the horizon (the focus length within 5 to 90 minutes, plus two) or at the
// end of today, whichever comes first; the end of today is where the calendar puts it.
TEST_F(CalendarFocusModelTest, ReadsUpToTheHorizonOrTheEndOfToday) {
  const Calendar santiago("America/Santiago", "es_CL");
  struct Row {
    const char* name;
    Calendar zone;
    Date now;
    int minutes;
    double throughSeconds;  // after now
    std::optional<std::int64_t> offered;
  };
  const Row rows[] = {
      {"a morning", berlin, at(10, 0), 25, 27 * 60, 25},
      {"at 23:45 the day ends first", berlin, at(23, 45), 25, 15 * 60, 15},
      {"three minutes still read five, but offer nothing", berlin, at(10, 0), 3, 7 * 60,
       std::nullopt},
      {"no more than ninety", berlin, at(10, 0), 240, 92 * 60, 90},
      // Saturday 4 April 2026: at midnight the clocks go back to 23:00, so this day ends
      // 75 minutes after the first 23:45 and the whole horizon fits.
      {"the clocks go back at midnight", santiago, *santiago.date(2026, 4, 4, 23, 45), 25, 27 * 60,
       25},
      // Saturday 5 September 2026: midnight is skipped; the next day starts at 01:00, still
      // fifteen minutes later.
      {"the clocks skip midnight", santiago, *santiago.date(2026, 9, 5, 23, 45), 25, 15 * 60, 15},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    source = std::make_shared<FakeCalendarSource>();
    source->accessNow = CalendarAccess::granted;
    records.setData(key, "true");
    clock->set(row.now);
    minutes = row.minutes;
    auto& m = make(row.zone);
    m.refresh();
    ASSERT_EQ(source->asked.size(), 1u);
    EXPECT_EQ(source->asked[0].start, row.now);
    EXPECT_EQ(source->asked[0].end - row.now, row.throughSeconds);
    source->answerRead(0, {});
    if (row.offered) {
      EXPECT_EQ(m.state(),
                State::available({*row.offered, row.now + *row.offered * 60.0, std::nullopt}));
    } else {
      EXPECT_EQ(m.state(), State::noGap());
    }
  }
}

TEST_F(CalendarFocusModelTest, ThreeFreeMinutesAreNoGap) {
  auto& m = enabledModel();
  m.refresh();
  source->answerRead(0, {{at(10, 5), at(11, 0)}});  // 5 minutes, less the 2 kept free
  EXPECT_EQ(m.state(), State::noGap());
  EXPECT_EQ(m.checkedAt(), at(10, 0));
}

TEST_F(CalendarFocusModelTest, TheLastOperationBegunWinsWhateverOrderTheAnswersCome) {
  struct Row {
    const char* name;
    bool newerFirst;
  };
  for (const Row row : {Row{"older answer first", false}, Row{"newer answer first", true}}) {
    SCOPED_TRACE(row.name);
    source = std::make_shared<FakeCalendarSource>();
    auto& m = enabledModel();
    int olderDone = 0, newerDone = 0;
    m.refresh([&] { ++olderDone; });
    clock->set(at(10, 1));
    m.refresh([&] { ++newerDone; });
    ASSERT_EQ(source->pendingReads(), 2);

    const std::vector<BusyInterval> older{{at(10, 10), at(11, 0)}};
    const std::vector<BusyInterval> newer{{at(10, 20), at(11, 0)}};
    if (row.newerFirst) {
      source->answerRead(1, newer);
      source->answerRead(0, older);
    } else {
      source->answerRead(0, older);
      EXPECT_EQ(m.state(), State::checking());  // the older answer is dropped
      source->answerRead(1, newer);
    }
    EXPECT_EQ(m.state(), State::available({17, at(10, 18), at(10, 20)}));
    EXPECT_EQ(olderDone, 1);
    EXPECT_EQ(newerDone, 1);
  }
}

TEST_F(CalendarFocusModelTest, DisablingDuringAReadDropsItsResult) {
  auto& m = enabledModel();
  int done = 0;
  m.refresh([&] { ++done; });
  m.disable();
  EXPECT_EQ(m.state(), State::disabled());
  EXPECT_FALSE(m.isEnabled());
  EXPECT_EQ(stored(), "false");

  source->answerRead(0, {});
  EXPECT_EQ(done, 1);
  EXPECT_EQ(m.state(), State::disabled());
  EXPECT_FALSE(m.checkedAt());
}

TEST_F(CalendarFocusModelTest, AnInvalidGoalFailsAndReadsNothing) {
  struct Row {
    const char* name;
    std::string goal;
  };
  const Row rows[] = {
      {"empty", ""}, {"only white space", " \t\n "}, {"121 characters", std::string(121, 'a')}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto& m = enabledModel();
    const int revision = m.revision();
    std::optional<bool> result;
    int actions = 0;
    m.start(
        row.goal, [&](int, const std::string&) { ++actions; }, [&](bool ok) { result = ok; });
    EXPECT_EQ(result, false);
    EXPECT_EQ(actions, 0);
    EXPECT_EQ(m.state(), State::failed("Give this focus a goal of 1\u2013120 characters."));
    EXPECT_EQ(m.revision(), revision);
    EXPECT_TRUE(source->asked.empty());
  }
}

TEST_F(CalendarFocusModelTest, StartReadsAgainAndPassesTheFreshBlockAndTheCleanedGoal) {
  auto& m = enabledModel();
  m.refresh();
  source->answerRead(0, {{at(10, 20), at(11, 0)}});
  ASSERT_EQ(m.opportunity()->minutes, 18);

  std::optional<bool> result;
  std::vector<std::pair<int, std::string>> actions;
  m.start(
      "  Write\n the   outline ",
      [&](int minutes, const std::string& goal) { actions.emplace_back(minutes, goal); },
      [&](bool ok) { result = ok; });
  EXPECT_EQ(m.state(), State::checking());
  EXPECT_FALSE(result);
  source->answerRead(1, {{at(10, 12), at(11, 0)}});
  EXPECT_EQ(result, true);
  EXPECT_EQ(actions, (std::vector<std::pair<int, std::string>>{{10, "Write the outline"}}));
  EXPECT_EQ(m.state(), State::available({10, at(10, 10), at(10, 12)}));
}

TEST_F(CalendarFocusModelTest, StartEndsFalseWhenTheFreshReadOrTheActionSaysNo) {
  struct Row {
    const char* name;
    bool readFails;
    std::vector<BusyInterval> busy;
    bool actionThrows;
    State expected;
  };
  const std::string refusal =
      "A session is already active. Resume it, or stop it before starting a new focus.";
  const Row rows[] = {
      {"no gap any more", false, {{at(9, 0), at(11, 0)}}, false, State::noGap()},
      {"the read fails",
       true,
       {},
       false,
       State::failed("Calendar availability could not be read. No focus session was started. "
                     "Try refreshing.")},
      {"the coordinator refuses", false, {}, true, State::failed(refusal)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    source = std::make_shared<FakeCalendarSource>();
    auto& m = enabledModel();
    std::optional<bool> result;
    int actions = 0;
    m.start(
        "Review",
        [&](int, const std::string&) {
          ++actions;
          if (row.actionThrows) throw ActionError(ActionErrorCase::activeSession);
        },
        [&](bool ok) { result = ok; });
    if (row.readFails) {
      source->failRead(0);
    } else {
      source->answerRead(0, row.busy);
    }
    EXPECT_EQ(result, false);
    EXPECT_EQ(actions, row.actionThrows ? 1 : 0);
    EXPECT_EQ(m.state(), row.expected);
  }
}

TEST_F(CalendarFocusModelTest, StartWhileNotEnabledReadsNothing) {
  auto& m = make();
  std::optional<bool> result;
  m.start(
      "Review", [](int, const std::string&) { FAIL() << "must not start"; },
      [&](bool ok) { result = ok; });
  EXPECT_EQ(result, false);
  EXPECT_TRUE(source->asked.empty());
  EXPECT_EQ(m.state(), State::disabled());
}

TEST_F(CalendarFocusModelTest, EnablingAsksOnlyWhenNeverAskedAndStoresTheOutcome) {
  enum class Answer { grant, refuse, dismiss, fail, none };
  struct Row {
    const char* name;
    CalendarAccess initial;
    Answer answer;
    State expected;  // once the answer (and any read) is in
    std::optional<std::string> stored;
  };
  const Row rows[] = {
      {"already granted: straight to checking", CalendarAccess::granted, Answer::none,
       State::checking(), "true"},
      {"already refused: no question", CalendarAccess::refused, Answer::none,
       State::accessRequired(CalendarAccess::refused), "false"},
      {"asked and granted", CalendarAccess::notAsked, Answer::grant, State::checking(), "true"},
      {"asked and refused", CalendarAccess::notAsked, Answer::refuse,
       State::accessRequired(CalendarAccess::refused), "false"},
      {"the prompt closed unanswered", CalendarAccess::notAsked, Answer::dismiss,
       State::accessRequired(CalendarAccess::notAsked), "false"},
      {"the question failed", CalendarAccess::notAsked, Answer::fail,
       State::failed("Calendar permission could not be requested. Try again or check Settings."),
       "false"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    source = std::make_shared<FakeCalendarSource>();
    source->accessNow = row.initial;
    records = InMemoryRecordStore{};
    auto& m = make();
    int done = 0;
    m.enable([&] { ++done; });
    if (row.initial == CalendarAccess::notAsked) {
      EXPECT_EQ(m.state(), State::requesting());
      ASSERT_EQ(source->accessRequests.size(), 1u);
      EXPECT_EQ(done, 0);
      if (row.answer == Answer::grant) source->answerAccess(0, true);
      if (row.answer == Answer::refuse) source->answerAccess(0, false);
      if (row.answer == Answer::dismiss) source->dismissAccess(0);
      if (row.answer == Answer::fail) source->failAccess(0);
    } else {
      EXPECT_TRUE(source->accessRequests.empty());
    }
    EXPECT_EQ(m.state(), row.expected);
    EXPECT_EQ(stored(), row.stored);
    EXPECT_EQ(m.isEnabled(), row.stored == "true");
    if (m.isBusy()) {
      EXPECT_EQ(done, 0);
      source->answerRead(0, {});
      EXPECT_EQ(m.state().kind(), Kind::available);
    }
    EXPECT_EQ(done, 1);
  }
}

TEST_F(CalendarFocusModelTest, EnablingWhileBusyOnlyCompletes) {
  auto& m = enabledModel();
  m.refresh();
  const int revision = m.revision();
  int done = 0;
  m.enable([&] { ++done; });
  EXPECT_EQ(done, 1);
  EXPECT_EQ(m.revision(), revision);
  EXPECT_EQ(m.state(), State::checking());
  EXPECT_TRUE(source->accessRequests.empty());
}

TEST_F(CalendarFocusModelTest, LosingAccessClearsTheOptInWhetherBeforeOrDuringARead) {
  auto& m = enabledModel();
  m.refresh();
  source->answerRead(0, {});
  ASSERT_TRUE(m.checkedAt());

  m.refresh();
  source->accessNow = CalendarAccess::refused;  // while the read is under way
  source->answerRead(1, {});
  EXPECT_EQ(m.state(), State::accessRequired(CalendarAccess::refused));
  EXPECT_FALSE(m.isEnabled());
  EXPECT_FALSE(m.checkedAt());
  EXPECT_EQ(stored(), "false");

  // Opted in again, then refused before the next refresh: no read at all.
  records.setData(key, "true");
  auto& again = make();
  again.refresh();
  EXPECT_EQ(again.state(), State::accessRequired(CalendarAccess::refused));
  EXPECT_EQ(source->asked.size(), 2u);
  EXPECT_EQ(stored(), "false");
}

TEST_F(CalendarFocusModelTest, AFailedReadKeepsTheLastCheckTime) {
  auto& m = enabledModel();
  m.refresh();
  source->answerRead(0, {});
  clock->set(at(10, 30));
  m.refresh();
  source->failRead(1);
  EXPECT_EQ(m.state().kind(), Kind::failed);
  EXPECT_EQ(m.checkedAt(), at(10, 0));
  EXPECT_TRUE(m.isEnabled());
}

TEST_F(CalendarFocusModelTest, ARefreshWhileNotEnabledChangesNothingButDropsOlderReads) {
  auto& m = enabledModel();
  m.refresh();
  m.disable();
  const int before = changes;
  int done = 0;
  m.refresh([&] { ++done; });
  EXPECT_EQ(done, 1);
  EXPECT_EQ(changes, before);
  EXPECT_EQ(m.state(), State::disabled());
  source->answerRead(0, {});
  EXPECT_EQ(changes, before);
}

TEST_F(CalendarFocusModelTest, AWindowThatGoesAwayDropsItsReadButKeepsTheOptIn) {
  auto& m = enabledModel();
  m.refresh();
  m.windowDisappeared();
  EXPECT_EQ(m.state(), State::disabled());
  EXPECT_TRUE(m.isEnabled());
  source->answerRead(0, {});
  EXPECT_EQ(m.state(), State::disabled());
  EXPECT_EQ(stored(), "true");

  // Not busy: the state stays as it was.
  m.refresh();
  source->answerRead(1, {});
  m.windowDisappeared();
  EXPECT_EQ(m.state().kind(), Kind::available);
}

TEST_F(CalendarFocusModelTest, AnswersAfterTheModelIsGoneStillComplete) {
  auto& m = enabledModel();
  int refreshed = 0;
  std::optional<bool> started;
  m.refresh([&] { ++refreshed; });
  m.start(
      "Review", [](int, const std::string&) { FAIL() << "must not start"; },
      [&](bool ok) { started = ok; });
  model.reset();
  source->answerRead(1, {});
  source->answerRead(0, {});
  EXPECT_EQ(refreshed, 1);
  EXPECT_EQ(started, false);
}

TEST_F(CalendarFocusModelTest, TheStoredOptInIsReadAtLaunchAndAnUnreadableOneIsOffAndLogged) {
  struct Row {
    const char* name;
    std::optional<std::string> bytes;  // none: nothing stored
    bool unreadable;
    bool enabled;
    bool logged;
  };
  const Row rows[] = {
      {"nothing stored", std::nullopt, false, false, false},
      {"true", "true", false, true, false},
      {"false", "false", false, false, false},
      {"not JSON", "tru", false, false, true},
      {"a number", "1", false, false, true},
      {"a string", "\"true\"", false, false, true},
      {"unreadable file", "true", true, false, true},
      {"nested past the depth bound", testing::nestedArrays(100000), false, false, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    LogCapture log;
    records = InMemoryRecordStore{};
    if (row.bytes) records.setData(key, *row.bytes);
    if (row.unreadable) records.makeUnreadable(key, "Permission denied");
    const auto& m = make();
    EXPECT_EQ(m.isEnabled(), row.enabled);
    // Even opted in, nothing is read before the first refresh.
    EXPECT_EQ(m.state(), State::disabled());
    EXPECT_TRUE(source->asked.empty());
    EXPECT_EQ(logMessages(log, "pomodoro").size(), row.logged ? 1u : 0u);
    EXPECT_EQ(records.rawBytes(key), row.bytes);  // never rewritten by reading
  }
}

TEST_F(CalendarFocusModelTest, AFailedWriteOfTheOptInIsLoggedAndTheSessionGoesOn) {
  LogCapture log;
  source->accessNow = CalendarAccess::granted;
  auto& m = make();
  records.setFailing(true);
  m.enable();
  EXPECT_TRUE(m.isEnabled());
  EXPECT_EQ(m.state(), State::checking());
  EXPECT_FALSE(stored());
  const auto lines = logMessages(log, "pomodoro");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("could not save calendar suggestions setting: ", 0), 0u) << lines[0];
}

TEST_F(CalendarFocusModelTest, WithoutARecordStoreNothingIsKept) {
  model = std::make_unique<CalendarFocusModel>(
      CalendarFocusModel::Dependencies{.source = source,
                                       .clock = clock,
                                       .calendar = [] { return berlin; },
                                       .maximumMinutes = [] { return 25; },
                                       .recordStore = nullptr});
  source->accessNow = CalendarAccess::granted;
  EXPECT_FALSE(model->isEnabled());
  model->enable();
  EXPECT_TRUE(model->isEnabled());
  EXPECT_FALSE(stored());
}

TEST_F(CalendarFocusModelTest, ObserversHearEachRealChangeOnce) {
  auto& m = enabledModel();
  m.refresh();                // disabled -> checking
  source->answerRead(0, {});  // -> available, checkedAt set
  m.windowDisappeared();      // not busy: nothing changes
  m.disable();                // -> disabled, off
  m.disable();                // nothing changes
  EXPECT_EQ(changes, 3);
}

// After a refusal only asking again can change the answer: the prompt is shown even though
// the user was asked before, and a yes goes straight on to reading.
TEST_F(CalendarFocusModelTest, AskingAgainAfterARefusalShowsThePromptOnceMore) {
  enum class Answer { grant, refuse, dismiss };
  struct Row {
    const char* name;
    Answer answer;
    State state;
    bool enabled;
    std::optional<std::string> stored;
  };
  const Row rows[] = {
      {"a yes reads at once", Answer::grant, State::checking(), true, "true"},
      {"a second no stays refused", Answer::refuse, State::accessRequired(CalendarAccess::refused),
       false, "false"},
      {"a closed prompt keeps the refusal", Answer::dismiss,
       State::accessRequired(CalendarAccess::refused), false, "false"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    source = std::make_shared<FakeCalendarSource>();
    source->accessNow = CalendarAccess::refused;
    auto& m = make();
    m.enable();
    EXPECT_TRUE(source->accessRequests.empty()) << "enable never asks twice";
    EXPECT_EQ(m.state(), State::accessRequired(CalendarAccess::refused));

    int done = 0;
    m.askAgain([&] { ++done; });
    EXPECT_EQ(m.state(), State::requesting());
    ASSERT_EQ(source->accessRequests.size(), 1u);
    m.askAgain([&] { ++done; });
    EXPECT_EQ(source->accessRequests.size(), 1u) << "no second prompt while one is up";
    EXPECT_EQ(done, 1);

    if (row.answer == Answer::grant) source->answerAccess(0, true);
    if (row.answer == Answer::refuse) source->answerAccess(0, false);
    if (row.answer == Answer::dismiss) source->dismissAccess(0);
    EXPECT_EQ(m.state(), row.state);
    EXPECT_EQ(m.isEnabled(), row.enabled);
    EXPECT_EQ(stored(), row.stored);
    EXPECT_EQ(done, row.answer == Answer::grant ? 1 : 2) << "a yes completes after the read";
    if (row.answer == Answer::grant) {
      source->answerRead(0, {});
      EXPECT_EQ(done, 2);
    }
  }
}

}  // namespace
}  // namespace vorlane
