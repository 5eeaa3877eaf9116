// A model over a scripted scene holding a T-pose biped, for scenario tests.
#pragma once

#include "model/characterizationmodel.h"
#include "scriptedhub.h"
#include "solver/nodenames.h"
#include "tposebiped.h"

#include <gtest/gtest.h>

#include <memory>

struct ModelFixture : ::testing::Test
{
    ScriptedHub hub; // outlives the model
    QVector<BipedJoint> biped;
    std::unique_ptr<CharacterizationModel> model;

    void SetUp() override
    {
        biped = AddTPoseBiped(hub, QStringLiteral("Char1:"));
        model = std::make_unique<CharacterizationModel>(&hub, nullptr);
    }

    // Binds every joint of the biped to its slot and validates.
    void BindBiped()
    {
        for (const BipedJoint& joint : biped)
            model->AssignNode(joint.node, joint.name);
        model->Revalidate();
    }

    QString JointName(NodeId id) const { return QStringLiteral("Char1:") + kinetra::NodeName(id); }

    // Adds a joint named after slot `id` and binds it.
    void AddAndBind(NodeId id, float x, float y, float z)
    {
        hub.AddJoint(JointName(id), QString(), x, y, z);
        model->AssignNode(id, JointName(id));
    }

    ValidationStatus Status(NodeId id) const { return model->NodeValidationOf(id).status; }
    std::string Message(NodeId id) const { return model->NodeValidationOf(id).message; }
    ValidationStatus Overall() const { return model->OverallValidation().status; }
    std::string OverallMessage() const { return model->OverallValidation().message; }
};
