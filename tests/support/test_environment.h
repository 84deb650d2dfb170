#pragma once

// What a test and every program it starts find in their environment: the caller's PATH,
// locale and time zone, a home and XDG base folders of the test's own, and nothing of the
// caller's session (its buses, display, sound server, toolkit and folder settings). A test run
// from a terminal of a desktop session then behaves as on a bare machine, and writes nowhere
// but in its own folders. Each test binary replaces its own environment so before it starts
// (test_environment.cpp); what a test's programs need besides (a display, buses, another
// home) the test names when it starts them, and wins over what they inherit.

#include <stdlib.h>

#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane::testing {

class TestEnvironment {
 public:
  // What ctest sets for a test itself comes under this prefix (VORLANE_TEST_SET_QT_QPA_PLATFORM
  // for QT_QPA_PLATFORM): the caller's own variable of the name is dropped like the rest.
  static constexpr std::string_view setByTestPrefix = "VORLANE_TEST_SET_";

  // The caller's entries ("NAME=value") a test keeps: the programs' search path, locale, time
  // zone and temporary folder, the tests' own knobs (VORLANE_*, GTEST_*) and the sanitizers'
  // options; each VORLANE_TEST_SET_<NAME>=value as <NAME>=value, over the caller's <NAME>.
  static std::vector<std::string> kept(const char* const* entries) {
    std::vector<std::string> setByTest, keep;
    for (; entries != nullptr && *entries != nullptr; ++entries) {
      const std::string_view entry(*entries);
      const auto name = entry.substr(0, entry.find('='));
      if (name.starts_with(setByTestPrefix)) {
        if (name.size() > setByTestPrefix.size()) {
          setByTest.emplace_back(entry.substr(setByTestPrefix.size()));
        }
      } else if (keeps(name)) {
        keep.emplace_back(entry);
      }
    }
    return merged(setByTest, keep);
  }

  // HOME and the XDG base folders (configuration, data, cache, state, runtime) in `home`, laid
  // out as in a user's home; the folders are made, the runtime one private as the base
  // directory rules ask.
  static std::vector<std::string> homeAt(const std::filesystem::path& home) {
    const std::string h = home.string();
    std::vector<std::string> entries{"HOME=" + h,
                                     "XDG_CONFIG_HOME=" + h + "/.config",
                                     "XDG_DATA_HOME=" + h + "/.local/share",
                                     "XDG_CACHE_HOME=" + h + "/.cache",
                                     "XDG_STATE_HOME=" + h + "/.local/state",
                                     "XDG_RUNTIME_DIR=" + h + "/runtime"};
    std::error_code ignored;
    for (const std::string& entry : entries) {
      std::filesystem::create_directories(entry.substr(entry.find('=') + 1), ignored);
    }
    std::filesystem::permissions(home / "runtime", std::filesystem::perms::owner_all, ignored);
    return entries;
  }

  // `first` over `then`, one entry per name, the first of a name winning: a child given a
  // variable twice would read one or the other as its program happens to.
  static std::vector<std::string> merged(const std::vector<std::string>& first,
                                         const std::vector<std::string>& then) {
    std::vector<std::string> all;
    std::set<std::string> names;
    for (const auto* list : {&first, &then}) {
      for (const std::string& entry : *list) {
        if (names.insert(entry.substr(0, entry.find('='))).second) all.push_back(entry);
      }
    }
    return all;
  }

  // Makes `entries` this process's whole environment.
  static void replaceOwn(const std::vector<std::string>& entries) {
    ::clearenv();
    for (const std::string& entry : entries) {
      const auto at = entry.find('=');
      if (at != std::string::npos && at > 0) {
        ::setenv(entry.substr(0, at).c_str(), entry.c_str() + at + 1, 1);
      }
    }
  }

 private:
  static bool keeps(std::string_view name) {
    for (const std::string_view exact : {"PATH", "LANG", "LANGUAGE", "TZ", "TMPDIR"}) {
      if (name == exact) return true;
    }
    for (const std::string_view prefix : {"LC_", "VORLANE_", "GTEST_"}) {
      if (name.starts_with(prefix)) return true;
    }
    return name.ends_with("SAN_OPTIONS");
  }
};

}  // namespace vorlane::testing
