// A chat over a network session, in generated form:
//   net_chat host NAME [ADDRESS]   hosts the session NAME (on ADDRESS, or on
//                                  every local address)
//   net_chat join NAME [ADDRESS]   joins it (ADDRESS empty: asks the local
//                                  network by broadcast)
// Type lines into the terminal: each goes to every other player; lines from
// the others are printed. An empty input line, the end of input or Escape
// in the window ends the program. KV_NET_PORT changes the session port.
#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"

static KvStr mode, session, address, me, other, line, message;
static double ok, count, i;
static std::string pending, typed;

// Splits the command line into its first three words.
static void ReadArguments()
{
    char words[3][1024] = {{0}, {0}, {0}};
    std::sscanf(g_cmdline.GetStrData(), "%1023s %1023s %1023s", words[0], words[1], words[2]);
    mode = words[0];
    session = words[1];
    address = words[2];
}

static void Say(const char* text)
{
    std::printf("%s\n", text);
    std::fflush(stdout);
}

static void __MainGameSub_()
{
    __dLn(0, 0);  ReadArguments();
    __dLn(0, 1);  if (session.Length() == 0) { Say("usage: net_chat host|join NAME [ADDRESS]"); END(); }
    __dLn(0, 2);  ok = 0;
    __dLn(0, 3);  if (mode.Compare("host") == 0) ok = NETHOSTGAME(0, session, address, 0); else ok = NETJOINGAME(0, session, address, 0);
    __dLn(0, 4);  if (ok == 0) { Say("no session"); END(); }
    __dLn(0, 5);  me = NETCREATEPLAYER_Str(mode);
    __dLn(0, 6);  Say((KvStr("ready, player ") + me).GetStrData());
    __dLn(0, 7);  while (true) {
    __dLn(0, 8);      SHOWSCREEN();
    __dLn(0, 9);      message = NETGETMSG_Str(me);
    __dLn(0, 10);     while (message.Length() > 0) {
    __dLn(0, 11);         Say((KvStr("> ") + message).GetStrData());
    __dLn(0, 12);         message = NETGETMSG_Str(me);
    __dLn(0, 13);     }
    __dLn(0, 14);     if (NETNUMPLAYERS() == 0) { Say("session ended"); END(); }
    __dLn(0, 15);     ok = platform::ReadConsoleLine(&pending, &typed);
    __dLn(0, 16);     if (ok < 0 || (ok > 0 && typed.empty())) END();
    __dLn(0, 17);     if (ok > 0) {
    __dLn(0, 18);         line = typed.substr(0, KvStr::kMaxStored).c_str();
    __dLn(0, 19);         count = NETNUMPLAYERS();
    __dLn(0, 20);         for (i = 0; i < count; i = i + 1) {
    __dLn(0, 21);             other = NETGETPLAYERID_Str(i);
    __dLn(0, 22);             if (other.Compare(me) != 0) NETSENDMSG(me, other, line);
    __dLn(0, 23);         }
    __dLn(0, 24);     }
    __dLn(0, 25); }
}

int WinMain(void* hInstance, void* hPrevInstance, char* lpCmdLine, int nCmdShow)
{
    g_cmdline = lpCmdLine;
    KV_RESX = 320;
    KV_RESY = 240;
    KV_FULLSCREEN = 0;
    KV_FRAMERATE = 60;
    KV_DEBUG = 1;
    KV_WANTMOUSE = 0;
    __GlobalInit(hInstance, hPrevInstance, g_cmdline.GetStrData(), nCmdShow, "net_chat");
    g_my = 100;
    g_mx = 100;
    g_errorline = 0;
    g_error = 0;
    g_debugline = 0;
    __MainGameSub_();
    return 0;
}
