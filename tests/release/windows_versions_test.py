#!/usr/bin/env python3
"""Every shipped DLL loads on every Windows the host runs on, from Windows XP
SP3 on: each imported function stands in the table below, which gives the
first Windows version whose documentation has it and where that is
documented, and none is newer than Windows XP SP3. No function that starts,
suspends or redirects a thread is imported. The PE header says i386 and
operating-system and subsystem versions of 5.1 or lower; there are no debug
sections; and no instruction reaches for the thread's implicit
thread-local storage (the TEB's pointer at FS:[0x2C]), which Windows XP does
not set up for a DLL loaded with LoadLibrary.

Usage: windows_versions_test.py OBJDUMP DLL...
"""
import struct
import subprocess
import sys
import unittest

# The first version of Windows that the documentation gives for each
# function. The Windows API reference states it per function ("Minimum
# supported client"); for msvcrt.dll, the system's C runtime, the Visual
# C++ 6.0 run-time reference gives the Windows versions of the MSVCRT.DLL
# functions ("Win 95, Win NT"). None: the reference documents the function
# (a start-up or internal function of the C runtime that every program
# built against msvcrt.dll calls) but names no Windows version. The two
# rows documented from Vista on are kept as a trap: the DLLs once imported
# them, and an import of either must fail here.
FIRST_WINDOWS = [
    ("ADVAPI32.dll", "RegCloseKey", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/winreg/nf-winreg-regclosekey"),
    ("ADVAPI32.dll", "RegOpenKeyExA", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/winreg/nf-winreg-regopenkeyexa"),
    ("ADVAPI32.dll", "RegQueryValueExA", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/winreg/nf-winreg-regqueryvalueexa"),
    ("KERNEL32.dll", "CloseHandle", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/handleapi/nf-handleapi-closehandle"),
    ("KERNEL32.dll", "CreateFileA", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/fileapi/nf-fileapi-createfilea"),
    ("KERNEL32.dll", "CreateFileMappingA", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/winbase/nf-winbase-createfilemappinga"),
    ("KERNEL32.dll", "CreateSemaphoreW", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/synchapi/nf-synchapi-createsemaphorew"),
    ("KERNEL32.dll", "DeleteCriticalSection", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/synchapi/nf-synchapi-deletecriticalsection"),
    ("KERNEL32.dll", "EnterCriticalSection", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/synchapi/nf-synchapi-entercriticalsection"),
    ("KERNEL32.dll", "FindResourceA", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/winbase/nf-winbase-findresourcea"),
    ("KERNEL32.dll", "FormatMessageA", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/winbase/nf-winbase-formatmessagea"),
    ("KERNEL32.dll", "FreeLibrary", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/libloaderapi/nf-libloaderapi-freelibrary"),
    ("KERNEL32.dll", "GetCurrentProcessId", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/processthreadsapi/nf-processthreadsapi-getcurrentprocessid"),
    ("KERNEL32.dll", "GetCurrentThreadId", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/processthreadsapi/nf-processthreadsapi-getcurrentthreadid"),
    ("KERNEL32.dll", "GetLastError", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/errhandlingapi/nf-errhandlingapi-getlasterror"),
    ("KERNEL32.dll", "GetLocalTime", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/sysinfoapi/nf-sysinfoapi-getlocaltime"),
    ("KERNEL32.dll", "GetModuleFileNameA", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/libloaderapi/nf-libloaderapi-getmodulefilenamea"),
    ("KERNEL32.dll", "GetModuleHandleA", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/libloaderapi/nf-libloaderapi-getmodulehandlea"),
    ("KERNEL32.dll", "GetModuleHandleW", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/libloaderapi/nf-libloaderapi-getmodulehandlew"),
    ("KERNEL32.dll", "GetProcAddress", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/libloaderapi/nf-libloaderapi-getprocaddress"),
    ("KERNEL32.dll", "GetTempPathA", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/fileapi/nf-fileapi-gettemppatha"),
    ("KERNEL32.dll", "GetTickCount", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/sysinfoapi/nf-sysinfoapi-gettickcount"),
    ("KERNEL32.dll", "GetVersionExA", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/sysinfoapi/nf-sysinfoapi-getversionexa"),
    ("KERNEL32.dll", "InitializeCriticalSection", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/synchapi/nf-synchapi-initializecriticalsection"),
    ("KERNEL32.dll", "IsDBCSLeadByteEx", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/winnls/nf-winnls-isdbcsleadbyteex"),
    ("KERNEL32.dll", "IsProcessorFeaturePresent", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/processthreadsapi/nf-processthreadsapi-isprocessorfeaturepresent"),
    ("KERNEL32.dll", "LeaveCriticalSection", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/synchapi/nf-synchapi-leavecriticalsection"),
    ("KERNEL32.dll", "LoadLibraryA", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/libloaderapi/nf-libloaderapi-loadlibrarya"),
    ("KERNEL32.dll", "LoadLibraryExA", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/libloaderapi/nf-libloaderapi-loadlibraryexa"),
    ("KERNEL32.dll", "LoadLibraryW", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/libloaderapi/nf-libloaderapi-loadlibraryw"),
    ("KERNEL32.dll", "LoadResource", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/libloaderapi/nf-libloaderapi-loadresource"),
    ("KERNEL32.dll", "LocalFree", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/winbase/nf-winbase-localfree"),
    ("KERNEL32.dll", "LockResource", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/libloaderapi/nf-libloaderapi-lockresource"),
    ("KERNEL32.dll", "MapViewOfFile", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/memoryapi/nf-memoryapi-mapviewoffile"),
    ("KERNEL32.dll", "MultiByteToWideChar", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/stringapiset/nf-stringapiset-multibytetowidechar"),
    ("KERNEL32.dll", "ReadFile", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/fileapi/nf-fileapi-readfile"),
    ("KERNEL32.dll", "ReleaseSemaphore", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/synchapi/nf-synchapi-releasesemaphore"),
    ("KERNEL32.dll", "SetEndOfFile", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/fileapi/nf-fileapi-setendoffile"),
    ("KERNEL32.dll", "SetFilePointer", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/fileapi/nf-fileapi-setfilepointer"),
    ("KERNEL32.dll", "SetLastError", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/errhandlingapi/nf-errhandlingapi-setlasterror"),
    ("KERNEL32.dll", "SizeofResource", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/libloaderapi/nf-libloaderapi-sizeofresource"),
    ("KERNEL32.dll", "Sleep", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/synchapi/nf-synchapi-sleep"),
    ("KERNEL32.dll", "TlsAlloc", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/processthreadsapi/nf-processthreadsapi-tlsalloc"),
    ("KERNEL32.dll", "TlsFree", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/processthreadsapi/nf-processthreadsapi-tlsfree"),
    ("KERNEL32.dll", "TlsGetValue", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/processthreadsapi/nf-processthreadsapi-tlsgetvalue"),
    ("KERNEL32.dll", "TlsSetValue", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/processthreadsapi/nf-processthreadsapi-tlssetvalue"),
    ("KERNEL32.dll", "UnmapViewOfFile", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/memoryapi/nf-memoryapi-unmapviewoffile"),
    ("KERNEL32.dll", "VirtualProtect", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/memoryapi/nf-memoryapi-virtualprotect"),
    ("KERNEL32.dll", "VirtualQuery", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/memoryapi/nf-memoryapi-virtualquery"),
    ("KERNEL32.dll", "WaitForSingleObject", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/synchapi/nf-synchapi-waitforsingleobject"),
    ("KERNEL32.dll", "WideCharToMultiByte", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/stringapiset/nf-stringapiset-widechartomultibyte"),
    ("KERNEL32.dll", "WriteFile", "Windows XP",
     "https://learn.microsoft.com/en-us/windows/win32/api/fileapi/nf-fileapi-writefile"),
    ("USER32.dll", "CheckDlgButton", "Windows Vista",
     "https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-checkdlgbutton"),
    ("USER32.dll", "DialogBoxParamA", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-dialogboxparama"),
    ("USER32.dll", "EndDialog", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-enddialog"),
    ("USER32.dll", "GetActiveWindow", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-getactivewindow"),
    ("USER32.dll", "GetMonitorInfoA", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-getmonitorinfoa"),
    ("USER32.dll", "GetWindow", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-getwindow"),
    ("USER32.dll", "GetWindowLongA", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-getwindowlonga"),
    ("USER32.dll", "GetWindowRect", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-getwindowrect"),
    ("USER32.dll", "IsDlgButtonChecked", "Windows Vista",
     "https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-isdlgbuttonchecked"),
    ("USER32.dll", "IsIconic", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-isiconic"),
    ("USER32.dll", "IsWindow", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-iswindow"),
    ("USER32.dll", "IsWindowVisible", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-iswindowvisible"),
    ("USER32.dll", "MonitorFromWindow", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-monitorfromwindow"),
    ("USER32.dll", "SendDlgItemMessageA", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-senddlgitemmessagea"),
    ("USER32.dll", "SetWindowLongA", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-setwindowlonga"),
    ("USER32.dll", "SetWindowPos", "Windows 2000 Professional",
     "https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-setwindowpos"),
    ("msvcrt.dll", "__mb_cur_max", None,
     "https://learn.microsoft.com/en-us/cpp/c-runtime-library/mb-cur-max-func-mb-cur-max-l-func-p-mb-cur-max-mb-cur-max"),
    ("msvcrt.dll", "_amsg_exit", None,
     "https://learn.microsoft.com/en-us/cpp/c-runtime-library/reference/amsg-exit"),
    ("msvcrt.dll", "_close", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa246716(v=vs.60)"),
    ("msvcrt.dll", "_errno", None,
     "https://learn.microsoft.com/en-us/cpp/c-runtime-library/errno-doserrno-sys-errlist-and-sys-nerr"),
    ("msvcrt.dll", "_initterm", None,
     "https://learn.microsoft.com/en-us/cpp/c-runtime-library/reference/initterm-initterm-e"),
    ("msvcrt.dll", "_iob", None,
     "https://learn.microsoft.com/en-us/cpp/c-runtime-library/iob"),
    ("msvcrt.dll", "_lock", None,
     "https://learn.microsoft.com/en-us/cpp/c-runtime-library/lock"),
    ("msvcrt.dll", "_read", "Win 95, Win NT",
     "https://learn.microsoft.com/zh-cn/previous-versions/visualstudio/visual-studio-6.0/aa298551(v=vs.60)"),
    ("msvcrt.dll", "_unlock", None,
     "https://learn.microsoft.com/en-us/cpp/c-runtime-library/unlock"),
    ("msvcrt.dll", "abort", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa272002(v=vs.60)"),
    ("msvcrt.dll", "atoi", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa272023(v=vs.60)"),
    ("msvcrt.dll", "calloc", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa272048(v=vs.60)"),
    ("msvcrt.dll", "fputc", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa246408(v=vs.60)"),
    ("msvcrt.dll", "fputs", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa246409(v=vs.60)"),
    ("msvcrt.dll", "free", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa246411(v=vs.60)"),
    ("msvcrt.dll", "fwrite", "Win 95, Win NT",
     "https://learn.microsoft.com/zh-cn/previous-versions/visualstudio/visual-studio-6.0/aa246419(v=vs.60)"),
    ("msvcrt.dll", "iswctype", "Win 95, Win NT",
     "https://learn.microsoft.com/zh-cn/previous-versions/visualstudio/visual-studio-6.0/aa246446(v=vs.60)"),
    ("msvcrt.dll", "localeconv", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa246454(v=vs.60)"),
    ("msvcrt.dll", "malloc", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa246461(v=vs.60)"),
    ("msvcrt.dll", "memchr", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa246466(v=vs.60)"),
    ("msvcrt.dll", "memcmp", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa246467(v=vs.60)"),
    ("msvcrt.dll", "memcpy", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa246468(v=vs.60)"),
    ("msvcrt.dll", "memmove", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa246469(v=vs.60)"),
    ("msvcrt.dll", "memset", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa246471(v=vs.60)"),
    ("msvcrt.dll", "realloc", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa272879(v=vs.60)"),
    ("msvcrt.dll", "setlocale", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa272906(v=vs.60)"),
    ("msvcrt.dll", "strchr", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa272957(v=vs.60)"),
    ("msvcrt.dll", "strcmp", "Win 95, Win NT",
     "https://learn.microsoft.com/ru-ru/previous-versions/visualstudio/visual-studio-6.0/aa272960(v=vs.60)"),
    ("msvcrt.dll", "strcoll", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa272961(v=vs.60)"),
    ("msvcrt.dll", "strerror", None,
     "https://learn.microsoft.com/en-us/cpp/c-runtime-library/reference/strerror-strerror-wcserror-wcserror"),
    ("msvcrt.dll", "strftime", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa272978(v=vs.60)"),
    ("msvcrt.dll", "strlen", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa272984(v=vs.60)"),
    ("msvcrt.dll", "strncmp", "Win 95, Win NT",
     "https://learn.microsoft.com/zh-cn/previous-versions/visualstudio/visual-studio-6.0/aa272987(v=vs.60)"),
    ("msvcrt.dll", "strxfrm", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa273019(v=vs.60)"),
    ("msvcrt.dll", "towlower", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa273042(v=vs.60)"),
    ("msvcrt.dll", "towupper", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa273046(v=vs.60)"),
    ("msvcrt.dll", "vfprintf", "Win 95",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa273078(v=vs.60)"),
    ("msvcrt.dll", "wcscoll", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa272961(v=vs.60)"),
    ("msvcrt.dll", "wcsftime", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa272978(v=vs.60)"),
    ("msvcrt.dll", "wcslen", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa272984(v=vs.60)"),
    ("msvcrt.dll", "wcsxfrm", "Win 95, Win NT",
     "https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa273019(v=vs.60)"),
]

VERSIONS = {"Win 95": 4.0, "Win 95, Win NT": 4.0, "Windows 2000 Professional": 5.0, "Windows XP": 5.1,
            "Windows Vista": 6.0}
OLDEST = 5.1  # Windows XP (SP3)
THREAD_FUNCTIONS = {"_beginthread", "_beginthreadex", "CreateThread", "CreateRemoteThread", "SuspendThread",
                    "ResumeThread", "GetThreadContext", "SetThreadContext"}

OBJDUMP = sys.argv[1]
DLLS = sys.argv[2:]


class PeImage:
    """The few parts of a 32-bit PE image that decide where it loads."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        assert self.data[pe:pe + 4] == b"PE\0\0", path + ": no PE signature"
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", self.data, pe + 4)
        optional = pe + 24
        (self.magic,) = struct.unpack_from("<H", self.data, optional)
        self.os_version = struct.unpack_from("<HH", self.data, optional + 40)
        self.subsystem_version = struct.unpack_from("<HH", self.data, optional + 48)
        self.import_rva = struct.unpack_from("<I", self.data, optional + 96 + 8)[0]
        self.sections = []
        for i in range(sections):
            at = optional + optional_size + 40 * i
            name = self.data[at:at + 8].rstrip(b"\0").decode("ascii", "replace")
            virtual_size, rva, raw_size, raw_at = struct.unpack_from("<IIII", self.data, at + 8)
            self.sections.append((name, rva, max(virtual_size, raw_size), raw_at))

    def offset(self, rva):
        for _, start, size, raw_at in self.sections:
            if start <= rva < start + size:
                return raw_at + rva - start
        raise ValueError(f"RVA {rva:#x} in no section")

    def text(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("ascii")

    def imports(self):
        """(DLL, function) for every function imported by name."""
        found = []
        descriptor = self.offset(self.import_rva)
        while True:
            lookup, _, _, name_rva, address = struct.unpack_from("<IIIII", self.data, descriptor)
            if name_rva == 0:
                return found
            dll = self.text(name_rva)
            entry = self.offset(lookup or address)
            while True:
                (thunk,) = struct.unpack_from("<I", self.data, entry)
                if thunk == 0:
                    break
                found.append((dll, f"#{thunk & 0xFFFF}" if thunk & 0x80000000 else self.text(thunk + 2)))
                entry += 4
            descriptor += 20


class EveryDll(unittest.TestCase):
    documented = {(dll.lower(), function): (version, source) for dll, function, version, source in FIRST_WINDOWS}

    def test_every_import_is_documented_on_windows_xp_sp3(self):
        for path in DLLS:
            for dll, function in PeImage(path).imports():
                with self.subTest(dll=path, imported=f"{dll}!{function}"):
                    entry = self.documented.get((dll.lower(), function))
                    self.assertIsNotNone(entry, f"{dll}!{function} is not in the table of documented imports")
                    version = entry[0]
                    if version is not None:
                        self.assertLessEqual(VERSIONS[version], OLDEST,
                                             f"{dll}!{function} is documented from {version} on ({entry[1]})")

    def test_nothing_starts_or_steers_a_thread(self):
        for path in DLLS:
            functions = {function for _, function in PeImage(path).imports()}
            self.assertEqual(set(), functions & THREAD_FUNCTIONS, path)

    def test_header_says_i386_and_windows_xp_or_older(self):
        for path in DLLS:
            image = PeImage(path)
            self.assertEqual(0x14C, image.machine, path + ": machine i386")
            self.assertEqual(0x10B, image.magic, path + ": a 32-bit image")
            self.assertLessEqual(image.os_version, (5, 1), path + ": operating-system version")
            self.assertLessEqual(image.subsystem_version, (5, 1), path + ": subsystem version")

    def test_no_debug_sections(self):
        for path in DLLS:
            names = [name for name, _, _, _ in PeImage(path).sections]
            self.assertEqual([], [n for n in names if n.startswith(".debug") or n.startswith("/")], path)

    def test_no_implicit_thread_local_storage_is_used(self):
        for path in DLLS:
            code = subprocess.run([OBJDUMP, "-d", path], capture_output=True, text=True, check=True).stdout
            users = [line for line in code.splitlines() if "%fs:0x2c" in line]
            self.assertEqual([], users, path + ": reads the thread's implicit TLS pointer")


if __name__ == "__main__":
    for path in DLLS:
        image = PeImage(path)
        print(f"{path}: {len(image.data)} bytes, {len(image.imports())} imports, "
              f"OS {image.os_version[0]}.{image.os_version[1]}, "
              f"subsystem {image.subsystem_version[0]}.{image.subsystem_version[1]}")
    unittest.main(argv=sys.argv[:1], verbosity=2)
