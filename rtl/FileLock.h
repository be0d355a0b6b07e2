#pragma once
// Advisory locks (flock) that writers of one file or folder take in turn.

namespace rtl {

// Waits for the exclusive advisory lock of an open file or folder, through
// interruptions by signals; false, with errno set, when it cannot be had.
bool LockExclusive(int descriptor);

}  // namespace rtl
