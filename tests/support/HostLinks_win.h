// Links made by the host system below a Windows test's scratch folder, as another
// local user of a Wine machine could plant them: a symbolic link on the host shows
// to Windows programs as a folder link (FILE_ATTRIBUTE_REPARSE_POINT) or, for a
// file, as a plain file. The links are made and removed by running the host's own
// ln and rm, because a Windows program has no call for either.
#pragma once

#include <string>

namespace tolvar::test {

// True when the program runs under Wine (which can run host programs).
bool RunsUnderWine();

// Makes `link` (a Windows path) a host symbolic link to `target` (a Windows path);
// false when it did not appear within a few seconds.
bool MakeHostSymlink(const std::string& target, const std::string& link);

// Removes a host symbolic link itself; false when it is still there.
bool RemoveHostLink(const std::string& link);

// Makes a FIFO, or a character device node like the host's null device, at
// `path` (a Windows path below a scratch folder, never a real device's place);
// false when it did not appear (a device node needs the host's root).
bool MakeHostFifo(const std::string& path);
bool MakeHostNullDevice(const std::string& path);

// Renames `from` to `to` (Windows paths) on the host, as another user of the
// machine could while a Windows program holds it, or as a disk taken out of a
// drive and another put in: Wine does not hold a host rename to the Windows rules
// for files in use. False when the move did not show within a few seconds.
bool MoveOnHost(const std::string& from, const std::string& to);

}  // namespace tolvar::test
