#pragma once
// Device files of the built-in extensions. Every path is taken under the
// root named by MCB_DEVICE_ROOT (unset: "/"), so tests and users can point
// the extensions at a tree of their own.
#include <QByteArray>

// root + path, path being absolute ("/sys/...").
QByteArray devicePath(const char* path);
