// UI embedding: named layouts, the current parent, panels from plug-ins and their lifetimes.
#include "kestreltest.h"

#include "plugins/pluginmanager.h"
#include "ui/uilayouts.h"

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>

using namespace kestrel;

namespace {

// Opens its menu on a right press, as the tool's views do; records the entries chosen.
class MenuOnRightPress : public QWidget
{
public:
    QStringList chosen;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::RightButton)
            return;
        QMenu menu;
        menu.addAction("&First", [this] { chosen << "First"; });
        menu.addAction("Off", [this] { chosen << "Off"; })->setEnabled(false);
        menu.exec(event->globalPos());
    }
};

class Ui : public HostTest
{
protected:
    static void SetUpTestSuite()
    {
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "kestrel_tests";
            static char* argv[] = {name, nullptr};
            static QApplication application(argc, argv);
        }
    }
    UiLayouts& layouts() { return host.GetLayouts(); }
    // The layout `name` under the main window, made on first use.
    QWidget* Layout(const QString& name)
    {
        QWidget* found = layouts().FindLayout(name);
        return found ? found : layouts().CreateLayout(name, nullptr, &m_error);
    }
    void Add(QWidget* widget, const QString& layout, const QString& type)
    {
        ASSERT_NE(layouts().AddWidget(widget, Layout(layout), type, &m_error), "");
    }
    QString m_error;
};

} // namespace

TEST_F(Ui, LayoutsNestUnderTheMainWindowAndBecomeTheCurrentParent)
{
    EXPECT_EQ(RunOk("setParent"), "kestrelMainWindow");
    EXPECT_EQ(RunOk("createLayout toolArea"), "kestrelMainWindow|toolArea");
    EXPECT_EQ(RunOk("createLayout kntCharacterizationScrollControl"),
              "kestrelMainWindow|toolArea|kntCharacterizationScrollControl");
    EXPECT_EQ(RunOk("createLayout side -parent kestrelMainWindow"), "kestrelMainWindow|side");
    EXPECT_EQ(RunOk("setParent kntCharacterizationScrollControl"),
              "kestrelMainWindow|toolArea|kntCharacterizationScrollControl");
    QWidget* layout = layouts().FindLayout("kntCharacterizationScrollControl");
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layouts().FindLayout("kestrelMainWindow|toolArea|kntCharacterizationScrollControl"),
              layout);
    EXPECT_EQ(layouts().CurrentParent(), layout);
    EXPECT_EQ(layouts().FindLayout("kntDefinitionScrollLayout"), nullptr);
    ExpectFails("createLayout side", Status::InvalidState, "\"side\"");
    ExpectFails("createLayout \"bad name\"", Status::InvalidState, "\"bad name\"");
    ExpectFails("setParent nowhere", Status::NotFound, "\"nowhere\"");
    // Deleting the current parent falls back to the main window, which stays.
    ExpectFails("deleteUI kestrelMainWindow", Status::NotFound, "\"kestrelMainWindow\"");
    RunOk("deleteUI toolArea");
    EXPECT_EQ(layouts().FindLayout("kntCharacterizationScrollControl"), nullptr);
    EXPECT_EQ(RunOk("setParent"), "kestrelMainWindow");
}

TEST_F(Ui, AddedWidgetsGetTheirTypeNameAndAFullName)
{
    QWidget* layout = layouts().CreateLayout("panels", nullptr, &m_error);
    ASSERT_NE(layout, nullptr);
    QString error;
    auto* first = new QLabel;
    auto* second = new QLabel;
    auto* named = new QLabel;
    named->setObjectName("mine");
    EXPECT_EQ(layouts().AddWidget(first, layout, "CharacterizationTool", &error),
              "kestrelMainWindow|panels|CharacterizationTool1");
    EXPECT_EQ(layouts().AddWidget(second, layout, "CharacterizationTool", &error),
              "kestrelMainWindow|panels|CharacterizationTool2");
    EXPECT_EQ(layouts().AddWidget(named, layout, "CharacterizationTool", &error),
              "kestrelMainWindow|panels|mine");
    EXPECT_EQ(first->parentWidget(), layout);
    EXPECT_EQ(layouts().FindWidget("kestrelMainWindow|panels|CharacterizationTool2"), second);
    QLabel stray;
    EXPECT_EQ(layouts().AddWidget(new QLabel(&stray), &stray, "X", &error), "");
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(Ui, PanelsComeFromPluginCreatorsAndGoBeforeTheirLibrary)
{
    ASSERT_EQ(host.GetPlugins().Load(QStringLiteral(KESTREL_TEST_PLUGIN_DIR) +
                                     "/libkestreltestplugin.so"),
              Status::Success);
    RunOk("createLayout dock");
    EXPECT_EQ(RunOk("showPanel kestrelTestPanel"), "kestrelMainWindow|dock|kestrelTestPanel1");
    QPointer<QWidget> panel = layouts().FindWidget("kestrelMainWindow|dock|kestrelTestPanel1");
    ASSERT_FALSE(panel.isNull());
    EXPECT_EQ(qobject_cast<QLabel*>(panel.data())->text(), "test panel");
    ExpectFails("showPanel nothing", Status::NotFound, "\"nothing\"");
    // The test plug-in leaves its panel alive; the host deletes it before closing the library.
    RunOk("unloadPlugin kestreltestplugin");
    EXPECT_TRUE(panel.isNull());
    EXPECT_TRUE(host.GetWarningLog().Last().contains("\"kestreltestplugin\""));
}

// A never-shown window (as in every batch run) still renders laid out, children included.
TEST_F(Ui, SnapshotsRenderTheWindowOrOneWidgetAndRefuseBadTargets)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    auto* swatch = new QLabel;
    swatch->setFixedSize(40, 30);
    swatch->setStyleSheet("background: rgb(200, 20, 20)");
    Add(swatch, "area", "Swatch");

    const QString whole = folder.filePath("window.png");
    EXPECT_EQ(RunOk(QString("snapshot \"%1\"").arg(whole)), whole);
    const QImage window(whole);
    const QPoint centre = swatch->mapTo(layouts().MainWindow(), QPoint(20, 15));
    ASSERT_TRUE(window.rect().contains(centre)) << window.width() << "x" << window.height();
    EXPECT_EQ(window.pixelColor(centre), QColor(200, 20, 20));

    const QString one = folder.filePath("swatch.png");
    RunOk(QString("snapshot -widget \"kestrelMainWindow|area|Swatch1\" \"%1\"").arg(one));
    const QImage image(one);
    EXPECT_EQ(image.size(), QSize(40, 30));
    EXPECT_EQ(image.pixelColor(20, 15), QColor(200, 20, 20));
    RunOk(QString("snapshot -widget Swatch1 -height 15 \"%1\"").arg(one)); // a thumbnail
    EXPECT_EQ(QImage(one).size(), QSize(20, 15));
    RunOk(QString("snapshot -widget Swatch1 -height 1 \"%1\"").arg(one)); // the smallest
    EXPECT_EQ(QImage(one).height(), 1);
    ExpectFails(QString("snapshot -height 0 \"%1\"").arg(one), Status::InvalidParameter, "-height");

    const QString unused = folder.filePath("unused.png");
    ExpectFails(QString("snapshot -widget \"kestrelMainWindow|area|Nothing\" \"%1\"").arg(unused),
                Status::NotFound, "\"kestrelMainWindow|area|Nothing\"");
    const QString nowhere = folder.filePath("missing/folder.png");
    EXPECT_TRUE(RunFails(QString("snapshot \"%1\"").arg(nowhere)).contains(nowhere));
    EXPECT_FALSE(QFileInfo::exists(unused));
    EXPECT_FALSE(QFileInfo::exists(nowhere));
}

// Clicks reach the innermost widget under the point, in a window that was never shown.
TEST_F(Ui, ClicksReachTheWidgetUnderThePoint)
{
    auto* above = new QLabel;
    above->setFixedHeight(40);
    Add(above, "buttons", "Label");
    auto* button = new QPushButton("press");
    button->setObjectName("pressMe");
    button->setFixedSize(60, 20);
    Add(button, "buttons", "Button");
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    RunOk("click pressMe -at 30 10");
    EXPECT_EQ(clicks, 1);
    EXPECT_GE(button->y(), 40); // laid out below the label
    const QPoint inLayout = button->mapTo(Layout("buttons"), QPoint(30, 10));
    RunOk(QString("click buttons -at %1 %2 -double").arg(inLayout.x()).arg(inLayout.y()));
    EXPECT_EQ(clicks, 3); // a double click is two presses
    ExpectFails("click pressMe -at 60 10", Status::InvalidParameter, "\"pressMe\"");
    ExpectFails("click nothing -at 1 1", Status::NotFound, "\"nothing\"");
    EXPECT_EQ(clicks, 3);
}

// A right click answers the context menu it opens by one of its enabled entries.
TEST_F(Ui, MenuClicksTriggerAnEnabledEntry)
{
    auto* owner = new MenuOnRightPress;
    owner->setObjectName("menuOwner");
    owner->setFixedSize(40, 20);
    Add(owner, "menus", "Widget");
    RunOk("click menuOwner -at 5 5 -menu First");
    EXPECT_EQ(owner->chosen, QStringList{"First"});
    ExpectFails("click menuOwner -at 5 5 -menu Off", Status::InvalidParameter, "\"Off\"");
    EXPECT_EQ(owner->chosen, QStringList{"First"});
    auto* plain = new QLabel("no menu");
    plain->setObjectName("plain");
    Add(plain, "menus", "Label");
    ExpectFails("click plain -at 1 1 -menu First", Status::InvalidParameter, "\"First\"");
}

TEST(UiWithoutApplication, EveryOperationFailsCleanly)
{
    if (QCoreApplication::instance())
        GTEST_SKIP() << "another test of this process created the application";
    HostOptions options;
    options.writeToStandardStreams = false;
    Host host(options);
    EXPECT_FALSE(host.GetLayouts().IsAvailable());
    EXPECT_EQ(host.GetLayouts().MainWindow(), nullptr);
    for (const QString text : {"createLayout a", "showPanel a", "snapshot \"a.png\""}) {
        EXPECT_EQ(host.GetInterpreter().Execute(text, ExecuteOptions()).status,
                  Status::InvalidState)
            << qPrintable(text);
        EXPECT_TRUE(host.GetErrorLog().Last().startsWith(text.section(' ', 0, 0) + ": "))
            << qPrintable(host.GetErrorLog().Last());
    }
}
