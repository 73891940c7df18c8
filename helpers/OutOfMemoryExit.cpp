// The decoder process replaces the allocator's entry points with glibc's own behind a check: an
// allocation refused by the address-space limit ends the process with its own exit code. FreeImage and
// the libraries under it would otherwise report most such failures as an unreadable picture, and the
// user could not tell a hostile picture from a damaged one.
#include "editor/codecs/SandboxedDecoder.h"

#include <cstddef>
#include <unistd.h>

extern "C" {

void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* pointer);

namespace {

void* Checked(void* pointer, size_t size)
{
    if (!pointer && size != 0)
        _exit(SandboxedDecoder::kExitOutOfMemory);
    return pointer;
}

} // namespace

void* malloc(size_t size)
{
    return Checked(__libc_malloc(size), size);
}

void* calloc(size_t count, size_t size)
{
    return Checked(__libc_calloc(count, size), count * size);
}

void* realloc(void* pointer, size_t size)
{
    return Checked(__libc_realloc(pointer, size), size);
}

void free(void* pointer)
{
    __libc_free(pointer);
}

void* memalign(size_t alignment, size_t size)
{
    return Checked(__libc_memalign(alignment, size), size);
}

void* aligned_alloc(size_t alignment, size_t size)
{
    return Checked(__libc_memalign(alignment, size), size);
}

int posix_memalign(void** out, size_t alignment, size_t size)
{
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0)
        return 22; // EINVAL
    *out = Checked(__libc_memalign(alignment, size), size);
    return 0;
}

void* valloc(size_t size)
{
    return Checked(__libc_memalign(size_t(sysconf(_SC_PAGESIZE)), size), size);
}

void* pvalloc(size_t size)
{
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    return Checked(__libc_memalign(page, (size + page - 1) & ~(page - 1)), size);
}

} // extern "C"
