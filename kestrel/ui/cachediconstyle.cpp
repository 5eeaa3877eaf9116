#include "ui/cachediconstyle.h"

namespace kestrel {

CachedIconStyle::CachedIconStyle(QStyle* base)
    : QProxyStyle(base)
{}

QIcon CachedIconStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                    const QWidget* widget) const
{
    if (option)
        return QProxyStyle::standardIcon(icon, option, widget);
    auto it = m_icons.constFind(icon);
    if (it == m_icons.constEnd())
        it = m_icons.insert(icon, QProxyStyle::standardIcon(icon, nullptr, widget));
    return it.value();
}

} // namespace kestrel
