#include "characterizationtoolrecordcmd.h"

#include "charactertool.h"
#include "host/kestrel/characterizationtoolwrapper.h"
#include "model/characterizationmodel.h"
#include "pluginstate.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonObject CharacterRecord(const Characterization& c)
{
    QJsonArray bound;
    for (NodeId id = 0; id < NodeCount; ++id) {
        if (!c.JointName(id).isEmpty())
            bound.append(QJsonArray{id, c.JointName(id)});
    }
    QJsonArray inverted;
    for (int index = 0; index < 4; ++index)
        inverted.append(kinetra::GetInversionFlag(c.InversionFlags(), index) != 0);
    return QJsonObject{{QStringLiteral("name"), c.Name()},
                       {QStringLiteral("locked"), c.IsLocked()},
                       {QStringLiteral("inverted"), inverted},
                       {QStringLiteral("slots"), bound}};
}

} // namespace

const QString& CharacterizationToolRecordCmd::CommandName()
{
    static const QString name = QStringLiteral("characterizationToolRecord");
    return name;
}

kestrel::Status CharacterizationToolRecordCmd::Run(const kestrel::ArgumentList&)
{
    const CharacterizationModel* model = PluginState::LiveModel();
    if (!model) {
        SetResult(kestrel::Value(QString()));
        return kestrel::Status::Success;
    }
    QJsonArray characters;
    for (int index = 0; index < model->CharacterizationCount(); ++index) {
        if (const Characterization* c = model->CharacterizationAt(index))
            characters.append(CharacterRecord(*c));
    }
    const Characterization* current = model->CurrentCharacterization();
    const QJsonObject record{
        {QStringLiteral("current"), current ? current->Name() : QString()},
        {QStringLiteral("mirror"), model->IsMirrorMode()},
        {QStringLiteral("characters"), characters},
    };
    SetResult(
        kestrel::Value(QString::fromUtf8(QJsonDocument(record).toJson(QJsonDocument::Compact))));
    return kestrel::Status::Success;
}
