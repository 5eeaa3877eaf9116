#include "templateactions.h"

#include "applytemplatedialog.h"
#include "files/namingtemplate.h"
#include "files/toolpaths.h"
#include "host/idcchub.h"
#include "model/characterizationmodel.h"
#include "savetemplatedialog.h"
#include "showcenteredmessagebox.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kTemplateExtension = QStringLiteral(".xml");

} // namespace

TemplateActions::TemplateActions(QWidget* parent, CharacterizationModel& model,
                                 const ToolPaths& paths)
    : m_parent(parent)
    , m_model(model)
    , m_paths(paths)
{}

void TemplateActions::Warn(const QString& title, const QString& text) const
{
    ShowCenteredMessageBox(QMessageBox::Warning, title, text, m_parent, QMessageBox::Ok);
}

QString TemplateActions::TemplateDirectory() const
{
    return m_paths.UserDir() + QStringLiteral("/template");
}

void TemplateActions::ExtractTemplate()
{
    const Characterization* current = m_model.CurrentCharacterization();
    QStringList joints;
    for (NodeId id = 0; id < NodeCount; ++id) {
        if (current->IsNodeAssigned(id))
            joints.append(current->JointName(id));
    }
    const QString title = QObject::tr("Extract Template Error");
    if (joints.isEmpty()) {
        Warn(title, QObject::tr("A naming template cannot be extracted from an empty "
                                "characterization.\nYou must map at least one bone in the "
                                "skeleton first."));
        return;
    }
    QString prefix;
    NameMatcher(m_model.Matching(), m_model.Hub()).GuessPrefix(joints, prefix);
    const QString directory =
        m_lastDirectory.isEmpty() ? TemplateDirectory() + QLatin1Char('/') : m_lastDirectory;
    QString name = QStringLiteral("template");
    ToolPaths::UniqueFileName(name, directory, kTemplateExtension);

    SaveTemplateDialog dialog(m_parent, joints.first(), prefix, name, directory);
    if (dialog.exec() != QDialog::Accepted)
        return;
    prefix = dialog.Prefix();
    name = dialog.Name();
    const QString chosenDirectory = dialog.Path();
    if (!name.endsWith(kTemplateExtension, Qt::CaseSensitive))
        name += kTemplateExtension;
    if (!QFileInfo(chosenDirectory).isDir()) {
        Warn(title, QObject::tr("The directory does not exist."));
        return;
    }
    const QString path = chosenDirectory + name;
    if (!CanWriteTo(chosenDirectory, path))
        return;
    if (!NamingTemplate::SaveTemplate(m_model, path, prefix) && m_model.Hub())
        m_model.Hub()->WarnFileNotWritten(QFileInfo(path).absoluteFilePath());
    m_lastDirectory = chosenDirectory;
}

bool TemplateActions::CanWriteTo(const QString& directory, const QString& path) const
{
    // Asked without touching the disk: a probe that created the file would leave an empty
    // template behind whenever the save itself then fails.
    const QFileInfo file(path);
    if (file.exists() ? file.isReadable() && file.isWritable() : QFileInfo(directory).isWritable())
        return true;
    Warn(QObject::tr("Extract Template Error"),
         QObject::tr("The directory ") + directory +
             QObject::tr(" is not writable or readable. \n\nPlease select a valid directory."));
    return false;
}

void TemplateActions::ApplyTemplate()
{
    IDCCHub* hub = m_model.Hub();
    const QStringList selection = hub ? hub->GetSelectedTransforms() : QStringList();
    if (m_model.IsLocked()) {
        Warn(QObject::tr("Characterization Locked"),
             QObject::tr("The current characterization is locked.\nYou must unlock it before "
                         "you can apply a mapping template."));
        return;
    }
    if (selection.isEmpty()) {
        Warn(QObject::tr("Match Error"),
             QObject::tr("You must select at least one bone in the skeleton\nbefore you can use "
                         "a mapping template."));
        return;
    }
    QString prefix;
    NameMatcher(m_model.Matching(), hub).GuessPrefix(selection, prefix);
    ApplyTemplateDialog dialog(m_parent, TemplateDirectory(), prefix);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QFileInfo chosen(dialog.TemplatePath());
    if (dialog.TemplatePath().isEmpty() || !chosen.isFile())
        return;
    NamingTemplate::ApplyTemplate(m_model, chosen.absoluteFilePath(),
                                  static_cast<MatchScope>(dialog.Scope()), dialog.Prefix());
}
