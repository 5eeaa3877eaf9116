#include "namematcher.h"

#include "host/idcchub.h"

namespace {

// True when `text` holds `part` ending exactly at position `end`.
bool EndsAt(const QString& text, const QString& part, int end)
{
    const int start = end - part.size() + 1;
    return !part.isEmpty() && start >= 0 && QStringView(text).mid(start, part.size()) == part;
}

bool IsInlineRoll(NodeId id)
{
    return id >= InlineRollNodes.front() && id <= InlineRollNodes.back();
}

} // namespace

int LastIndexOfAny(const QString& text, const QStringList& delimiters, int from)
{
    int best = -1;
    for (const QString& delimiter : delimiters) {
        // An empty delimiter (a hand-edited settings file) occurs nowhere.
        if (delimiter.isEmpty())
            continue;
        best = std::max(best, int(text.lastIndexOf(delimiter, from, Qt::CaseSensitive)));
    }
    return best;
}

QString PrefixRoot(const QString& prefix, const QStringList& delimiters)
{
    const int last = LastIndexOfAny(prefix, delimiters, -1);
    return last >= 1 ? prefix.left(last) : prefix;
}

NameMatcher::NameMatcher(const MatchingSettings& settings, IDCCHub* hub)
    : m_settings(settings)
    , m_hub(hub)
{}

QString NameMatcher::CleanName(const QString& hostName) const
{
    return m_hub ? m_hub->CleanNodeName(hostName) : hostName;
}

// Position of the last character left once trailing digits and delimiters are stripped.
int NameMatcher::StripTail(const QString& name) const
{
    int pos = name.size() - 1;
    while (pos >= 0) {
        if (name[pos].isDigit()) {
            --pos;
            continue;
        }
        int stripped = 0;
        for (const QString& delimiter : m_settings.Delimiters()) {
            if (EndsAt(name, delimiter, pos)) {
                stripped = delimiter.size();
                break;
            }
        }
        if (stripped == 0)
            break;
        pos -= stripped;
    }
    return pos;
}

int NameMatcher::CutBeforeMirrorKeyword(const QString& name, int cut) const
{
    for (const QString& keyword : m_settings.MirrorKeywords()) {
        if (EndsAt(name, keyword, cut))
            return cut - keyword.size();
    }
    return cut;
}

bool NameMatcher::GuessPrefixFromName(const QString& hostName, QString& prefix) const
{
    const QString name = CleanName(hostName);
    const int pos = StripTail(name);
    int cut = LastIndexOfAny(name, m_settings.Delimiters(), pos);
    if (cut != -1) {
        cut = CutBeforeMirrorKeyword(name, cut);
        if (cut >= 0)
            prefix = name.left(cut + 1);
    }
    if (name != hostName)
        prefix = prefix.trimmed();
    return !prefix.isEmpty();
}

bool NameMatcher::GuessPrefix(const QStringList& names, QString& prefix) const
{
    for (const QString& name : names) {
        if (GuessPrefixFromName(name, prefix))
            return true;
    }
    return false;
}

bool NameMatcher::MatchContains(const QString& name, const QVector<TemplateEntry>& entries,
                                NodeId& node) const
{
    int bestLength = 0;
    for (NodeId id = 0; id < entries.size(); ++id) {
        const QString& entry = entries[id].name;
        // Strictly longer wins, so the lowest id keeps a tie.
        if (entry.size() > bestLength && name.contains(entry, Qt::CaseInsensitive)) {
            node = id;
            bestLength = entry.size();
        }
    }
    return bestLength > 0;
}

bool NameMatcher::MatchSuffix(const QString& name, const QString& root,
                              const QVector<TemplateEntry>& entries, NodeId& node,
                              bool& viaRoot) const
{
    for (NodeId id = 0; id < entries.size(); ++id) {
        const TemplateEntry& entry = entries[id];
        if (entry.useRoot && !root.isEmpty() && name.compare(root, Qt::CaseInsensitive) == 0) {
            node = id;
            viaRoot = true;
            return true;
        }
        if (!entry.name.isEmpty() && name.endsWith(entry.name, Qt::CaseInsensitive)) {
            node = id;
            return true;
        }
    }
    return false;
}

bool NameMatcher::MatchBoneToTemplate(const QString& hostName, const QString& root,
                                      const QVector<TemplateEntry>& entries, NodeId& node) const
{
    node = -1;
    const QString name = CleanName(hostName);
    NodeId winner = -1;
    bool viaRoot = false;
    const bool found = m_settings.GetMatchType() == MatchType::Contains
                           ? MatchContains(name, entries, winner)
                           : MatchSuffix(name, root, entries, winner, viaRoot);
    if (!found)
        return false;
    if (!viaRoot && m_settings.SkipRollNodesInMatching() && IsInlineRoll(winner))
        return false;
    node = winner;
    return true;
}
