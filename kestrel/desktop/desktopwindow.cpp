#include "desktop/desktopwindow.h"

#include "host.h"

namespace kestrel {

DesktopWindow::DesktopWindow(Host& host, QWidget* parent)
    : QMainWindow(parent)
    , m_host(host)
{
    setWindowTitle(QStringLiteral("Kestrel"));
}

} // namespace kestrel
