#pragma once

// What meslek-reader allows itself, set before it touches the file: libmdb's
// options from the environment dropped, SIGPIPE ignored (a closed stream is
// a failed write), death with the program that started it, no core dumps and,
// unless sanitized, 4 GiB of address space, so that a damaged file that
// makes libmdb allocate without end fails here and not on the whole machine.
void confineReader();

// Moves standard output, where the stream goes, to a private descriptor
// (close-on-exec, 3 or above) and points fd 1 at /dev/null, so that anything
// libmdb prints cannot end up inside the stream. Returns the stream's
// descriptor, or -1 when it cannot be moved.
int takeStreamFd();
