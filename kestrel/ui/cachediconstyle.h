// A style that decodes each of its standard icons once.
#pragma once

#include "kestrelexport.h"

#include <QHash>
#include <QIcon>
#include <QProxyStyle>

namespace kestrel {

// Wraps the application's style and keeps every standard icon asked for without a style
// option (file dialogs ask for a dozen each time one is made). A batch that answers a save
// dialog per file would otherwise decode the same images for every dialog. Icons asked for
// with an option are passed through, since they may depend on it.
class KESTREL_EXPORT CachedIconStyle : public QProxyStyle
{
    Q_OBJECT

public:
    // Takes ownership of `base` (the current style when null), as QProxyStyle does.
    explicit CachedIconStyle(QStyle* base = nullptr);

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;

private:
    mutable QHash<int, QIcon> m_icons;
};

} // namespace kestrel
