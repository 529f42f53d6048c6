#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <QByteArray>
#include <QGuiApplication>

// What every target shares: a Qt application on the offscreen platform (fonts and image readers
// need one), and a check that stops the run when a property of the code under test fails.
namespace tavrin::fuzz {

inline void startApplication(int *argc, char ***argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's warnings about malformed input are expected by the thousand; only findings matter.
    qputenv("QT_LOGGING_RULES", "*.debug=false;*.warning=false");
    static QGuiApplication app(*argc, *argv);
}

inline QByteArray bytesOf(const uint8_t *data, size_t size) {
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

} // namespace tavrin::fuzz

#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

#define TAVRIN_FUZZ_INITIALIZE                                                                                         \
    extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {                                                     \
        tavrin::fuzz::startApplication(argc, argv);                                                                    \
        return 0;                                                                                                      \
    }
