#pragma once
// A reader and writer of INI text files with the private-profile rules the
// program's settings rely on (see IniText.h): section and key names compare
// case-insensitively, a missing file, section or key gives the caller's
// default, values are read up to kMaxProfileValue characters, and a write
// replaces the key's line in place, keeping every other line (comments
// included) as it was. Files are UTF-8, or CP949 when written so by another
// editor, and keep their encoding. A write replaces the file whole
// (platform/AtomicWrite.h): the file on disk is always either the old one or
// the new one, never half of either; a link is followed, and a device, a
// FIFO or a folder in the file's place is refused.
#include <QString>

#include "platform/IniText.h"

namespace platform {

// Files larger than this are not settings files; they read as empty and are
// never rewritten.
inline constexpr qint64 kMaxProfileFileSize = 1 << 20;

// The stored value of key in section, with the blanks around it removed and
// one pair of enclosing quotes stripped; fallback when the file cannot be read
// (missing, unreadable, binary, neither UTF-8 nor CP949, too large) or holds
// no such key.
QString ReadProfileString(const QString& path, const QString& section, const QString& key,
                          const QString& fallback);

// Stores key=value in section, creating the file (UTF-8) and the section when
// they are missing. Returns false, leaving the file as it was and setting
// *why, when the file cannot be read back whole (not a regular file among
// them), cannot be written, when the names or the value would break the line
// format (line breaks, '=' in a key, ']' in a section), or when the value has
// no form in the file's encoding.
bool WriteProfileString(const QString& path, const QString& section, const QString& key,
                        const QString& value, QString* why = nullptr);

}  // namespace platform
