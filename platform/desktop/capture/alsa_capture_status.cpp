#include "platform/desktop/capture/alsa_capture_status.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <vector>

namespace vorlane {

namespace {

// A status file is a few lines; more is read in part, never whole.
constexpr std::size_t maxStatusBytes = 4096;

struct DirCloser {
  void operator()(DIR* d) const { closedir(d); }
};

// Names of the entries of `path` of the form prefix, digits, suffix ("card0", "pcm3c").
std::vector<std::string> subfolders(const std::string& path, std::string_view prefix,
                                    std::string_view suffix = {}) {
  std::vector<std::string> names;
  std::unique_ptr<DIR, DirCloser> dir(opendir(path.c_str()));
  if (!dir) return names;
  while (const dirent* entry = readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (name.size() <= prefix.size() + suffix.size()) continue;
    if (!name.starts_with(prefix) || !name.ends_with(suffix)) continue;
    const std::string_view digits =
        name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    if (digits.find_first_not_of("0123456789") != std::string_view::npos) continue;
    names.emplace_back(name);
  }
  return names;
}

std::string readSmallFile(const std::string& path) {
  std::string text;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return text;
  char buffer[512];
  while (text.size() < maxStatusBytes) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  return text;
}

}  // namespace

bool alsaStatusIsRunning(std::string_view statusText) {
  std::size_t start = 0;
  while (start < statusText.size()) {
    std::size_t end = statusText.find('\n', start);
    if (end == std::string_view::npos) end = statusText.size();
    std::string_view line = statusText.substr(start, end - start);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r' || line.back() == '\t')) {
      line.remove_suffix(1);
    }
    if (line == "state: RUNNING") return true;
    start = end + 1;
  }
  return false;
}

bool alsaCaptureRunning(const std::string& asoundRoot) {
  for (const std::string& card : subfolders(asoundRoot, "card")) {
    const std::string cardPath = asoundRoot + "/" + card;
    for (const std::string& pcm : subfolders(cardPath, "pcm", "c")) {
      const std::string pcmPath = cardPath + "/" + pcm;
      for (const std::string& sub : subfolders(pcmPath, "sub")) {
        if (alsaStatusIsRunning(readSmallFile(pcmPath + "/" + sub + "/status"))) return true;
      }
    }
  }
  return false;
}

}  // namespace vorlane
