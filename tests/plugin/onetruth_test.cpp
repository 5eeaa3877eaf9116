// One truth: after every statement, undo, redo and panel action the tool's characterizations
// and the scene's character nodes hold the same bindings, inversions, locks and current one.
// Seeded random sequences of what users do check it after each step; a failure prints the seed
// and the steps up to the first disagreement, which is the shortest prefix that fails.
#include "modalanswerer.h"
#include "pluginhosttest.h"

#include "scene/characternodes.h"
#include "scene/node.h"
#include "scene/scene.h"
#include "script/textlog.h"
#include "script/undoqueue.h"
#include "ui/batchdialoganswerer.h"

#include "solver/nodenames.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <map>
#include <string>
#include <tuple>

namespace {

const QStringList kCharacters = {"Hero", "Kid"};
// The head part of the full-body diagram, where its context menu opens.
const QPoint kHeadPart(126, 40);

// Per characterization that holds anything: "locked inv=0100 1:Hips 2:LeftUpLeg ...".
using Record = std::map<QString, QString>;

void Add(Record& record, const QString& name, bool locked, const QString& inverted,
         const std::map<int, QString>& bound)
{
    if (!locked && bound.empty() && !inverted.contains('1'))
        return;
    QString text =
        (locked ? QStringLiteral("locked inv=") : QStringLiteral("open inv=")) + inverted;
    for (const auto& slot : bound)
        text += QStringLiteral(" %1:%2").arg(slot.first).arg(slot.second);
    record[name] = text;
}

QString Describe(const Record& record)
{
    QStringList lines;
    for (const auto& entry : record)
        lines << "    " + entry.first + ": " + entry.second;
    return lines.join('\n');
}

class OneTruth : public PluginHostTest
{
protected:
    void SetUp() override
    {
        m_answerer = std::make_unique<kestrel::BatchDialogAnswerer>(
            QStringList(), [this](const QString& report) { m_dialogs << report; },
            [this](const QString& error) { m_dialogErrors << error; });
    }

    void OpenCharacterized(const QString& path)
    {
        OpenWithPlugin(path, true);
        Cmd("-e -characterlist \"Hero;Kid\"");
        RunOk("characterizationAutoMap -e -character Hero");
    }

    // What the scene's character nodes hold, read through the scene alone.
    Record SceneRecord()
    {
        Record record;
        const kestrel::CharacterNodes& nodes = host.GetCharacterNodes();
        const QStringList flags = kestrel::CharacterNodes::StandardAttributes();
        for (const kestrel::Node* node : scene().Nodes()) {
            if (node->Type() != kestrel::NodeType::Character)
                continue;
            std::map<int, QString> bound;
            for (int id = 0; id < kinetra::NodeCount; ++id) {
                if (const kestrel::Node* joint = nodes.ObjectOf(*node, id))
                    bound[id] = joint->Name();
            }
            QString inverted;
            for (int i = 1; i <= 4; ++i)
                inverted += Attribute(node->Name(), flags[i]).ToBool() ? '1' : '0';
            Add(record, node->Name(), Attribute(node->Name(), flags[0]).ToBool(), inverted, bound);
        }
        return record;
    }

    // What the tool holds, from its own answer; `current` gets its current characterization.
    Record ToolRecord(QString* current)
    {
        const QJsonObject top =
            QJsonDocument::fromJson(RunOk("characterizationToolRecord").toUtf8()).object();
        *current = top["current"].toString();
        Record record;
        for (const QJsonValue& entry : top["characters"].toArray()) {
            const QJsonObject c = entry.toObject();
            std::map<int, QString> bound;
            for (const QJsonValue& slot : c["slots"].toArray())
                bound[slot.toArray()[0].toInt()] = slot.toArray()[1].toString();
            QString inverted;
            for (const QJsonValue& flag : c["inverted"].toArray())
                inverted += flag.toBool() ? '1' : '0';
            Add(record, c["name"].toString(), c["locked"].toBool(), inverted, bound);
        }
        return record;
    }

    // Empty when the tool and the scene agree; else what differs.
    QString Disagreement()
    {
        QString current;
        const Record tool = ToolRecord(&current);
        const Record scene = SceneRecord();
        if (tool != scene)
            return "tool:\n" + Describe(tool) + "\n  scene:\n" + Describe(scene);
        const kestrel::CharacterNodes& nodes = host.GetCharacterNodes();
        const kestrel::Node* hostCurrent = nodes.Current();
        if (nodes.Find(current) && hostCurrent != nodes.Find(current))
            return "current: tool " + current + ", scene " +
                   (hostCurrent ? hostCurrent->Name() : QString("none"));
        return {};
    }

    // A right click on the diagram's head part and a menu entry, as a person does it: outside
    // any statement. Then control returns to the event loop.
    void PanelMenu(const QString& entry)
    {
        QWidget* diagram = nullptr;
        for (QWidget* widget : QApplication::allWidgets()) {
            if (widget->objectName() == "characterizationDiagram")
                diagram = widget;
        }
        ASSERT_NE(diagram, nullptr);
        QWidget* target = diagram->childAt(kHeadPart) ? diagram->childAt(kHeadPart) : diagram;
        const QPoint local = target->mapFrom(diagram, kHeadPart);
        ChooseInMenu(
            [&] {
                for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                    QMouseEvent event(type, local, target->mapToGlobal(local), Qt::RightButton,
                                      type == QEvent::MouseButtonPress ? Qt::RightButton
                                                                       : Qt::NoButton,
                                      Qt::NoModifier);
                    QApplication::sendEvent(target, &event);
                }
            },
            entry);
        QApplication::processEvents();
        host.GetInterpreter().ClosePendingStep();
    }

    std::unique_ptr<kestrel::BatchDialogAnswerer> m_answerer;
    QStringList m_dialogs;
    QStringList m_dialogErrors;
};

// The sample characterized as "Hero" by auto-characterize, with the panel open.
class OneTruthCases : public OneTruth
{
protected:
    void SetUp() override
    {
        OneTruth::SetUp();
        OpenCharacterized(SamplePath("biped_tpose.json"));
    }

    // The tool and the scene agree, and nothing was reported as an error.
    void ExpectAgreement(const char* when)
    {
        EXPECT_EQ(Disagreement(), QString()) << when;
        EXPECT_TRUE(Errors().isEmpty()) << when << ": " << qPrintable(Errors().join('\n'));
    }

    QString UndoLabel() { return host.GetUndoQueue().UndoLabel(); }
};

// Edits made in the panel, by statement or by a click outside any statement, are one undo step
// each, named after what they did (one slot, or a count of slots cleared or assigned); undo and
// redo move the tool with the scene, and queries in between bury nothing.
TEST_F(OneTruthCases, PanelEditsUndoAndRedoOnBothSides)
{
    RunOk(QStringLiteral("click characterizationDiagram -at %1 %2 -menu \"Clear\"")
              .arg(kHeadPart.x())
              .arg(kHeadPart.y()));
    EXPECT_EQ(JointInSlot("Hero", "Head"), "");
    EXPECT_EQ(UndoLabel(), "Clear Head");
    Cmd("-q -curcharstatus");
    Cmd("-q -islocked");
    EXPECT_EQ(UndoLabel(), "Clear Head") << "queries are no undo steps";
    RunOk("undo");
    EXPECT_EQ(JointInSlot("Hero", "Head"), "Char1:Head");
    RunOk("redo");
    EXPECT_EQ(JointInSlot("Hero", "Head"), "");

    const int steps = host.GetUndoQueue().UndoCount();
    PanelMenu("Clear All");
    EXPECT_EQ(host.GetUndoQueue().UndoCount(), steps + 1) << "one click, one step";
    EXPECT_EQ(UndoLabel(), "Clear 39 slots");
    EXPECT_EQ(SceneRecord().count("Hero"), 0u);
    PanelMenu("Auto Characterize"); // its review dialog answered with its default
    EXPECT_EQ(UndoLabel(), "Assign 40 slots");
    RunOk("undo");
    EXPECT_EQ(SceneRecord().count("Hero"), 0u) << "the whole proposal is one step";
    RunOk("undo");
    EXPECT_EQ(JointInSlot("Hero", "Hips"), "Char1:Hips");
}

// A lock from a script reaches the scene, so saving and reopening keeps it (and an unlock),
// and the characterization that was current comes back current.
TEST_F(OneTruthCases, LockAndCurrentCharacterizationSurviveSavingAndReopening)
{
    const QTemporaryDir folder;
    const QString path = folder.filePath("scene.json");
    Cmd("-e -locktoggle");
    EXPECT_EQ(UndoLabel(), "Lock Hero");
    RunOk("setCharacterObject(\"Char1:Hips\",\"Kid\",1,0)");
    Cmd("-e -setcurrentcharname Hero");
    RunOk("saveScene \"" + path + "\"; newScene; openScene \"" + path + "\"");
    EXPECT_EQ(Cmd("-q -currentcharname"), "Hero");
    EXPECT_EQ(Cmd("-q -islocked"), "true");
    ExpectAgreement("after reopening a locked scene");

    Cmd("-e -locktoggle; " + kToolCmd + " -e -setcurrentcharname Kid");
    RunOk("saveScene; newScene; openScene \"" + path + "\"");
    EXPECT_EQ(Cmd("-q -currentcharname"), "Kid");
    Cmd("-e -setcurrentcharname Hero");
    EXPECT_EQ(Cmd("-q -islocked"), "false");
    ExpectAgreement("after reopening an unlocked scene");
}

// Picks what a user does next, from what the scene holds now.
class UserModel
{
public:
    explicit UserModel(quint32 seed)
        : m_random(seed)
    {}

    // A statement, or "panel:ENTRY" for a diagram menu entry chosen outside statements.
    QString Next(const QStringList& joints, const QStringList& bound, bool canUndo, bool canRedo,
                 bool heroLocked)
    {
        if (joints.isEmpty()) // everything was deleted
            return canUndo ? "undo" : "newScene";
        const QString character = kCharacters[Pick(2)];
        const QString joint = joints[Pick(joints.size())];
        const QString boundJoint = bound.isEmpty() ? joint : bound[Pick(bound.size())];
        const int slot = Pick(4) == 0 ? Pick(kinetra::NodeCount) : 1 + Pick(30);
        switch (Pick(17)) {
        case 0:
        case 1:
            return QStringLiteral("%1 -e -characternodeassign %2 -nodeid %3 -kestrelnodename %4")
                .arg(kToolCmd, character)
                .arg(slot)
                .arg(joint);
        case 2:
            return QStringLiteral("setCharacterObject(\"%1\",\"%2\",%3,0)")
                .arg(Pick(3) == 0 ? QString() : joint, character)
                .arg(slot);
        case 3:
            return QStringLiteral("click characterizationDiagram -at %1 %2 -menu \"Clear\"")
                .arg(kHeadPart.x())
                .arg(kHeadPart.y());
        case 4: {
            const char* const entries[] = {"Clear All", "Clear", "Change Assigned Bone...",
                                           "Invert Joint"};
            return QStringLiteral("panel:") + entries[Pick(4)];
        }
        case 5:
            return kToolCmd + " -e -mirrormatch";
        case 6:
            return heroLocked ? kToolCmd + " -e -locktoggle"
                              : "characterizationAutoMap -e -character Hero";
        case 7:
            return QStringLiteral("rename %1 %1_r%2").arg(boundJoint).arg(++m_renames);
        case 8:
            return QStringLiteral("delete %1").arg(boundJoint);
        case 9:
        case 10:
            return kToolCmd + " -e -locktoggle";
        case 11:
            return QStringLiteral("%1 -e -invertbone %2 -invertstate %3 -character %4")
                .arg(kToolCmd)
                .arg(Pick(4))
                .arg(Pick(2) ? "true" : "false", character);
        case 12:
            return kToolCmd + " -e -setcurrentcharname " + character;
        case 13:
            return Pick(2) ? kToolCmd + " -q -curcharstatus" : kToolCmd + " -e -mapbones";
        case 14:
        case 15:
            return canUndo ? "undo" : "redo";
        default:
            return canRedo ? "redo" : "undo";
        }
    }

private:
    int Pick(int count) { return static_cast<int>(m_random.bounded(quint32(count))); }

    QRandomGenerator m_random;
    int m_renames = 0;
};

class OneTruthRandom : public OneTruth,
                       public ::testing::WithParamInterface<std::tuple<const char*, quint32>>
{
protected:
    // Runs `steps` user steps from `seed`; answers the failing prefix, empty when all held.
    QString RunSequence(quint32 seed, int steps)
    {
        UserModel user(seed);
        QStringList done;
        // What undo and redo must bring back: the scene's record before each step on the
        // queue, and before each step undone.
        std::vector<Record> undone;
        std::vector<Record> redone;
        bool lockRefused = false;
        for (int step = 0; step < steps; ++step) {
            QStringList bound;
            for (const auto& entry : SceneRecord()) {
                for (const QString& part : entry.second.split(' ').mid(2))
                    bound << part.section(':', 1);
            }
            kestrel::UndoQueue& queue = host.GetUndoQueue();
            QString current;
            const QString action =
                user.Next(RunOkList("ls -transforms"), bound, queue.CanUndo(), queue.CanRedo(),
                          ToolRecord(&current)["Hero"].startsWith("locked"));
            done << action;
            const int errorsBefore = host.GetErrorLog().Count();
            const int stepsBefore = queue.UndoCount();
            const int dialogsBefore = m_dialogs.size();
            const Record before = SceneRecord();
            bool refused = false; // a user mistake the host or the tool turned down
            if (action.startsWith("panel:"))
                PanelMenu(action.mid(6));
            else if (!(action == "undo" && !queue.CanUndo()) &&
                     !(action == "redo" && !queue.CanRedo()))
                refused = Run(action).status != kestrel::Status::Success && action != "undo" &&
                          action != "redo";
            QString problem = Disagreement();
            // Only a valid characterization can be locked: a replayed lock the tool turns down
            // (it says so in a box) stays off on both sides, and from then on the locks of
            // older steps may not come back either.
            lockRefused =
                lockRefused || m_dialogs.mid(dialogsBefore).join('\n').contains("can be locked");
            const QString wrongReplay =
                Replayed(action, stepsBefore, before, lockRefused, &undone, &redone);
            if (problem.isEmpty())
                problem = wrongReplay;
            // Errors of a refused statement are its answer; any other error is a fault (a
            // failed undo, a settle that could not follow).
            const QStringList newErrors =
                refused ? QStringList() : host.GetErrorLog().Entries().mid(errorsBefore);
            if (!problem.isEmpty() || !newErrors.isEmpty() || !m_dialogErrors.isEmpty())
                return QStringLiteral("seed %1, failing after step %2:\n  %3\n  %4%5")
                    .arg(seed)
                    .arg(step + 1)
                    .arg(done.join("\n  "), problem, newErrors.join("\n  "));
        }
        return {};
    }

    // Keeps the undo model in step with the queue; what an undo or a redo left in the scene
    // when it is not the record it had to bring back, else empty.
    QString Replayed(const QString& action, int stepsBefore, const Record& before, bool lockRefused,
                     std::vector<Record>* undone, std::vector<Record>* redone)
    {
        const int steps = host.GetUndoQueue().UndoCount();
        if (steps == 0 && host.GetUndoQueue().RedoCount() == 0) {
            undone->clear(); // a new or opened scene empties both queues
            redone->clear();
            return {};
        }
        const std::vector<Record>* from = nullptr;
        if (action == "undo" && steps == stepsBefore - 1)
            from = undone;
        else if (action == "redo" && steps == stepsBefore + 1)
            from = redone;
        if (from && from->empty()) {
            // A step from before the sequence began: nothing known to compare with.
            undone->clear();
            redone->clear();
            return {};
        }
        if (!from) {
            if (steps == stepsBefore + 1) {
                undone->push_back(before);
                redone->clear();
            }
            return {};
        }
        const Record expected = from->back();
        (action == "undo" ? undone : redone)->pop_back();
        (action == "undo" ? redone : undone)->push_back(before);
        Record now = SceneRecord();
        Record wanted = expected;
        if (lockRefused) {
            for (Record* record : {&now, &wanted}) {
                for (auto& entry : *record)
                    entry.second.replace("locked ", "open ");
            }
        }
        return now == wanted ? QString()
                             : action + " brought back:\n" + Describe(now) + "\n  instead of:\n" +
                                   Describe(expected);
    }
};

// The sanitizer build checks every allocation the hard way, about a hundred times slower: one
// short sequence there shows what it must (no leak, no bad access); the full run is the
// release build's.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kSteps = 40;
constexpr quint32 kSeeds = 1;
#else
constexpr int kSteps = 300;
constexpr quint32 kSeeds = 3;
#endif

TEST_P(OneTruthRandom, ToolAndSceneAgreeAfterEveryStep)
{
    if (std::get<1>(GetParam()) > kSeeds)
        GTEST_SKIP() << "the sanitizer build runs one short sequence per skeleton";
    const QString skeleton = std::get<0>(GetParam());
    const QString path =
        skeleton == "sample" ? SamplePath("biped_tpose.json") : SharedSkeleton(skeleton);
    if (path.isEmpty())
        GTEST_SKIP() << "../shared/skeletons is absent; the real skeleton is skipped";
    OpenCharacterized(path);
    const QString failure = RunSequence(std::get<1>(GetParam()), kSteps);
    EXPECT_TRUE(failure.isEmpty()) << qPrintable(failure);
}

INSTANTIATE_TEST_SUITE_P(
    Seeds, OneTruthRandom,
    ::testing::Combine(::testing::Values("sample", "cmu_mocap_subject01_jumps.bvh"),
                       ::testing::Range(1u, 4u)),
    // "sample_seed1", "cmu_seed2": names that stay the same from build to build.
    [](const ::testing::TestParamInfo<OneTruthRandom::ParamType>& info) {
        std::string name = std::get<0>(info.param);
        name = name.substr(0, name.find_first_not_of("abcdefghijklmnopqrstuvwxyz"));
        return name + "_seed" + std::to_string(std::get<1>(info.param));
    });

} // namespace
