#include "autocharacterizeaction.h"

#include "automapchange.h"
#include "automapdialog.h"
#include "automapper.h"
#include "host/idcchub.h"
#include "model/characterizationmodel.h"
#include "showcenteredmessagebox.h"
#include "skeleton.h"

#include <QObject>

void AutoCharacterizeAction::Run(QWidget* parent, CharacterizationModel& model)
{
    const QString title = QObject::tr("Auto Characterize");
    const auto warn = [&](const QString& text) {
        ShowCenteredMessageBox(QMessageBox::Warning, title, text, parent, QMessageBox::Ok);
    };
    if (model.IsLocked()) {
        warn(QObject::tr("The current characterization is locked.\nYou must unlock it before "
                         "you can characterize it automatically."));
        return;
    }
    Skeleton skeleton;
    if (!model.Hub() || !Skeleton::FromHub(*model.Hub(), QString(), skeleton, nullptr) ||
        skeleton.joints.isEmpty()) {
        warn(QObject::tr("The scene holds no joints to characterize."));
        return;
    }
    const AutoMapProposal proposal = AutoMapper::Propose(skeleton);
    if (!proposal.IsBiped()) {
        warn(QObject::tr("No characterization was proposed: %1.").arg(proposal.refusal));
        return;
    }
    QStringList names;
    for (const SkeletonJoint& joint : skeleton.joints)
        names.append(joint.name);
    AutoMapDialog dialog(proposal, names, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QVector<AutoMapChange::Binding> rows = dialog.TickedBindings();
    // Through the host when it can take the whole change back in one step.
    const QString character = model.CurrentCharacterization()->Name();
    QVector<QPair<int, QString>> bindings;
    for (const AutoMapChange::Binding& row : rows)
        bindings.append({row.node, row.joint});
    if (character.startsWith(IDCCHub::GetNoneName()) ||
        !model.Hub()->BindAsOneStep(character, bindings))
        AutoMapChange(rows).Apply(model);
}
