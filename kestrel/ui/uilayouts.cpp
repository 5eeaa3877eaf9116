#include "ui/uilayouts.h"

#include "base/ownedstring.h"

#include <QApplication>
#include <QVBoxLayout>

namespace kestrel {

namespace {

const char kLayoutProperty[] = "kestrelLayout";
const char kPlacementProperty[] = "kestrelPlacement";
const char kMainWindowName[] = "kestrelMainWindow";

bool IsIdentifier(const QString& name)
{
    if (name.isEmpty() || name.at(0).isDigit())
        return false;
    for (QChar c : name) {
        if (c.unicode() > 127 || !(c.isLetterOrNumber() || c == QLatin1Char('_')))
            return false;
    }
    return true;
}

QWidget* NewContainer(const QString& name, QWidget* parent)
{
    auto* container = new QWidget(parent);
    container->setObjectName(OwnedCopy(name));
    container->setProperty(kLayoutProperty, true);
    new QVBoxLayout(container);
    return container;
}

} // namespace

UiLayouts::UiLayouts() = default;

UiLayouts::~UiLayouts() = default;

bool UiLayouts::IsAvailable() const
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

QWidget* UiLayouts::MainWindow()
{
    if (!m_mainWindow && IsAvailable()) {
        m_mainWindow.reset(NewContainer(QLatin1String(kMainWindowName), nullptr));
        m_mainWindow->setWindowTitle(QStringLiteral("Kestrel"));
    }
    return m_mainWindow.get();
}

bool UiLayouts::InstallMainWindow(std::unique_ptr<QWidget> window, Placer placer)
{
    if (m_mainWindow || !window || !placer)
        return false;
    window->setObjectName(QLatin1String(kMainWindowName));
    window->setProperty(kLayoutProperty, true);
    m_mainWindow = std::move(window);
    m_placer = std::move(placer);
    return true;
}

void UiLayouts::DestroyMainWindow()
{
    m_mainWindow.reset();
    m_placer = nullptr;
}

void UiLayouts::MarkAsPlacement(QWidget* container)
{
    container->setProperty(kPlacementProperty, true);
}

bool UiLayouts::IsLayout(const QWidget* widget) const
{
    return widget && widget->property(kLayoutProperty).toBool();
}

bool UiLayouts::IsPlacement(const QWidget* widget)
{
    return widget && widget->property(kPlacementProperty).toBool();
}

QWidget* UiLayouts::FindChildThroughPlacements(QWidget* parent, const QString& name)
{
    const auto children = parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (!IsPlacement(child) && child->objectName() == name)
            return child;
    }
    for (QWidget* child : children) {
        if (!IsPlacement(child))
            continue;
        if (QWidget* found = FindChildThroughPlacements(child, name))
            return found;
    }
    return nullptr;
}

void UiLayouts::Arrange(QWidget* layout, QWidget* widget)
{
    if (layout == m_mainWindow.get() && m_placer) {
        // A widget the placer has put somewhere already sits in one of its containers.
        if (!IsPlacement(widget->parentWidget()))
            m_placer(widget);
        return;
    }
    if (layout->layout()->indexOf(widget) < 0)
        layout->layout()->addWidget(widget);
}

QWidget* UiLayouts::CreateLayout(const QString& name, QWidget* parentLayout, QString* error)
{
    if (!MainWindow()) {
        *error = QStringLiteral("There is no user interface in this session.");
        return nullptr;
    }
    if (!IsIdentifier(name)) {
        *error = QStringLiteral("\"%1\" is not a valid layout name.").arg(name);
        return nullptr;
    }
    if (FindLayout(name)) {
        *error = QStringLiteral("A layout named \"%1\" already exists.").arg(name);
        return nullptr;
    }
    QWidget* parent = parentLayout ? parentLayout : CurrentParent();
    if (!IsLayout(parent)) {
        *error = QStringLiteral("The parent is not a layout.");
        return nullptr;
    }
    QWidget* layout = NewContainer(name, parent);
    Arrange(parent, layout);
    m_currentParent = layout;
    return layout;
}

QWidget* UiLayouts::FindLayout(const QString& nameOrFullName)
{
    if (nameOrFullName.contains(QLatin1Char('|'))) {
        QWidget* widget = FindWidget(nameOrFullName);
        return IsLayout(widget) ? widget : nullptr;
    }
    QWidget* main = MainWindow();
    if (!main)
        return nullptr;
    if (main->objectName() == nameOrFullName)
        return main;
    for (QWidget* child : main->findChildren<QWidget*>(nameOrFullName)) {
        if (IsLayout(child))
            return child;
    }
    return nullptr;
}

QWidget* UiLayouts::CurrentParent()
{
    return m_currentParent ? m_currentParent.data() : MainWindow();
}

Status UiLayouts::SetCurrentParent(QWidget* layout)
{
    if (!IsLayout(layout) || FullName(layout).isEmpty())
        return Status::InvalidParameter;
    m_currentParent = layout;
    return Status::Success;
}

QString UiLayouts::FullName(const QWidget* widget)
{
    QStringList names;
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (IsPlacement(w))
            continue;
        names.prepend(w->objectName());
        if (w == m_mainWindow.get())
            return names.join(QLatin1Char('|'));
    }
    return QString();
}

QWidget* UiLayouts::FindWidget(const QString& fullName)
{
    const QStringList names = fullName.split(QLatin1Char('|'));
    QWidget* widget = MainWindow();
    if (!widget || names.first() != widget->objectName())
        return nullptr;
    for (int i = 1; i < names.size() && widget; ++i)
        widget = FindChildThroughPlacements(widget, names.at(i));
    return widget;
}

QWidget* UiLayouts::HoldingLayout(const QWidget* widget)
{
    QWidget* holder = widget ? widget->parentWidget() : nullptr;
    while (IsPlacement(holder))
        holder = holder->parentWidget();
    if (!IsLayout(holder) || FullName(holder).isEmpty())
        return nullptr;
    return holder;
}

QString UiLayouts::AddWidget(QWidget* widget, QWidget* layout, const QString& typeName,
                             QString* error)
{
    if (!widget || !IsLayout(layout) || FullName(layout).isEmpty()) {
        *error = QStringLiteral("No widget, or the target is not a host layout.");
        return QString();
    }
    if (widget->objectName().isEmpty()) {
        for (int number = 1;; ++number) {
            const QString name = typeName + QString::number(number);
            QWidget* sibling = FindChildThroughPlacements(layout, name);
            if (!sibling || sibling == widget) {
                widget->setObjectName(name);
                break;
            }
        }
    }
    Arrange(layout, widget);
    // A widget moved in from elsewhere was hidden by the move; a panel put into a layout that
    // is on screen shows.
    if (layout->isVisible())
        widget->show();
    return FullName(widget);
}

} // namespace kestrel
