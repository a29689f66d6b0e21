// The Windows calls the plug-ins make (registry, shell, folders, file status,
// message pump), as the host provides them on this machine, and the one file
// boundary where the plug-ins' Windows-style paths ("c:\...", "\dcl\...") are
// translated into paths of this machine.
#pragma once

#include <cstdio>

#include "ads.h"

typedef void* HKEY;
typedef void* HWND;
typedef void* HINSTANCE;
typedef long LONG;
typedef unsigned long DWORD;
typedef unsigned int UINT;
typedef int BOOL;
typedef long HRESULT;
typedef unsigned char BYTE;
typedef unsigned long REGSAM;
typedef long LPARAM;
typedef unsigned long WPARAM;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef void* HANDLE;
typedef unsigned long ULONG;

#define HKEY_CLASSES_ROOT ((HKEY)(unsigned long)0x80000000)
#define HKEY_CURRENT_USER ((HKEY)(unsigned long)0x80000001)
#define HKEY_LOCAL_MACHINE ((HKEY)(unsigned long)0x80000002)

#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F
#define REG_OPTION_NON_VOLATILE 0
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2
#define REG_NONE 0
#define REG_SZ 1
#define REG_DWORD 4

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_MORE_DATA 234L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_PATH_NOT_FOUND 3L

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define CSIDL_APPDATA 0x001a
#define SHGFP_TYPE_CURRENT 0
#define S_OK 0L
#define E_FAIL ((HRESULT)0x80004005L)
#define MAX_PATH 260
#define PM_NOREMOVE 0
#define PM_REMOVE 1
#define SEE_MASK_NOCLOSEPROCESS 0x00000040
#define STILL_ACTIVE 259L

// What ShellExecuteExA starts and, with SEE_MASK_NOCLOSEPROCESS, the handle of
// the process it started (null when it started none, such as a web address).
struct SHELLEXECUTEINFOA {
    DWORD cbSize;
    ULONG fMask;
    HWND hwnd;
    LPCSTR lpVerb;
    LPCSTR lpFile;
    LPCSTR lpParameters;
    LPCSTR lpDirectory;
    int nShow;
    HINSTANCE hInstApp;  // > 32 when started
    void* lpIDList;
    LPCSTR lpClass;
    HKEY hkeyClass;
    DWORD dwHotKey;
    HANDLE hIcon;
    HANDLE hProcess;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
};

extern "C" {
HOST_API LONG RegCreateKeyExA(HKEY key, LPCSTR sub_key, DWORD reserved, LPSTR class_name,
                              DWORD options, REGSAM access, void* security, HKEY* result,
                              DWORD* disposition);
HOST_API LONG RegOpenKeyExA(HKEY key, LPCSTR sub_key, DWORD options, REGSAM access, HKEY* result);
HOST_API LONG RegSetValueExA(HKEY key, LPCSTR value_name, DWORD reserved, DWORD type,
                             const BYTE* data, DWORD size);
HOST_API LONG RegQueryValueExA(HKEY key, LPCSTR value_name, DWORD* reserved, DWORD* type,
                               BYTE* data, DWORD* size);
HOST_API LONG RegDeleteValueA(HKEY key, LPCSTR value_name);
HOST_API LONG RegCloseKey(HKEY key);
HOST_API DWORD GetLastError();
HOST_API void SetLastError(DWORD error);

HOST_API HINSTANCE ShellExecuteA(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                 LPCSTR directory, int show);
HOST_API BOOL ShellExecuteExA(SHELLEXECUTEINFOA* info);
// STILL_ACTIVE while the process runs, then its exit code; FALSE for a handle
// that is not a process's.
HOST_API BOOL GetExitCodeProcess(HANDLE process, DWORD* exit_code);
HOST_API BOOL CloseHandle(HANDLE handle);
HOST_API HRESULT SHGetFolderPathA(HWND window, int folder, void* token, DWORD flags, LPSTR path);
HOST_API BOOL CreateDirectoryA(LPCSTR path, void* security);
HOST_API UINT GetSystemDirectoryA(LPSTR buffer, UINT size);
HOST_API UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);

HOST_API BOOL PeekMessageA(MSG* msg, HWND window, UINT first, UINT last, UINT remove);
HOST_API BOOL TranslateMessage(const MSG* msg);
HOST_API LONG DispatchMessageA(const MSG* msg);
HOST_API DWORD GetTickCount();

// File access of the plug-ins: the C runtime calls, taking Windows-style paths.
HOST_API std::FILE* win_fopen(const char* path, const char* mode);
HOST_API int win_remove(const char* path);
// The path of this machine that a Windows-style path stands for; written into
// out (size bytes); returns out.
HOST_API char* win_native_path(const char* path, char* out, int size);
// Writes size bytes of data as the whole file at a Windows-style path: into a
// scratch file of its own beside it, which takes the file's name in one step
// only when it was written whole, so that a failed write (a full disk) leaves
// the former file as it was and no scratch file behind. 1 when written; else 0
// with the reason in why (why_size bytes, when why is not null).
HOST_API int win_replace_file(const char* path, const char* data, unsigned long size, char* why,
                              int why_size);
}

// File status, as the C runtime gives it. This machine's <sys/stat.h> makes
// st_mtime a macro for st_mtim.tv_sec; it is included first, so that the field
// is spelt to match and status.st_mtime reads it either way.
#include <sys/stat.h>
struct _stat {
    unsigned long st_mode;
    long long st_size;
#ifdef st_mtime
    struct {
        long long tv_sec;
    } st_mtim;
#else
    long long st_mtime;
#endif
};
extern "C" HOST_API int _stat(const char* path, struct _stat* status);
