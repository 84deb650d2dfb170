#include "core/motivation/encouragement_library.h"

#include <cstdint>
#include <string>
#include <utility>

namespace vorlane {
namespace {

using Moment = Encouragement::Moment;

// Functions, not globals, so the library is safe to build during static initialisation.
std::set<Moment> idleOnly() { return {Moment::idle}; }
std::set<Moment> breakOnly() { return {Moment::onBreak}; }
std::set<Moment> bothMoments() { return {Moment::idle, Moment::onBreak}; }

Encouragement quote(const char* id, const char* text, const char* author,
                    std::set<Moment> moments = idleOnly()) {
  return {id, text, std::string(author), std::move(moments)};
}

Encouragement tip(const char* id, const char* text, std::set<Moment> moments = idleOnly()) {
  return {id, text, std::nullopt, std::move(moments)};
}

std::vector<Encouragement> makeLibrary() {
  return {
      quote("quote-half-done", "He who has begun has half done.", "Horace"),
      quote("quote-begin-at-the-beginning",
            "Begin at the beginning, and go on till you come to the end: then stop.",
            "Lewis Carroll"),
      quote("quote-single-step", "The journey of a thousand miles begins with a single step.",
            "Lao Tzu"),
      quote("quote-objections",
            "Nothing will ever be attempted if all possible objections must be first overcome.",
            "Samuel Johnson"),
      quote("quote-lost-time", "Lost time is never found again.", "Benjamin Franklin"),
      quote("quote-waste-of-time",
            "It is not that we have a short time to live, but that we waste a lot of it.",
            "Seneca"),
      quote("quote-spend-our-days", "How we spend our days is, of course, how we spend our lives.",
            "Annie Dillard"),
      quote("quote-industrious-ants",
            "It is not enough to be industrious; so are the ants. What are you industrious "
            "about?",
            "Henry David Thoreau"),
      quote("quote-doing-efficiently",
            "There is nothing so useless as doing efficiently that which should not be done "
            "at all.",
            "Peter Drucker"),
      quote("quote-worth-doing-well", "Whatever is worth doing at all is worth doing well.",
            "Lord Chesterfield"),
      quote("quote-most-valuable-thing", "Time is the most valuable thing a man can spend.",
            "Theophrastus"),
      quote("quote-way-out-is-through", "The best way out is always through.", "Robert Frost"),
      quote("quote-concentration", "Concentration is the secret of strength.",
            "Ralph Waldo Emerson"),
      quote("quote-unplug-it",
            "Almost everything will work again if you unplug it for a few minutes, including "
            "you.",
            "Anne Lamott", bothMoments()),
      quote("quote-rested-field", "Take rest; a field that has rested gives a bountiful crop.",
            "Ovid", bothMoments()),
      tip("tip-one-thing", "One thing at a time. Which one is it?"),
      tip("tip-tiny-step", "Stuck? Pick the smallest next step and do just that."),
      tip("tip-tabs", "Close one tab you don\u2019t need right now."),
      tip("tip-phone", "Phone face down. Notifications can wait."),
      tip("tip-tomato", "One pomodoro. One task. You\u2019ve got this."),
      tip("tip-progress", "Progress, not perfection."),
      tip("tip-doing-great", "You\u2019re doing great. Keep going.", bothMoments()),
      tip("tip-small-steps", "Small steps still move you forward."),
      tip("tip-water", "Sip some water.", bothMoments()),
      tip("tip-shoulders", "Roll your shoulders. Unclench your jaw.", bothMoments()),
      tip("tip-eyes", "Look at something far away for twenty seconds.", bothMoments()),
      tip("tip-stand", "Stand up and stretch. The work will still be here.", breakOnly()),
      tip("tip-break-screen", "Step away from the screen. That\u2019s the whole break.",
          breakOnly()),
  };
}

Encouragement progressLine(int completedToday) {
  return {std::string(EncouragementLibrary::progressID),
          std::to_string(completedToday) + " focus sessions today. You\u2019re doing great.",
          std::nullopt, bothMoments()};
}

}  // namespace

const std::vector<Encouragement>& EncouragementLibrary::all() {
  static const std::vector<Encouragement> library = makeLibrary();
  return library;
}

Encouragement EncouragementLibrary::pick(const EncouragementContext& context,
                                         const std::set<std::string>& excluding,
                                         RandomGenerator& generator) {
  if (context.completedToday >= 2 && !excluding.contains(std::string(progressID))) {
    if (uniformBelow(generator, 4) == 0) return progressLine(context.completedToday);
  }
  std::vector<const Encouragement*> candidates;
  for (const Encouragement& entry : all()) {
    if (entry.moments.contains(context.moment)) candidates.push_back(&entry);
  }
  std::vector<const Encouragement*> pool;
  for (const Encouragement* entry : candidates) {
    if (!excluding.contains(entry->id)) pool.push_back(entry);
  }
  if (pool.empty()) pool = candidates;
  return *pool[uniformBelow(generator, pool.size())];
}

}  // namespace vorlane
