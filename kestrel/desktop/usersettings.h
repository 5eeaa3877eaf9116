// The desktop's per-user settings files and the check that a change reached the disk.
#pragma once

#include <QSettings>

namespace kestrel {

class Host;

// Recent files: "desktop.ini" in the user's Kestrel configuration folder.
QSettings DesktopSettings();
// The script console's history: "Kestrel.conf" in the same folder.
QSettings ConsoleSettings();

// Writes what `settings` holds now. QSettings replaces its file atomically, so on a failure
// the old file stays; the person is told with the warning `Could not write the file "PATH".`
// and false is answered.
bool WriteSettings(QSettings& settings, Host& host);

} // namespace kestrel
