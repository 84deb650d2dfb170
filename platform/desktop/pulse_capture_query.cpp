#include "platform/desktop/pulse_capture_query.h"

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/proplist.h>
#include <unistd.h>

#include <charconv>
#include <cstring>
#include <memory>

#include "platform/desktop/capture_streams.h"

namespace vorlane {

namespace {

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

void onState(pa_context* context, void* userdata) {
  auto* query = static_cast<Query*>(userdata);
  switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY: {
      if (query->started) return;
      query->started = true;
      query->pendingLists = 2;
      pa_operation* sources = pa_context_get_source_info_list(context, onSource, query);
      pa_operation* outputs =
          pa_context_get_source_output_info_list(context, onSourceOutput, query);
      if (sources == nullptr || outputs == nullptr) query->failed = true;
      if (sources != nullptr) pa_operation_unref(sources);
      if (outputs != nullptr) pa_operation_unref(outputs);
      break;
    }
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
      query->failed = true;
      query->serverAbsent =
          !query->started && pa_context_errno(context) == PA_ERR_CONNECTIONREFUSED;
      break;
    default:
      break;
  }
}

struct MainloopDeleter {
  void operator()(pa_mainloop* m) const { pa_mainloop_free(m); }
};
struct ContextDeleter {
  void operator()(pa_context* c) const {
    pa_context_set_state_callback(c, nullptr, nullptr);
    pa_context_disconnect(c);
    pa_context_unref(c);
  }
};

}  // namespace

PulseCaptureQuery::PulseCaptureQuery(std::optional<std::string> server,
                                     std::chrono::milliseconds timeout, long ownPid)
    : server_(std::move(server)),
      timeout_(timeout),
      ownPid_(ownPid < 0 ? long(getpid()) : ownPid) {}

CaptureAnswer PulseCaptureQuery::isCapturing() const {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + timeout_;

  // Declared first so that it outlives the context and any callback still pending in it.
  Query query;
  std::unique_ptr<pa_mainloop, MainloopDeleter> loop(pa_mainloop_new());
  if (!loop) return CaptureAnswer::unknown;
  std::unique_ptr<pa_context, ContextDeleter> context(
      pa_context_new(pa_mainloop_get_api(loop.get()), "vorlane-probe"));
  if (!context) return CaptureAnswer::unknown;

  pa_context_set_state_callback(context.get(), onState, &query);
  // NOAUTOSPAWN: a missing server must not be started just to answer this question.
  if (pa_context_connect(context.get(), server_ ? server_->c_str() : nullptr,
                         PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
    const int error = pa_context_errno(context.get());
    return error == PA_ERR_CONNECTIONREFUSED || error == PA_ERR_INVALIDSERVER
               ? CaptureAnswer::noServer
               : CaptureAnswer::unknown;
  }
  while (!query.done()) {
    const auto left =
        std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
    if (left.count() <= 0) return CaptureAnswer::unknown;
    if (pa_mainloop_prepare(loop.get(), static_cast<int>(left.count())) < 0 ||
        pa_mainloop_poll(loop.get()) < 0 || pa_mainloop_dispatch(loop.get()) < 0) {
      return CaptureAnswer::unknown;
    }
  }
  if (query.serverAbsent) return CaptureAnswer::noServer;
  if (query.failed) return CaptureAnswer::unknown;
  return anyCaptureStreamActive(query.streams, query.monitors, ownPid_) ? CaptureAnswer::capturing
                                                                        : CaptureAnswer::idle;
}

}  // namespace vorlane
