#pragma once

#include <cstddef>

// Writes all size bytes to fd, going on after short writes and interruptions; false on any error.
bool WriteAll(int fd, const void* data, size_t size);
