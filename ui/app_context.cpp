#include "ui/app_context.h"

#include <time.h>

#include <cstdio>

namespace velmoran::ui {

void LogShown(const TAppContext& context, const char* kind, const QString& text) {
  if (!context.LogShownTexts) return;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  std::fprintf(stderr, "shown %lld.%06ld %s: %s\n", static_cast<long long>(now.tv_sec),
               now.tv_nsec / 1000, kind, text.toUtf8().constData());
  std::fflush(stderr);
}

}  // namespace velmoran::ui
