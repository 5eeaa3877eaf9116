#include "characterizationstancecmd.h"

#include "charactertool.h"
#include "host/kestrel/characterizationtoolwrapper.h"
#include "model/characterization.h"
#include "model/characterizationmodel.h"
#include "model/stancereport.h"
#include "pluginstate.h"
#include "stancefixer.h"

#include "host.h"
#include "scene/node.h"
#include "scene/scene.h"
#include "scene/transformquery.h"
#include "script/parsedarguments.h"

const QString& CharacterizationStanceCmd::CommandName()
{
    static const QString name = QStringLiteral("characterizationStance");
    return name;
}

kestrel::Syntax CharacterizationStanceCmd::BuildSyntax()
{
    kestrel::Syntax syntax;
    syntax.AddFlag("-ch", "-character", kestrel::ArgumentType::String);
    syntax.EnableEdit();
    syntax.EnableQuery();
    return syntax;
}

kestrel::Status CharacterizationStanceCmd::Fail(const QString& message)
{
    if (PluginState* state = PluginState::Instance())
        state->Host().DisplayError(QStringLiteral("%1: %2").arg(CommandName(), message));
    return kestrel::Status::Failure;
}

QStringList CharacterizationStanceCmd::Report(const Characterization& characterization) const
{
    std::vector<StanceAngle> angles;
    if (characterization.IsLocked()) {
        angles = StanceReport::Measure(characterization);
    } else {
        kestrel::Scene& scene = PluginState::Instance()->Host().GetScene();
        angles = StanceReport::Measure([&](NodeId id, double position[3]) {
            const kestrel::Node* joint = scene.Find(characterization.JointName(id));
            if (characterization.JointName(id).isEmpty() || !joint || !joint->IsTransform())
                return false;
            const kestrel::Vector3 at = kestrel::Translation(*joint, kestrel::Space::World);
            position[0] = at.x;
            position[1] = at.y;
            position[2] = at.z;
            return true;
        });
    }
    QStringList pairs;
    for (const StanceAngle& angle : angles)
        pairs << angle.rule << QString::number(angle.degrees, 'f', 4);
    return pairs;
}

kestrel::Status CharacterizationStanceCmd::Run(const kestrel::ArgumentList& arguments)
{
    const kestrel::ParsedArguments parsed(arguments);
    if (parsed.ParseStatus() != kestrel::Status::Success)
        return parsed.ParseStatus();
    if (parsed.IsQuery() == parsed.IsEdit())
        return Fail(QStringLiteral("use -q to measure the pose or -e to fix it."));
    PluginState* state = PluginState::Instance();
    CharacterizationToolWrapper* hub = nullptr;
    CharacterizationModel* model = PluginState::LiveModel(&hub);
    if (!model)
        return Fail(QStringLiteral("no characterization tool is open."));
    QString name;
    const bool named =
        parsed.GetFlagArgument(QStringLiteral("character"), 0, name) == kestrel::Status::Success;
    Characterization* characterization = model->CurrentCharacterization();
    if (named) {
        characterization = nullptr;
        for (int index = 0; index < model->CharacterizationCount(); ++index) {
            Characterization* candidate = model->CharacterizationAt(index);
            if (candidate && candidate->Name() == name && !characterization)
                characterization = candidate;
        }
        if (!characterization)
            return Fail(QStringLiteral("there is no characterization named \"%1\".").arg(name));
    }
    const QStringList report = Report(*characterization);
    if (report.isEmpty())
        return Fail(QStringLiteral("\"%1\" binds none of the joints the pose rules measure.")
                        .arg(characterization->Name()));
    if (parsed.IsQuery()) {
        SetResult(kestrel::Value(report));
        return kestrel::Status::Success;
    }
    if (characterization->IsLocked())
        return Fail(QStringLiteral("\"%1\" is locked; unlock it to change its pose.")
                        .arg(characterization->Name()));
    QString error;
    const int rotated = StanceFixer(state->Host(), characterization->JointNames()).Apply(&error);
    if (rotated < 0)
        return Fail(error);
    // The tool samples the new pose at once, so its warnings go with it.
    hub->GetStatus(true);
    SetResult(kestrel::Value(rotated));
    return kestrel::Status::Success;
}
