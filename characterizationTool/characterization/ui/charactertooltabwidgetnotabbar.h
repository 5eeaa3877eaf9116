// The panel's page switcher: a tab widget whose tab bar is never shown.
#pragma once

#include <QTabWidget>

// The tool's pages are switched only from code (view menus, the host), so the tabs are hidden.
class CharacterToolTabWidgetNoTabBar : public QTabWidget
{
    Q_OBJECT

public:
    // A Qt child of `parent`, tab bar hidden.
    explicit CharacterToolTabWidgetNoTabBar(QWidget* parent);
};
