#pragma once

#include <sys/types.h>

#include <cstddef>

// Writes all size bytes to fd, going on after short writes and interruptions; false on any error.
bool WriteAll(int fd, const void* data, size_t size);
// The same from the file offset on, leaving the descriptor's own offset alone.
bool WriteAllAt(int fd, const void* data, size_t size, off_t offset);
