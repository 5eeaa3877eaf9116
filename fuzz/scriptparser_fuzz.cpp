// Fuzz target: the script lexer and parser (nothing is executed).
#include "fuzzcheck.h"

#include "script/scriptparser.h"

#include <QString>
#include <QVector>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    QVector<kestrel::Statement> statements;
    QString error;
    const bool parsed = kestrel::ScriptParser::Parse(text, &statements, &error);
    FuzzCheck(parsed || !error.isEmpty(), "a refused text comes with an error");
    FuzzCheck(parsed || statements.isEmpty(), "a refused text yields no statement");
    for (const kestrel::Statement& statement : statements)
        FuzzCheck(!statement.command.isEmpty(), "every statement names a command");
    return 0;
}
