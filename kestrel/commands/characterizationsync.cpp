#include "commands/characterizationsync.h"

#include "commands/characterizationreconciler.h"

#include "host.h"
#include "scene/characternodes.h"
#include "scene/node.h"
#include "scene/scene.h"
#include "script/commandregistry.h"
#include "script/scriptlexer.h"
#include "ui/panelregistry.h"

#include "solver/nodenames.h"

#include <QHash>
#include <QScopedValueRollback>

#include <algorithm>
#include <utility>
#include <vector>

namespace kestrel {

namespace {

const QString kLockAttribute = QStringLiteral("InputCharacterizationLock");

QString ToolStatement(const QString& flags)
{
    return CharacterizationSync::ToolCommand() + QStringLiteral(" -e ") + flags + QLatin1Char(';');
}

// The slots bound on a character node, in slot order, as (slot id, transform name). Each
// incoming connection is a binding; one that is not is reported and left out.
std::vector<std::pair<int, QString>> Bindings(const Scene& scene, const Node& character,
                                              QStringList* warnings)
{
    std::vector<std::pair<int, QString>> bindings;
    for (const Connection& c : scene.ConnectionsTo(&character, QString())) {
        const int id = CharacterNodes::SlotId(c.toAttribute);
        if (id < 0) {
            warnings->append(QStringLiteral("Character node \"%1\": \"%2\" is not a node slot; "
                                            "its connection from \"%3\" is skipped.")
                                 .arg(character.Name(), c.toAttribute, c.fromNode->Name()));
        } else if (!c.fromNode->IsTransform()) {
            warnings->append(QStringLiteral("Character node \"%1\": slot \"%2\" is connected "
                                            "from \"%3\", which is not a transform; the binding "
                                            "is skipped.")
                                 .arg(character.Name(), c.toAttribute, c.fromNode->Name()));
        } else {
            bindings.emplace_back(id, c.fromNode->Name());
        }
    }
    std::stable_sort(bindings.begin(), bindings.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    // A joint fills one slot of a character; the tool would move it to the last slot it is
    // told, so the first one is kept and the others are named.
    QHash<QString, int> firstSlot;
    std::vector<std::pair<int, QString>> kept;
    for (const auto& binding : bindings) {
        const auto found = firstSlot.constFind(binding.second);
        if (found == firstSlot.constEnd()) {
            firstSlot.insert(binding.second, binding.first);
            kept.push_back(binding);
            continue;
        }
        warnings->append(QStringLiteral("Character node \"%1\": \"%2\" is bound to slots \"%3\" "
                                        "and \"%4\"; only \"%3\" is kept.")
                             .arg(character.Name(), binding.second,
                                  CharacterNodes::SlotName(found.value()),
                                  CharacterNodes::SlotName(binding.first)));
    }
    return kept;
}

QStringList CharacterStatements(const Scene& scene, const Node& character, QStringList* warnings)
{
    const QString name = ScriptLexer::Quote(character.Name());
    QStringList statements;
    for (const auto& binding : Bindings(scene, character, warnings))
        statements.append(ToolStatement(QStringLiteral("-characternodeassign %1 -nodeid %2 "
                                                       "-kestrelnodename %3")
                                            .arg(name)
                                            .arg(binding.first)
                                            .arg(ScriptLexer::Quote(binding.second))));
    // The standard attributes list the lock first, then the inversions in the tool's index
    // order (left knee, right knee, left elbow, right elbow).
    const QStringList flags = CharacterNodes::StandardAttributes();
    for (int index = 0; index < 4; ++index) {
        if (CharacterNodes::FlagSet(character, flags[index + 1]))
            statements.append(
                ToolStatement(QStringLiteral("-invertbone %1 -invertstate true -character %2")
                                  .arg(index)
                                  .arg(name)));
    }
    statements.append(ToolStatement(QStringLiteral("-setcurrentcharname ") + name));
    if (CharacterNodes::FlagSet(character, kLockAttribute))
        statements.append(ToolStatement(QStringLiteral("-locktoggle")));
    return statements;
}

std::vector<const Node*> CharacterNodesOf(const Scene& scene)
{
    std::vector<const Node*> characters;
    for (const Node* node : scene.Nodes()) {
        if (node->Type() == NodeType::Character)
            characters.push_back(node);
    }
    return characters;
}

} // namespace

const QString& CharacterizationSync::ToolCommand()
{
    static const QString name = QStringLiteral("characterizationToolUICmd");
    return name;
}

const QString& CharacterizationSync::ToolPanelType()
{
    static const QString name = QStringLiteral("CharacterizationTool");
    return name;
}

CharacterizationSync::CharacterizationSync(Host& host)
    : m_host(host)
{}

QStringList CharacterizationSync::Statements(const Scene& scene, QStringList* warnings,
                                             const QString& current)
{
    QStringList statements{ToolStatement(QStringLiteral("-characterlist \"\""))};
    const std::vector<const Node*> characters = CharacterNodesOf(scene);
    if (characters.empty())
        return statements;
    QStringList names;
    for (const Node* character : characters)
        names.append(character->Name());
    statements.append(ToolStatement(QStringLiteral("-characterlist ") +
                                    ScriptLexer::Quote(names.join(QLatin1Char(';')))));
    for (const Node* character : characters)
        statements += CharacterStatements(scene, *character, warnings);
    const bool currentIsCharacter =
        std::any_of(characters.begin(), characters.end(),
                    [&current](const Node* character) { return character->Name() == current; });
    if (currentIsCharacter && characters.back()->Name() != current)
        statements.append(
            ToolStatement(QStringLiteral("-setcurrentcharname ") + ScriptLexer::Quote(current)));
    return statements;
}

bool CharacterizationSync::ToolIsOpen() const
{
    return m_host.GetCommands().Find(ToolCommand()) &&
           m_host.GetPanels().HasWidget(ToolPanelType());
}

void CharacterizationSync::Run()
{
    // A statement that reopens the scene must not start a second pass over the first.
    if (m_running || !ToolIsOpen())
        return;
    QStringList warnings;
    const Node* current = m_host.GetCharacterNodes().Current();
    const QStringList statements =
        Statements(m_host.GetScene(), &warnings, current ? current->Name() : QString());
    for (const QString& warning : warnings)
        m_host.DisplayWarning(warning);
    Tell(statements);
    m_host.GetCharacterizationReconciler().Rebase();
}

void CharacterizationSync::Tell(const QStringList& statements)
{
    const QScopedValueRollback<bool> running(m_running, true);
    ExecuteOptions options;
    options.echo = false;
    options.undoable = false;
    for (const QString& statement : statements) {
        // The panel may be closed by a statement (a question box's event loop lets the host
        // close it); the rest would then talk to no tool.
        if (!ToolIsOpen())
            break;
        m_host.ExecuteScript(statement, options);
    }
}

void CharacterizationSync::SceneReplaced()
{
    Run();
}

void CharacterizationSync::PanelCreated(const QString& panelType)
{
    if (panelType != ToolPanelType())
        return;
    if (!CharacterNodesOf(m_host.GetScene()).empty())
        Run();
    else
        m_host.GetCharacterizationReconciler().Rebase();
}

} // namespace kestrel
