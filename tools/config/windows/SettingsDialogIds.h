// The resource ids of config.exe's settings dialog (SettingsDialog.rc), shared
// by the window code (Frontend.cpp) and the test that drives the dialog by
// window messages (tests/windows/config_dialog_test.cpp). OK and Cancel are
// the standard IDOK and IDCANCEL.
#pragma once

#define IDD_SETTINGS 200
#define IDC_NOTE 201         // a line: the file's name, or why the defaults are shown
#define IDC_MODE 202         // drop-down list: display mode
#define IDC_SPIN 203         // drop-down list: spin speed
#define IDC_PHASE 204        // edit box: seconds each group is shown
#define IDC_PHASE_RANGE 205  // the accepted range, beside the edit box
#define IDC_MOUSE 206        // check box: mouse motion ends the run
#define IDC_LAST_FAILURE 207 // two lines: the last start-up failure, empty when none is recorded
