#include "commands/characterizationrecord.h"

#include "scene/attribute.h"
#include "scene/characternodes.h"
#include "scene/node.h"
#include "scene/scene.h"

#include "solver/nodenames.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace kestrel {

namespace {

CharacterRecord SceneCharacter(const Scene& scene, const Node& character)
{
    CharacterRecord record;
    record.name = character.Name();
    for (const Connection& c : scene.ConnectionsTo(&character, QString())) {
        const int id = CharacterNodes::SlotId(c.toAttribute);
        if (id >= 0 && c.fromNode->IsTransform())
            record.bindings[id] = c.fromNode->Name();
    }
    const QStringList flags = CharacterNodes::StandardAttributes();
    record.locked = CharacterNodes::FlagSet(character, flags[0]);
    for (int index = 0; index < 4; ++index)
        record.inverted[index] = CharacterNodes::FlagSet(character, flags[index + 1]);
    return record;
}

} // namespace

bool CharacterRecord::IsEmpty() const
{
    return bindings.empty() && !locked &&
           std::none_of(inverted.begin(), inverted.end(), [](bool b) { return b; });
}

bool CharacterRecord::SameContent(const CharacterRecord& other) const
{
    return bindings == other.bindings && inverted == other.inverted && locked == other.locked;
}

CharacterizationRecord CharacterizationRecord::FromScene(const Scene& scene,
                                                         const CharacterNodes& nodes)
{
    CharacterizationRecord record;
    for (const Node* node : scene.Nodes()) {
        if (node->Type() == NodeType::Character)
            record.characters.push_back(SceneCharacter(scene, *node));
    }
    if (const Node* current = nodes.Current())
        record.current = current->Name();
    return record;
}

bool CharacterizationRecord::FromToolAnswer(const QString& json, CharacterizationRecord* record)
{
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8());
    if (!document.isObject())
        return false;
    const QJsonObject top = document.object();
    record->characters.clear();
    record->current = top.value(QStringLiteral("current")).toString();
    record->mirror = top.value(QStringLiteral("mirror")).toBool();
    for (const QJsonValue& entry : top.value(QStringLiteral("characters")).toArray()) {
        const QJsonObject object = entry.toObject();
        CharacterRecord character;
        character.name = object.value(QStringLiteral("name")).toString();
        character.locked = object.value(QStringLiteral("locked")).toBool();
        const QJsonArray inverted = object.value(QStringLiteral("inverted")).toArray();
        for (int index = 0; index < 4 && index < inverted.size(); ++index)
            character.inverted[index] = inverted[index].toBool();
        for (const QJsonValue& slot : object.value(QStringLiteral("slots")).toArray()) {
            const QJsonArray pair = slot.toArray();
            const int id = pair.at(0).toInt(-1);
            if (id >= 0 && id < kinetra::NodeCount && !pair.at(1).toString().isEmpty())
                character.bindings[id] = pair.at(1).toString();
        }
        record->characters.push_back(character);
    }
    return true;
}

const CharacterRecord* CharacterizationRecord::Find(const QString& name) const
{
    for (const CharacterRecord& c : characters) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

CharacterRecord CharacterizationRecord::Or(const QString& name) const
{
    if (const CharacterRecord* found = Find(name))
        return *found;
    CharacterRecord empty;
    empty.name = name;
    return empty;
}

} // namespace kestrel
