#include "platform/desktop.h"

namespace tavrin::platform {

// Windows' own platform plugin knows the installed fonts (the offscreen one knows none here), and
// it needs no display: every program runs on it, whatever platform it would ask for elsewhere.
void prepareFontDrawing(const char *) {}

} // namespace tavrin::platform
