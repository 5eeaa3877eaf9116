#include "io/scenejsonreader.h"

#include "io/scenedescription.h"
#include "scene/nodename.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>

namespace kestrel {

namespace {

constexpr double kRadiansPerDegree = M_PI / 180.0;
// Deeper than any scene needs (top object, node list, node, limits, vector): a bound on the
// checker's recursion, whatever a file holds.
constexpr int kMaxDepth = 64;

// JSON text read in place, without a document: a scene of 100,000 nodes is read as fast as
// its records can be filled. Check() walks the whole text once and stops at the first syntax
// error; once it passed, the reading functions trust the syntax and only look at types, so a
// reader may look at an object's members in any order. Positions are byte offsets; past the
// end (or before the start: an absent member) reads as '\0'.
class JsonText
{
public:
    explicit JsonText(const QByteArray& data)
        : m_data(data.constData())
        , m_size(data.size())
    {}

    bool Check(QString* error) const
    {
        const char* problem = nullptr;
        int at = 0;
        if (CheckValue(at, 0, &problem)) {
            at = Space(at);
            if (at == m_size)
                return true;
            problem = "text after the end of the document";
        }
        *error = QStringLiteral("JSON syntax error at %1: %2.")
                     .arg(LineAndColumn(at), QLatin1String(problem));
        return false;
    }

    char At(int at) const { return at >= 0 && at < m_size ? m_data[at] : '\0'; }
    int Space(int at) const
    {
        while (at < m_size && IsSpace(m_data[at]))
            ++at;
        return at;
    }
    bool IsString(int at) const { return At(at) == '"'; }
    bool IsNumber(int at) const { return At(at) == '-' || IsDigit(At(at)); }
    bool IsBool(int at) const { return At(at) == 't' || At(at) == 'f'; }
    bool IsArray(int at) const { return At(at) == '['; }
    bool IsObject(int at) const { return At(at) == '{'; }

    // The position after the string at `at`. Runs of plain characters are scanned on their
    // own: the loop that also steps over escapes waits for each byte before the next.
    int SkipString(int at) const
    {
        for (++at;; at += 2) {
            while (m_data[at] != '"' && m_data[at] != '\\')
                ++at;
            if (m_data[at] == '"')
                return at + 1;
        }
    }

    bool HasEscape(int at) const
    {
        for (++at; m_data[at] != '"' && m_data[at] != '\\';)
            ++at;
        return m_data[at] == '\\';
    }

    // Objects two levels down (nodes and connections of a scene), as Check() counted them.
    int NestedObjects() const { return m_nestedObjects; }

    // The position after the value at `at`.
    int Skip(int at) const
    {
        if (IsString(at))
            return SkipString(at);
        if (!IsArray(at) && !IsObject(at)) {
            while (at < m_size && !IsSpace(m_data[at]) && m_data[at] != ',' && m_data[at] != ']' &&
                   m_data[at] != '}')
                ++at;
            return at;
        }
        // The top level's lists, most of a file, were measured by Check().
        for (const auto& [start, end] : m_containerEnds) {
            if (start == at)
                return end;
        }
        int depth = 0;
        do {
            const char c = m_data[at];
            if (c == '"') {
                at = SkipString(at);
                continue;
            }
            if (c == '[' || c == '{')
                ++depth;
            else if (c == ']' || c == '}')
                --depth;
            ++at;
        } while (depth > 0);
        return at;
    }

    QString String(int at) const
    {
        const int begin = at + 1;
        int end = begin;
        bool ascii = true;
        while (m_data[end] != '"' && m_data[end] != '\\') {
            ascii = ascii && static_cast<uchar>(m_data[end]) < 0x80;
            ++end;
        }
        if (m_data[end] == '"')
            return ascii ? QString::fromLatin1(m_data + begin, end - begin)
                         : QString::fromUtf8(m_data + begin, end - begin);
        return Unescaped(begin);
    }
    double Number(int at) const
    {
        double value = 0;
        // Check() refused overflows: what is left out of range is a number too close to 0.
        std::from_chars(m_data + at, m_data + m_size, value);
        return value;
    }
    bool Bool(int at) const { return At(at) == 't'; }
    // Whether the string from `at` to `end` (after its closing quote) is `ascii`, a member
    // name of the format.
    bool StringIs(int at, int end, QLatin1String ascii) const
    {
        const int length = end - at - 2;
        if (length == ascii.size() && std::memcmp(m_data + at + 1, ascii.data(), length) == 0)
            return true;
        return length > ascii.size() && HasEscape(at) && String(at) == ascii;
    }

    // The members of the object at `at`, one by one: key and value positions.
    class Members
    {
    public:
        Members(const JsonText& text, int at)
            : m_text(text)
            , m_next(text.Space(at + 1))
        {}
        bool Next()
        {
            if (m_text.At(m_next) == '}')
                return false;
            key = m_next;
            keyEnd = m_text.SkipString(key);
            value = m_text.Space(m_text.Space(keyEnd) + 1);
            m_next = m_text.Space(m_text.Skip(value));
            if (m_text.At(m_next) == ',')
                m_next = m_text.Space(m_next + 1);
            return true;
        }
        // After Next() returned false: the position after the closing brace.
        int End() const { return m_next + 1; }
        int key = -1;
        int keyEnd = -1; // after the key's closing quote
        int value = -1;

    private:
        const JsonText& m_text;
        int m_next;
    };

    // The elements of the array at `at`, one by one.
    class Elements
    {
    public:
        Elements(const JsonText& text, int at)
            : m_text(text)
            , m_next(text.Space(at + 1))
        {}
        bool Next()
        {
            if (m_text.At(m_next) == ']')
                return false;
            value = m_next;
            m_next = m_text.Space(m_text.Skip(value));
            if (m_text.At(m_next) == ',')
                m_next = m_text.Space(m_next + 1);
            return true;
        }
        int value = -1;

    private:
        const JsonText& m_text;
        int m_next;
    };

private:
    static bool IsSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    // A string character that stands for itself: ASCII, neither a control character, a quote
    // nor a backslash.
    static bool IsPlain(uchar c) { return c >= 0x20 && c < 0x80 && c != '"' && c != '\\'; }
    static int HexDigit(char c)
    {
        if (IsDigit(c))
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    QString LineAndColumn(int offset) const
    {
        int line = 1;
        int column = 1;
        for (int i = 0; i < offset && i < m_size; ++i) {
            if (m_data[i] == '\n') {
                ++line;
                column = 1;
            } else {
                ++column;
            }
        }
        return QStringLiteral("line %1, column %2").arg(line).arg(column);
    }

    // --- the checker: each function advances `at` past what it accepts, or stops at the fault.
    bool CheckValue(int& at, int depth, const char** problem) const
    {
        at = Space(at);
        switch (At(at)) {
        case '{':
        case '[':
            return CheckContainer(at, depth, problem);
        case '"':
            return CheckString(at, problem);
        case 't':
            return CheckWord(at, "true", problem);
        case 'f':
            return CheckWord(at, "false", problem);
        case 'n':
            return CheckWord(at, "null", problem);
        default:
            if (IsNumber(at))
                return CheckNumber(at, problem);
            *problem = at < m_size ? "a value was expected" : "the document ends too early";
            return false;
        }
    }

    bool CheckContainer(int& at, int depth, const char** problem) const
    {
        const int start = at;
        if (!CheckElements(at, depth, problem))
            return false;
        if (depth == 1)
            m_containerEnds.emplace_back(start, at);
        if (depth == 2 && m_data[start] == '{')
            ++m_nestedObjects;
        return true;
    }

    bool CheckElements(int& at, int depth, const char** problem) const
    {
        const bool object = m_data[at] == '{';
        const char close = object ? '}' : ']';
        if (depth >= kMaxDepth) {
            *problem = "objects and arrays nest too deeply";
            return false;
        }
        at = Space(at + 1);
        if (At(at) == close) {
            ++at;
            return true;
        }
        for (;;) {
            if (object) {
                at = Space(at);
                if (!IsString(at)) {
                    *problem = "a member name in quotes was expected";
                    return false;
                }
                if (!CheckString(at, problem))
                    return false;
                at = Space(at);
                if (At(at) != ':') {
                    *problem = "':' was expected after the member name";
                    return false;
                }
                ++at;
            }
            if (!CheckValue(at, depth + 1, problem))
                return false;
            at = Space(at);
            if (At(at) == close) {
                ++at;
                return true;
            }
            if (At(at) != ',') {
                *problem = object ? "',' or '}' was expected" : "',' or ']' was expected";
                return false;
            }
            ++at;
        }
    }

    bool CheckWord(int& at, const char* word, const char** problem) const
    {
        const int length = static_cast<int>(std::strlen(word));
        if (at + length > m_size || std::memcmp(m_data + at, word, length) != 0) {
            *problem = "a value was expected";
            return false;
        }
        at += length;
        return true;
    }

    bool CheckNumber(int& at, const char** problem) const
    {
        const int begin = at;
        *problem = "a malformed number";
        if (At(at) == '-')
            ++at;
        if (At(at) == '0') {
            ++at;
        } else if (IsDigit(At(at))) {
            while (IsDigit(At(at)))
                ++at;
        } else {
            return false;
        }
        // Without an exponent only a number of more than 308 whole digits is out of range.
        const bool fewDigits = at - begin <= 308;
        if (At(at) == '.') {
            if (!IsDigit(At(++at)))
                return false;
            while (IsDigit(At(at)))
                ++at;
        }
        if (fewDigits && At(at) != 'e' && At(at) != 'E')
            return true;
        if (At(at) == 'e' || At(at) == 'E') {
            ++at;
            if (At(at) == '+' || At(at) == '-')
                ++at;
            if (!IsDigit(At(at)))
                return false;
            while (IsDigit(At(at)))
                ++at;
        }
        double value = 0;
        if (std::from_chars(m_data + begin, m_data + at, value).ec == std::errc())
            return true;
        // Out of range: a number too close to 0 reads as 0, one too large is refused.
        if (std::isinf(QByteArray::fromRawData(m_data + begin, at - begin).toDouble())) {
            at = begin;
            *problem = "a number beyond the range of doubles";
            return false;
        }
        return true;
    }

    bool CheckString(int& at, const char** problem) const
    {
        for (++at; at < m_size;) {
            // Plain characters, most of a string, in a loop of their own.
            while (at < m_size && IsPlain(static_cast<uchar>(m_data[at])))
                ++at;
            if (at == m_size)
                break;
            const uchar c = static_cast<uchar>(m_data[at]);
            if (c == '"') {
                ++at;
                return true;
            }
            if (c < 0x20) {
                *problem = "a control character in a string";
                return false;
            }
            if (c == '\\') {
                const char escaped = At(at + 1);
                if (escaped == 'u') {
                    for (int i = 2; i < 6; ++i) {
                        if (HexDigit(At(at + i)) < 0) {
                            *problem = "\\u takes four hexadecimal digits";
                            return false;
                        }
                    }
                    at += 6;
                } else if (escaped && std::strchr("\"\\/bfnrt", escaped)) {
                    at += 2;
                } else {
                    *problem = "an unknown escape in a string";
                    return false;
                }
                continue;
            }
            const int length = c < 0x80 ? 1 : Utf8Length(at);
            if (length == 0) {
                *problem = "a string that is not UTF-8";
                return false;
            }
            at += length;
        }
        *problem = "a string without its closing quote";
        return false;
    }

    // The length of the well-formed UTF-8 sequence at `at` (no overlong forms, surrogates or
    // code points beyond U+10FFFF), 0 for none.
    int Utf8Length(int at) const
    {
        const uchar lead = static_cast<uchar>(m_data[at]);
        const auto continuation = [this, at](int i, uchar low, uchar high) {
            const uchar c = static_cast<uchar>(At(at + i));
            return c >= low && c <= high;
        };
        if (lead >= 0xC2 && lead <= 0xDF)
            return continuation(1, 0x80, 0xBF) ? 2 : 0;
        if (lead >= 0xE0 && lead <= 0xEF) {
            const uchar low = lead == 0xE0 ? 0xA0 : 0x80;
            const uchar high = lead == 0xED ? 0x9F : 0xBF;
            return continuation(1, low, high) && continuation(2, 0x80, 0xBF) ? 3 : 0;
        }
        if (lead >= 0xF0 && lead <= 0xF4) {
            const uchar low = lead == 0xF0 ? 0x90 : 0x80;
            const uchar high = lead == 0xF4 ? 0x8F : 0xBF;
            return continuation(1, low, high) && continuation(2, 0x80, 0xBF) &&
                           continuation(3, 0x80, 0xBF)
                       ? 4
                       : 0;
        }
        return 0;
    }

    // --- reading checked text

    // The string whose text starts at `begin`, escapes resolved.
    QString Unescaped(int begin) const
    {
        QString text;
        int run = begin; // start of the bytes not yet appended
        int at = begin;
        while (m_data[at] != '"') {
            if (m_data[at] != '\\') {
                ++at;
                continue;
            }
            text += QString::fromUtf8(m_data + run, at - run);
            const char escaped = m_data[at + 1];
            at += 2;
            switch (escaped) {
            case 'b':
                text += QLatin1Char('\b');
                break;
            case 'f':
                text += QLatin1Char('\f');
                break;
            case 'n':
                text += QLatin1Char('\n');
                break;
            case 'r':
                text += QLatin1Char('\r');
                break;
            case 't':
                text += QLatin1Char('\t');
                break;
            case 'u': {
                ushort code = 0;
                for (int i = 0; i < 4; ++i)
                    code = static_cast<ushort>(code * 16 + HexDigit(m_data[at + i]));
                text += QChar(code);
                at += 4;
                break;
            }
            default: // '"', '\\' and '/' stand for themselves
                text += QLatin1Char(escaped);
                break;
            }
            run = at;
        }
        return text + QString::fromUtf8(m_data + run, at - run);
    }

    const char* m_data;
    int m_size;
    // Filled by Check(): where each container one level down starts and ends.
    mutable std::vector<std::pair<int, int>> m_containerEnds;
    mutable int m_nestedObjects = 0;
};

// Where a message points: "node 3 (\"Hips\") attribute 0". Only turned into text for a
// message, so reading a node costs no formatting.
struct Place
{
    const Place* outer;
    const char* label;
    int index;                     // -1: none
    const QString* name = nullptr; // the node's name as written, when it is a string

    QString Text() const
    {
        QString text = outer ? outer->Text() + QLatin1Char(' ') : QString();
        text += QLatin1String(label);
        if (index >= 0)
            text += QLatin1Char(' ') + QString::number(index);
        if (name)
            text += QStringLiteral(" (\"%1\")").arg(*name);
        return text;
    }
};

// The members of one object that the format allows, found by name: the position of each
// value (-1 when absent), and the first unknown or repeated member.
template <int Count>
class ObjectReader
{
public:
    ObjectReader(const JsonText& text, int at, const QLatin1String (&keys)[Count],
                 const Place& place, QString* error)
        : m_text(text)
        , m_keys(keys)
        , m_place(place)
        , m_error(error)
    {
        std::fill(std::begin(m_at), std::end(m_at), -1);
        JsonText::Members members(text, at);
        while (members.Next()) {
            int k = 0;
            while (k < Count && !text.StringIs(members.key, members.keyEnd, keys[k]))
                ++k;
            if (k == Count || m_at[k] >= 0) {
                if (m_stray.isEmpty()) {
                    m_stray = text.String(members.key);
                    m_repeated = k < Count;
                }
            } else {
                m_at[k] = members.value;
            }
        }
        m_end = members.End();
    }

    // The position after the object.
    int End() const { return m_end; }

    bool Fail(const QString& text) const
    {
        *m_error = m_place.Text() + QStringLiteral(": ") + text;
        return false;
    }

    bool CheckKeys() const
    {
        if (m_stray.isEmpty())
            return true;
        return Fail((m_repeated ? QStringLiteral("\"%1\" appears twice.")
                                : QStringLiteral("unknown key \"%1\"."))
                        .arg(m_stray));
    }

    // Position of the value of keys[k], -1 when absent.
    int At(int k) const { return m_at[k]; }
    bool Has(int k) const { return m_at[k] >= 0; }

    bool String(int k, QString* value, bool required) const
    {
        if (!Has(k) && !required)
            return true;
        if (!m_text.IsString(m_at[k]))
            return Fail(QStringLiteral("\"%1\" must be a string.").arg(m_keys[k]));
        *value = m_text.String(m_at[k]);
        return true;
    }

    bool Vector(int k, Vector3* value, double factor) const
    {
        if (!Has(k))
            return true;
        double numbers[3];
        if (!Triple(k, &JsonText::IsNumber, numbers))
            return Fail(QStringLiteral("\"%1\" must be an array of 3 numbers.").arg(m_keys[k]));
        for (int axis = 0; axis < 3; ++axis)
            (*value)[axis] = numbers[axis] * factor;
        return true;
    }

    bool Flags(int k, bool (&flags)[3]) const
    {
        if (!Has(k))
            return true;
        double values[3];
        if (!Triple(k, &JsonText::IsBool, values))
            return Fail(QStringLiteral("\"%1\" must be an array of 3 booleans.").arg(m_keys[k]));
        for (int axis = 0; axis < 3; ++axis)
            flags[axis] = values[axis] != 0;
        return true;
    }

    const JsonText& Text() const { return m_text; }
    const Place& Where() const { return m_place; }
    QString* ErrorOut() const { return m_error; }

private:
    // An array of exactly three values of one kind (numbers, or booleans read as 0 and 1).
    bool Triple(int k, bool (JsonText::*is)(int) const, double (&values)[3]) const
    {
        if (!m_text.IsArray(m_at[k]))
            return false;
        JsonText::Elements elements(m_text, m_at[k]);
        int count = 0;
        while (elements.Next()) {
            if (count == 3 || !(m_text.*is)(elements.value))
                return false;
            values[count++] = m_text.IsNumber(elements.value) ? m_text.Number(elements.value)
                                                              : m_text.Bool(elements.value);
        }
        return count == 3;
    }

    const JsonText& m_text;
    const QLatin1String (&m_keys)[Count];
    const Place& m_place;
    QString* m_error;
    int m_at[Count];
    int m_end = -1;
    QString m_stray;
    bool m_repeated = false;
};

const QLatin1String kLimitKeys[] = {QLatin1String("min"), QLatin1String("max"),
                                    QLatin1String("minEnabled"), QLatin1String("maxEnabled")};

template <int Count>
bool ReadLimits(const ObjectReader<Count>& node, int k, RotationLimits* limits)
{
    if (!node.Has(k))
        return true;
    if (!node.Text().IsObject(node.At(k)))
        return node.Fail(QStringLiteral("\"limits\" must be an object."));
    const Place place{&node.Where(), "limits", -1};
    const ObjectReader<4> reader(node.Text(), node.At(k), kLimitKeys, place, node.ErrorOut());
    return reader.CheckKeys() && reader.Vector(0, &limits->minimum, kRadiansPerDegree) &&
           reader.Vector(1, &limits->maximum, kRadiansPerDegree) &&
           reader.Flags(2, limits->minimumEnabled) && reader.Flags(3, limits->maximumEnabled);
}

const QLatin1String kAttributeKeys[] = {QLatin1String("name"), QLatin1String("type"),
                                        QLatin1String("value")};

bool ReadAttributeValue(const ObjectReader<3>& reader, Attribute* attribute)
{
    const JsonText& text = reader.Text();
    const int at = reader.At(2);
    if (attribute->type == AttributeType::Message) {
        if (at >= 0)
            return reader.Fail(QStringLiteral("a message attribute takes no \"value\"."));
        return true;
    }
    if (at < 0) {
        attribute->value = DefaultAttributeValue(attribute->type);
        return true;
    }
    bool ok = false;
    switch (attribute->type) {
    case AttributeType::Bool:
        ok = text.IsBool(at);
        attribute->value = Value(text.Bool(at));
        break;
    case AttributeType::Int: {
        const double number = text.IsNumber(at) ? text.Number(at) : 0.5;
        ok = number == std::floor(number) && std::abs(number) <= 2147483647.0;
        attribute->value = Value(ok ? static_cast<int>(number) : 0);
        break;
    }
    case AttributeType::Double:
        ok = text.IsNumber(at);
        attribute->value = Value(ok ? text.Number(at) : 0.0);
        break;
    case AttributeType::String:
        ok = text.IsString(at);
        attribute->value = Value(ok ? text.String(at) : QString());
        break;
    case AttributeType::Message:
        break;
    }
    if (!ok)
        return reader.Fail(QStringLiteral("\"value\" does not fit the type %1.")
                               .arg(AttributeTypeName(attribute->type)));
    return true;
}

template <int Count>
bool ReadAttributes(const ObjectReader<Count>& node, int k, std::vector<Attribute>* attributes)
{
    if (!node.Has(k))
        return true;
    const JsonText& text = node.Text();
    if (!text.IsArray(node.At(k)))
        return node.Fail(QStringLiteral("\"attributes\" must be an array."));
    JsonText::Elements elements(text, node.At(k));
    for (int i = 0; elements.Next(); ++i) {
        const Place place{&node.Where(), "attribute", i};
        if (!text.IsObject(elements.value)) {
            *node.ErrorOut() = place.Text() + QStringLiteral(": must be an object.");
            return false;
        }
        const ObjectReader<3> reader(text, elements.value, kAttributeKeys, place, node.ErrorOut());
        Attribute attribute;
        QString typeName;
        if (!reader.CheckKeys() || !reader.String(0, &attribute.name, true) ||
            !reader.String(1, &typeName, true))
            return false;
        if (!ParseAttributeType(typeName, &attribute.type))
            return reader.Fail(QStringLiteral("unknown attribute type \"%1\".").arg(typeName));
        if (!ReadAttributeValue(reader, &attribute))
            return false;
        attributes->push_back(attribute);
    }
    return true;
}

// Names as the scene takes them; most files hold legal names already.
QString SceneName(const QString& raw)
{
    return IsValidNodeName(raw) ? raw : EscapeNodeName(raw);
}

enum NodeKey
{
    kName,
    kType,
    kParent,
    kTranslate,
    kRotate,
    kRotateOrder,
    kRotateAxis,
    kScale,
    kJointOrient,
    kLimits,
    kAttributes,
    kNodeKeyCount
};
const QLatin1String kNodeKeys[kNodeKeyCount] = {
    QLatin1String("name"),       QLatin1String("type"),      QLatin1String("parent"),
    QLatin1String("translate"),  QLatin1String("rotate"),    QLatin1String("rotateOrder"),
    QLatin1String("rotateAxis"), QLatin1String("scale"),     QLatin1String("jointOrient"),
    QLatin1String("limits"),     QLatin1String("attributes")};

// NodeTypeName of each type, in the order of NodeType.
const QLatin1String kNodeTypeNames[] = {QLatin1String("transform"), QLatin1String("joint"),
                                        QLatin1String("character")};

// Reads the node at `at`; `end` is then the position after it.
bool ReadNode(const JsonText& text, int at, int index, NodeRecord* record, int* end, QString* error)
{
    Place place{nullptr, "node", index};
    if (!text.IsObject(at)) {
        *error = place.Text() + QStringLiteral(": must be an object.");
        return false;
    }
    const ObjectReader<kNodeKeyCount> reader(text, at, kNodeKeys, place, error);
    *end = reader.End();
    QString rawName;
    if (reader.Has(kName) && text.IsString(reader.At(kName))) {
        rawName = text.String(reader.At(kName));
        place.name = &rawName;
    }
    // The type compared where it is written, with no string made: a file names it plainly.
    bool typeRead = false;
    if (reader.Has(kType) && text.IsString(reader.At(kType))) {
        const int typeEnd = text.SkipString(reader.At(kType));
        for (int type = 0; type < 3 && !typeRead; ++type) {
            typeRead = text.StringIs(reader.At(kType), typeEnd, kNodeTypeNames[type]);
            if (typeRead)
                record->type = static_cast<NodeType>(type);
        }
    }
    QString typeName;
    QString rawParent;
    QString orderName;
    if (!reader.CheckKeys() || (!place.name && !reader.String(kName, &rawName, true)) ||
        (!typeRead && !reader.String(kType, &typeName, true)) ||
        !reader.String(kParent, &rawParent, false) ||
        !reader.String(kRotateOrder, &orderName, false))
        return false;
    if (rawName.isEmpty())
        return reader.Fail(QStringLiteral("\"name\" is empty."));
    if (!typeRead && !ParseNodeType(typeName, &record->type))
        return reader.Fail(QStringLiteral("unknown node type \"%1\".").arg(typeName));
    TransformValues& t = record->transform;
    if (!orderName.isEmpty() && !ParseRotationOrder(orderName, &t.rotationOrder))
        return reader.Fail(QStringLiteral("unknown rotation order \"%1\".").arg(orderName));
    if (record->type == NodeType::Character) {
        for (int k = kTranslate; k <= kLimits; ++k) {
            if (reader.Has(k))
                return reader.Fail(
                    QStringLiteral("a character node takes no \"%1\".").arg(kNodeKeys[k]));
        }
    } else if (record->type != NodeType::Joint && reader.Has(kJointOrient)) {
        return reader.Fail(QStringLiteral("only joints take \"jointOrient\"."));
    }
    record->name = SceneName(rawName);
    record->parent = rawParent == WorldName() ? QString() : SceneName(rawParent);
    return reader.Vector(kTranslate, &t.translation, 1.0) &&
           reader.Vector(kRotate, &t.rotation, kRadiansPerDegree) &&
           reader.Vector(kRotateAxis, &t.rotateAxis, kRadiansPerDegree) &&
           reader.Vector(kScale, &t.scale, 1.0) &&
           reader.Vector(kJointOrient, &t.jointOrient, kRadiansPerDegree) &&
           ReadLimits(reader, kLimits, &t.limits) &&
           ReadAttributes(reader, kAttributes, &record->attributes);
}

bool SplitPlug(const QString& plug, QString* node, QString* attribute)
{
    const int dot = plug.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == plug.size() - 1)
        return false;
    *node = SceneName(plug.left(dot));
    *attribute = plug.mid(dot + 1);
    return true;
}

const QLatin1String kConnectionKeys[] = {QLatin1String("from"), QLatin1String("to")};

bool ReadConnection(const JsonText& text, int at, int index, ConnectionRecord* record,
                    QString* error)
{
    const Place place{nullptr, "connection", index};
    if (!text.IsObject(at)) {
        *error = place.Text() + QStringLiteral(": must be an object.");
        return false;
    }
    const ObjectReader<2> reader(text, at, kConnectionKeys, place, error);
    QString from;
    QString to;
    if (!reader.CheckKeys() || !reader.String(0, &from, true) || !reader.String(1, &to, true))
        return false;
    if (!SplitPlug(from, &record->fromNode, &record->fromAttribute) ||
        !SplitPlug(to, &record->toNode, &record->toAttribute))
        return reader.Fail(QStringLiteral("\"from\" and \"to\" must read \"node.attribute\"."));
    return true;
}

const QLatin1String kSceneKeys[] = {QLatin1String("kestrelScene"), QLatin1String("nodes"),
                                    QLatin1String("connections"),
                                    QLatin1String("currentCharacter")};

} // namespace

bool SceneJsonReader::Read(const QByteArray& data, SceneDescription* description, QString* error)
{
    *description = SceneDescription();
    const JsonText text(data);
    if (!text.Check(error))
        return false;
    const int top = text.Space(0);
    const Place place{nullptr, "scene", -1};
    JsonText::Members first(text, top);
    if (!text.IsObject(top) || !first.Next() ||
        !text.StringIs(first.key, first.keyEnd, kSceneKeys[0])) {
        *error = QStringLiteral("scene: not a Kestrel scene (the object must start with "
                                "\"kestrelScene\": 1).");
        return false;
    }
    const ObjectReader<4> reader(text, top, kSceneKeys, place, error);
    if (!text.IsNumber(reader.At(0)) || text.Number(reader.At(0)) != 1)
        return reader.Fail(QStringLiteral("not a Kestrel scene (the object must start with "
                                          "\"kestrelScene\": 1)."));
    if (!reader.CheckKeys() || !reader.String(3, &description->currentCharacter, false))
        return false;
    if (!text.IsArray(reader.At(1)))
        return reader.Fail(QStringLiteral("\"nodes\" must be an array."));
    if (reader.Has(2) && !text.IsArray(reader.At(2)))
        return reader.Fail(QStringLiteral("\"connections\" must be an array."));
    // The nodes one after the other, each read where the one before it ended: the node list
    // is most of a file.
    // No more records than objects, nor than the shortest node ({"name":"a","type":"joint"},
    // 27 bytes) fits in the file: a file of empty objects reserves no more than one of nodes.
    description->nodes.reserve(
        static_cast<std::size_t>(std::min(text.NestedObjects(), data.size() / 27)));
    int at = text.Space(reader.At(1) + 1);
    for (int i = 0; text.At(at) != ']'; ++i) {
        description->nodes.emplace_back();
        if (!ReadNode(text, at, i, &description->nodes.back(), &at, error))
            return false;
        at = text.Space(at);
        if (text.At(at) == ',')
            at = text.Space(at + 1);
    }
    if (reader.Has(2)) {
        JsonText::Elements connections(text, reader.At(2));
        for (int i = 0; connections.Next(); ++i) {
            description->connections.emplace_back();
            if (!ReadConnection(text, connections.value, i, &description->connections.back(),
                                error))
                return false;
        }
    }
    return description->Validate(error);
}

} // namespace kestrel
