// KeyboardDlg: the device routines the worker's tasks run and the idle streams.
// Each talks to the keyboard through HidDeviceManager; until a routine is
// built it sends nothing.
#include "mainwnd/KeyboardDlg.h"
