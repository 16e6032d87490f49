#pragma once

#include <functional>

// The advisory lock (flock) on a contour file that makes runs and readers
// take turns: a run holds its file exclusively while it writes it, a reader
// holds it shared while it reads it, so that no reader sees a run part way.

enum class lock_mode { shared, exclusive };

// Takes the lock on `fd`. When another holds a lock that excludes it,
// `before_waiting` is called once (to say so), then the lock is waited
// for, going on after signals that interrupt the wait; a signal that ends
// the process ends the wait. A file that takes no lock (some devices and
// file systems) is left unlocked.
void lock_file(int fd, lock_mode mode, const std::function<void()>& before_waiting);
