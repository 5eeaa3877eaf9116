#include "script/parsedarguments.h"

namespace kestrel {

bool ConvertArgument(ArgumentType type, const Value& value, Value* converted)
{
    switch (type) {
    case ArgumentType::String:
        if (value.Type() != ValueType::String)
            return false;
        *converted = value;
        return true;
    case ArgumentType::Int:
        if (value.Type() != ValueType::Int)
            return false;
        *converted = value;
        return true;
    case ArgumentType::Double:
        if (value.Type() != ValueType::Int && value.Type() != ValueType::Double)
            return false;
        *converted = Value(value.ToDouble());
        return true;
    case ArgumentType::Bool:
        if (value.Type() == ValueType::Bool) {
            *converted = value;
            return true;
        }
        if (value.Type() == ValueType::Int && (value.ToInt() == 0 || value.ToInt() == 1)) {
            *converted = Value(value.ToInt() == 1);
            return true;
        }
        return false;
    }
    return false;
}

namespace {

// "an int", "a string", ...
QString WithArticle(ArgumentType type)
{
    const QString name = ArgumentTypeName(type);
    return (type == ArgumentType::Int ? QStringLiteral("an ") : QStringLiteral("a ")) + name;
}

QString Describe(const Value& value)
{
    if (value.Type() == ValueType::String)
        return QStringLiteral("the string \"%1\"").arg(value.ToString());
    return QStringLiteral("the %1 %2").arg(ValueTypeName(value.Type()), value.ToText());
}

} // namespace

ParsedArguments::ParsedArguments(const Syntax& syntax, const ArgumentList& arguments)
{
    Parse(syntax, arguments);
}

ParsedArguments::ParsedArguments(const ArgumentList& arguments)
{
    if (!arguments.CommandSyntax()) {
        Fail(Status::Failure, QStringLiteral("The command has no syntax."));
        return;
    }
    Parse(*arguments.CommandSyntax(), arguments);
}

bool ParsedArguments::Fail(Status status, const QString& text)
{
    if (m_status == Status::Success) {
        m_status = status;
        m_error = text;
    }
    return false;
}

void ParsedArguments::Parse(const Syntax& syntax, const ArgumentList& arguments)
{
    m_syntax = syntax;
    for (const Argument& argument : arguments.Items()) {
        if (!argument.isFlag)
            continue;
        if (syntax.IsEditEnabled() &&
            (argument.flag == QLatin1String("e") || argument.flag == QLatin1String("edit")))
            m_edit = true;
        if (syntax.IsQueryEnabled() &&
            (argument.flag == QLatin1String("q") || argument.flag == QLatin1String("query")))
            m_query = true;
    }
    if (m_edit && m_query) {
        Fail(Status::InvalidParameter, QStringLiteral("Edit and query mode cannot be combined."));
        return;
    }
    const QVector<Argument>& items = arguments.Items();
    for (int i = 0; i < items.size(); ++i) {
        const Argument& argument = items.at(i);
        if (!argument.isFlag) {
            Value converted;
            if (!ConvertArgument(syntax.PositionalType(), argument.value, &converted)) {
                Fail(Status::InvalidParameter,
                     QStringLiteral("Expected %1 argument, found %2.")
                         .arg(WithArticle(syntax.PositionalType()), Describe(argument.value)));
                return;
            }
            m_positional.append(converted);
            continue;
        }
        const QString& name = argument.flag;
        const bool isMode = (syntax.IsEditEnabled() &&
                             (name == QLatin1String("e") || name == QLatin1String("edit"))) ||
                            (syntax.IsQueryEnabled() &&
                             (name == QLatin1String("q") || name == QLatin1String("query")));
        if (isMode)
            continue;
        const FlagDeclaration* flag = syntax.FindFlag(name);
        if (!flag) {
            Fail(Status::UnknownParameter, QStringLiteral("Unknown flag \"-%1\".").arg(name));
            return;
        }
        QVector<Value> values;
        for (ArgumentType type : flag->arguments) {
            const bool available = i + 1 < items.size() && !items.at(i + 1).isFlag;
            Value converted;
            if (available && ConvertArgument(type, items.at(i + 1).value, &converted)) {
                values.append(converted);
                ++i;
                continue;
            }
            if (m_query && values.isEmpty())
                break; // query mode: the flag stands alone
            Fail(Status::InvalidParameter,
                 available ? QStringLiteral("Flag \"-%1\" expects %2 argument, found %3.")
                                 .arg(name, WithArticle(type), Describe(items.at(i + 1).value))
                           : QStringLiteral("Flag \"-%1\" expects %2 argument.")
                                 .arg(name, WithArticle(type)));
            return;
        }
        m_flags.insert(flag->longName, values);
    }
    const int count = m_positional.size();
    if (count < syntax.PositionalMinimum() ||
        (syntax.PositionalMaximum() >= 0 && count > syntax.PositionalMaximum())) {
        const int maximum = syntax.PositionalMaximum();
        QString expected;
        if (maximum == 0)
            expected = QStringLiteral("no positional argument");
        else if (maximum == syntax.PositionalMinimum())
            expected = QStringLiteral("%1 positional argument(s)").arg(maximum);
        else if (maximum < 0)
            expected = QStringLiteral("at least %1 positional argument(s)")
                           .arg(syntax.PositionalMinimum());
        else
            expected = QStringLiteral("%1 to %2 positional arguments")
                           .arg(syntax.PositionalMinimum())
                           .arg(maximum);
        Fail(Status::InvalidParameter,
             QStringLiteral("Expected %1, found %2.").arg(expected).arg(count));
    }
}

const QVector<Value>* ParsedArguments::FlagValues(const QString& flag) const
{
    const FlagDeclaration* declared = m_syntax.FindFlag(flag);
    if (!declared)
        return nullptr;
    const auto it = m_flags.constFind(declared->longName);
    return it == m_flags.constEnd() ? nullptr : &it.value();
}

bool ParsedArguments::IsFlagSet(const QString& flag) const
{
    return FlagValues(flag) != nullptr;
}

int ParsedArguments::FlagArgumentCount(const QString& flag) const
{
    const QVector<Value>* values = FlagValues(flag);
    return values ? values->size() : 0;
}

Status ParsedArguments::FlagValue(const QString& flag, int index, Value* value) const
{
    const QVector<Value>* values = FlagValues(flag);
    if (!values || index < 0 || index >= values->size())
        return Status::NotFound;
    *value = values->at(index);
    return Status::Success;
}

Status ParsedArguments::GetFlagArgument(const QString& flag, int index, QString& value) const
{
    Value v;
    const Status status = FlagValue(flag, index, &v);
    if (status != Status::Success)
        return status;
    if (v.Type() != ValueType::String)
        return Status::InvalidParameter;
    value = v.ToString();
    return Status::Success;
}

Status ParsedArguments::GetFlagArgument(const QString& flag, int index, int& value) const
{
    Value v;
    const Status status = FlagValue(flag, index, &v);
    if (status != Status::Success)
        return status;
    if (v.Type() != ValueType::Int)
        return Status::InvalidParameter;
    value = v.ToInt();
    return Status::Success;
}

Status ParsedArguments::GetFlagArgument(const QString& flag, int index, bool& value) const
{
    Value v;
    const Status status = FlagValue(flag, index, &v);
    if (status != Status::Success)
        return status;
    if (v.Type() != ValueType::Bool)
        return Status::InvalidParameter;
    value = v.ToBool();
    return Status::Success;
}

Status ParsedArguments::GetFlagArgument(const QString& flag, int index, double& value) const
{
    Value v;
    const Status status = FlagValue(flag, index, &v);
    if (status != Status::Success)
        return status;
    if (v.Type() != ValueType::Double && v.Type() != ValueType::Int)
        return Status::InvalidParameter;
    value = v.ToDouble();
    return Status::Success;
}

QStringList ParsedArguments::PositionalStrings() const
{
    QStringList result;
    for (const Value& value : m_positional)
        result.append(value.ToText());
    return result;
}

} // namespace kestrel
