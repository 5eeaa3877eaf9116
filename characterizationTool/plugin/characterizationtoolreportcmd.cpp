#include "characterizationtoolreportcmd.h"

#include "charactertool.h"
#include "host/kestrel/characterizationtoolwrapper.h"
#include "model/characterizationmodel.h"
#include "pluginstate.h"
#include "solver/nodenames.h"

#include "host.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString StatusWord(ValidationStatus status)
{
    switch (status) {
    case ValidationStatus::Valid:
        return QStringLiteral("valid");
    case ValidationStatus::Warning:
        return QStringLiteral("warning");
    case ValidationStatus::Error:
        return QStringLiteral("error");
    case ValidationStatus::NotSet:
        break;
    }
    return QStringLiteral("not set");
}

} // namespace

const QString& CharacterizationToolReportCmd::CommandName()
{
    static const QString name = QStringLiteral("characterizationToolReport");
    return name;
}

kestrel::Status CharacterizationToolReportCmd::Run(const kestrel::ArgumentList&)
{
    PluginState* state = PluginState::Instance();
    CharacterizationToolWrapper* hub = nullptr;
    const CharacterizationModel* model = PluginState::LiveModel(&hub);
    if (!model) {
        if (state)
            state->Host().DisplayError(
                QStringLiteral("%1: no characterization tool is open.").arg(CommandName()));
        return kestrel::Status::Failure;
    }
    // Revalidates first, as -curcharstatus does, so both answer about the same state.
    const int code = hub->GetStatus(true);
    const Characterization& current = *model->CurrentCharacterization();
    QJsonArray nodes;
    QJsonArray missing;
    for (NodeId id = 0; id < NodeCount; ++id) {
        const NodeValidation& validation = model->NodeValidationOf(id);
        if (validation.status == ValidationStatus::NotSet) {
            if (model->IsRequiredNode(id))
                missing.append(QString::fromLatin1(kinetra::NodeName(id)));
            continue;
        }
        nodes.append(QJsonObject{
            {QStringLiteral("id"), id},
            {QStringLiteral("name"), QString::fromLatin1(kinetra::NodeName(id))},
            {QStringLiteral("joint"), current.JointName(id)},
            {QStringLiteral("status"), StatusWord(validation.status)},
            {QStringLiteral("message"), QString::fromStdString(validation.message)},
        });
    }
    const NodeValidation& overall = model->OverallValidation();
    const QJsonObject report{
        {QStringLiteral("character"), current.Name()},
        {QStringLiteral("code"), code},
        {QStringLiteral("status"), StatusWord(overall.status)},
        {QStringLiteral("message"), QString::fromStdString(overall.message)},
        {QStringLiteral("missing"), missing},
        {QStringLiteral("nodes"), nodes},
    };
    SetResult(
        kestrel::Value(QString::fromUtf8(QJsonDocument(report).toJson(QJsonDocument::Compact))));
    return kestrel::Status::Success;
}
