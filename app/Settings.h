#pragma once
// The program's settings file: LOG/KOLBRENT.INI in the program's folder, or
// in the user's configuration folder for an installed program (see
// platform/RunFolders.h). The path is built anew on every access, and every
// access opens the file, reads or writes one value and lets it go again.
#include <QString>
#include <stdexcept>

namespace app {

inline constexpr char kSettingsSection[] = "QORVA";
inline constexpr char kCaptionKey[] = "CAPTION";
inline constexpr char kMsgKey[] = "MSG";
inline constexpr char kDefaultCaption[] = "Mirelo(MMX(+),3DNow(+),SSE(2/3),AMD64,EM64T)";

// Raised by WriteSetting when the file cannot be written; what() is
// "Unable to write to <full path of the settings file>" in UTF-8.
class ESettingsWriteError : public std::runtime_error {
 public:
  explicit ESettingsWriteError(const QString& path);
};

// The folder that holds LOG: the executable's folder unless a test has set
// another one.
QString ProgramFolder();
void SetProgramFolder(const QString& folder);  // empty restores the default

// <program folder>/LOG and <program folder>/LOG/KOLBRENT.INI; for an
// installed program $XDG_CONFIG_HOME/postcode-finder/LOG and the file in it.
QString SettingsFolder();
QString SettingsFilePath();

// Creates the LOG folder when missing (one level; for an installed program
// every missing level); a failure is ignored and shows later as reads that
// give their defaults.
void EnsureSettingsFolder();

// The stored value, or fallback, exactly as stored (no case change).
QString ReadSettingAsStored(const QString& section, const QString& key, const QString& fallback);

// The stored value, or fallback, with the ASCII letters a-z upper-cased.
QString ReadSetting(const QString& section, const QString& key, const QString& fallback);

// Stores the value and returns true; raises ESettingsWriteError on failure.
bool WriteSetting(const QString& section, const QString& key, const QString& value);

}  // namespace app
