#include "io/bvhimporter.h"

#include "io/scenedescription.h"
#include "scene/nodename.h"

#include <QList>
#include <QSet>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

namespace kestrel {

namespace {

constexpr double kRadiansPerDegree = M_PI / 180.0;
constexpr int kMaxChannels = 6;
// Deeper hierarchies are refused rather than risking the stack.
constexpr int kMaxDepth = 512;

struct Token
{
    QByteArray text;
    int line = 0;   // 1-based
    int column = 0; // 0-based byte offset in the line
};

// A channel of a joint: 0-2 position x, y, z; 3-5 rotation x, y, z.
struct JointChannels
{
    int recordIndex = -1;
    bool isRoot = false;
    std::vector<int> channels;
};

// The text up to the end of the line that holds only MOTION (line breaks and blanks aside),
// or all of it when there is none.
QByteArray UpToMotionLine(const QByteArray& data)
{
    for (int at = data.indexOf("MOTION"); at >= 0; at = data.indexOf("MOTION", at + 1)) {
        const int start = data.lastIndexOf('\n', at) + 1;
        int end = data.indexOf('\n', at);
        if (end < 0)
            end = data.size();
        if (data.mid(start, end - start).trimmed() == "MOTION")
            return data.left(end);
    }
    return data;
}

class BvhParser
{
public:
    // Without motion, only the lines up to the MOTION line are split: the hierarchy is all a
    // rest pose needs, and the frames of a long capture are nearly all of the file.
    BvhParser(const QByteArray& data, bool withMotion, SceneDescription* description,
              QString* error)
        : m_description(description)
        , m_error(error)
    {
        m_lines = (withMotion ? data : UpToMotionLine(data)).split('\n');
    }

    bool ParseHierarchy();
    bool ApplyFrame(int frame);

private:
    bool Fail(int line, const QString& text)
    {
        *m_error = QStringLiteral("line %1: %2").arg(line).arg(text);
        return false;
    }
    bool FailAt(const Token& token, const QString& text) { return Fail(token.line, text); }
    // The next token, or false at the end of the hierarchy (with an error).
    bool Next(Token* token, const char* expected);
    bool Expect(const char* keyword);
    bool ReadNumber(double* value, const char* what);
    bool ReadOffset(Vector3* offset);
    bool ReadChannels(JointChannels* joint);
    bool ParseJoint(const Token& keyword, const QString& parent, int depth);
    bool ParseEndSite();
    void TokenizeLine(int line);
    bool AtHierarchyEnd();

    QList<QByteArray> m_lines;
    std::vector<Token> m_pending; // tokens of the current line not consumed yet
    int m_nextLine = 0;           // index of the next line to tokenize
    int m_motionLine = -1;        // index of the MOTION line
    std::vector<JointChannels> m_joints;
    QSet<QString> m_names;
    SceneDescription* m_description;
    QString* m_error;
};

void BvhParser::TokenizeLine(int line)
{
    const QByteArray& text = m_lines.at(line);
    int i = 0;
    while (i < text.size()) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text.at(i))))
            ++i;
        const int start = i;
        while (i < text.size() && !std::isspace(static_cast<unsigned char>(text.at(i))))
            ++i;
        if (i > start)
            m_pending.push_back({text.mid(start, i - start), line + 1, start});
    }
    std::reverse(m_pending.begin(), m_pending.end());
}

bool BvhParser::AtHierarchyEnd()
{
    while (m_pending.empty() && m_nextLine < m_lines.size() && m_nextLine != m_motionLine)
        TokenizeLine(m_nextLine++);
    return m_pending.empty();
}

bool BvhParser::Next(Token* token, const char* expected)
{
    while (m_pending.empty()) {
        if (m_nextLine >= m_lines.size() || m_nextLine == m_motionLine)
            return Fail(m_nextLine, QStringLiteral("unexpected end of the hierarchy, expected %1.")
                                        .arg(QLatin1String(expected)));
        TokenizeLine(m_nextLine++);
    }
    *token = m_pending.back();
    m_pending.pop_back();
    return true;
}

bool BvhParser::Expect(const char* keyword)
{
    Token token;
    if (!Next(&token, keyword))
        return false;
    if (token.text != keyword)
        return FailAt(token, QStringLiteral("expected \"%1\", found \"%2\".")
                                 .arg(QLatin1String(keyword), QString::fromUtf8(token.text)));
    return true;
}

bool BvhParser::ReadNumber(double* value, const char* what)
{
    Token token;
    if (!Next(&token, what))
        return false;
    bool ok = false;
    *value = token.text.toDouble(&ok);
    if (!ok || !std::isfinite(*value))
        return FailAt(token, QStringLiteral("expected %1, found \"%2\".")
                                 .arg(QLatin1String(what), QString::fromUtf8(token.text)));
    return true;
}

bool BvhParser::ReadOffset(Vector3* offset)
{
    if (!Expect("OFFSET"))
        return false;
    for (int axis = 0; axis < 3; ++axis) {
        if (!ReadNumber(&(*offset)[axis], "an OFFSET number"))
            return false;
    }
    return true;
}

bool BvhParser::ReadChannels(JointChannels* joint)
{
    Token token;
    if (!Next(&token, "a channel count"))
        return false;
    bool ok = false;
    const int count = token.text.toInt(&ok);
    if (!ok || count < 0 || count > kMaxChannels)
        return FailAt(token, QStringLiteral("the channel count must be 0 to 6, found \"%1\".")
                                 .arg(QString::fromUtf8(token.text)));
    static const char* const kNames[kMaxChannels] = {"xposition", "yposition", "zposition",
                                                     "xrotation", "yrotation", "zrotation"};
    for (int i = 0; i < count; ++i) {
        if (!Next(&token, "a channel name"))
            return false;
        const QByteArray lower = token.text.toLower();
        int channel = -1;
        for (int c = 0; c < kMaxChannels; ++c) {
            if (lower == kNames[c])
                channel = c;
        }
        if (channel < 0)
            return FailAt(
                token,
                QStringLiteral("unknown channel \"%1\".").arg(QString::fromUtf8(token.text)));
        if (std::find(joint->channels.begin(), joint->channels.end(), channel) !=
            joint->channels.end())
            return FailAt(
                token,
                QStringLiteral("channel \"%1\" appears twice.").arg(QString::fromUtf8(token.text)));
        joint->channels.push_back(channel);
    }
    return true;
}

// The rotation order of the listed rotation channels: missing axes first, then the listed
// ones from last to first (the last listed applies first).
RotationOrder OrderOfChannels(const std::vector<int>& channels)
{
    std::vector<int> axes;
    for (int axis = 0; axis < 3; ++axis) {
        if (std::find(channels.begin(), channels.end(), axis + 3) == channels.end())
            axes.push_back(axis);
    }
    for (auto it = channels.rbegin(); it != channels.rend(); ++it) {
        if (*it >= 3)
            axes.push_back(*it - 3);
    }
    for (int value = 0; value < 6; ++value) {
        const auto order = static_cast<RotationOrder>(value);
        if (RotationOrderAxis(order, 0) == axes[0] && RotationOrderAxis(order, 1) == axes[1])
            return order;
    }
    return RotationOrder::XYZ;
}

bool BvhParser::ParseEndSite()
{
    Vector3 ignored;
    return Expect("Site") && Expect("{") && ReadOffset(&ignored) && Expect("}");
}

bool BvhParser::ParseJoint(const Token& keyword, const QString& parent, int depth)
{
    if (depth > kMaxDepth)
        return FailAt(
            keyword,
            QStringLiteral("the hierarchy is nested more than %1 levels deep.").arg(kMaxDepth));
    // The name is the rest of the keyword's line.
    const QByteArray& lineText = m_lines.at(keyword.line - 1);
    QByteArray rawName = lineText.mid(keyword.column + keyword.text.size()).trimmed();
    m_pending.clear();
    bool braceOnNameLine = false;
    if (rawName.endsWith('{')) {
        rawName.chop(1);
        rawName = rawName.trimmed();
        braceOnNameLine = true;
    }
    if (rawName.isEmpty())
        return FailAt(keyword,
                      QStringLiteral("%1 without a name.").arg(QString::fromUtf8(keyword.text)));
    NodeRecord record;
    record.name = EscapeNodeName(QString::fromUtf8(rawName));
    record.type = NodeType::Joint;
    record.parent = parent;
    if (m_names.contains(record.name))
        return FailAt(keyword,
                      QStringLiteral("the joint name \"%1\" is used twice.").arg(record.name));
    m_names.insert(record.name);
    if (!braceOnNameLine && !Expect("{"))
        return false;
    if (!ReadOffset(&record.transform.translation))
        return false;
    JointChannels joint;
    joint.isRoot = parent.isEmpty();
    joint.recordIndex = static_cast<int>(m_description->nodes.size());
    Token token;
    if (!Next(&token, "CHANNELS, JOINT, End or }"))
        return false;
    if (token.text == "CHANNELS") {
        if (!ReadChannels(&joint) || !Next(&token, "JOINT, End or }"))
            return false;
    }
    record.transform.rotationOrder = OrderOfChannels(joint.channels);
    m_description->nodes.push_back(record);
    m_joints.push_back(joint);
    const QString name = record.name;
    while (token.text != "}") {
        if (token.text == "JOINT") {
            if (!ParseJoint(token, name, depth + 1))
                return false;
        } else if (token.text == "End") {
            if (!ParseEndSite())
                return false;
        } else {
            return FailAt(token, QStringLiteral("expected JOINT, End or }, found \"%1\".")
                                     .arg(QString::fromUtf8(token.text)));
        }
        if (!Next(&token, "JOINT, End or }"))
            return false;
    }
    return true;
}

bool BvhParser::ParseHierarchy()
{
    for (int i = 0; i < m_lines.size(); ++i) {
        if (m_lines.at(i).trimmed() == "MOTION") {
            m_motionLine = i;
            break;
        }
    }
    if (!Expect("HIERARCHY"))
        return false;
    Token token;
    if (!Next(&token, "ROOT"))
        return false;
    while (true) {
        if (token.text != "ROOT")
            return FailAt(
                token,
                QStringLiteral("expected ROOT, found \"%1\".").arg(QString::fromUtf8(token.text)));
        if (!ParseJoint(token, QString(), 0))
            return false;
        if (AtHierarchyEnd())
            break;
        if (!Next(&token, "ROOT or MOTION"))
            return false;
    }
    return true;
}

bool BvhParser::ApplyFrame(int frame)
{
    if (m_motionLine < 0)
        return Fail(m_lines.size(), QStringLiteral("there is no MOTION section."));
    int line = m_motionLine + 1;
    // Reads "prefix value" from the next non-empty line; `number` gets its 1-based number.
    const auto header = [&](const QByteArray& prefix, QByteArray* value, int* number) {
        while (line < m_lines.size() && m_lines.at(line).trimmed().isEmpty())
            ++line;
        if (line >= m_lines.size() || !m_lines.at(line).trimmed().startsWith(prefix))
            return Fail(line + 1,
                        QStringLiteral("expected \"%1\".").arg(QString::fromUtf8(prefix)));
        *value = m_lines.at(line).trimmed().mid(prefix.size()).trimmed();
        *number = ++line;
        return true;
    };
    QByteArray framesText;
    QByteArray frameTime;
    int framesLine = 0;
    int timeLine = 0;
    if (!header("Frames:", &framesText, &framesLine) ||
        !header("Frame Time:", &frameTime, &timeLine))
        return false;
    bool ok = false;
    const int frameCount = framesText.toInt(&ok);
    if (!ok || frameCount < 0)
        return Fail(framesLine,
                    QStringLiteral("bad frame count \"%1\".").arg(QString::fromUtf8(framesText)));
    if (frame >= frameCount)
        return Fail(framesLine, QStringLiteral("frame %1 requested, the file has %2 frames.")
                                    .arg(frame)
                                    .arg(frameCount));
    int seen = 0;
    while (line < m_lines.size() && (m_lines.at(line).trimmed().isEmpty() || seen < frame)) {
        if (!m_lines.at(line).trimmed().isEmpty())
            ++seen;
        ++line;
    }
    if (line >= m_lines.size())
        return Fail(line, QStringLiteral("frame %1 is missing.").arg(frame));
    const QList<QByteArray> items = m_lines.at(line).simplified().split(' ');
    std::size_t expected = 0;
    for (const JointChannels& joint : m_joints)
        expected += joint.channels.size();
    if (static_cast<std::size_t>(items.size()) != expected)
        return Fail(line + 1, QStringLiteral("frame %1 has %2 values, the hierarchy has %3 "
                                             "channels.")
                                  .arg(frame)
                                  .arg(items.size())
                                  .arg(expected));
    int item = 0;
    for (const JointChannels& joint : m_joints) {
        TransformValues& t = m_description->nodes[joint.recordIndex].transform;
        Vector3 position = joint.isRoot ? t.translation : Vector3();
        Vector3 angles;
        for (int channel : joint.channels) {
            const double value = items.at(item++).toDouble(&ok);
            if (!ok || !std::isfinite(value))
                return Fail(
                    line + 1,
                    QStringLiteral("value %1 of frame %2 is not a number.").arg(item).arg(frame));
            if (channel < 3)
                position[channel] = value;
            else
                angles[channel - 3] = value * kRadiansPerDegree;
        }
        const Vector3 translation = joint.isRoot ? position : t.translation + position;
        // Two finite values near the largest double can add up to infinity.
        if (!std::isfinite(translation.x) || !std::isfinite(translation.y) ||
            !std::isfinite(translation.z))
            return Fail(line + 1,
                        QStringLiteral("the position of frame %1 is out of range for \"%2\".")
                            .arg(frame)
                            .arg(m_description->nodes[joint.recordIndex].name));
        t.translation = translation;
        t.rotation = angles;
    }
    return true;
}

} // namespace

bool BvhImporter::Read(const QByteArray& data, int frame, SceneDescription* description,
                       QString* error)
{
    *description = SceneDescription();
    BvhParser parser(data, frame >= 0, description, error);
    if (!parser.ParseHierarchy())
        return false;
    if (frame >= 0 && !parser.ApplyFrame(frame))
        return false;
    return description->Validate(error);
}

} // namespace kestrel
