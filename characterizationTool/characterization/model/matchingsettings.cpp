#include "matchingsettings.h"

#include "files/settingsdocument.h"

namespace {

const QStringList kBuiltInDelimiters = {QStringLiteral("."), QStringLiteral(" "),
                                        QStringLiteral(":"), QStringLiteral("_")};

} // namespace

MatchingSettings::MatchingSettings()
    : m_delimiters(kBuiltInDelimiters)
{}

void MatchingSettings::LoadNameMatching(const QString& settingsPath)
{
    const SettingsDocument settings(settingsPath);
    QStringList configured;
    settings.GetStringList(QStringLiteral("name_match"), QStringLiteral("delimiter_list"),
                           configured);
    m_delimiters = kBuiltInDelimiters;
    for (const QString& delimiter : configured) {
        if (!m_delimiters.contains(delimiter))
            m_delimiters.append(delimiter);
    }
    const QString type =
        settings.GetString(QStringLiteral("name_match"), QStringLiteral("match_type"), QString());
    m_matchType = type == QLatin1String("Contains") ? MatchType::Contains : MatchType::Suffix;
}

void MatchingSettings::ReloadMirrorPairs(const QString& settingsPath)
{
    m_mirrorPairs.clear();
    m_mirrorKeywords.clear();
    const SettingsDocument settings(settingsPath);
    KeyValueList pairs;
    settings.GetKeyValueList(QStringLiteral("mirror"), QStringLiteral("mirror_list"), pairs);
    for (const auto& pair : pairs)
        AddMirrorPair(pair.first, pair.second);
}

void MatchingSettings::AddMirrorPair(const QString& left, const QString& right)
{
    m_mirrorPairs.append({left, right});
    m_mirrorPairs.append({right, left});
    m_mirrorKeywords.append(left);
    m_mirrorKeywords.append(right);
}
