#pragma once

// Resource ids shared by the resource script and the code.

#define IDI_QUELLWICK 128
#define IDR_TRAY_MENU 202
#define ID_TRAY_EXIT 203
#define ID_TRAY_OPEN 204
#define ID_TRAY_ABOUT 205
#define ID_TRAY_ANNOTATION 206

#define IDS_ZOOM_TO_FIT 60000
#define IDS_ACTUAL_SIZE 60001
#define IDS_ZOOM_IN 60002
#define IDS_ZOOM_OUT 60003
#define IDS_CLOSE 60004
#define IDS_SHOW_ANNOTATIONS 60005
#define IDS_NEXT_PHASE 60006
#define IDS_PREVIOUS_PHASE 60007
