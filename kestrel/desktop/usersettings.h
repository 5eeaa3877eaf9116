// The desktop's per-user settings file and the check that a change reached the disk.
#pragma once

#include <QSettings>

namespace kestrel {

class Host;

// The desktop's one settings file, "desktop.ini" in the user's Kestrel configuration folder:
// the recent files and the script console's history.
QSettings DesktopSettings();

// Writes what `settings` holds now. QSettings replaces its file atomically, so on a failure
// the old file stays; the person is told with the warning `Could not write the file "PATH".`
// and false is answered.
bool WriteSettings(QSettings& settings, Host& host);

} // namespace kestrel
