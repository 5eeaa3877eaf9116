// The name-matching and mirror rules read from the per-user settings file.
#pragma once

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

// How a template entry's name is looked for in a joint name.
enum class MatchType
{
    Contains = 0,
    Suffix = 1,
};

// Delimiters, match type and left/right keyword pairs. The delimiters and match type are
// read once; the mirror pairs can be reloaded after the user edited them.
class MatchingSettings
{
public:
    using MirrorPair = QPair<QString, QString>;

    MatchingSettings();

    // Reads "name_match"/"delimiter_list" and "name_match"/"match_type" from the settings
    // file. The built-in delimiters ".", " ", ":", "_" always come first; a match type other
    // than exactly "Contains" or "Suffix" (or none) gives Suffix.
    void LoadNameMatching(const QString& settingsPath);
    // Empties the pair lists, then adds every "mirror"/"mirror_list" item (key = left,
    // value = right) in file order.
    void ReloadMirrorPairs(const QString& settingsPath);
    // Appends (left, right) and (right, left) to the pairs and left, right to the keywords.
    void AddMirrorPair(const QString& left, const QString& right);

    const QStringList& Delimiters() const { return m_delimiters; }
    MatchType GetMatchType() const { return m_matchType; }
    const QVector<MirrorPair>& MirrorPairs() const { return m_mirrorPairs; }
    const QStringList& MirrorKeywords() const { return m_mirrorKeywords; }
    // When set, template matching never yields the in-line roll nodes 41..48.
    bool SkipRollNodesInMatching() const { return m_skipRollNodes; }
    void SetSkipRollNodesInMatching(bool skip) { m_skipRollNodes = skip; }

private:
    QStringList m_delimiters;
    MatchType m_matchType = MatchType::Suffix;
    QVector<MirrorPair> m_mirrorPairs;
    QStringList m_mirrorKeywords;
    bool m_skipRollNodes = false;
};
