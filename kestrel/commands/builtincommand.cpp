#include "commands/builtincommand.h"

#include "scene/scene.h"
#include "script/parsedarguments.h"

namespace kestrel {

Scene& BuiltinCommand::GetScene() const
{
    return m_host.GetScene();
}

Status BuiltinCommand::Fail(const QString& text, Status status) const
{
    m_host.DisplayError(m_name + QStringLiteral(": ") + text);
    return status;
}

Node* BuiltinCommand::RequireNode(const QString& name) const
{
    Node* node = GetScene().Find(name);
    if (!node)
        Fail(QStringLiteral("No node named \"%1\".").arg(name), Status::NotFound);
    return node;
}

bool BuiltinCommand::SplitPlug(const QString& plug, Node** node, QString* attribute) const
{
    const int dot = plug.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == plug.size() - 1) {
        Fail(QStringLiteral("\"%1\" is not of the form node.attribute.").arg(plug));
        return false;
    }
    *attribute = plug.mid(dot + 1);
    *node = RequireNode(plug.left(dot));
    return *node != nullptr;
}

bool BuiltinCommand::ReadArguments(const ArgumentList& arguments,
                                   const QVector<ArgumentType>& types, QVector<Value>* values) const
{
    QStringList typeNames;
    for (ArgumentType type : types)
        typeNames.append(ArgumentTypeName(type));
    const QString expected = types.isEmpty() ? QStringLiteral("takes no arguments")
                                             : QStringLiteral("takes %1 argument(s): %2")
                                                   .arg(types.size())
                                                   .arg(typeNames.join(QStringLiteral(", ")));
    if (arguments.Count() != types.size()) {
        Fail(QStringLiteral("%1; %2 given.").arg(expected).arg(arguments.Count()));
        return false;
    }
    values->clear();
    for (int i = 0; i < types.size(); ++i) {
        const Argument& argument = arguments.At(i);
        Value converted;
        if (argument.isFlag || !ConvertArgument(types.at(i), argument.value, &converted)) {
            Fail(QStringLiteral("%1; argument %2 is %3.")
                     .arg(expected)
                     .arg(i + 1)
                     .arg(argument.isFlag
                              ? QStringLiteral("the flag -") + argument.flag
                              : QStringLiteral("of type ") + ValueTypeName(argument.value.Type())));
            return false;
        }
        values->append(converted);
    }
    return true;
}

Status JournaledCommand::Run(const ArgumentList& arguments)
{
    Scene& scene = GetScene();
    SceneJournal* const outer = scene.Journal();
    scene.SetJournal(&m_journal);
    const Status status = Execute(arguments);
    scene.SetJournal(outer);
    if (status != Status::Success && !m_journal.IsEmpty()) {
        QString error;
        m_journal.Revert(scene, &error);
        m_journal = SceneJournal();
    }
    return status;
}

Status JournaledCommand::Undo()
{
    QString error;
    const Status status = m_journal.Revert(GetScene(), &error);
    if (status != Status::Success)
        return Fail(QStringLiteral("cannot undo: ") + error, status);
    return status;
}

Status JournaledCommand::Redo()
{
    QString error;
    const Status status = m_journal.Apply(GetScene(), &error);
    if (status != Status::Success)
        return Fail(QStringLiteral("cannot redo: ") + error, status);
    return status;
}

} // namespace kestrel
