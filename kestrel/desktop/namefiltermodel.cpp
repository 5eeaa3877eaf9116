#include "desktop/namefiltermodel.h"

#include <QGuiApplication>
#include <QPalette>

namespace kestrel {

NameFilterModel::NameFilterModel(QObject* parent)
    : QSortFilterProxyModel(parent)
{
    setRecursiveFilteringEnabled(true);
    setFilterCaseSensitivity(Qt::CaseInsensitive);
}

void NameFilterModel::SetFilterText(const QString& text)
{
    m_text = text;
    setFilterFixedString(text);
}

bool NameFilterModel::IsMatch(const QModelIndex& index) const
{
    return m_text.isEmpty() ||
           index.data(Qt::DisplayRole).toString().contains(m_text, Qt::CaseInsensitive);
}

QVariant NameFilterModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::ForegroundRole && !IsMatch(index))
        return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
    return QSortFilterProxyModel::data(index, role);
}

} // namespace kestrel
