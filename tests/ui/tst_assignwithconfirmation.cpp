// The interactive assignment: which questions it asks, and what each answer leaves behind.
#include "assignwithconfirmation.h"
#include "modalanswerer.h"
#include "model/characterizationmodel.h"
#include "scriptedhub.h"
#include "tposebiped.h"

#include <QWidget>
#include <QtTest>

#include <memory>

class AssignWithConfirmationTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ScriptedHub> m_hub;
    std::unique_ptr<CharacterizationModel> m_model;
    QWidget m_parent;

    QString Joint(NodeId id) const { return m_model->JointOfNode(id); }

private slots:
    void init()
    {
        m_hub = std::make_unique<ScriptedHub>();
        AddTPoseBiped(*m_hub, "Char:");
        m_model = std::make_unique<CharacterizationModel>(m_hub.get(), nullptr);
    }

    void cleanup()
    {
        m_model.reset();
        m_hub.reset();
    }

    void freeNodeAndFreeJointAreBoundWithoutQuestion()
    {
        QSignalSpy edited(m_model.get(), &CharacterizationModel::EditedPartChanged);
        QVERIFY(AssignWithConfirmation(&m_parent, *m_model, 9, "Char:LeftArm"));
        QCOMPARE(Joint(9), QString("Char:LeftArm"));
        QCOMPARE(edited.count(), 1);
        QCOMPARE(edited.at(0).at(2).toBool(), false);
        // The node already holds it: nothing asked, nothing changed.
        QVERIFY(!AssignWithConfirmation(&m_parent, *m_model, 9, "Char:LeftArm"));
        QCOMPARE(edited.count(), 1);
    }

    void replacingAJointAsksFirst()
    {
        m_model->AssignNode(9, "Char:LeftArm");
        ModalAnswerer answers;
        answers.Click("No");
        QVERIFY(!AssignWithConfirmation(&m_parent, *m_model, 9, "Char:LeftForeArm"));
        QCOMPARE(Joint(9), QString("Char:LeftArm"));
        QCOMPARE(answers.Seen(), QStringList{"Bone Already Assigned|\"LeftArm\" is assigned to "
                                             "bone \"Char:LeftArm\".\nChange to "
                                             "\"Char:LeftForeArm\"?"});
        answers.Click("Yes");
        QVERIFY(AssignWithConfirmation(&m_parent, *m_model, 9, "Char:LeftForeArm"));
        QCOMPARE(Joint(9), QString("Char:LeftForeArm"));
    }

    void takingAJointFromAnotherNodeAsksToClearIt()
    {
        m_model->AssignNode(10, "Char:LeftForeArm");
        ModalAnswerer answers;
        answers.Click("Cancel");
        QVERIFY(!AssignWithConfirmation(&m_parent, *m_model, 9, "Char:LeftForeArm"));
        QCOMPARE(Joint(10), QString("Char:LeftForeArm"));
        QCOMPARE(Joint(9), QString());
        QCOMPARE(answers.Seen().last(), QString("Bone Already Assigned|Bone \"Char:LeftForeArm\" "
                                                "is being used for the \"LeftForeArm\".\nClear?"));

        answers.Click("OK");
        QVERIFY(AssignWithConfirmation(&m_parent, *m_model, 9, "Char:LeftForeArm"));
        QCOMPARE(Joint(10), QString());
        QCOMPARE(Joint(9), QString("Char:LeftForeArm"));
    }

    void acceptingTheFirstQuestionAndCancellingTheSecondKeepsTheOldJoint()
    {
        m_model->AssignNode(9, "Char:LeftArm");
        m_model->AssignNode(10, "Char:LeftForeArm");
        ModalAnswerer answers;
        answers.Click("Yes");
        answers.Click("Cancel");
        QVERIFY(!AssignWithConfirmation(&m_parent, *m_model, 9, "Char:LeftForeArm"));
        QCOMPARE(Joint(9), QString("Char:LeftArm"));
        QCOMPARE(Joint(10), QString("Char:LeftForeArm"));
        QVERIFY(answers.AllAnswered());
    }

    void mirrorModeOffersThePartnerWithItsOwnQuestions()
    {
        m_model->AddMirrorPair("Left", "Right");
        m_model->SetMirrorMode(true);
        m_model->AssignNode(12, "Char:RightForeArm");
        ModalAnswerer answers;
        answers.Click("No");
        QVERIFY(AssignWithConfirmation(&m_parent, *m_model, 9, "Char:LeftArm"));
        QCOMPARE(Joint(9), QString("Char:LeftArm"));
        QCOMPARE(Joint(12), QString("Char:RightForeArm"));
        QVERIFY(answers.Seen().last().startsWith("Mirroring: Bone Already Assigned|\"RightArm\""));
        QVERIFY(m_model->IsMirrorMode()); // restored after the mirrored step

        m_model->ClearNode(12);
        QVERIFY(AssignWithConfirmation(&m_parent, *m_model, 10, "Char:LeftForeArm"));
        QCOMPARE(Joint(13), QString("Char:RightForeArm"));
    }
};

QTEST_MAIN(AssignWithConfirmationTest)
#include "tst_assignwithconfirmation.moc"
