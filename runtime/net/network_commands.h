// The NET commands: host or join a session, create players and pass text
// messages. Player ids travel as decimal strings. No command raises a
// runtime error: failures answer 0, "0", "" or "NO_DATA".
#pragma once

#include "core/kvstr.h"

// Connection type 0 (TCP/IP) only; the fourth argument is not used. 1 on
// success. A session name over 258 or an address over 203 characters is
// refused (0) and leaves the current session alone.
double NETHOSTGAME(double connectionType, KvStr sessionName, KvStr address, double unused);
double NETJOINGAME(double connectionType, KvStr sessionName, KvStr address, double unused);
KvStr NETCREATEPLAYER_Str(KvStr name);
double NETDESTROYPLAYER(KvStr id);
double NETSENDMSG(KvStr fromId, KvStr toId, KvStr text);
KvStr NETGETMSG_Str(KvStr toId);
KvStr NETPLAYERNAME_Str(KvStr id);
double NETNUMPLAYERS();
KvStr NETGETPLAYERID_Str(double index);
