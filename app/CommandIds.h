#pragma once
// Command ids of the main menu and its keys. The numbers are the program's
// long-standing command ids; tests and the frame find actions by them.

enum CommandId : int {
  ID_SIMULATOR_START = 32771,
  ID_SIMULATOR_SETTING = 32772,
  ID_SIMULATOR_RECORD = 32774,
  ID_SIMULATOR_TENHOU_RECORD = 32775,
  ID_HOMEPAGE = 32776,
  ID_APP_ABOUT = 57664,
  ID_APP_EXIT = 57665,
};
