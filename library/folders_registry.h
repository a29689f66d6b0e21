// The product's folders and its registry values, the start-and-wait of the
// sibling programs, the maker's home page, and the path helpers.
//
// Registry values live under HKEY_LOCAL_MACHINE\SOFTWARE\ + a subkey, normally
// ORVIK_REGISTRY_SUBKEY (constants.h); all are REG_SZ texts. All file access goes through
// the host's file boundary (win_fopen, win_native_path), which takes the
// Windows-style paths built here.
#pragma once

#include <string>

#include "constants.h"
#include "winplat.h"

// The product's folders, read from the registry once, on first use.
struct app_folder_rec {
    std::string install_folder;   // "Installation folder"
    std::string temp_folder;      // application data + "\PelmoraSoftware\OrvikSurvey\temp"
    std::string database_folder;  // "Database"
    unsigned char loaded = 0;     // 1 after a complete load
};

// The one record of the plug-in.
extern app_folder_rec app_folders;

// Reads the three values and makes the temporary folder; 1, or 0 after the alert
// "Fail read registry [ <value> ]". A failed load leaves loaded at 0, so the next
// accessor call tries again.
int app_folders_load(app_folder_rec& folders);
// Load the record when it is not loaded, then give the field. After a failed
// load the field holds what was read before the failure (empty when nothing).
const std::string& app_install_folder(app_folder_rec& folders = app_folders);
const std::string& app_temp_folder(app_folder_rec& folders = app_folders);
const std::string& app_database_folder(app_folder_rec& folders = app_folders);

// Writes text as REG_SZ under HKEY_LOCAL_MACHINE\SOFTWARE\<subkey>, making the
// key when missing; 1, or 0 when the key cannot be opened or the write fails.
int reg_write_string(const char* subkey, const char* value_name, const char* text);
// Reads a REG_SZ value into buffer (*size bytes); *size becomes the size read,
// the terminator included, and the text is always terminated. 1; 0 when the
// key or value is missing, the buffer is too small, the value is not a text or
// no buffer is given (the Windows error stays the thread's last error).
int reg_read_string(const char* subkey, const char* value_name, char* buffer, DWORD* size);
// The same into a std::string of up to 254 characters; 1 or 0 as above.
int reg_read_string(const char* subkey, const char* value_name, std::string& text);
// Deletes a value; 1, or 0 with the Windows error as the thread's last error.
int reg_delete_value(const char* subkey, const char* value_name);

// Serves the thread's window messages for one second of GetTickCount; never blocks.
void pump_messages_1s();

// How the wait for a sibling program ended.
enum class sibling_wait {
    answered,     // the handshake value reads anything but "open"
    not_started,  // "open" could not be written or the program not started
    ended,        // the program ended (or crashed) without answering
    timed_out,    // no answer within the time limit; the program may still run
};

// Starts a sibling program and waits for its answer: writes "open" into the
// handshake value, starts the file through the shell, then serves messages a
// second at a time until the value reads anything but "open" (without regard
// to case), the program has ended without answering, or the time limit has
// passed. Each way but an answer is said on the command line ("Cannot write
// the registry value ...", "Cannot start ...", "... ended without giving an
// answer.", "... gave no answer within N seconds and may still be running.");
// the caller says what becomes of its work.
sibling_wait run_and_wait_sibling(const char* file, const char* parameters, const char* subkey,
                                  const char* value_name);
// The same for callers that stop when there is no answer: 1 when the sibling
// answered; 0 otherwise, with the message and "; the command stops here."
int run_and_wait_registry(const char* file, const char* parameters, const char* subkey,
                          const char* value_name);
// The time limit of the wait, in pump seconds (600 unless set); at least 1.
void run_and_wait_set_limit(int seconds);
int run_and_wait_limit();

// Opens a path or address with the shell verb "open"; 1 when the shell started it.
int shell_open(const char* path);
// Opens the maker's home page; the page name (a help anchor such as
// "/survey_menu.htm#_Grid") does not change the address opened.
int home_page_open(const char* page_name);
// Writes the maker's home-page address into out (at least 29 bytes).
void home_page_url(char* out);
std::string home_page_url();

// 1 when the path exists (its file status can be read), else 0.
int file_exists(const char* path);
// The per-user application-data folder; empty when it cannot be read.
std::string appdata_folder();
// Makes every folder along the path: at each "\" or "/" not preceded by a drive
// colon, and at the end.
void dir_create_path(const std::string& path);

// The text after the last separator into out; the separator is "\" unless the
// path holds a "/". A name without separator leaves out unchanged. 1 when a
// separator was found, else 0.
int path_file_name(const std::string& path, std::string& out);
// The text before the last "." into out; 1, or 0 when there is none (out unchanged).
int path_strip_extension(const std::string& name, std::string& out);
// The text before the last "." found at index 1 or above; 1, or 0 (out unchanged).
int path_cut_extension(const std::string& name, std::string& out);
// The path's folder + its file name without extension + "." + extension; 1 when
// the path had an extension, else 0 and out not written.
int path_replace_extension(const std::string& path, const std::string& extension, std::string& out);
