// Memory that runs out, for tests: preloaded (LD_PRELOAD) into the process under test, it fails
// every single allocation of more than FAILALLOC_ABOVE bytes, as malloc does when the system has no
// more to give. Smaller ones go through.
#include <cerrno>
#include <cstddef>
#include <cstdlib>

extern "C" {

void *__libc_malloc(size_t size);
void *__libc_realloc(void *pointer, size_t size);

namespace {

bool tooLarge(size_t size) {
    // getenv allocates nothing, so it may be asked from inside malloc.
    static const char *limit = std::getenv("FAILALLOC_ABOVE");
    return limit && size > std::strtoull(limit, nullptr, 10);
}

} // namespace

void *malloc(size_t size) {
    if (tooLarge(size)) {
        errno = ENOMEM;
        return nullptr;
    }
    return __libc_malloc(size);
}

void *realloc(void *pointer, size_t size) {
    if (tooLarge(size)) {
        errno = ENOMEM;
        return nullptr;
    }
    return __libc_realloc(pointer, size);
}

} // extern "C"
