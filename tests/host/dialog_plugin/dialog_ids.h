// The dialog's ids, shared by its template and its code.
#pragma once

#define DIALOG_TEMPLATE 100
#define DELAY_BOX 1001
#define STEP_LIST 1002
#define VIEW_LIST 1003
#define UP_BUTTON 1004
#define DOWN_BUTTON 1005
