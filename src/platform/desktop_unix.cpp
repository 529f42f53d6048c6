#include "platform/desktop.h"

#include <QtGlobal>

namespace tavrin::platform {

// Every platform plugin here draws with FreeType and finds the fonts through fontconfig.
void prepareFontDrawing(const char *platform) {
    if (platform && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", platform);
    }
}

} // namespace tavrin::platform
