#include "platform/desktop/capture/pulse_capture_query.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/proplist.h>
#include <unistd.h>

#include <charconv>
#include <cstring>
#include <set>
#include <vector>

#include "platform/desktop/capture/capture_streams.h"

namespace vorlane {

namespace {

using Clock = std::chrono::steady_clock;

// One question: the two lists it needs and what they said.
struct Query {
  std::vector<CaptureStream> streams;
  std::set<std::uint32_t> monitors;
  int pendingLists = 0;
  bool started = false;
  bool failed = false;
  // Nothing listens at the server's address: the one case where ALSA may be read instead.
  bool serverAbsent = false;
  bool done() const { return failed || (started && pendingLists == 0); }
};

std::optional<long> parsePid(const char* text) {
  if (text == nullptr) return std::nullopt;
  const std::size_t length = std::strlen(text);
  long value = 0;
  const auto [end, error] = std::from_chars(text, text + length, value);
  if (error != std::errc() || end != text + length) return std::nullopt;
  return value;
}

void onSource(pa_context*, const pa_source_info* info, int eol, void* userdata) {
  auto* query = static_cast<Query*>(userdata);
  if (eol != 0) {
    if (eol < 0) query->failed = true;
    --query->pendingLists;
    return;
  }
  if (info != nullptr && info->monitor_of_sink != PA_INVALID_INDEX) {
    query->monitors.insert(info->index);
  }
}

void onSourceOutput(pa_context*, const pa_source_output_info* info, int eol, void* userdata) {
  auto* query = static_cast<Query*>(userdata);
  if (eol != 0) {
    if (eol < 0) query->failed = true;
    --query->pendingLists;
    return;
  }
  if (info == nullptr) return;
  CaptureStream stream;
  stream.corked = info->corked != 0;
  stream.source = info->source;
  if (info->proplist != nullptr) {
    stream.pid = parsePid(pa_proplist_gets(info->proplist, PA_PROP_APPLICATION_PROCESS_ID));
  }
  query->streams.push_back(stream);
}

void sendLists(pa_context* context, Query& query) {
  query.started = true;
  query.pendingLists = 2;
  pa_operation* sources = pa_context_get_source_info_list(context, onSource, &query);
  pa_operation* outputs = pa_context_get_source_output_info_list(context, onSourceOutput, &query);
  if (sources == nullptr || outputs == nullptr) query.failed = true;
  if (sources != nullptr) pa_operation_unref(sources);
  if (outputs != nullptr) pa_operation_unref(outputs);
}

bool refused(int error) {
  return error == PA_ERR_CONNECTIONREFUSED || error == PA_ERR_INVALIDSERVER;
}

}  // namespace

struct PulseCaptureQuery::Connection {
  Connection() : loop(pa_mainloop_new()) {}
  ~Connection() {
    close();
    if (loop != nullptr) pa_mainloop_free(loop);
  }

  static void onState(pa_context* context, void* userdata) {
    auto* self = static_cast<Connection*>(userdata);
    switch (pa_context_get_state(context)) {
      case PA_CONTEXT_READY:
        self->everReady = true;
        if (self->query && !self->query->started) sendLists(context, *self->query);
        break;
      case PA_CONTEXT_FAILED:
      case PA_CONTEXT_TERMINATED:
        if (self->query) {
          self->query->failed = true;
          self->query->serverAbsent = !self->everReady && refused(pa_context_errno(context));
        }
        break;
      default:
        break;
    }
  }

  // Starts connecting; false with `connectError` set when that fails at once.
  bool connect(const std::optional<std::string>& server) {
    context = pa_context_new(pa_mainloop_get_api(loop), "vorlane-probe");
    if (context == nullptr) return false;
    pa_context_set_state_callback(context, onState, this);
    // NOAUTOSPAWN: a missing server must not be started just to answer this question.
    if (pa_context_connect(context, server ? server->c_str() : nullptr, PA_CONTEXT_NOAUTOSPAWN,
                           nullptr) < 0) {
      connectError = pa_context_errno(context);
      return false;
    }
    return true;
  }

  // Runs the loop until the question is settled or `deadline` passes; at least one pass, and
  // past the deadline only passes that do not wait.
  void run(Clock::time_point deadline) {
    for (int pass = 0; !query->done(); ++pass) {
      const auto left =
          std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
      const bool late = left.count() <= 0;
      if (late && pass >= 8) return;
      if (pa_mainloop_prepare(loop, late ? 0 : static_cast<int>(left.count())) < 0 ||
          pa_mainloop_poll(loop) < 0) {
        query->failed = true;
        return;
      }
      const int dispatched = pa_mainloop_dispatch(loop);
      if (dispatched < 0) {
        query->failed = true;
        return;
      }
      if (late && dispatched == 0) return;
    }
  }

  void close() {
    if (context != nullptr) {
      pa_context_set_state_callback(context, nullptr, nullptr);
      pa_context_disconnect(context);
      pa_context_unref(context);
      context = nullptr;
    }
    // Only now: no callback of the dropped context can reach the question any more.
    query.reset();
    everReady = false;
    connectError = 0;
  }

  pa_mainloop* loop = nullptr;
  pa_context* context = nullptr;
  // The question in flight, on the heap so that the server's callbacks keep their address.
  std::unique_ptr<Query> query;
  Clock::time_point askedAt;
  bool everReady = false;
  int connectError = 0;
};

PulseCaptureQuery::PulseCaptureQuery(std::optional<std::string> server,
                                     std::chrono::milliseconds timeout, long ownPid,
                                     std::chrono::seconds giveUpAfter)
    : server_(std::move(server)),
      timeout_(timeout),
      ownPid_(ownPid < 0 ? long(getpid()) : ownPid),
      giveUpAfter_(giveUpAfter),
      connection_(std::make_unique<Connection>()) {}

PulseCaptureQuery::~PulseCaptureQuery() = default;
PulseCaptureQuery::PulseCaptureQuery(PulseCaptureQuery&&) noexcept = default;
PulseCaptureQuery& PulseCaptureQuery::operator=(PulseCaptureQuery&&) noexcept = default;

CaptureAnswer PulseCaptureQuery::isCapturing(std::chrono::milliseconds wait) {
  if (!connection_ || connection_->loop == nullptr) return CaptureAnswer::unknown;
  Connection& c = *connection_;
  const Clock::time_point now = Clock::now();

  // A question still open from an earlier call means the server was slow: only look.
  const bool leftOver = c.query && now - c.askedAt <= giveUpAfter_;
  if (c.query && !leftOver) c.close();  // hung too long: start over with a new connection
  if (!leftOver) {
    if (c.context != nullptr && !PA_CONTEXT_IS_GOOD(pa_context_get_state(c.context))) c.close();
    c.query = std::make_unique<Query>();
    c.askedAt = now;
    if (c.context == nullptr) {
      if (!c.connect(server_)) {
        const bool absent = refused(c.connectError);
        c.close();
        return absent ? CaptureAnswer::noServer : CaptureAnswer::unknown;
      }
    } else if (pa_context_get_state(c.context) == PA_CONTEXT_READY) {
      sendLists(c.context, *c.query);
    }
  }

  c.run(leftOver ? now : now + wait);
  if (!c.query->done()) return CaptureAnswer::unknown;
  if (c.query->failed) {
    const bool absent = c.query->serverAbsent;
    c.close();  // a failed connection or request: the next call connects afresh
    return absent ? CaptureAnswer::noServer : CaptureAnswer::unknown;
  }
  const bool active = anyCaptureStreamActive(c.query->streams, c.query->monitors, ownPid_);
  c.query.reset();
  return active ? CaptureAnswer::capturing : CaptureAnswer::idle;
}

}  // namespace vorlane
