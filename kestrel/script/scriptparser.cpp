#include "script/scriptparser.h"

#include "script/scriptlexer.h"

namespace kestrel {

namespace {

bool IsStatementEnd(ScriptTokenKind kind)
{
    return kind == ScriptTokenKind::Semicolon || kind == ScriptTokenKind::Newline ||
           kind == ScriptTokenKind::EndOfText;
}

QString Describe(const ScriptToken& token)
{
    switch (token.kind) {
    case ScriptTokenKind::Newline:
        return QStringLiteral("the end of the line");
    case ScriptTokenKind::EndOfText:
        return QStringLiteral("the end of the text");
    case ScriptTokenKind::Flag:
        return QStringLiteral("\"-%1\"").arg(token.text);
    case ScriptTokenKind::Literal:
        if (token.value.Type() == ValueType::String)
            return QStringLiteral("the string \"%1\"").arg(token.text);
        break;
    default:
        break;
    }
    return QStringLiteral("\"%1\"").arg(token.text);
}

class Parser
{
public:
    Parser(const QVector<ScriptToken>& tokens, QString* error)
        : m_tokens(tokens)
        , m_error(error)
    {}

    bool Run(QVector<Statement>* statements)
    {
        while (true) {
            while (m_tokens.at(m_pos).kind == ScriptTokenKind::Semicolon ||
                   m_tokens.at(m_pos).kind == ScriptTokenKind::Newline)
                ++m_pos;
            if (m_tokens.at(m_pos).kind == ScriptTokenKind::EndOfText)
                return true;
            Statement statement;
            if (!ParseStatement(&statement))
                return false;
            statements->append(statement);
        }
    }

private:
    bool Fail(const ScriptToken& token, const QString& text)
    {
        *m_error =
            QStringLiteral("line %1, column %2: %3").arg(token.line).arg(token.column).arg(text);
        return false;
    }

    bool ParseStatement(Statement* statement)
    {
        const ScriptToken& name = m_tokens.at(m_pos);
        if (name.kind != ScriptTokenKind::Word || !ScriptLexer::IsCommandName(name.text))
            return Fail(name,
                        QStringLiteral("expected a command name, found %1.").arg(Describe(name)));
        statement->command = name.text;
        statement->line = name.line;
        ++m_pos;
        if (m_tokens.at(m_pos).kind == ScriptTokenKind::LeftParen)
            return ParseCall(statement);
        return ParseCommand(statement);
    }

    bool ParseCommand(Statement* statement)
    {
        while (!IsStatementEnd(m_tokens.at(m_pos).kind)) {
            const ScriptToken& token = m_tokens.at(m_pos++);
            switch (token.kind) {
            case ScriptTokenKind::Flag:
                statement->arguments.append(Argument::Flag(token.text));
                break;
            case ScriptTokenKind::Literal:
            case ScriptTokenKind::Word:
                statement->arguments.append(Argument::Literal(token.value));
                break;
            default:
                return Fail(token, QStringLiteral("unexpected %1.").arg(Describe(token)));
            }
        }
        return true;
    }

    void SkipNewlines()
    {
        while (m_tokens.at(m_pos).kind == ScriptTokenKind::Newline)
            ++m_pos;
    }

    bool ParseCall(Statement* statement)
    {
        statement->callForm = true;
        ++m_pos; // '('
        SkipNewlines();
        if (m_tokens.at(m_pos).kind != ScriptTokenKind::RightParen) {
            while (true) {
                SkipNewlines();
                const ScriptToken& token = m_tokens.at(m_pos++);
                if (token.kind != ScriptTokenKind::Literal && token.kind != ScriptTokenKind::Word)
                    return Fail(
                        token,
                        QStringLiteral("expected an argument, found %1.").arg(Describe(token)));
                statement->arguments.append(Argument::Literal(token.value));
                SkipNewlines();
                const ScriptToken& separator = m_tokens.at(m_pos++);
                if (separator.kind == ScriptTokenKind::RightParen)
                    break;
                if (separator.kind != ScriptTokenKind::Comma)
                    return Fail(
                        separator,
                        QStringLiteral("expected ',' or ')', found %1.").arg(Describe(separator)));
            }
        } else {
            ++m_pos; // ')'
        }
        const ScriptToken& end = m_tokens.at(m_pos);
        if (!IsStatementEnd(end.kind))
            return Fail(end, QStringLiteral("expected ';' or the end of the line after ')', "
                                            "found %1.")
                                 .arg(Describe(end)));
        return true;
    }

    const QVector<ScriptToken>& m_tokens;
    QString* m_error;
    int m_pos = 0;
};

} // namespace

bool ScriptParser::Parse(const QString& text, QVector<Statement>* statements, QString* error)
{
    statements->clear();
    QVector<ScriptToken> tokens;
    if (!ScriptLexer::Tokenize(text, &tokens, error))
        return false;
    QVector<Statement> parsed;
    Parser parser(tokens, error);
    if (!parser.Run(&parsed))
        return false;
    *statements = parsed;
    return true;
}

} // namespace kestrel
