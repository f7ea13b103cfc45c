// Command identifiers shared by the menus, the accelerators and the code, and the
// program's private window messages. Portable: also included by the resource script.
#pragma once

#define CMD_EXIT 105
#define CMD_UNHANDLED_ACCEL 104
#define CMD_MAGNIFY 32773
#define CMD_WEBPAGE 32775
#define CMD_HELP 32776
#define CMD_SET_HOTKEY 32777
#define CMD_AUTOSTART 32778

#define WM_TRAYNOTIFY 32868
// Posted by the wake after the magnify command: the tray icon goes back once the zoom window shows.
#define WM_TRAY_ICON_AGAIN 32869
#define TRAY_ICON_ID 109
#define TIMER_ID 1000
#define EXIT_CODE_SECOND_START 45054
