#include "pluginhosttest.h"

#include "textlog.h"

using namespace kestrel;

namespace {

HostOptions QuietOptions()
{
    HostOptions options;
    options.writeToStandardStreams = false;
    return options;
}

} // namespace

void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << "{";
    for (int i = 0; i < list.size(); ++i) {
        *out << (i ? ", " : "");
        PrintTo(list.at(i), out);
    }
    *out << "}";
}

QuietHostTest::QuietHostTest()
    : host(QuietOptions())
{}

ScriptResult QuietHostTest::Run(const QString& text)
{
    ExecuteOptions options;
    options.undoable = true;
    return host.GetInterpreter().Execute(text, options);
}

QString QuietHostTest::RunOk(const QString& text)
{
    const int errors = host.GetErrorLog().Count();
    const ScriptResult result = Run(text);
    EXPECT_EQ(result.status, Status::Success)
        << qPrintable(text) << "\n"
        << qPrintable(host.GetErrorLog().Entries().mid(errors).join('\n'));
    return result.result.ToText();
}

QStringList QuietHostTest::RunOkList(const QString& text)
{
    const int errors = host.GetErrorLog().Count();
    const ScriptResult result = Run(text);
    EXPECT_EQ(result.status, Status::Success)
        << qPrintable(text) << "\n"
        << qPrintable(host.GetErrorLog().Entries().mid(errors).join('\n'));
    return result.result.ToStringArray();
}

QString QuietHostTest::RunFails(const QString& text)
{
    const int errors = host.GetErrorLog().Count();
    const ScriptResult result = Run(text);
    EXPECT_NE(result.status, Status::Success) << qPrintable(text);
    EXPECT_GT(host.GetErrorLog().Count(), errors) << "no error displayed for " << qPrintable(text);
    return host.GetErrorLog().Last();
}

QStringList QuietHostTest::Sent()
{
    const QStringList& entries = host.GetScriptLog().Entries();
    const QStringList sent = entries.mid(m_sentMark);
    m_sentMark = entries.size();
    return sent;
}

QStringList QuietHostTest::SentChanges()
{
    QStringList changes;
    for (const QString& text : Sent()) {
        if (!text.startsWith(QLatin1String("ls ")))
            changes << text;
    }
    return changes;
}

Value QuietHostTest::Attribute(const QString& node, const QString& attribute)
{
    const Node* found = Find(node);
    const kestrel::Attribute* value = found ? found->FindAttribute(attribute) : nullptr;
    return value ? value->value : Value();
}

QString QuietHostTest::JointInSlot(const QString& character, const QString& slot)
{
    const Node* found = Find(character);
    if (!found)
        return QString();
    for (const Connection& connection : scene().ConnectionsTo(found, slot))
        return connection.fromNode->Name();
    return QString();
}

QString SamplePath(const QString& name)
{
    return QStringLiteral(CT_SAMPLES_DIR "/") + name;
}
