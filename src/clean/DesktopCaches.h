#pragma once

namespace hv {

class PathFence;

// Fences the entries of the user's cache folder that the running desktop session holds or
// that keep state the user would lose: no cache item may empty them under its feet.
void FenceDesktopCaches(PathFence& fence);

}  // namespace hv
