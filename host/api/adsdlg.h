// The host's dialog (DCL) functions as the plug-ins see them.
#pragma once

#include "ads.h"

typedef void* ads_hdlg;

struct ads_callback_packet {
    ads_hdlg dialog;
    const char* tile;   // the tile's key
    const char* value;  // its value; a button's value is never empty
    void* client_data;
    int reason;  // CBR_*
    long x, y;
};

typedef void (*CLIENTFUNC)(ads_callback_packet* packet);

// Dialog statuses.
#define DLGCANCEL 0
#define DLGOK 1
#define DLGALLDONE (-1)
#define DLGSTATUS 2

// Callback reasons.
#define CBR_SELECT 1
#define CBR_LOST_FOCUS 2
#define CBR_DRAG 3
#define CBR_DOUBLE_CLICK 4

// ads_start_list operations.
#define LIST_CHANGE 1
#define LIST_APPEND 2
#define LIST_NEW 3

// ads_mode_tile modes.
#define MODE_ENABLE 0
#define MODE_DISABLE 1
#define MODE_SETFOCUS 2
#define MODE_SETSEL 3
#define MODE_FLIP 4

#define TILE_STR_LIMIT 255

extern "C" {
HOST_API int ads_load_dialog(const char* dcl_file, int* dcl_id);
HOST_API int ads_unload_dialog(int dcl_id);
HOST_API int ads_new_dialog(const char* dialog_name, int dcl_id, CLIENTFUNC default_callback,
                            ads_hdlg* hdlg);
HOST_API int ads_start_dialog(ads_hdlg hdlg, int* status);
HOST_API int ads_done_dialog(ads_hdlg hdlg, int status);
HOST_API int ads_term_dialog();
HOST_API int ads_action_tile(ads_hdlg hdlg, const char* key, CLIENTFUNC callback);
HOST_API int ads_client_data_tile(ads_hdlg hdlg, const char* key, void* data);
HOST_API int ads_set_tile(ads_hdlg hdlg, const char* key, const char* value);
HOST_API int ads_get_tile(ads_hdlg hdlg, const char* key, char* value, int max_length);
HOST_API int ads_mode_tile(ads_hdlg hdlg, const char* key, short mode);
HOST_API int ads_start_list(ads_hdlg hdlg, const char* key, short operation, short index);
HOST_API int ads_add_list(const char* item);
HOST_API int ads_end_list();
}
