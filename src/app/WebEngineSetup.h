#pragma once

namespace hv {

// What the web engine needs before the QApplication exists: shared OpenGL contexts and
// the scheme that serves the selection pages.
void PrepareWebEngine();

}  // namespace hv
