#pragma once
// The login sessions' outside world in the running program: the viewer
// accounts of the system block, the channel objects of g_pAVChannel, a real
// CStreamSender per viewer and the main dialog's event log (through the
// channels' host). Hand it to StartLoginServer.

#include "netservice/net_session_host.h"

// The one process-wide instance; never null.
INetSessionHost* GetChannelSessionHost();
