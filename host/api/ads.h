// The CAD host's programming interface as the plug-ins see it: result buffers,
// status codes, entity and selection-set names, and the aced/acdb/acut functions.
// This header (with the others in host/api) is the only thing a plug-in includes
// from the host; the host's own workings stay behind it.
#pragma once

#include <cstdint>

#if defined(__GNUC__)
#define HOST_API __attribute__((visibility("default")))
#else
#define HOST_API
#endif

typedef double ads_real;
typedef ads_real ads_point[3];
typedef long ads_name[2];
typedef ads_real ads_matrix[4][4];

// Point indexes.
enum { X = 0, Y = 1, Z = 2 };

// Result types and status codes.
#define RTNONE 5000
#define RTREAL 5001
#define RTPOINT 5002
#define RTSHORT 5003
#define RTANG 5004
#define RTSTR 5005
#define RTENAME 5006
#define RTPICKS 5007
#define RTORINT 5008
#define RT3DPOINT 5009
#define RTLONG 5010
#define RTVOID 5014
#define RTLB 5016
#define RTLE 5017
#define RTDOTE 5018
#define RTNIL 5019
#define RTDXF0 5020
#define RTT 5021
#define RTRESBUF 5023

#define RTNORM 5100
#define RTERROR (-5001)
#define RTCAN (-5002)
#define RTREJ (-5003)
#define RTFAIL (-5004)
#define RTKWORD (-5005)

// Results a LISP function's C code returns to the host.
#define RSRSLT 1
#define RSERR 3

// acedInitGet flags.
#define RSG_NONULL 0x0001
#define RSG_NOZERO 0x0002
#define RSG_NONEG 0x0004
#define RSG_NOLIM 0x0008
#define RSG_GETZ 0x0010
#define RSG_DASH 0x0020
#define RSG_2D 0x0040
#define RSG_OTHER 0x0080

struct ads_binary {
    short clen;
    char* buf;
};

union ads_u_val {
    ads_real rreal;
    ads_real rpoint[3];
    short rint;
    char* rstring;
    long rlname[2];
    std::int32_t rlong;
    ads_binary rbinary;
};

struct resbuf {
    resbuf* rbnext;
    short restype;
    ads_u_val resval;
};

extern "C" {

// LISP functions.
HOST_API int acedDefun(const char* name, int funcno);
HOST_API int acedUndef(const char* name, int funcno);
HOST_API int acedRegFunc(int (*fhdl)(), int fcode);
HOST_API int acedGetFunCode();
HOST_API resbuf* acedGetArgs();
HOST_API int acedRetVoid();
HOST_API int acedRetNil();
HOST_API int acedRetT();
HOST_API int acedRetStr(const char* s);
HOST_API int acedRetInt(int i);
HOST_API int acedRetReal(ads_real r);
HOST_API int acedRetPoint(const ads_point p);
HOST_API int acedRetName(const ads_name n, int type);
HOST_API int acedRetList(const resbuf* list);
HOST_API int acedRetVal(const resbuf* value);

// Command-line input.
HOST_API int acedInitGet(int flags, const char* keywords);
HOST_API int acedGetPoint(const ads_point base, const char* prompt, ads_point result);
HOST_API int acedGetCorner(const ads_point base, const char* prompt, ads_point result);
HOST_API int acedGetReal(const char* prompt, ads_real* result);
HOST_API int acedGetInt(const char* prompt, int* result);
HOST_API int acedGetDist(const ads_point base, const char* prompt, ads_real* result);
HOST_API int acedGetAngle(const ads_point base, const char* prompt, ads_real* result);
// result must hold at least 133 characters.
HOST_API int acedGetString(int cronly, const char* prompt, char* result);
HOST_API int acedGetKword(const char* prompt, char* result);
HOST_API int acedGetInput(char* result);
HOST_API int acedEntSel(const char* prompt, ads_name entity, ads_point picked);
HOST_API int acedGetFileD(const char* title, const char* default_name, const char* ext, int flags,
                          resbuf* result);

// Selection sets.
HOST_API int acedSSGet(const char* mode, const void* p1, const void* p2, const resbuf* filter,
                       ads_name ss);
HOST_API int acedSSFree(const ads_name ss);
HOST_API int acedSSLength(const ads_name ss, long* length);
HOST_API int acedSSName(const ads_name ss, long index, ads_name entity);
HOST_API int acedSSAdd(const ads_name entity, const ads_name ss, ads_name result);
HOST_API int acedSSDel(const ads_name entity, const ads_name ss);

// Host commands, system variables and host LISP functions.
// acedCommand takes (type, value) pairs ended by 0 or RTNONE.
HOST_API int acedCommand(int rtype, ...);
HOST_API int acedCmd(const resbuf* args);
HOST_API int acedGetVar(const char* name, resbuf* result);
HOST_API int acedSetVar(const char* name, const resbuf* value);
HOST_API int acedInvoke(const resbuf* args, resbuf** result);

// Output and graphics.
HOST_API int acutPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
HOST_API int acedAlert(const char* message);
HOST_API int acedRedraw(const ads_name entity, int mode);
HOST_API int acedGrDraw(const ads_point from, const ads_point to, int colour, int highlight);
HOST_API int acedTextBox(const resbuf* args, ads_point lower_left, ads_point upper_right);

// Entities and symbol tables.
HOST_API resbuf* acdbEntGet(const ads_name entity);
HOST_API resbuf* acdbEntGetX(const ads_name entity, const resbuf* apps);
HOST_API int acdbEntMake(const resbuf* list);
HOST_API int acdbEntMod(const resbuf* list);
HOST_API int acdbEntUpd(const ads_name entity);
HOST_API int acdbEntDel(const ads_name entity);
HOST_API int acdbEntNext(const ads_name entity, ads_name result);
HOST_API int acdbEntLast(ads_name result);
HOST_API resbuf* acdbTblNext(const char* table, int rewind);
HOST_API resbuf* acdbTblSearch(const char* table, const char* name, int setnext);
HOST_API int acdbTblObjName(const char* table, const char* name, ads_name result);
HOST_API int acdbRegApp(const char* app);

// Geometry, numbers and units.
HOST_API int acdbInters(const ads_point from1, const ads_point to1, const ads_point from2,
                        const ads_point to2, int teston, ads_point result);
// unit 2 (decimal) only; prec 0 to 16; str must hold the text.
HOST_API int acdbRToS(ads_real value, int unit, int prec, char* str);
HOST_API ads_real acutDistance(const ads_point p1, const ads_point p2);
HOST_API ads_real acutAngle(const ads_point p1, const ads_point p2);
HOST_API void acutPolar(const ads_point base, ads_real angle, ads_real dist, ads_point result);
HOST_API int acutCvUnit(ads_real value, const char* from, const char* to, ads_real* result);
// A point from one coordinate system to another: RTSHORT 0 world, 1 user, 2
// view (one system in this host), an RTENAME for an entity's own system or an
// RT3DPOINT extrusion direction for that of a plane.
HOST_API int acdbTrans(const ads_point point, const resbuf* from, const resbuf* to, int disp, ads_point result);

// Result buffers.
// acutBuildList takes (type, value) pairs ended by 0.
// The value's C type follows the type: texts (RTSTR, RTDXF0, text group codes) a
// const char*, reals a double, RTSHORT and 16-bit codes an int, RTLONG and 32-bit
// codes a long, points a const ads_real*, names a const long*; RTLB, RTLE, RTNIL,
// RTT and -3 take none. RTDXF0 stands for group 0.
// Texts in result buffers are malloc'd; acutRelRb frees them with free().
HOST_API resbuf* acutBuildList(int rtype, ...);
HOST_API resbuf* acutNewRb(int type);
HOST_API int acutRelRb(resbuf* list);

}  // extern "C"

// Name helpers of the SDK.
inline void ads_name_set(const ads_name from, ads_name to)
{
    to[0] = from[0];
    to[1] = from[1];
}
inline void ads_name_clear(ads_name n) { n[0] = n[1] = 0; }
inline bool ads_name_nil(const ads_name n) { return n[0] == 0 && n[1] == 0; }
inline bool ads_name_equal(const ads_name a, const ads_name b)
{
    return a[0] == b[0] && a[1] == b[1];
}
inline void ads_point_set(const ads_point from, ads_point to)
{
    to[0] = from[0];
    to[1] = from[1];
    to[2] = from[2];
}
