#pragma once

// A session ending or a caller's "cancel" (SIGTERM, SIGINT, SIGHUP) asks a
// long command to stop: the command checks between its steps, cleans up
// and leaves nothing half-written. Install once, from the main thread.
void InstallStopRequest();
// Whether a stop was asked for; callable from any thread.
bool StopRequested();
