// The Windows system folder and the Windows folder (kept apart from the text
// routines so that only their callers need the platform's folder calls).
#include <string>

#include "text_fields.h"
#include "winplat.h"

std::string system_folder_get()
{
    char buffer[MAX_PATH + 1] = {0};
    GetSystemDirectoryA(buffer, MAX_PATH + 1);
    return buffer;
}

std::string windows_folder_get()
{
    char buffer[MAX_PATH + 1] = {0};
    GetWindowsDirectoryA(buffer, MAX_PATH + 1);
    return buffer;
}
