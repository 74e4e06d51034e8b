// Small file, alert and text helpers of the preset files.
//
// Reading opens the file read-only. Writing never touches the target until the
// data is safely on disk: the bytes go to a temporary file in the target's
// folder, which XPlatFileClose renames over the target, so a failed save
// leaves the old file as it was.
#pragma once

#include <cstddef>

// Sizes of the remembered name and directory buffers, and of a joined path.
constexpr int kXPlatNameBytes = 257;  // 256 characters and the terminator
constexpr int kXPlatPathMax = 535;

struct XPlatFile;

// Opens dir followed by name (at most 535 characters together) and returns
// the file's length (0 for a file being written). On failure *handle is null
// and the length 0.
long XPlatFileOpen(const char* name, const char* dir, XPlatFile** handle, bool write);
// Byte reads and writes; each answers the number of bytes moved, 0 for a null handle.
long XPlatFileRead(XPlatFile* handle, void* buffer, long n);
long XPlatFileWrite(XPlatFile* handle, const void* buffer, long n);
// Closes the file. A file opened for writing replaces its target here; the
// answer says whether every write succeeded and the target now holds them.
bool XPlatFileClose(XPlatFile* handle);

// Splits path at its last "/": name gets what follows, dir everything up to
// and including the slash (both buffers of kXPlatNameBytes). A path with no
// slash, or a part of 257 characters or more, leaves both untouched and
// answers false.
bool XPlatGetFileNameAndDir(const char* path, char* name, char* dir);

// A warning with one OK button, shown without waiting; the message is
// reduced to ASCII first.
void XPlatDisplayAlert(const char* message);
// Where alerts go; the default shows them on the desktop. Tests install
// their own to see the message. Answers the handler it replaced.
using XPlatAlertHandler = void (*)(const char* message);
XPlatAlertHandler XPlatSetAlertHandler(XPlatAlertHandler handler);

// Copies in to out, each run of bytes of 0x80 and above becoming one "-";
// answers the length of in. out needs room for strlen(in) + 1 bytes.
int utf8_to_ascii(const char* in, char* out);

// The MIDI controller name for v in [0, 1] (130 names: 128 controllers, "not
// assigned", ""). out needs 16 bytes.
void convertCC(float v, char* out);
