// characterizationAutoMap as host scripts and the panel use it, on real skeletons opened in
// Kestrel.
#include "modalanswerer.h"
#include "pluginhosttest.h"

#include "solver/nodenames.h"

#include <QApplication>
#include <QDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTableWidget>

#include <QRegularExpression>

namespace {

const QString kCmd = QStringLiteral("characterizationAutoMap");

class AutoMapCommand : public PluginHostTest
{
protected:
    // Opens the shared skeleton `file` with the panel and one characterization "Subject"; false
    // when the skeleton is absent.
    bool Open(const QString& file)
    {
        const QString path = SharedSkeleton(file);
        if (path.isEmpty())
            return false;
        OpenWithPlugin(path, true);
        Cmd("-e -characterlist \"Subject\"");
        return true;
    }
    // How many of the 15 required slots of "Subject" the host has bound.
    int BoundRequired()
    {
        int bound = 0;
        for (int id = 1; id <= 15; ++id)
            bound += !JointInSlot("Subject", kinetra::NodeName(id)).isEmpty();
        return bound;
    }
};

} // namespace

// The query lists the proposal in node id order; the edit binds the ticked rows into a
// characterization that validates without errors, as one change that undo takes back.
TEST_F(AutoMapCommand, ProposesAppliesAndUndoesOnTheNamedSkeletons)
{
    const struct
    {
        const char* file;
        const char* leftArm; // the joint node 9 must get
    } cases[] = {
        {"cmu_mocap_subject01_jumps.bvh", "LeftArm"},
        {"mixamo_prefixed_clip.bvh", "mixamorig:LeftArm"},
        {"namespaced_joints_walk.bvh", "Character1_LeftArm"},
    };
    for (const auto& c : cases) {
        if (!Open(c.file))
            GTEST_SKIP() << "../shared/skeletons is absent";
        SCOPED_TRACE(c.file);
        const QStringList proposal = RunOkList(kCmd + " -q");
        const QRegularExpression row(QStringLiteral("^(\\d+) (\\S+) (0\\.\\d\\d|1\\.00)$"));
        int previous = -1, ticked = 0;
        QString leftArm;
        for (const QString& item : proposal) {
            const QRegularExpressionMatch match = row.match(item);
            ASSERT_TRUE(match.hasMatch()) << qPrintable(item);
            const int node = match.captured(1).toInt();
            EXPECT_GT(node, previous) << "not in node id order";
            previous = node;
            ticked += match.captured(3).toDouble() >= 0.8;
            if (node == 9)
                leftArm = match.captured(2);
        }
        EXPECT_EQ(leftArm, QLatin1String(c.leftArm));

        EXPECT_EQ(RunOk(kCmd + " -e -character \"Subject\""), QString::number(ticked));
        EXPECT_EQ(BoundRequired(), 15);
        EXPECT_EQ(JointInSlot("Subject", "LeftArm"), QLatin1String(c.leftArm));

        RunOk("undo");
        EXPECT_EQ(BoundRequired(), 0);
        EXPECT_FALSE(RunOk("characterizationToolReport").contains("\"id\":1,")); // the tool too
        RunOk("redo");
        EXPECT_EQ(BoundRequired(), 15);
        EXPECT_NE(Cmd("-q -curcharstatus"), "3"); // no validation errors
    }
}

// Scripts read every row's reason and runner-ups: the same rows as -q, one per line, in a
// fixed shape.
TEST_F(AutoMapCommand, ExplainsEveryRowWithAReasonAndRunnerUps)
{
    if (!Open("cmu_mocap_subject01_jumps.bvh"))
        GTEST_SKIP() << "../shared/skeletons is absent";
    const QStringList rows = RunOkList(kCmd + " -q");
    const QStringList lines = RunOkList(kCmd + " -q -reasons");
    ASSERT_EQ(lines.size(), rows.size());
    // "NODEID JOINT CONFIDENCE | reason | JOINT SCORE, JOINT SCORE" (up to two runner-ups).
    const QRegularExpression shape(QStringLiteral(
        "^(\\d+ \\S+ \\d\\.\\d\\d) \\| ([^|]+) \\| ((\\S+ \\d\\.\\d\\d)(, \\S+ \\d\\.\\d\\d)?)?$"));
    int withRunnerUps = 0;
    for (int k = 0; k < lines.size(); ++k) {
        const QRegularExpressionMatch match = shape.match(lines[k]);
        ASSERT_TRUE(match.hasMatch()) << qPrintable(lines[k]);
        EXPECT_EQ(match.captured(1), rows[k]);
        withRunnerUps += !match.captured(3).isEmpty();
    }
    EXPECT_EQ(withRunnerUps, lines.size()) << "every joint here has a neighbour to name";
    EXPECT_TRUE(lines.filter(QRegularExpression("^9 LeftArm .* \\| .*arm.* \\| ")).size() == 1)
        << qPrintable(lines.join('\n'));
}

// Bad arguments fail with an error naming the problem and bind nothing.
TEST_F(AutoMapCommand, RefusesBadArgumentsAndChangesNothing)
{
    if (!Open("cmu_mocap_subject01_jumps.bvh"))
        GTEST_SKIP() << "../shared/skeletons is absent";
    const struct
    {
        QString arguments;
        const char* error;
    } cases[] = {
        {"", "use -q"},
        {"-e", "-e needs -character NAME"},
        {"-e -character \"Nobody\"", "no characterization named \"Nobody\""},
        {"-e -character \"--- None ---\"", "is no character"},
        {"-q -root \"NoSuchJoint\"", "\"NoSuchJoint\" is not a transform"},
        {"-e -character \"Subject\" -root \"LeftUpLeg\"", "not a biped"},
        {"-q -rows \"1 Hips\"", "-rows goes with -e"},
        {"-e -character \"Subject\" -reasons", "-reasons goes with -q"},
        {"-e -character \"Subject\" -rows \"1 Hips;9\"", "not \"9\""},
        {"-e -character \"Subject\" -rows \"1 Hips;212 LeftArm\"", "node id 212 is out of range"},
        {"-e -character \"Subject\" -rows \"1 Hips;8 Hips\"", "\"Hips\" is no joint"},
        {"-e -character \"Subject\" -rows \"1 Hips;9 Nobody\"", "\"Nobody\" is no joint"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(RunFails(kCmd + " " + c.arguments).contains(QLatin1String(c.error)))
            << qPrintable(c.arguments) << ": " << qPrintable(Errors().join('\n'));
        EXPECT_EQ(BoundRequired(), 0) << qPrintable(c.arguments);
    }
    // The whole skeleton named as its root answers what the whole scene does.
    EXPECT_EQ(RunOkList(kCmd + " -q -root \"Hips\""), RunOkList(kCmd + " -q"));
}

// The panel's action shows the same proposal for review; accepting it binds the ticked rows as
// one host undo step.
TEST_F(AutoMapCommand, PanelActionAppliesTheReviewedProposalAsOneStep)
{
    if (!Open("cmu_mocap_subject01_jumps.bvh"))
        GTEST_SKIP() << "../shared/skeletons is absent";
    QWidget* tool = nullptr;
    for (QWidget* widget : QApplication::allWidgets())
        if (qstrcmp(widget->metaObject()->className(), "CharacterTool") == 0)
            tool = widget;
    ASSERT_NE(tool, nullptr);
    const int ticked = RunOk(kCmd + " -e -character \"Subject\"").toInt();
    RunOk("undo");
    ASSERT_EQ(BoundRequired(), 0);

    int rows = -1;
    ModalAnswerer answers;
    answers.Handle([&rows](QDialog* dialog) {
        QTableWidget* table = dialog->findChild<QTableWidget*>();
        rows = table->rowCount();
        table->item(0, 0)->setCheckState(Qt::Unchecked); // the hips stay unbound
        dialog->accept();
    });
    ASSERT_TRUE(QMetaObject::invokeMethod(tool, "AutoCharacterize"));
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(rows, RunOkList(kCmd + " -q").size());
    const auto reportedNodes = [this] {
        return QJsonDocument::fromJson(RunOk("characterizationToolReport").toUtf8())
            .object()
            .value("nodes")
            .toArray()
            .size();
    };
    EXPECT_EQ(BoundRequired(), 14);
    EXPECT_TRUE(JointInSlot("Subject", "Hips").isEmpty());
    EXPECT_EQ(reportedNodes(), ticked - 1);
    RunOk("undo");
    EXPECT_EQ(BoundRequired(), 0);
    EXPECT_EQ(reportedNodes(), 0);
    RunOk("redo");
    EXPECT_EQ(reportedNodes(), ticked - 1);
}
