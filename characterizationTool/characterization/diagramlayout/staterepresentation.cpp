#include "staterepresentation.h"

StateRepresentation::StateRepresentation()
{
    m_suffixes = {
        {0, QStringLiteral(".png")},           {1, QStringLiteral("_Valid.png")},
        {2, QStringLiteral("_Warn.png")},      {3, QStringLiteral("_Err.png")},
        {4, QStringLiteral("_Err_Sel.png")},   {5, QStringLiteral("_Err_Pick.png")},
        {6, QStringLiteral("_Warn_Sel.png")},  {7, QStringLiteral("_Warn_Pick.png")},
        {8, QStringLiteral("_Valid_Sel.png")}, {9, QStringLiteral("_Valid_Pick.png")},
        {10, QStringLiteral("_Sel.png")},      {11, QStringLiteral("_Pick.png")},
    };
}

StateRepresentation::~StateRepresentation() = default;

QString StateRepresentation::Suffix(int key) const
{
    return m_suffixes.value(key);
}

QString StateRepresentation::ImageName(const QString& imageBase, int key) const
{
    const QString suffix = Suffix(key);
    return suffix.isEmpty() ? QString() : imageBase + suffix;
}

int StateRepresentation::OverlayKey(int validationState, int interaction)
{
    // Rows: not set, valid, warning, error. Columns: selected, picked.
    static constexpr int kOverlay[4][2] = {{10, 11}, {8, 9}, {6, 7}, {4, 5}};
    if (validationState < 0 || validationState > 3)
        return -1;
    if (interaction != kSelected && interaction != kPicked)
        return -1;
    return kOverlay[validationState][interaction - 1];
}
