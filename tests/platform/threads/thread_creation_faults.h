#pragma once
// Thread creation that fails on request, for tests of start-up failures.
// The test program's own pthread_create stands in front of the system's:
// while set it answers EAGAIN, as the system does when it is out of
// threads, so every thread the program starts fails the way a real one
// would; otherwise it hands the call on.

void SetThreadCreationFails(bool fail);
