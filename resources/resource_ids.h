// Resource identifiers. Portable: included by the resource script and the code.
#pragma once

#define IDI_VISTREL 107
#define IDM_MENUBAR 109
#define IDA_ACCELERATORS 109
#define IDM_TRAYMENU 134
#define IDD_HOTKEY 103
#define IDS_APP_NAME 103
#define IDS_AUTOSTART_VALUE_NAME 128
#define IDC_HOTKEY_CONTROL 1001
