#include "core/command_table.h"

#include <cctype>
#include <string>
#include <unordered_map>

namespace kvcommands {

const Command kCommands[] = {
    // Program frame
    {"END", "", 'n', "END"},
    // Strings
    {"LEN", "v", 'n', "LEN"},
    {"MID$", "s n n", 's', "MID_Str"},
    {"ASC", "s", 'n', "ASC"},
    {"CHR$", "n", 's', "CHR_Str"},
    {"FORMAT$", "n n n", 's', "FORMAT_Str"},
    {"VAL", "s", 'n', "VAL"},
    {"LEFT$", "s n", 's', "LEFT_Str"},
    {"RIGHT$", "s n", 's', "RIGHT_Str"},
    {"INSTR", "s s n?", 'n', "INSTR"},
    {"UCASE$", "s", 's', "UCASE_Str"},
    {"LCASE$", "s", 's', "LCASE_Str"},
    {"TRIM$", "s", 's', "TRIM_Str"},
    {"STR$", "n", 's', "STR_Str"},
    {"REPLACE$", "s s s", 's', "REPLACE_Str"},
    {"SPLIT", "s s A", 'n', "SPLIT"},
    // Maths and random numbers
    {"SIN", "n", 'n', "SIN"},
    {"COS", "n", 'n', "COS"},
    {"TAN", "n", 'n', "TAN"},
    {"ATAN", "n n", 'n', "ATAN"},
    {"ASIN", "n", 'n', "ASIN"},
    {"ACOS", "n", 'n', "ACOS"},
    {"SQR", "n", 'n', "SQR"},
    {"ABS", "n", 'n', "ABS"},
    {"POW", "n n", 'n', "POW"},
    {"MOD", "n n", 'n', "MOD"},
    {"RND", "n", 'n', "RND"},
    {"INT", "n", 'n', "INT"},
    {"FIX", "n", 'n', "FIX"},
    {"SGN", "n", 'n', "SGN"},
    {"ROUND", "n", 'n', "ROUND"},
    {"MIN", "n n", 'n', "MIN"},
    {"MAX", "n n", 'n', "MAX"},
    {"RGB", "n n n", 'n', "RGB"},
    {"BAND", "n n", 'n', "BAND"},
    {"BOR", "n n", 'n', "BOR"},
    {"BXOR", "n n", 'n', "BXOR"},
    {"BNOT", "n", 'n', "BNOT"},
    {"SHL", "n n", 'n', "SHL"},
    {"SHR", "n n", 'n', "SHR"},
    // Arrays
    {"DIM", "x n n? n? n? n? n? n? n?", 'n', "DIM"},
    {"BOUNDS", "x n", 'n', "BOUNDS"},
    // Frame presentation and timing
    {"SHOWSCREEN", "", 'n', "SHOWSCREEN"},
    {"LIMITFPS", "n", 'n', "LIMITFPS"},
    {"GETTIMER", "", 'n', "GETTIMER"},
    {"GETTIMERALL", "", 'n', "GETTIMERALL"},
    {"BLACKSCREEN", "", 'n', "BLACKSCREEN"},
    // Media archive
    {"SETSHOEBOX", "s s", 'n', "SETSHOEBOX"},
    // Bitmaps, sprites and drawing
    {"LOADSPRITE", "s n", 'n', "LOADSPRITE"},
    {"LOADBUMPTEXTURE", "s n", 'n', "LOADBUMPTEXTURE"},
    {"LOADBMP", "s", 'n', "LOADBMP"},
    {"BLENDSCREEN", "s", 'n', "BLENDSCREEN"},
    {"USEASBMP", "", 'n', "USEASBMP"},
    {"GRABSPRITE", "n n n n n", 'n', "GRABSPRITE"},
    {"SAVEBMP", "s", 'n', "SAVEBMP"},
    {"SPRITE", "n n n", 'n', "SPRITE"},
    {"STRETCHSPRITE", "n n n n n", 'n', "STRETCHSPRITE"},
    {"ZOOMSPRITE", "n n n n n", 'n', "ZOOMSPRITE"},
    {"ROTOSPRITE", "n n n n", 'n', "ROTOSPRITE"},
    {"ROTOZOOMSPRITE", "n n n n n", 'n', "ROTOZOOMSPRITE"},
    {"ALPHAMODE", "n", 'n', "ALPHAMODE"},
    {"DRAWLINE", "n n n n n", 'n', "DRAWLINE"},
    {"FILLRECT", "n n n n n", 'n', "FILLRECT"},
    {"SETPIXEL", "n n n", 'n', "SETPIXEL"},
    {"STARTPOLY", "n", 'n', "STARTPOLY"},
    {"POLYVECTOR", "n n n n n", 'n', "POLYVECTOR"},
    {"ENDPOLY", "", 'n', "ENDPOLY"},
    {"BOXCOLL", "N n n n n n n n n", 'n', "BOXCOLL"},
    {"SPRCOLL", "n n n n n n", 'n', "SPRCOLL"},
    // Text
    {"LOADFONT", "s n", 'n', "LOADFONT"},
    {"SETFONT", "n", 'n', "SETFONT"},
    {"PRINT", "v n n", 'n', "PRINT"},
    {"GETFONTSIZE", "N N", 'n', "GETFONTSIZE"},
    // Input
    {"KEY", "n", 'n', "KEY"},
    {"INKEY$", "", 's', "INKEY_Str"},
    {"INPUT", "V n n", 'n', "INPUT"},
    {"MOUSESTATE", "N N N N", 'n', "MOUSESTATE"},
    {"SETMOUSE", "n n", 'n', "SETMOUSE"},
    {"MOUSEWAIT", "", 'n', "MOUSEWAIT"},
    {"KEYWAIT", "", 'n', "KEYWAIT"},
    {"JOYSTATE", "N N N N", 'n', "JOYSTATE"},
    {"GETJOYX", "n", 'n', "GETJOYX"},
    {"GETJOYY", "n", 'n', "GETJOYY"},
    {"GETJOYZ", "n", 'n', "GETJOYZ"},
    {"GETDIGIX", "n", 'n', "GETDIGIX"},
    {"GETDIGIY", "n", 'n', "GETDIGIY"},
    {"GETJOYBUTTON", "n n", 'n', "GETJOYBUTTON"},
    {"GETJOYNAME$", "n", 's', "GETJOYNAME_Str"},
    {"GETNUMJOYSTICKS", "", 'n', "GETNUMJOYSTICKS"},
    // Sound effects
    {"LOADSOUND", "s n n", 'n', "LOADSOUND"},
    {"PLAYSOUND", "n n n", 'n', "PLAYSOUND"},
    {"HUSH", "", 'n', "HUSH"},
    // Music and video
    {"PLAYMUSIC", "s", 'n', "PLAYMUSIC"},
    {"STOPMUSIC", "", 'n', "STOPMUSIC"},
    {"PLAYMOVIE", "s", 'n', "PLAYMOVIE"},
    {"LOOPMOVIE", "s", 'n', "LOOPMOVIE"},
    // Files, folders and processes
    {"GETFILE", "s n V", 'n', "GETFILE"},
    {"PUTFILE", "s n v", 'n', "PUTFILE"},
    {"DOESFILEEXIST", "s", 'n', "DOESFILEEXIST"},
    {"GETCURRENTDIR$", "", 's', "GETCURRENTDIR_Str"},
    {"SETCURRENTDIR", "s", 'n', "SETCURRENTDIR"},
    {"GETFILELIST", "s A", 'n', "GETFILELIST"},
    {"FILEREQUEST$", "n s", 's', "FILEREQUEST_Str"},
    {"SHELLCMD", "s n n N", 'n', "SHELLCMD"},
    {"GETCOMMANDLINE$", "", 's', "GETCOMMANDLINE_Str"},
    // 3D
    {"X_MAKE3D", "n n n", 'n', "X_MAKE3D"},
    {"X_MAKE2D", "", 'n', "X_MAKE2D"},
    {"X_CAMERA", "n n n n n n", 'n', "X_CAMERA"},
    {"X_MOVEMENT", "n n n", 'n', "X_MOVEMENT"},
    {"X_SCALING", "n n n", 'n', "X_SCALING"},
    {"X_ROTATION", "n n n n", 'n', "X_ROTATION"},
    {"X_CULLMODE", "n", 'n', "X_CULLMODE"},
    {"X_AMBIENT_LT", "n n", 'n', "X_AMBIENT_LT"},
    {"X_SPOT_LT", "n n n n n n n n n", 'n', "X_SPOT_LT"},
    {"X_DRAWAXES", "n n n", 'n', "X_DRAWAXES"},
    {"X_MIPMAPPING", "n", 'n', "X_MIPMAPPING"},
    {"X_SETTEXTURE", "n n", 'n', "X_SETTEXTURE"},
    {"X_SPRITE", "n n n n n", 'n', "X_SPRITE"},
    {"X_OBJSTART", "n", 'n', "X_OBJSTART"},
    {"X_OBJADDVERTEX", "n n n n n n", 'n', "X_OBJADDVERTEX"},
    {"X_OBJNEWGROUP", "", 'n', "X_OBJNEWGROUP"},
    {"X_OBJEND", "", 'n', "X_OBJEND"},
    {"X_LOADOBJ", "s n", 'n', "X_LOADOBJ"},
    {"X_SAVEOBJ", "s n", 'n', "X_SAVEOBJ"},
    {"X_DRAWOBJ", "n n", 'n', "X_DRAWOBJ"},
    {"X_DRAWANIM", "n n n n n", 'n', "X_DRAWANIM"},
    {"X_COLLISION", "n n n n n n", 'n', "X_COLLISION"},
    {"X_WORLD2SCREEN", "n n n N N N", 'n', "X_WORLD2SCREEN"},
    // Pathfinding
    {"FINDPATH", "a a n n n n n", 'n', "FINDPATH"},
    // Networking
    {"NETHOSTGAME", "n s s n", 'n', "NETHOSTGAME"},
    {"NETJOINGAME", "n s s n", 'n', "NETJOINGAME"},
    {"NETCREATEPLAYER$", "s", 's', "NETCREATEPLAYER_Str"},
    {"NETDESTROYPLAYER", "s", 'n', "NETDESTROYPLAYER"},
    {"NETSENDMSG", "s s s", 'n', "NETSENDMSG"},
    {"NETGETMSG$", "s", 's', "NETGETMSG_Str"},
    {"NETPLAYERNAME$", "s", 's', "NETPLAYERNAME_Str"},
    {"NETNUMPLAYERS", "", 'n', "NETNUMPLAYERS"},
    {"NETGETPLAYERID$", "n", 's', "NETGETPLAYERID_Str"},
};

const int kCommandCount = static_cast<int>(sizeof(kCommands) / sizeof(kCommands[0]));

const Command* FindCommand(const char* name)
{
    // Keyed by the upper-case name; built on first use.
    static const std::unordered_map<std::string, const Command*> byName = [] {
        std::unordered_map<std::string, const Command*> map;
        for (const Command& command : kCommands) map.emplace(command.name, &command);
        return map;
    }();
    std::string upper(name);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto found = byName.find(upper);
    return found == byName.end() ? nullptr : found->second;
}

}  // namespace kvcommands
