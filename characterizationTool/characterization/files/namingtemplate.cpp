#include "namingtemplate.h"

#include "files/settingsdocument.h"
#include "host/idcchub.h"
#include "model/characterizationmodel.h"
#include "solver/nodenames.h"

namespace {

const QString kMatchList = QStringLiteral("match_list");
const QString kUseRoot = QStringLiteral("use_root");

QStringList BonesInScope(IDCCHub& hub, MatchScope scope, const QString& prefix, const QString& root)
{
    if (scope == MatchScope::SelectedBones)
        return hub.GetSelectedTransforms();
    QStringList all;
    hub.GetAllTransforms(all);
    QStringList bones;
    for (const QString& name : all) {
        if (name.contains(prefix, Qt::CaseSensitive) || (!root.isEmpty() && name == root))
            bones.append(name);
    }
    return bones;
}

} // namespace

QVector<TemplateEntry> NamingTemplate::BuildTemplateEntries(const CharacterizationModel& model,
                                                            const QString& prefix)
{
    const QString root = PrefixRoot(prefix, model.Matching().Delimiters());
    QVector<TemplateEntry> entries(NodeCount);
    for (NodeId id = 0; id < NodeCount; ++id) {
        const QString bone = model.JointOfNode(id);
        if (bone.isEmpty())
            continue;
        if (bone.startsWith(prefix, Qt::CaseSensitive))
            entries[id].name = bone.mid(prefix.size());
        else if (!root.isEmpty())
            entries[id].useRoot = bone == root;
    }
    return entries;
}

bool NamingTemplate::WriteTemplate(const QString& path, const QVector<TemplateEntry>& entries)
{
    FlaggedList items;
    for (int id = 0; id < entries.size(); ++id)
        items.append({QLatin1String(kinetra::NodeName(id)), entries[id].name, entries[id].useRoot});
    SettingsDocument document(path);
    return document.SetFlaggedList(QString(), kMatchList, kUseRoot, false, items) &&
           document.Save();
}

QVector<TemplateEntry> NamingTemplate::ReadTemplate(const QString& path)
{
    const SettingsDocument document(path);
    FlaggedList items;
    document.GetFlaggedList(QString(), kMatchList, kUseRoot, false, items);
    QVector<TemplateEntry> entries;
    for (const FlaggedItem& item : items) {
        if (entries.size() == NodeCount)
            break;
        entries.append({item.Value, item.Flag});
    }
    return entries;
}

bool NamingTemplate::SaveTemplate(CharacterizationModel& model, const QString& path,
                                  const QString& prefix)
{
    if (!WriteTemplate(path, BuildTemplateEntries(model, prefix)))
        return false;
    model.SetLastOperationMessage(CharacterizationModel::tr("Template successfully saved."));
    return true;
}

void NamingTemplate::ApplyTemplate(CharacterizationModel& model, const QString& path,
                                   MatchScope scope, const QString& prefix)
{
    const QVector<TemplateEntry> entries = ReadTemplate(path);
    const QString root = PrefixRoot(prefix, model.Matching().Delimiters());
    if (IDCCHub* hub = model.Hub()) {
        const NameMatcher matcher(model.Matching(), hub);
        for (const QString& bone : BonesInScope(*hub, scope, prefix, root)) {
            NodeId node = -1;
            if (matcher.MatchBoneToTemplate(bone, root, entries, node))
                model.AssignNode(node, bone);
        }
    }
    model.SetLastOperationMessage(CharacterizationModel::tr("Template successfully applied."));
    if (!model.IsLocked())
        model.Revalidate();
}
