// The property view: what it shows for the edited node, and binding through its chooser; and
// the interactive assignment every view binds through: which questions it asks, and what each
// answer leaves behind.
#include "assignwithconfirmation.h"
#include "modalanswerer.h"
#include "model/characterizationmodel.h"
#include "property/completerwidget.h"
#include "property/lineeditwithmousebroadcast.h"
#include "property/propertyview.h"
#include "scriptedhub.h"
#include "tposebiped.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

constexpr int kTranslateRow = 0;
constexpr int kRotateRow = 1;
constexpr int kPreRotateRow = 3;
constexpr int kMinLimitRow = 5;
constexpr int kMaxLimitRow = 6;

QPushButton* ButtonNamed(QWidget* dialog, const QString& text)
{
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

} // namespace

class PropertyViewTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ScriptedHub> m_hub;
    std::unique_ptr<CharacterizationModel> m_model;
    std::unique_ptr<QWidget> m_parent;
    PropertyView* m_view = nullptr; // owned by m_parent
    QVector<BipedJoint> m_biped;

    QString Joint(NodeId id) const { return m_model->JointOfNode(id); }

    QStringList Row(int row) const
    {
        QStringList texts;
        for (int axis = 0; axis < 3; ++axis)
            texts << m_view->ValueField(row, axis)->text();
        return texts;
    }

    // Every value field's text, and whether all of them are enabled.
    QString AllValueTexts(bool* allEnabled = nullptr) const
    {
        QString texts;
        bool enabled = true;
        for (int row = 0; row < PropertyView::kValueRowCount; ++row) {
            for (int axis = 0; axis < 3; ++axis) {
                texts += m_view->ValueField(row, axis)->text();
                enabled = enabled && m_view->ValueField(row, axis)->isEnabled();
            }
        }
        if (allEnabled)
            *allEnabled = enabled;
        return texts;
    }

    // Binds node 3 with the rest state `state` and makes it the edited node.
    void ShowLeftLeg(const kinetra::NodeRestState& state)
    {
        Characterization* current = m_model->CurrentCharacterization();
        current->SetJointName(3, "Char:LeftLeg");
        current->SetRestState(3, state);
        m_model->SetEditedPart(3, false);
    }

    // Double-clicks the joint field; `answer` gets the chooser if one opens. False when no
    // chooser opened.
    bool DoubleClickJoint(Qt::MouseButton button, std::function<void(CompleterWidget*)> answer)
    {
        bool opened = false;
        {
            ModalAnswerer answers;
            answers.Handle([&](QDialog* dialog) {
                opened = true;
                auto* chooser = qobject_cast<CompleterWidget*>(dialog);
                if (!chooser) {
                    dialog->reject();
                    return;
                }
                answer(chooser);
            });
            QTest::mouseDClick(m_view->JointField(), button);
            QCoreApplication::processEvents();
        } // the answerer stops polling here when nothing opened
        return opened;
    }

private slots:
    void init()
    {
        m_hub = std::make_unique<ScriptedHub>();
        m_biped = AddTPoseBiped(*m_hub, "Char:");
        m_model = std::make_unique<CharacterizationModel>(m_hub.get(), nullptr);
        // A characterization of the user's, not the placeholder that stands for none.
        m_model->AddCharacterization(std::make_shared<Characterization>("Hero", m_hub.get()));
        m_parent = std::make_unique<QWidget>();
        m_view = new PropertyView(m_parent.get(), m_hub.get(), m_model.get());
    }

    void cleanup()
    {
        m_parent.reset();
        m_model.reset();
        m_hub.reset();
    }

    void followsTheEditedNodeAndTheOverallVerdict()
    {
        QCOMPARE(m_view->NodeField()->text(), QString("No node selected."));
        QCOMPARE(m_view->JointField()->text(), QString());
        bool enabled = false;
        QCOMPARE(AllValueTexts(&enabled), QString());
        QVERIFY(enabled);

        // A node nobody bound: its name, nothing else.
        m_model->SetEditedPart(9, false);
        QCOMPARE(m_view->NodeField()->text(), QString("LeftArm"));
        QCOMPARE(m_view->JointField()->text(), QString());
        QCOMPARE(AllValueTexts(), QString());

        // Bound and sampled: the joint, its stored world position, and the overall message
        // (which names the required nodes still missing).
        NodeId mirror;
        QString mirrorJoint;
        m_model->AssignNodeMirrored(9, "Char:LeftArm", mirror, mirrorJoint);
        QCOMPARE(m_view->JointField()->text(), QString("Char:LeftArm"));
        const float* sampled = m_model->CurrentCharacterization()->RestState(9).Translate;
        QCOMPARE(m_view->ValueField(kTranslateRow, 0)->toolTip(),
                 QString::number(sampled[0], 'f', 3));
        QVERIFY(Row(kTranslateRow) != (QStringList{"0.000", "0.000", "0.000"}));
        const QString overall = QString::fromStdString(m_model->OverallValidation().message);
        QVERIFY(!overall.isEmpty());
        QCOMPARE(m_view->StatusText()->toPlainText(), overall);

        for (const BipedJoint& joint : m_biped)
            m_model->AssignNode(joint.node, joint.name);
        m_model->Revalidate();
        m_model->SetEditedPart(-1, false);
        QCOMPARE(m_view->NodeField()->text(), QString("No node selected."));
        QCOMPARE(m_view->JointField()->text(), QString());
        QCOMPARE(m_view->StatusText()->toPlainText(), QString("Characterization is valid."));
    }

    void restStateNumbers_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QVector<float>>("values");
        QTest::addColumn<QStringList>("shown");
        const float h = std::sqrt(0.5f);
        QTest::newRow("vector as it is") << kTranslateRow << QVector<float>{1.23456f, -2.0f, 0.0f}
                                         << QStringList{"1.235", "-2.000", "0.000"};
        QTest::newRow("identity quaternion")
            << kRotateRow << QVector<float>{0, 0, 0, 1} << QStringList{"0.000", "0.000", "0.000"};
        QTest::newRow("90 degrees about x")
            << kRotateRow << QVector<float>{h, 0, 0, h} << QStringList{"90.000", "0.000", "0.000"};
        QTest::newRow("90 degrees about y pins the pole")
            << kPreRotateRow << QVector<float>{0, h, 0, h}
            << QStringList{"0.000", "90.000", "0.000"};
        QTest::newRow("-90 degrees about y pins the other pole")
            << kPreRotateRow << QVector<float>{0, -h, 0, h}
            << QStringList{"0.000", "-90.000", "0.000"};
        QTest::newRow("30 degrees about z")
            << kRotateRow
            << QVector<float>{0, 0, std::sin(float(M_PI) / 12), std::cos(float(M_PI) / 12)}
            << QStringList{"0.000", "0.000", "30.000"};
        QTest::newRow("limits in radians shown in degrees")
            << kMinLimitRow << QVector<float>{0.5f, -1.0f, 0.0f}
            << QStringList{"28.648", "-57.296", "0.000"};
    }

    void restStateNumbers()
    {
        QFETCH(int, row);
        QFETCH(QVector<float>, values);
        QFETCH(QStringList, shown);
        kinetra::NodeRestState state = kinetra::MakeResetNodeRestState();
        float* fields[] = {
            state.Translate, state.Rotate,    state.Scale,     state.PreRot,
            state.PostRot,   state.MinRLimit, state.MaxRLimit, state.RotateParentOffset};
        std::copy(values.begin(), values.end(), fields[row]);
        ShowLeftLeg(state);
        QCOMPARE(Row(row), shown);
    }

    // Large or negative numbers keep their sign and leading digits in the narrow fields: only
    // decimals at the end give way, and the tooltip has the value with all three.
    void numbersKeepTheirSignAndLeadingDigits()
    {
        const float values[] = {-142.25f, 1234.5f, -98765.4f};
        kinetra::NodeRestState state = kinetra::MakeResetNodeRestState();
        std::copy(std::begin(values), std::end(values), state.Translate);
        ShowLeftLeg(state);
        m_parent->show();
        for (int axis = 0; axis < 3; ++axis) {
            QLineEdit* field = m_view->ValueField(kTranslateRow, axis);
            const QString text = field->text();
            bool ok = false;
            const double shown = text.toDouble(&ok);
            QVERIFY2(ok && std::fabs(shown - values[axis]) <= 1e-3 * std::fabs(values[axis]),
                     qPrintable(text));
            const int frame = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
            QVERIFY(field->fontMetrics().horizontalAdvance(text) < field->width() - 2 * frame - 4);
            QCOMPARE(field->toolTip(), QString::number(values[axis], 'f', 3));
        }
    }

    void limitSwitchesAndRotationOrder()
    {
        kinetra::NodeRestState state = kinetra::MakeResetNodeRestState();
        state.LimitFlags = kinetra::MinLimitX | kinetra::MaxLimitY | kinetra::MaxLimitZ;
        Characterization* current = m_model->CurrentCharacterization();
        current->SetJointName(3, "Char:LeftLeg");
        const struct
        {
            int code;
            const char* text;
        } orders[] = {{0, "Euler XYZ"}, {10, "Euler ZYX"}, {12, "Spheric XYZ"}, {13, ""}, {-1, ""}};
        for (const auto& order : orders) {
            state.RotationOrder = order.code;
            current->SetRestState(3, state);
            m_view->ChangeEditPart(-1, 3, false);
            QCOMPARE(m_view->RotationOrderField()->text(), QString(order.text));
        }
        const bool minEnabled[] = {true, false, false};
        const bool maxEnabled[] = {false, true, true};
        for (int axis = 0; axis < 3; ++axis) {
            QCOMPARE(m_view->ValueField(kMinLimitRow, axis)->isEnabled(), minEnabled[axis]);
            QCOMPARE(m_view->ValueField(kMaxLimitRow, axis)->isEnabled(), maxEnabled[axis]);
        }
        // Another node shows every field enabled again.
        m_view->ChangeEditPart(3, 9, false);
        bool enabled = false;
        AllValueTexts(&enabled);
        QVERIFY(enabled);
        QCOMPARE(m_view->RotationOrderField()->text(), QString());
    }

    void selectionFieldShowsOnlyASingleSelectedTransform()
    {
        m_hub->Select({"Char:Head"});
        emit m_hub->selectionChanged();
        QCOMPARE(m_view->SelectionField()->text(), QString("Char:Head"));
        m_hub->Select({"Char:Head", "Char:Neck"});
        emit m_hub->selectionChanged();
        QCOMPARE(m_view->SelectionField()->text(), QString());
    }

    void chooserNarrowsAsTheUserTypesAndBindsTheAcceptedName()
    {
        m_model->SetEditedPart(10, true);
        QString startText = "not opened";
        int completions = -1;
        QString completion;
        QVERIFY(DoubleClickJoint(Qt::LeftButton, [&](CompleterWidget* chooser) {
            QLineEdit* edit = chooser->ComboBox()->lineEdit();
            startText = edit->text();
            QCOMPARE(chooser->ComboBox()->count(), m_biped.size());
            edit->selectAll(); // typing replaces the shown name
            QTest::keyClicks(edit, "char:leftfo");
            completions = chooser->ComboBox()->completer()->completionCount();
            completion = chooser->ComboBox()->completer()->currentCompletion();
            edit->setText("Char:LeftForeArm");
            QTest::keyClick(edit, Qt::Key_Return);
        }));
        QCOMPARE(startText, QString()); // nothing bound: nothing offered
        QCOMPARE(completions, 2);       // LeftFoot and LeftForeArm, any case
        QCOMPARE(completion, QString("Char:LeftFoot"));
        QCOMPARE(m_model->JointOfNode(10), QString("Char:LeftForeArm"));
        QCOMPARE(m_view->JointField()->text(), QString("Char:LeftForeArm"));

        // The chooser opens on the bound joint; Cancel changes nothing. In a narrow window it
        // opens over the field as far as it can and ends flush with the window's right edge.
        m_parent->setGeometry(40, 60, 260, 400);
        m_parent->show();
        QRect placed;
        QVERIFY(DoubleClickJoint(Qt::LeftButton, [&](CompleterWidget* chooser) {
            startText = chooser->ComboBox()->currentText();
            placed = chooser->geometry();
            ButtonNamed(chooser, "Cancel")->click();
        }));
        QCOMPARE(startText, QString("Char:LeftForeArm"));
        const QRect window = m_parent->geometry();
        QVERIFY(placed.width() < window.width());
        QVERIFY(placed.left() < m_view->JointField()->mapToGlobal(QPoint()).x());
        QCOMPARE(placed.right(), window.right());
        QCOMPARE(m_model->JointOfNode(10), QString("Char:LeftForeArm"));
    }

    void chooserClearsTheNodeForAnEmptyOrUnknownName()
    {
        for (const QString& typed : {QString(), QString("Char:Tail")}) {
            m_model->AssignNode(10, "Char:LeftForeArm");
            m_model->SetEditedPart(10, false);
            QVERIFY(DoubleClickJoint(Qt::LeftButton, [&](CompleterWidget* chooser) {
                chooser->ComboBox()->lineEdit()->setText(typed);
                ButtonNamed(chooser, "Ok")->click();
            }));
            QCOMPARE(m_model->JointOfNode(10), QString());
            QCOMPARE(m_view->JointField()->text(), QString());
        }
    }

    void doubleClickIsIgnoredWhenNothingMayBeChosen()
    {
        auto never = [](CompleterWidget* chooser) { chooser->reject(); };
        QVERIFY(!DoubleClickJoint(Qt::LeftButton, never)); // no edited node
        m_model->SetEditedPart(10, false);
        QVERIFY(!DoubleClickJoint(Qt::RightButton, never));
        m_model->CurrentCharacterization()->SetLocked(true);
        QVERIFY(!DoubleClickJoint(Qt::LeftButton, never));
        m_model->CurrentCharacterization()->SetLocked(false);
        QVERIFY(DoubleClickJoint(Qt::LeftButton, never));
    }

    void freeNodeAndFreeJointAreBoundWithoutQuestion()
    {
        QSignalSpy edited(m_model.get(), &CharacterizationModel::EditedPartChanged);
        QVERIFY(AssignWithConfirmation(m_parent.get(), *m_model, 9, "Char:LeftArm"));
        QCOMPARE(Joint(9), QString("Char:LeftArm"));
        QCOMPARE(edited.count(), 1);
        QCOMPARE(edited.at(0).at(2).toBool(), false);
        // The node already holds it: nothing asked, nothing changed.
        QVERIFY(!AssignWithConfirmation(m_parent.get(), *m_model, 9, "Char:LeftArm"));
        QCOMPARE(edited.count(), 1);
    }

    void replacingAJointAsksFirst()
    {
        m_model->AssignNode(9, "Char:LeftArm");
        ModalAnswerer answers;
        answers.Click("No");
        QVERIFY(!AssignWithConfirmation(m_parent.get(), *m_model, 9, "Char:LeftForeArm"));
        QCOMPARE(Joint(9), QString("Char:LeftArm"));
        QCOMPARE(answers.Seen(), QStringList{"Bone Already Assigned|\"LeftArm\" is assigned to "
                                             "bone \"Char:LeftArm\".\nChange to "
                                             "\"Char:LeftForeArm\"?"});
        answers.Click("Yes");
        QVERIFY(AssignWithConfirmation(m_parent.get(), *m_model, 9, "Char:LeftForeArm"));
        QCOMPARE(Joint(9), QString("Char:LeftForeArm"));
    }

    void takingAJointFromAnotherNodeAsksToClearIt()
    {
        m_model->AssignNode(10, "Char:LeftForeArm");
        ModalAnswerer answers;
        answers.Click("Cancel");
        QVERIFY(!AssignWithConfirmation(m_parent.get(), *m_model, 9, "Char:LeftForeArm"));
        QCOMPARE(Joint(10), QString("Char:LeftForeArm"));
        QCOMPARE(Joint(9), QString());
        QCOMPARE(answers.Seen().last(), QString("Bone Already Assigned|Bone \"Char:LeftForeArm\" "
                                                "is being used for the \"LeftForeArm\".\nClear?"));

        answers.Click("OK");
        QVERIFY(AssignWithConfirmation(m_parent.get(), *m_model, 9, "Char:LeftForeArm"));
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
        QVERIFY(!AssignWithConfirmation(m_parent.get(), *m_model, 9, "Char:LeftForeArm"));
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
        QVERIFY(AssignWithConfirmation(m_parent.get(), *m_model, 9, "Char:LeftArm"));
        QCOMPARE(Joint(9), QString("Char:LeftArm"));
        QCOMPARE(Joint(12), QString("Char:RightForeArm"));
        QVERIFY(answers.Seen().last().startsWith("Mirroring: Bone Already Assigned|\"RightArm\""));
        QVERIFY(m_model->IsMirrorMode()); // restored after the mirrored step

        m_model->ClearNode(12);
        QVERIFY(AssignWithConfirmation(m_parent.get(), *m_model, 10, "Char:LeftForeArm"));
        QCOMPARE(Joint(13), QString("Char:RightForeArm"));
    }
};

QTEST_MAIN(PropertyViewTest)
#include "tst_propertyview.moc"
