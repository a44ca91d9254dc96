/* The frame's own resource ids, the same in every plug-in: its one handler
   of the "Hilfe" button finds the button by this id. Read by the resource
   compiler too, so #define only. */
#pragma once

#define FRAME_HELP_BUTTON 9
