// What the Windows platform shares with the Windows console backend: the
// event that a stop request sets, so that every wait ends at once.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>
#include <windows.h>

namespace common::platform {

// Set by Ctrl-C, Ctrl-Break and the closing of the console window, after
// the request is noted.
HANDLE stop_event();

enum class WaitResult { ready, timed_out, stopped, failed };

// Waits until `handle` is signalled, a stop request comes or `timeout_ms`
// (INFINITE: as long as it takes) runs out.
WaitResult wait_for(HANDLE handle, DWORD timeout_ms);

class Link;
// The same, ended also when `link` (when given) has something (bytes, its
// end, a connection made or refused): `ready` then. `handle` may be none.
WaitResult wait_for(HANDLE handle, Link* link, DWORD timeout_ms);

}  // namespace common::platform
