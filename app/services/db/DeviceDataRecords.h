#pragma once

// Row records of the profile database. Each record mirrors one table row;
// fields keep the column names. Texts are wide strings (stored as UTF-8).
// List reads hand out records allocated with new, owned by the caller.

#include "CString.h"

// t_profile_data
struct ProfileData
{
    int profile = 0;  // row id
    CString name;
    CString app;
    CString icon_image;
    CString bkg_image;
    int type = 0;
    int status = 0;  // 1 for the active profile
};

// t_musiclayer_data (the column sel is not carried)
struct MusicLayerData
{
    int layer_id = 0;  // row id
    int profile = 0;
    CString name;
    int deviceindex = 0;
    int foremode = 0;
    int fore_amplitude = 0;
    int backmode = 0;
    int backb_right = 0;
    int light_right = 100;
};

// t_key_macro_data: what one key does on one Fn layer of one profile.
struct KeyMacroData
{
    int key_id = 0;  // row id
    int profile = 0;
    int fn_layer = 0;  // 0..3
    int key_code = 0;  // HID usage of the key
    int layout_value = 0;
    CString layout_desc;
    int macro_type = 0;
    int macro_value = 0;
    int macro_value2 = 0;
    int macro_value3 = 0;
    CString macro_desc;
};

// t_light_data: one lighting mode of one light type of a profile.
struct LightData
{
    int light_id = 0;  // row id
    int profile = 0;
    CString name;
    int type = 0;
    int mode = 0;
    int brightness = 0;
    int speed = 0;
    int direction = 0;
    int colorful = 0;
    int colorindex = 0;
    int color_value = 0;  // COLORREF
    int config_func = 0;
    int reserved = 0;
    int status = 0;  // 1 for the active mode of its (profile, type)
};

// t_userlightrgb_data: the colour of one key of a user-light set.
struct UserLightRgbData
{
    int userlightrgb_id = 0;  // row id
    int profile = 0;
    int userlight_id = 0;
    int key_code = 0;
    int key_rgb = 0;  // COLORREF
};

// t_macro_data
struct MacroData
{
    int macro_id = 0;  // row id
    CString name;
    int play_type = 0;
    int play_times = 0;
    int delay_type = 0;
    int delay_time = 0;
};

// t_macrorecord: one recorded event of a macro. Field order differs from the
// column order (desc sits after record_index in the table).
struct MacroRecordData
{
    int record_id = 0;  // row id
    int macro_id = 0;
    int type = 0;
    int record_index = 0;
    int value = 0;
    int delay_time = 0;  // milliseconds
    CString desc;
};

// t_ledlayer_data: one LCD animation layer.
struct LedLayerData
{
    int led_id = 0;   // row id
    int profile = 0;  // always 1 in stored rows
    int type = 0;
    CString name;
    int frame_size = 0;
    CString file_dir;
    CString first_file;
};

// t_ledframe_data: one frame of an LCD layer.
struct LedFrameData
{
    int frame_id = 0;  // row id
    int led_id = 0;
    CString name;
    int delay_time = 0;
    int frame_index = 0;
    CString file_name;
};

// t_tftscreen_data: one picture prepared for the LCD.
struct TftScreenData
{
    int tft_id = 0;   // row id
    int profile = 0;  // always 1 in stored rows
    int frame_size = 0;
    CString file_name;
};
