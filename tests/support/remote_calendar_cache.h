#pragma once

#include <gtest/gtest.h>
#include <libedata-cal/libedata-cal.h>

#include <filesystem>
#include <string>

namespace vorlane::testing {

// Puts `event` (an iCalendar VEVENT) in the calendar service's cache in `folder`, as if a
// remote calendar had held it when it was last reached.
inline void fillRemoteCache(const std::filesystem::path& folder, const std::string& event) {
  std::filesystem::create_directories(folder);
  GError* error = nullptr;
  ECalCache* cache = e_cal_cache_new((folder / "cache.db").c_str(), nullptr, &error);
  ASSERT_NE(cache, nullptr) << error->message;
  ECalComponent* component = e_cal_component_new_from_string(event.c_str());
  ASSERT_NE(component, nullptr);
  EXPECT_TRUE(
      e_cal_cache_put_component(cache, component, nullptr, 0, E_CACHE_IS_ONLINE, nullptr, &error))
      << error->message;
  g_object_unref(component);
  g_object_unref(cache);
}

}  // namespace vorlane::testing
