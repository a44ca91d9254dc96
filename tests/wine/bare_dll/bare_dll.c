/* A DLL with no runtime at all: the measure of what a load and an unload
   cost the process by themselves, against which the plug-ins' cost is read. */
#include <windows.h>

BOOL WINAPI DllMainCRTStartup(HINSTANCE module, DWORD reason, LPVOID reserved) {
  (void)module;
  (void)reason;
  (void)reserved;
  return TRUE;
}
