#pragma once

// The settings dialog's template and control ids, shared by its resource script and code.

#define IDD_SETTINGS 129
#define IDC_MOON_LIST 1001
#define IDC_CURRENT_TIME 1002
#define IDC_CHOOSE_MOON 1003
#define IDC_PREVIEW 1005
#define IDC_ANNOTATED 1006
#define IDC_VIEW_FULLSCREEN 1007
#define IDC_DESCRIPTION 1010
#define IDC_ORIENTATION 1011
#define IDC_LIVE_MOON 1017
#define IDC_NEXT_PHASES 1012
#define IDC_PLACE 1013
#define IDC_CHANGE_PLACE 1014
#define IDC_MOON_RISE_SET 1015
#define IDC_NEXT_ECLIPSE 1016
#define IDC_APPLY 12321
#define IDC_ABOUT 57664

// The dialog of the user's place, opened by "Change...".
#define IDD_PLACE 130
#define IDC_PLACE_SEARCH 1020
#define IDC_PLACE_LIST 1021
#define IDC_LATITUDE 1022
#define IDC_LONGITUDE 1023
