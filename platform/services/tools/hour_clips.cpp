// Records the 24 hour clips ("hour-<h>-<00|30>.wav", h 0-11) into the folder given as the
// only argument: each says the default phrase for that time in libflite's slt voice.

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

extern "C" {
#include <flite/flite.h>

cst_voice* register_cmu_us_slt(const char* voxdir);
}

#include "core/visits/phrase_formatter.h"
#include "foundation/calendar.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "cannot create %s: %s\n", folder.c_str(), error.message().c_str());
    return 1;
  }

  flite_init();
  cst_voice* voice = register_cmu_us_slt(nullptr);
  if (voice == nullptr) {
    std::fprintf(stderr, "cannot load the slt voice\n");
    return 1;
  }

  // The phrase depends only on the wall time, so any zone and day will do.
  const vorlane::Calendar calendar("UTC");
  const vorlane::PhraseFormatter formatter(std::string(vorlane::PhraseFormatter::defaultTemplate),
                                           calendar);
  for (int hour = 0; hour < 12; ++hour) {
    for (int minute : {0, 30}) {
      const auto moment = calendar.date(2001, 1, 1, hour, minute);
      if (!moment) {
        std::fprintf(stderr, "no date for %d:%02d\n", hour, minute);
        return 1;
      }
      const std::string phrase = formatter.phrase(*moment);
      const std::string name =
          "hour-" + std::to_string(hour) + (minute == 0 ? "-00" : "-30") + ".wav";
      cst_wave* wave = flite_text_to_wave(phrase.c_str(), voice);
      if (wave == nullptr || cst_wave_num_samples(wave) == 0) {
        std::fprintf(stderr, "no sound for \"%s\"\n", phrase.c_str());
        return 1;
      }
      const std::string target = (folder / name).string();
      const int saved = cst_wave_save_riff(wave, target.c_str());
      delete_wave(wave);
      if (saved != 0) {
        std::fprintf(stderr, "cannot write %s\n", target.c_str());
        return 1;
      }
    }
  }
  return 0;
}
