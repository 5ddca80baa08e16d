// Resource and command ids of kestrum.exe, shared by the .rc file and the
// code. Kept to plain #defines: windres reads this file too.
#pragma once

#define IDR_MAINFRAME 128
#define IDD_ABOUTBOX 100
#define IDD_SETTINGS 131
#define IDB_TILES 131
#define IDB_DIGITS 132
#define IDD_RECORD 133
#define IDR_TENHOU_WAVE 134
#define IDD_TENHOU_RECORD 135
#define IDS_APP_NAME 57344
#define IDC_STATIC (-1)

#define ID_START 32771
#define ID_SETTINGS 32772
#define ID_RECORD 32774
#define ID_TENHOU_RECORD 32775
#define ID_HOMEPAGE 32776
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665

// Record dialog
#define IDC_CLEAR 1003
#define IDC_TOTAL 1004
#define IDC_TENHO 1005
#define IDC_SHORTEST 1006
#define IDC_LONGEST 1007
#define IDC_PROBABILITY 1008

// Settings dialog
#define IDC_SPEED 1008
#define IDC_SOUND 1009
#define IDC_LOGFILE 1010
#define IDC_CONTINUE 1011
#define IDC_INTERVAL 1012
#define IDC_INTERVAL_VALUE 1014
#define IDC_AUTOSTART 1021
#define IDC_ACCUMULATION 1028

// Heavenly-hand record dialog
#define IDC_LOG_START 1016
#define IDC_LOG_END 1017
#define IDC_LOG_RUN 1018
#define IDC_LOG_TOTAL 1019
#define IDC_LOG_SLIDER 1020
#define IDC_LOG_HAND 1021
#define IDC_LOG_NUMBER 1022
#define IDC_LOG_TENHO 1023
#define IDC_LOG_SHORTEST 1024
#define IDC_LOG_LONGEST 1025
#define IDC_LOG_PROBABILITY 1026

// About dialog
#define IDC_HOMEPAGE_BUTTON 1029
