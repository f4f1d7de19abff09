#include "clean/DesktopCaches.h"

#include "clean/ExpandPath.h"
#include "clean/ReportSink.h"
#include "fileio/PathFence.h"

namespace hv {
namespace {

// Entries directly in the cache folder, as name patterns, and what their removal breaks.
constexpr const char* kDesktopCaches[] = {
    // Font cache: every program maps it at start; removed, each one rebuilds it and a
    // session full of programs stalls for seconds to minutes.
    "fontconfig",
    // KDE's service database, mapped by plasmashell and every KDE program; removed under
    // a running session, menus and file associations go blank or the shell crashes.
    "ksycoca*",
    // KDE's shared icon cache and Plasma's theme and QML caches, mapped by the running
    // shell: removing them is the known way to crash a Plasma session.
    "icon-cache.kcache",
    "plasma*",
    "kwin",
    // GNOME Shell's own cache (extension and app data it holds while it runs).
    "gnome-shell",
    // The GPU shader caches the compositor and the shell read from while they draw.
    "mesa_shader_cache*",
    "nvidia",
    // The input method daemon's bus and engine caches, held while the session runs.
    "ibus",
    // The desktop search index (GNOME Tracker), open in its miners; removed, the index is
    // rebuilt over hours and searches find nothing meanwhile.
    "tracker*",
    // Xfce keeps the saved session here: removed, the user's saved session is lost.
    "sessions",
    // Evolution keeps offline copies of mail and calendars here: the user's offline data.
    "evolution",
    // The sound theme cache of libcanberra, held open by the session's sound events.
    "event-sound-cache.tdb.*",
};

}  // namespace

void FenceDesktopCaches(PathFence& fence) {
  const std::string cache = ExpandPath("%Cache%");
  if (cache == "%Cache%") {
    return;  // no cache folder known: nothing to fence
  }
  for (const char* pattern : kDesktopCaches) {
    fence.AddMatching(cache, pattern, LeftReason::kDesktopNeedsIt);
  }
}

}  // namespace hv
