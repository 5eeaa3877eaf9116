#include "files/toolpaths.h"

#include "files/savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <initializer_list>

namespace {

const QString kLayoutVersion = QStringLiteral("2.0");
const QString kConfigFolder = QStringLiteral("config");
const QString kTemplateFolder = QStringLiteral("template");
const QString kClipFolder = QStringLiteral("clip");
const QString kSettingsFile = QStringLiteral("characterization_tool.xml");

// True when inner is outer itself or lies below it. Both folders must exist.
bool IsSameOrInside(const QDir& inner, const QDir& outer)
{
    const QString innerPath = inner.canonicalPath();
    QString outerPath = outer.canonicalPath();
    if (!outerPath.endsWith(QLatin1Char('/')))
        outerPath += QLatin1Char('/');
    return innerPath == outer.canonicalPath() || innerPath.startsWith(outerPath);
}

} // namespace

ToolPaths::ToolPaths(const QString& pluginDir, const QString& resourceDir)
    : m_pluginDir(pluginDir)
    , m_resourceDir(resourceDir)
    , m_userDir(UserDirFromEnvironment())
    , m_version(kLayoutVersion)
{
    for (const QString& dir : {m_userDir, ConfigDir(), TemplateDir(), ClipDir()})
        QDir().mkpath(dir);
    if (!m_resourceDir.isEmpty())
        SeedDefaults();
}

QString ToolPaths::ConfigDir() const
{
    return m_userDir + QLatin1Char('/') + kConfigFolder;
}

QString ToolPaths::TemplateDir() const
{
    return m_userDir + QLatin1Char('/') + kTemplateFolder;
}

QString ToolPaths::ClipDir() const
{
    return m_userDir + QLatin1Char('/') + kClipFolder;
}

QString ToolPaths::SettingsFilePath() const
{
    return ConfigDir() + QLatin1Char('/') + kSettingsFile;
}

QString ToolPaths::ToolFolderName()
{
    const QString version = QString::fromLatin1(kToolVersion);
    return QStringLiteral("KNTCharacterizationTool") + version.section(QLatin1Char('.'), 0, 0);
}

QString ToolPaths::UserDirFromEnvironment()
{
    const QString appData = qEnvironmentVariable("APPDATA");
    const QString path = QStringLiteral("%1/Orrery/%2").arg(appData, ToolFolderName());
    return QDir::cleanPath(QDir(path).absolutePath());
}

bool ToolPaths::CopyDefaults(const QString& sourceDir, const QString& targetDir,
                             const QString& nameFilter, QStringList* unwritten)
{
    // An empty path would mean the working directory.
    if (sourceDir.isEmpty() || targetDir.isEmpty())
        return false;
    const QDir source(sourceDir);
    const QDir target(targetDir);
    // A target inside the source would be found again as a subfolder, without end.
    if (!source.exists() || !target.exists() || IsSameOrInside(target, source))
        return false;

    bool complete = true;
    const auto folders = source.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QString& name : folders) {
        target.mkdir(name);
        complete &=
            CopyDefaults(source.filePath(name), target.filePath(name), nameFilter, unwritten);
    }
    const auto files =
        source.entryList(QStringList{nameFilter}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : files) {
        const QString destination = target.filePath(name);
        if (QFileInfo::exists(destination))
            continue;
        QFile original(source.filePath(name));
        if (original.open(QIODevice::ReadOnly) && SaveFileContents(destination, original.readAll()))
            continue;
        complete = false;
        if (unwritten)
            unwritten->append(destination);
    }
    return complete;
}

QString ToolPaths::UniqueFileName(QString& baseName, const QString& directory,
                                  const QString& extension)
{
    if (baseName.isEmpty() || baseName.contains(QLatin1Char('/')))
        return {};
    const QDir dir(directory);
    QString candidate = baseName;
    for (int counter = 1; QFileInfo::exists(dir.filePath(candidate + extension)); ++counter)
        candidate = QStringLiteral("%1(%2)").arg(baseName, QString::number(counter));
    baseName = candidate;
    return dir.absoluteFilePath(candidate + extension);
}

void ToolPaths::SeedDefaults()
{
    const QDir resources(m_resourceDir);
    CopyDefaults(resources.filePath(kConfigFolder), ConfigDir(), QStringLiteral("*.xml"),
                 &m_unseeded);
    CopyDefaults(resources.filePath(kTemplateFolder), TemplateDir(), QStringLiteral("*.xml"),
                 &m_unseeded);
    CopyDefaults(resources.filePath(kClipFolder), ClipDir(), QStringLiteral("*.xfr"), &m_unseeded);
}
