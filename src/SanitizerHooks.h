#pragma once
// Include in exactly one file of each program that talks to a bus.
//
// libdbus keeps a few allocations until dbus_shutdown(), which nothing
// calls while the toolkit may still use the connection; the leak checker
// of the sanitizer build would report them at every exit.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
// Standard error is the image's and the runtime's: no suppression report.
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
