#include "ui/uilayouts.h"

#include "scene/ownedstring.h"

#include <QApplication>
#include <QVBoxLayout>

namespace kestrel {

namespace {

const char kLayoutProperty[] = "kestrelLayout";

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
        m_mainWindow.reset(NewContainer(QStringLiteral("kestrelMainWindow"), nullptr));
        m_mainWindow->setWindowTitle(QStringLiteral("Kestrel"));
    }
    return m_mainWindow.get();
}

bool UiLayouts::IsLayout(const QWidget* widget) const
{
    return widget && widget->property(kLayoutProperty).toBool();
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
    parent->layout()->addWidget(layout);
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
        widget = widget->findChild<QWidget*>(names.at(i), Qt::FindDirectChildrenOnly);
    return widget;
}

QWidget* UiLayouts::HoldingLayout(const QWidget* widget)
{
    QWidget* holder = widget ? widget->parentWidget() : nullptr;
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
            QWidget* sibling = layout->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
            if (!sibling || sibling == widget) {
                widget->setObjectName(name);
                break;
            }
        }
    }
    if (layout->layout()->indexOf(widget) < 0)
        layout->layout()->addWidget(widget);
    return FullName(widget);
}

} // namespace kestrel
