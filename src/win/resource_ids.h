#ifndef VEMIRO_RESOURCE_IDS_H
#define VEMIRO_RESOURCE_IDS_H
/* Every identifier that the resource script and the program share, once. Plain
   preprocessor definitions: they are all the resource compiler reads. */

/* Resources */
#define IDR_MAIN_MENU 100
#define IDR_SHORTCUTS 102
#define IDI_PROGRAM 101
#define IDB_TOOL_GLYPHS 110
#define IDB_EFFECT_GLYPHS 111
#define IDB_TOOLBAR_GLYPHS 113
#define IDB_TRANSPARENT_PATTERN 114
/* The tool cursors follow the tool order: pencil, fill, picker, eraser. */
#define IDC_PENCIL_CURSOR 400
#define IDC_FILL_CURSOR 401
#define IDC_PICKER_CURSOR 402
#define IDC_ERASER_CURSOR 403
#define IDD_NEW_IMAGE 1000
#define IDC_SIDE_LIST 1001
#define IDC_BIT_COUNT_LIST 1002

/* Commands of the menu, the toolbar and the tool and effect buttons */
#define IDM_NEW 40001
#define IDM_OPEN 40002
#define IDM_SAVE 40003
#define IDM_SAVE_AS 40004
#define IDM_IMPORT_BITMAP 40005
#define IDM_CLOSE 40006
#define IDM_QUIT 40007
#define IDM_UNDO 40010
#define IDM_REDO 40011
#define IDM_CUT 40012
#define IDM_COPY 40013
#define IDM_PASTE 40014
#define IDM_SELECT_ALL 40015
#define IDM_PENCIL 40020
#define IDM_FILL 40021
#define IDM_PICKER 40022
#define IDM_ERASER 40023
#define IDM_LINE 40024
#define IDM_RECTANGLE 40025
#define IDM_ELLIPSE 40026
#define IDM_HOTSPOT 40027
#define IDM_SELECT 40028
#define IDM_SHIFT_LEFT 40040
#define IDM_SHIFT_UP 40041
#define IDM_SHIFT_RIGHT 40042
#define IDM_MIRROR_VERTICAL 40043
#define IDM_SHIFT_DOWN 40044
#define IDM_MIRROR_HORIZONTAL 40045
#define IDM_DELETE_IMAGE 40051
#define IDM_RESTORE_IMAGE 40052
#define IDM_CLEAR_IMAGE 40053
#define IDM_CREATE_ALL_SIZES 40054
#define IDM_ADD_BLANK_IMAGE 40060
#define IDM_ADD_BITMAP_IMAGE 40061
#define IDM_HELP 40070
#define IDM_ABOUT 40071

/* Controls of the main window */
#define IDC_IMAGE_INDEX_BOX 2000
#define IDC_FORMAT_BOX 2001

#endif
