// The temporary files of atomic writes, kept from outliving their writer: a
// table of the live ones that a signal handler can empty, a handler for the
// signals that end a program from outside, and the removal of temporaries
// whose writer died without a handler running (kill -9, a crash).
//
// A temporary of `target` is named ".BASE.PID.N.HEX.tmp" beside it: BASE the
// target's file name, PID the writer's process id, N and HEX what keeps two
// of one process apart.
#pragma once

#include <string>

namespace qx::host {

// The temporary name for `target`, for the process `pid`; `serial` and
// `stamp` make it unique within that process.
std::string temporaryNameFor(const std::string& target, long pid, unsigned serial, unsigned long long stamp);

// Record `path` as live until untracked. Answers its slot, or -1 when the
// table is full or the path too long (the file is then left to its writer
// and to removeStaleTemporaries).
int trackTemporary(const std::string& path);
// The slot's file is no longer the handler's to remove (it was renamed or
// unlinked). -1 is ignored.
void untrackTemporary(int slot);
// Unlink every tracked temporary. Async-signal-safe: the handler calls it.
void removeTrackedTemporaries();

// SIGINT, SIGTERM and SIGHUP remove the tracked temporaries, then end the
// program by the same signal with its default action. Safe to call again.
void removeTemporariesOnSignals();

// Remove the temporaries of `target` whose writer process no longer exists;
// those of a running process (this one included) are left alone. Answers how
// many were removed.
int removeStaleTemporaries(const std::string& target);

}  // namespace qx::host
