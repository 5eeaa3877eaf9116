#include "script/scriptlexer.h"

namespace kestrel {

namespace {

bool IsWordStart(QChar c)
{
    return (c.unicode() < 128 && c.isLetter()) || c == QLatin1Char('_') || c == QLatin1Char('|') ||
           c == QLatin1Char(':');
}

bool IsWordChar(QChar c)
{
    return IsWordStart(c) || (c.unicode() < 128 && c.isDigit()) || c == QLatin1Char('.');
}

bool IsDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

class Lexer
{
public:
    Lexer(const QString& text, QVector<ScriptToken>* tokens, QString* error)
        : m_text(text)
        , m_tokens(tokens)
        , m_error(error)
    {}

    bool Run();

private:
    QChar Peek(int ahead = 0) const
    {
        const int at = m_pos + ahead;
        return at < m_text.size() ? m_text.at(at) : QChar();
    }
    bool Fail(const QString& text)
    {
        *m_error = QStringLiteral("line %1, column %2: %3").arg(m_line).arg(m_column).arg(text);
        return false;
    }
    void Advance(int count = 1)
    {
        m_pos += count;
        m_column += count;
    }
    void Emit(ScriptTokenKind kind, const QString& text, const Value& value, int column)
    {
        m_tokens->append({kind, text, value, m_line, column});
    }
    bool ReadString();
    bool ReadNumber();
    void ReadWord(ScriptTokenKind kind);

    const QString& m_text;
    QVector<ScriptToken>* m_tokens;
    QString* m_error;
    int m_pos = 0;
    int m_line = 1;
    int m_column = 1;
};

bool Lexer::ReadString()
{
    const int column = m_column;
    Advance(); // opening quote
    QString value;
    while (true) {
        const QChar c = Peek();
        if (c.isNull() || c == QLatin1Char('\n')) {
            m_column = column; // point at the opening quote
            return Fail(QStringLiteral("unterminated string."));
        }
        if (c == QLatin1Char('"'))
            break;
        if (c == QLatin1Char('\\')) {
            const QChar escaped = Peek(1);
            if (escaped == QLatin1Char('"') || escaped == QLatin1Char('\\'))
                value += escaped;
            else if (escaped == QLatin1Char('n'))
                value += QLatin1Char('\n');
            else if (escaped == QLatin1Char('t'))
                value += QLatin1Char('\t');
            else
                return Fail(QStringLiteral("unknown escape \"\\%1\" in a string.").arg(escaped));
            Advance(2);
            continue;
        }
        value += c;
        Advance();
    }
    Advance(); // closing quote
    Emit(ScriptTokenKind::Literal, value, Value(value), column);
    return true;
}

bool Lexer::ReadNumber()
{
    const int column = m_column;
    const int start = m_pos;
    bool isDouble = false;
    if (Peek() == QLatin1Char('-') || Peek() == QLatin1Char('+'))
        Advance();
    while (IsDigit(Peek()))
        Advance();
    if (Peek() == QLatin1Char('.')) {
        isDouble = true;
        Advance();
        while (IsDigit(Peek()))
            Advance();
    }
    if ((Peek() == QLatin1Char('e') || Peek() == QLatin1Char('E')) &&
        (IsDigit(Peek(1)) ||
         ((Peek(1) == QLatin1Char('-') || Peek(1) == QLatin1Char('+')) && IsDigit(Peek(2))))) {
        isDouble = true;
        Advance(2);
        while (IsDigit(Peek()))
            Advance();
    }
    const QString text = m_text.mid(start, m_pos - start);
    const int end = m_column;
    m_column = column; // errors point at the number's start
    if (IsWordChar(Peek()) || IsDigit(Peek()))
        return Fail(QStringLiteral("malformed number \"%1%2\".").arg(text, Peek()));
    bool ok = false;
    const Value value = isDouble ? Value(text.toDouble(&ok)) : Value(text.toInt(&ok));
    if (!ok)
        return Fail(isDouble ? QStringLiteral("malformed number \"%1\".").arg(text)
                             : QStringLiteral("integer \"%1\" out of range.").arg(text));
    m_column = end;
    Emit(ScriptTokenKind::Literal, text, value, column);
    return true;
}

void Lexer::ReadWord(ScriptTokenKind kind)
{
    const int column = m_column;
    if (kind == ScriptTokenKind::Flag)
        Advance(); // '-'
    const int start = m_pos;
    while (kind == ScriptTokenKind::Flag ? (Peek().unicode() < 128 && (Peek().isLetterOrNumber() ||
                                                                       Peek() == QLatin1Char('_')))
                                         : IsWordChar(Peek()))
        Advance();
    const QString text = m_text.mid(start, m_pos - start);
    if (kind == ScriptTokenKind::Word &&
        (text == QLatin1String("true") || text == QLatin1String("false")))
        Emit(ScriptTokenKind::Literal, text, Value(text == QLatin1String("true")), column);
    else
        Emit(kind, text, Value(text), column);
}

bool Lexer::Run()
{
    while (m_pos < m_text.size()) {
        const QChar c = Peek();
        if (c == QLatin1Char('\n')) {
            Emit(ScriptTokenKind::Newline, QStringLiteral("\n"), Value(), m_column);
            ++m_pos;
            ++m_line;
            m_column = 1;
        } else if (c.isSpace()) {
            Advance();
        } else if (c == QLatin1Char('/') && Peek(1) == QLatin1Char('/')) {
            while (m_pos < m_text.size() && Peek() != QLatin1Char('\n'))
                Advance();
        } else if (c == QLatin1Char('"')) {
            if (!ReadString())
                return false;
        } else if (IsDigit(c) ||
                   ((c == QLatin1Char('-') || c == QLatin1Char('+') || c == QLatin1Char('.')) &&
                    (IsDigit(Peek(1)) || (Peek(1) == QLatin1Char('.') && IsDigit(Peek(2)))))) {
            if (!ReadNumber())
                return false;
        } else if (c == QLatin1Char('-') && Peek(1).unicode() < 128 && Peek(1).isLetter()) {
            ReadWord(ScriptTokenKind::Flag);
        } else if (IsWordStart(c)) {
            ReadWord(ScriptTokenKind::Word);
        } else if (c == QLatin1Char('(') || c == QLatin1Char(')') || c == QLatin1Char(',') ||
                   c == QLatin1Char(';')) {
            const ScriptTokenKind kind = c == QLatin1Char('(')   ? ScriptTokenKind::LeftParen
                                         : c == QLatin1Char(')') ? ScriptTokenKind::RightParen
                                         : c == QLatin1Char(',') ? ScriptTokenKind::Comma
                                                                 : ScriptTokenKind::Semicolon;
            Emit(kind, QString(c), Value(), m_column);
            Advance();
        } else {
            return Fail(QStringLiteral("unexpected character '%1'.").arg(c));
        }
    }
    Emit(ScriptTokenKind::EndOfText, QString(), Value(), m_column);
    return true;
}

} // namespace

bool ScriptLexer::Tokenize(const QString& text, QVector<ScriptToken>* tokens, QString* error)
{
    tokens->clear();
    Lexer lexer(text, tokens, error);
    return lexer.Run();
}

QString ScriptLexer::Quote(const QString& text)
{
    QString quoted;
    quoted.reserve(text.size() + 2);
    quoted += QLatin1Char('"');
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\') + QString(c);
        else if (c == QLatin1Char('\n'))
            quoted += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            quoted += QLatin1String("\\t");
        else
            quoted += c;
    }
    quoted += QLatin1Char('"');
    return quoted;
}

bool ScriptLexer::IsCommandName(const QString& text)
{
    if (text.isEmpty() || text.at(0).isDigit())
        return false;
    for (QChar c : text) {
        if (c.unicode() > 127 || !(c.isLetterOrNumber() || c == QLatin1Char('_')))
            return false;
    }
    return true;
}

QString ScriptLexer::Number(double value)
{
    return QString::number(value, 'g', 17);
}

} // namespace kestrel
