// The outliner's name filter: matches and the ancestors that lead to them.
#pragma once

#include <QSortFilterProxyModel>

namespace kestrel {

// Keeps the rows whose name contains the filter text (ignoring case) and every ancestor of
// such a row, so each match is shown where it sits in the hierarchy. While a filter is set,
// ancestors kept only for their descendants are drawn in the disabled text colour.
class NameFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit NameFilterModel(QObject* parent = nullptr);

    // Shows only the matches of `text` and their ancestors; everything for an empty text.
    void SetFilterText(const QString& text);
    // True when the row's own name matches the filter (always without a filter).
    bool IsMatch(const QModelIndex& index) const;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QString m_text;
};

} // namespace kestrel
