// The kestrel desktop: the main window a person works in when kestrel runs without --batch.
#pragma once

#include <QMainWindow>

namespace kestrel {

class Host;

class DesktopWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit DesktopWindow(Host& host, QWidget* parent = nullptr);

private:
    Host& m_host;
};

} // namespace kestrel
