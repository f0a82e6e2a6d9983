#pragma once
// The log's file on disk: only a regular file is opened (a FIFO or a device
// is refused, never waited on), for appending, and one that has grown over
// the limit is moved to "<path>.1" first, so that runs never make it grow
// without end.

#include <cstdint>
#include <string>

// open() of the regular file at path for appending, creating it; -1 with
// errno set otherwise.
int OpenLogForAppending(const std::string& path);

// fd has the log at path open. While that file is not over limit, returns
// fd. Otherwise moves it to "<path>.1" (replacing an older one), closes fd
// and returns a descriptor of a new log at path. A file that another
// instance has moved meanwhile is not moved again: the log now at path is
// opened instead. When the move fails, the file is emptied so that the log
// stays bounded, and failure says what happened.
int RotateLogIfOver(int fd, const std::string& path, int64_t limit, std::string& failure);
