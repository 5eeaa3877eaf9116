// Where the tool keeps its per-user files, and the seeding of those folders from the default
// files shipped beside the plug-in.
#pragma once

#include <QString>
#include <QStringList>

// The tool's version. Its major number names the per-user folder, so a new major version starts
// from fresh defaults while older versions keep their own settings.
constexpr char kToolVersion[] = "6.0.0";

// The tool's folders, fixed at construction:
//
//   <APPDATA>/Orrery/KNTCharacterizationTool<major>   the per-user directory
//       config/characterization_tool.xml              the settings file
//       template/                                     naming templates (*.xml)
//       clip/                                         clip files (*.xfr), seeded only
//
// The resource directory holds the shipped defaults in "config", "template" and "clip"
// subfolders; any of them may be missing.
//
// Built once by the main panel and kept for its lifetime. A folder that cannot be created or a
// default that cannot be copied leaves the tool running on its built-in defaults; the defaults
// that could not be written are listed by UnseededFiles() for the panel to report.
//
// The compiled-in images are not handled here: they register themselves when the plug-in
// library loads, and loading them as pixmaps needs Qt Gui, so that belongs to the UI layer.
class ToolPaths
{
public:
    // Takes APPDATA from the process environment as it is now, creates the four per-user
    // folders (with missing parents) and copies in every shipped default the user lacks.
    // Existing user files are never replaced. An empty resourceDir seeds nothing.
    ToolPaths(const QString& pluginDir, const QString& resourceDir);

    // The folder the plug-in was loaded from, as given.
    QString PluginDir() const { return m_pluginDir; }
    // The shipped defaults folder, as given.
    QString ResourceDir() const { return m_resourceDir; }
    // Absolute, clean path of the per-user directory.
    QString UserDir() const { return m_userDir; }
    // The per-user "config", "template" and "clip" folders.
    QString ConfigDir() const;
    QString TemplateDir() const;
    QString ClipDir() const;
    // The per-user settings file, "config/characterization_tool.xml" below UserDir().
    QString SettingsFilePath() const;
    // The per-user files seeding should have made but could not write (a full disk, a
    // read-only folder), absolute paths in copying order; empty when seeding was complete.
    const QStringList& UnseededFiles() const { return m_unseeded; }
    // Version of this per-user layout ("2.0"); nothing in the tool reads it yet.
    QString Version() const { return m_version; }

    // "KNTCharacterizationTool" followed by the major number of kToolVersion.
    static QString ToolFolderName();

    // The per-user directory for the current environment: "<APPDATA>/Orrery/<ToolFolderName>",
    // made absolute. Without APPDATA it lies directly below the file-system root.
    static QString UserDirFromEnvironment();

    // Copies every file of sourceDir matching nameFilter (a wildcard such as "*.xml") into
    // targetDir unless a file of that name is already there, and does the same for every
    // subfolder, creating it in the target; subfolders are followed whatever the filter,
    // symbolic links to folders are not. Returns false
    // when a folder is missing or empty, when targetDir lies inside sourceDir, or when some copy
    // failed; what could be copied is copied, and the target paths that could not be written
    // are appended to `unwritten` when it is given. A failed copy leaves no file behind.
    static bool CopyDefaults(const QString& sourceDir, const QString& targetDir,
                             const QString& nameFilter, QStringList* unwritten = nullptr);

    // Proposes a new file name in directory: baseName, else "baseName(1)", "baseName(2)"...,
    // the first whose file name baseName + extension is not taken. Stores the chosen name back
    // in baseName and returns its absolute path. An empty baseName or one containing "/" gets
    // an empty path and is left as it was.
    static QString UniqueFileName(QString& baseName, const QString& directory,
                                  const QString& extension);

private:
    void SeedDefaults();

    QString m_pluginDir;
    QString m_resourceDir;
    QString m_userDir;
    QString m_version;
    QStringList m_unseeded;
};
