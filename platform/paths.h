#pragma once
#include <string>

namespace platform {

// Directory of the running executable (from /proc/self/exe), without a trailing slash.
std::string ExecutableDir();
// File name of the running executable, without directory.
std::string ExecutableName();

// The per-user settings directory: $XDG_CONFIG_HOME/rezazo, or ~/.config/rezazo when that
// variable is unset, empty or relative. Without a trailing slash; not created here.
std::string SettingsDir();
// Where a settings file lives: a bare file name in SettingsDir(), a name with a directory
// part unchanged.
std::string SettingsFilePath(const std::string& name);
// True when the name has no directory part and so lives in SettingsDir().
bool IsBareFileName(const std::string& name);
// The per-user data directory: $XDG_DATA_HOME/rezazo, or ~/.local/share/rezazo when that
// variable is unset, empty or relative. Without a trailing slash; not created here.
std::string DataDir();
// A data file that lives beside the program: in programDir when the user may write there,
// else (the program installed system-wide) in DataDir().
std::string ProgramDataFilePath(const std::string& programDir, const std::string& name);
// mkdir -p; true when the directory exists afterwards, else false with errno saying why.
bool MakeDirectories(const std::string& dir);

}  // namespace platform
