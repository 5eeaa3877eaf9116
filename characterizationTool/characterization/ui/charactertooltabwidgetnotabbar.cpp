#include "charactertooltabwidgetnotabbar.h"

#include <QTabBar>

CharacterToolTabWidgetNoTabBar::CharacterToolTabWidgetNoTabBar(QWidget* parent)
    : QTabWidget(parent)
{
    tabBar()->hide();
}
