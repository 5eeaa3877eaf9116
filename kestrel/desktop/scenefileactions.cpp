#include "desktop/scenefileactions.h"

#include "desktop/usercommand.h"
#include "desktop/usersettings.h"
#include "host.h"
#include "io/scenedocument.h"
#include "io/sceneformats.h"
#include "scene/scene.h"
#include "script/scriptlexer.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>

namespace kestrel {

namespace {

const char kRecentKey[] = "recentFiles";

} // namespace

SceneFileActions::SceneFileActions(Host& host, QWidget* window)
    : QObject(window)
    , m_host(host)
    , m_window(window)
    , m_menu(new QMenu(QStringLiteral("&File"), window))
    , m_recentMenu(new QMenu(QStringLiteral("Open &Recent"), m_menu))
{
    m_menu->addAction(
        QStringLiteral("&New Scene"), this,
        [this] {
            if (MaySetSceneAside())
                NewScene();
        },
        QKeySequence::New);
    m_menu->addAction(QStringLiteral("&Open..."), this, &SceneFileActions::ChooseAndOpen,
                      QKeySequence::Open);
    m_menu->addMenu(m_recentMenu);
    m_menu->addAction(QStringLiteral("&Import..."), this, &SceneFileActions::ChooseAndImport,
                      QKeySequence(QStringLiteral("Ctrl+I")));
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("&Save"), this, &SceneFileActions::Save, QKeySequence::Save);
    m_menu->addAction(QStringLiteral("Save &As..."), this, &SceneFileActions::ChooseAndSaveAs,
                      QKeySequence::SaveAs);
    m_menu->addSeparator();
    m_menu->addAction(
        QStringLiteral("&Quit"), this,
        [this] {
            if (MaySetSceneAside())
                Run(QStringLiteral("quit"));
        },
        QKeySequence::Quit);
    RebuildRecentMenu();

    SceneNotifier& notifier = host.GetScene().GetNotifier();
    m_callbacks.push_back(notifier.AddNodeAddedCallback([this](Node&) { MarkModified(); }));
    m_callbacks.push_back(
        notifier.AddDestroyedCallback(nullptr, [this](const QString&) { MarkModified(); }));
    m_callbacks.push_back(
        notifier.AddReparentedCallback(nullptr, [this](Node&) { MarkModified(); }));
    m_callbacks.push_back(notifier.AddChangedCallback(nullptr, [this](Node&) { MarkModified(); }));
    m_callbacks.push_back(notifier.AddNameChangedCallback(
        nullptr, [this](Node&, const QString&) { MarkModified(); }));
}

SceneFileActions::~SceneFileActions()
{
    SceneNotifier& notifier = m_host.GetScene().GetNotifier();
    for (const CallbackId id : m_callbacks)
        notifier.RemoveCallback(id);
}

void SceneFileActions::MarkModified()
{
    // Emptying the scene and filling it from a file are not a user's changes.
    const Scene& scene = m_host.GetScene();
    if (!scene.IsOpeningFile() && !scene.IsCreatingNewScene())
        m_modified = true;
}

bool SceneFileActions::MaySetSceneAside()
{
    if (!m_modified)
        return true;
    const QString path = m_host.GetDocument().FilePath();
    const QString name = path.isEmpty() ? QStringLiteral("The untitled scene")
                                        : QStringLiteral("\"%1\"").arg(QFileInfo(path).fileName());
    QMessageBox box(
        QMessageBox::Warning, QStringLiteral("Unsaved Changes"),
        QStringLiteral("%1 has changes that are not saved.\nSave them first?").arg(name),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, m_window);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        Save();
        return !m_modified;
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

QString SceneFileActions::OpenFilter()
{
    return SceneFormats::OpenFilter();
}

QStringList SceneFileActions::RecentFiles() const
{
    return DesktopSettings().value(QLatin1String(kRecentKey)).toStringList();
}

bool SceneFileActions::Run(const QString& statement)
{
    const bool ok = UserCommand::Run(m_host, statement).status == Status::Success;
    if (ok)
        emit DocumentChanged();
    return ok;
}

bool SceneFileActions::NewScene()
{
    if (!Run(QStringLiteral("newScene")))
        return false;
    m_modified = false;
    return true;
}

bool SceneFileActions::Open(const QString& path)
{
    if (!Run(QStringLiteral("openScene ") + ScriptLexer::Quote(path)))
        return false;
    m_modified = false;
    RememberRecent(path);
    return true;
}

bool SceneFileActions::Import(const QString& path)
{
    return Run(QStringLiteral("importFile ") + ScriptLexer::Quote(path));
}

bool SceneFileActions::Save()
{
    if (m_host.GetDocument().FilePath().isEmpty() ||
        QFileInfo(m_host.GetDocument().FilePath())
                .suffix()
                .compare(QLatin1String("json"), Qt::CaseInsensitive) != 0) {
        // Only the host's own format is written; a skeleton opened from another format is
        // saved under a new name.
        ChooseAndSaveAs();
        return true;
    }
    if (!Run(QStringLiteral("saveScene")))
        return false;
    m_modified = false;
    return true;
}

bool SceneFileActions::SaveAs(const QString& path)
{
    if (!Run(QStringLiteral("saveScene ") + ScriptLexer::Quote(path)))
        return false;
    m_modified = false;
    RememberRecent(path);
    return true;
}

void SceneFileActions::ChooseAndOpen()
{
    if (!MaySetSceneAside())
        return;
    const QString path = QFileDialog::getOpenFileName(m_window, QStringLiteral("Open Scene"),
                                                      QString(), OpenFilter());
    if (!path.isEmpty())
        Open(path);
}

void SceneFileActions::ChooseAndImport()
{
    const QString path =
        QFileDialog::getOpenFileName(m_window, QStringLiteral("Import"), QString(), OpenFilter());
    if (!path.isEmpty())
        Import(path);
}

void SceneFileActions::ChooseAndSaveAs()
{
    QString path =
        QFileDialog::getSaveFileName(m_window, QStringLiteral("Save Scene As"), QString(),
                                     QStringLiteral("Kestrel scenes (*.json)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".json");
    SaveAs(path);
}

void SceneFileActions::RememberRecent(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = RecentFiles();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > kMaxRecentFiles)
        files.removeLast();
    QSettings settings = DesktopSettings();
    settings.setValue(QLatin1String(kRecentKey), files);
    WriteSettings(settings, m_host);
    RebuildRecentMenu();
}

void SceneFileActions::RebuildRecentMenu()
{
    m_recentMenu->clear();
    const QStringList files = RecentFiles();
    for (const QString& file : files)
        m_recentMenu
            ->addAction(QFileInfo(file).fileName(), this,
                        [this, file] {
                            if (MaySetSceneAside())
                                Open(file);
                        })
            ->setToolTip(file);
    m_recentMenu->setEnabled(!files.isEmpty());
}

} // namespace kestrel
