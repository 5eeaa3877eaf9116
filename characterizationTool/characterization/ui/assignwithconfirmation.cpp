#include "assignwithconfirmation.h"

#include "model/characterizationmodel.h"
#include "showcenteredmessagebox.h"
#include "solver/nodenames.h"

#include <QCoreApplication>

namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("AssignWithConfirmation", text);
}

QString NodeLabel(NodeId node)
{
    return QLatin1String(kinetra::NodeName(node));
}

} // namespace

bool ConfirmAndAssign(QWidget* parent, CharacterizationModel& model, NodeId node,
                      const QString& joint, bool mirroring, NodeId& mirrorNode,
                      QString& mirrorJoint)
{
    mirrorNode = -1;
    const QString present = model.JointOfNode(node);
    // Nothing to do for the joint the node already holds, nor for no joint at all.
    if (joint.isEmpty() || present == joint)
        return false;
    const QString title =
        mirroring ? Tr("Mirroring: Bone Already Assigned") : Tr("Bone Already Assigned");
    if (!present.isEmpty() &&
        ShowCenteredMessageBox(QMessageBox::Question, title,
                               Tr("\"%1\" is assigned to bone \"%2\".\nChange to \"%3\"?")
                                   .arg(NodeLabel(node), present, joint),
                               parent, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    NodeId holder = -1;
    if (model.FindNodeOfJoint(joint, holder) && holder != node) {
        if (ShowCenteredMessageBox(QMessageBox::Question, title,
                                   Tr("Bone \"%1\" is being used for the \"%2\".\nClear?")
                                       .arg(joint, NodeLabel(holder)),
                                   parent,
                                   QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
            return false;
        model.ClearNode(holder);
    }
    model.AssignNodeMirrored(node, joint, mirrorNode, mirrorJoint);
    model.SetEditedPart(node, false);
    return true;
}

bool AssignWithConfirmation(QWidget* parent, CharacterizationModel& model, NodeId node,
                            const QString& joint)
{
    NodeId mirrorNode = -1;
    QString mirrorJoint;
    const bool assigned =
        ConfirmAndAssign(parent, model, node, joint, false, mirrorNode, mirrorJoint);
    if (mirrorNode < 0)
        return assigned;
    const bool mirrorMode = model.IsMirrorMode();
    model.SetMirrorMode(false);
    NodeId unused = -1;
    QString unusedJoint;
    const bool mirrored =
        ConfirmAndAssign(parent, model, mirrorNode, mirrorJoint, true, unused, unusedJoint);
    model.SetMirrorMode(mirrorMode);
    return assigned || mirrored;
}
