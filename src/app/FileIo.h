#pragma once
// The one loop that writes everything and the one that reads until a count
// is reached, over File (FileSystem.h): short writes and short reads are
// continued, a call that moves nothing ends the loop. Any thread.
#include "app/FileSystem.h"

// Writes all `n` bytes; 0, or the errno of the failure (EIO when a write
// moved nothing without saying why). What was written before stays written.
int WriteAll(File& file, const void* data, size_t n);
// Reads until `n` bytes are in or the file ends: `got` says how many; 0 or
// the errno of a failed read.
int ReadFull(File& file, void* buffer, size_t n, size_t& got);
