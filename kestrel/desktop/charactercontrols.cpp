#include "desktop/charactercontrols.h"

#include "desktop/usercommand.h"
#include "host.h"
#include "scene/characternodes.h"
#include "scene/scene.h"
#include "script/commandregistry.h"
#include "script/scriptlexer.h"
#include "ui/uilayouts.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace kestrel {

namespace {

const char kToolCommand[] = "characterizationToolUICmd";
const char kToolLayout[] = "kntCharacterizationScrollControl";
const char kIconFolder[] = ":/characterizationtool/";

QString ToolStatement(const QString& flags)
{
    return QLatin1String(kToolCommand) + QLatin1Char(' ') + flags;
}

} // namespace

CharacterControls::CharacterControls(Host& host, QWidget* window)
    : QObject(window)
    , m_host(host)
    , m_chooserRow(new QWidget(window))
    , m_toolBar(new QToolBar(QStringLiteral("Character"), window))
    , m_menu(new QMenu(QStringLiteral("&Character"), window))
    , m_chooser(new QComboBox(m_chooserRow))
    , m_status(new QLabel(m_chooserRow))
    , m_refreshTimer(new QTimer(this))
    , m_pollTimer(new QTimer(this))
{
    m_toolBar->setObjectName(QStringLiteral("characterToolBar"));
    m_toolBar->setIconSize(QSize(24, 24));
    m_chooser->setObjectName(QStringLiteral("characterChooser"));
    m_chooser->setToolTip(QStringLiteral("The current characterization"));
    m_chooser->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_chooser->setMinimumContentsLength(10);
    connect(m_chooser, qOverload<int>(&QComboBox::activated), this,
            &CharacterControls::ChooseCurrent);
    auto* row = new QHBoxLayout(m_chooserRow);
    row->setContentsMargins(6, 4, 6, 0);
    row->addWidget(m_chooser, 1);
    row->addWidget(m_status);
    m_create =
        m_toolBar->addAction(QStringLiteral("Create"), this, [this] { CreateCharacterization(); });
    m_create->setToolTip(QStringLiteral("Create a characterization"));
    m_toolActions << m_create;
    QAction* deleteCurrent = AddToolAction(QStringLiteral("Delete"), QStringLiteral("deleteChar"),
                                           ToolStatement(QStringLiteral("-e -deletecurrentchar")));
    m_lock = AddToolAction(QStringLiteral("Lock"), QStringLiteral("lockChar"),
                           ToolStatement(QStringLiteral("-e -locktoggle")));
    m_mirror = AddToolAction(QStringLiteral("Mirror"), QStringLiteral("mirrorChar"),
                             ToolStatement(QStringLiteral("-e -mirrormatch")));
    AddToolAction(QStringLiteral("Apply Naming Template..."), QStringLiteral("mapChar"),
                  ToolStatement(QStringLiteral("-e -mapbones")));
    AddToolAction(QStringLiteral("Auto Characterize..."), QStringLiteral("autoChar"),
                  QStringLiteral("characterizationAutoMap -e -review"))
        ->setToolTip(QStringLiteral("Propose a characterization from the skeleton, for review"));
    AddToolAction(QStringLiteral("Fix Stance"), QStringLiteral("fixStance"),
                  QStringLiteral("characterizationStance -e"))
        ->setToolTip(QStringLiteral("Turn the hips and arms so the pose rules pass (one undo "
                                    "step)"));
    deleteCurrent->setToolTip(QStringLiteral("Delete the current characterization"));
    m_status->setObjectName(QStringLiteral("characterStatus"));
    m_status->setContentsMargins(8, 0, 0, 0);
    BuildMenu();
    m_refreshTimer->setSingleShot(true);
    connect(m_refreshTimer, &QTimer::timeout, this, &CharacterControls::Refresh);
    // The tool reports only some of its changes (kntUpdateCharacterControlsUICallback); the
    // controls also look after every script text, every selection (the panel binds the selected
    // joint) and, for edits made in the panel alone, once a second while it is shown.
    m_refreshCallback = host.GetCharacterNodes().AddControlsRefreshCallback([this] { Refresh(); });
    m_executedCallback = host.GetInterpreter().AddExecutedCallback([this] { ScheduleRefresh(); });
    m_selectionCallback =
        host.GetScene().GetNotifier().AddSelectionChangedCallback([this] { ScheduleRefresh(); });
    connect(m_pollTimer, &QTimer::timeout, this, [this] {
        if (m_toolBar->isVisible())
            Refresh();
    });
    m_pollTimer->start(1000);
    Refresh();
}

void CharacterControls::ScheduleRefresh()
{
    // The controls' own queries are script texts too.
    if (!m_refreshing)
        m_refreshTimer->start(0);
}

CharacterControls::~CharacterControls()
{
    m_host.GetCharacterNodes().RemoveControlsRefreshCallback(m_refreshCallback);
    m_host.GetInterpreter().RemoveExecutedCallback(m_executedCallback);
    m_host.GetScene().GetNotifier().RemoveCallback(m_selectionCallback);
}

QAction* CharacterControls::AddToolAction(const QString& text, const QString& icon,
                                          const QString& statement)
{
    QAction* action = m_toolBar->addAction(
        text, this, [this, statement] { UserCommand::Run(m_host, statement); });
    action->setData(icon);
    m_toolActions << action;
    return action;
}

void CharacterControls::BuildMenu()
{
    m_menu->addAction(QStringLiteral("Open Characterization Tool"), this,
                      &CharacterControls::OpenToolRequested);
    m_menu->addSeparator();
    m_menu->addAction(m_create);
    const auto add = [this](const QString& text, const QString& statement) {
        QAction* action = m_menu->addAction(
            text, this, [this, statement] { UserCommand::Run(m_host, statement); });
        m_toolActions << action;
    };
    add(QStringLiteral("Delete Current Characterization"),
        ToolStatement(QStringLiteral("-e -deletecurrentchar")));
    add(QStringLiteral("Delete All Characterizations"),
        ToolStatement(QStringLiteral("-e -deleteallchar")));
    m_menu->addSeparator();
    m_menu->addAction(m_lock);
    m_menu->addAction(m_mirror);
    m_menu->addSeparator();
    add(QStringLiteral("Auto Characterize..."),
        QStringLiteral("characterizationAutoMap -e -review"));
    add(QStringLiteral("Fix Stance"), QStringLiteral("characterizationStance -e"));
    add(QStringLiteral("Apply Naming Template..."), ToolStatement(QStringLiteral("-e -mapbones")));
    add(QStringLiteral("Extract Naming Template..."),
        ToolStatement(QStringLiteral("-e -extractmapping")));
    add(QStringLiteral("Configure Mirror Pairs..."),
        ToolStatement(QStringLiteral("-e -configuremirrormatch")));
    m_menu->addSeparator();
    add(QStringLiteral("Save Characterization..."),
        ToolStatement(QStringLiteral("-e -saveCharacterization")));
}

bool CharacterControls::ToolIsOpen() const
{
    if (!m_host.GetCommands().Find(QLatin1String(kToolCommand)))
        return false;
    QWidget* layout = m_host.GetLayouts().FindLayout(QLatin1String(kToolLayout));
    return layout &&
           !layout->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).isEmpty();
}

bool CharacterControls::Query(const QString& flag) const
{
    ExecuteOptions options;
    return m_host.GetInterpreter()
        .Execute(ToolStatement(QStringLiteral("-q ") + flag), options)
        .result.ToBool();
}

QStringList CharacterControls::Characterizations() const
{
    if (!ToolIsOpen())
        return {};
    ExecuteOptions options;
    ScriptInterpreter& interpreter = m_host.GetInterpreter();
    const QString none = interpreter.Execute(ToolStatement(QStringLiteral("-q -nonename")), options)
                             .result.ToString();
    QStringList names =
        interpreter.Execute(ToolStatement(QStringLiteral("-q -characterlist")), options)
            .result.ToStringArray();
    names.erase(std::remove_if(names.begin(), names.end(),
                               [&none](const QString& name) { return name.startsWith(none); }),
                names.end());
    return names;
}

QString CharacterControls::CreateCharacterization()
{
    if (!ToolIsOpen())
        return QString();
    QStringList names = Characterizations();
    QString name;
    for (int n = 1;; ++n) {
        name = QStringLiteral("Character%1").arg(n);
        if (!names.contains(name) && !m_host.GetScene().Find(name))
            break;
    }
    names << name;
    const QString statement = ToolStatement(QStringLiteral("-e -characterlist ") +
                                            ScriptLexer::Quote(names.join(QLatin1Char(';')))) +
                              QStringLiteral("; ") +
                              ToolStatement(QStringLiteral("-e -setcurrentcharname ") + name);
    if (UserCommand::Run(m_host, statement).status != Status::Success)
        return QString();
    Refresh();
    return name;
}

void CharacterControls::ChooseCurrent(int index)
{
    const QString name = m_chooser->itemText(index);
    if (!name.isEmpty())
        UserCommand::Run(m_host, ToolStatement(QStringLiteral("-e -setcurrentcharname ") +
                                               ScriptLexer::Quote(name)));
}

void CharacterControls::Refresh()
{
    // Queries do not call back, but a refresh must never run inside itself.
    if (m_refreshing)
        return;
    m_refreshing = true;
    const bool open = ToolIsOpen();
    SetIcons();
    for (QAction* action : m_toolActions)
        action->setEnabled(open);
    m_chooser->setEnabled(open);
    {
        const QSignalBlocker blocker(m_chooser);
        const QStringList names = Characterizations();
        QStringList shown;
        for (int i = 0; i < m_chooser->count(); ++i)
            shown << m_chooser->itemText(i);
        if (shown != names) {
            m_chooser->clear();
            m_chooser->addItems(names);
        }
        if (open) {
            ExecuteOptions options;
            const QString current =
                m_host.GetInterpreter()
                    .Execute(ToolStatement(QStringLiteral("-q -currentcharname")), options)
                    .result.ToString();
            m_chooser->setCurrentIndex(m_chooser->findText(current));
        }
    }
    const bool locked = open && Query(QStringLiteral("-islocked"));
    m_lock->setText(locked ? QStringLiteral("Unlock") : QStringLiteral("Lock"));
    m_lock->setData(locked ? QStringLiteral("unlockChar") : QStringLiteral("lockChar"));
    m_lock->setToolTip(locked ? QStringLiteral("Unlock the current characterization")
                              : QStringLiteral("Lock the current characterization"));
    const bool mirrored = open && Query(QStringLiteral("-ismirrortoggle"));
    m_mirror->setText(mirrored ? QStringLiteral("Mirror Off") : QStringLiteral("Mirror On"));
    m_mirror->setData(mirrored ? QStringLiteral("unmirrorChar") : QStringLiteral("mirrorChar"));
    m_mirror->setToolTip(mirrored ? QStringLiteral("Stop mirroring left/right assignments")
                                  : QStringLiteral("Mirror left/right assignments"));
    SetIcons();
    ShowStatus(open);
    m_refreshing = false;
}

void CharacterControls::ShowStatus(bool open)
{
    if (!open || m_chooser->count() == 0) {
        m_status->setText(open ? QStringLiteral("No characterization")
                               : QStringLiteral("Characterization Tool closed"));
        m_status->setStyleSheet(QString());
        return;
    }
    ExecuteOptions options;
    const int code = m_host.GetInterpreter()
                         .Execute(ToolStatement(QStringLiteral("-q -curcharstatus")), options)
                         .result.ToInt();
    const char* text = code == 0 ? "Valid" : code == 2 ? "Warning" : "Error";
    const char* colour = code == 0 ? "#2e9e44" : code == 2 ? "#d88a00" : "#d0312d";
    m_status->setText(QStringLiteral("\u25cf %1").arg(QLatin1String(text)));
    m_status->setStyleSheet(
        QStringLiteral("color: %1; font-weight: bold;").arg(QLatin1String(colour)));
}

void CharacterControls::SetIcons()
{
    // The images come with the tool: until it is loaded the buttons show their texts.
    const bool haveIcons = QIcon(QLatin1String(kIconFolder) + QStringLiteral("createChar.png"))
                               .availableSizes()
                               .size() > 0;
    m_create->setData(QStringLiteral("createChar"));
    for (QAction* action : m_toolBar->actions()) {
        const QString icon = action->data().toString();
        if (!icon.isEmpty())
            action->setIcon(haveIcons
                                ? QIcon(QLatin1String(kIconFolder) + icon + QStringLiteral(".png"))
                                : QIcon());
    }
    m_toolBar->setToolButtonStyle(haveIcons ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextOnly);
}

} // namespace kestrel
