#include "charactertool.h"

#include "autocharacterizeaction.h"
#include "charactertooltabwidgetnotabbar.h"
#include "configmirrordialog.h"
#include "diagram/diagramwidget.h"
#include "diagramlayout/diagramlayout.h"
#include "files/toolpaths.h"
#include "host/idcchub.h"
#include "model/characterizationmodel.h"
#include "nametree/namematchwidget.h"
#include "property/propertyview.h"
#include "savecharacterizationaction.h"
#include "showcenteredmessagebox.h"

#include <QHBoxLayout>
#include <QPalette>
#include <QStringList>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

CharacterTool::CharacterTool(const char* pluginDir, const char* resourceDir, QWidget* parent,
                             IDCCHub* hub)
    : QWidget(parent)
    , m_hub(hub)
{
    if (!parent)
        return;
    if (m_hub)
        m_hub->SetTool(this);
    m_paths =
        std::make_unique<ToolPaths>(QString::fromUtf8(pluginDir), QString::fromUtf8(resourceDir));
    if (m_hub) {
        for (const QString& path : m_paths->UnseededFiles())
            m_hub->WarnFileNotWritten(path);
    }
    m_model = std::make_unique<CharacterizationModel>(m_hub, m_paths.get());
    connect(m_model.get(), &CharacterizationModel::ModelChanged, this, &CharacterTool::SyncOnModel);
    m_templateActions = std::make_unique<TemplateActions>(this, *m_model, *m_paths);
    BuildPages(parent);
    // Every view fills itself from the model on its first ModelChanged().
    emit m_model->ModelChanged();
}

CharacterTool::~CharacterTool()
{
    if (m_hub && m_hub->Tool() == this)
        m_hub->SetTool(nullptr);
    // The pages belong to the host's parent widget but read our model: they go first.
    delete m_tabWidget.data();
    m_templateActions.reset();
    m_paths.reset();
    m_model.reset();
}

void CharacterTool::OnSave()
{
    if (m_model)
        SaveCharacterizationAction::Run(*m_model);
}

void CharacterTool::AutoMatch()
{
    if (m_templateActions)
        m_templateActions->ApplyTemplate();
}

void CharacterTool::ExtractTemplate()
{
    if (m_templateActions)
        m_templateActions->ExtractTemplate();
}

void CharacterTool::FixStance()
{
    if (m_model && !m_model->IsLocked())
        emit FixStanceRequested();
}

void CharacterTool::AutoCharacterize()
{
    if (m_model)
        AutoCharacterizeAction::Run(this, *m_model);
}

void CharacterTool::ConfigMirror()
{
    if (!m_model)
        return;
    ConfigMirrorDialog dialog(this, m_paths->SettingsFilePath());
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!dialog.SettingsWritten() && m_model->Hub())
        m_model->Hub()->WarnFileNotWritten(m_paths->SettingsFilePath());
    m_model->ReloadMirrorPairs();
}

void CharacterTool::BuildPages(QWidget* parent)
{
    m_tabWidget = new CharacterToolTabWidgetNoTabBar(parent);
    QWidget* figure = AddPage(tr("Figure"));
    // Named so that host scripts can reach them ("snapshot -widget FigurePage").
    figure->setObjectName(QStringLiteral("FigurePage"));
    // The figure is centred in a strip of the page colour as wide as the panel; the diagram
    // itself keeps the page's size, so its pixels stay page pixels.
    auto* strip = new QWidget(figure);
    strip->setAutoFillBackground(true);
    const DiagramView& fullBody = DiagramLayout::Instance().views.first();
    QPalette stripPalette = strip->palette();
    stripPalette.setColor(QPalette::Window, QColor(fullBody.red, fullBody.green, fullBody.blue));
    strip->setPalette(stripPalette);
    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    m_diagram = new DiagramWidget(strip, m_paths.get(), m_hub, m_model.get());
    connect(m_diagram, &DiagramWidget::AutoCharacterizeRequested, this,
            &CharacterTool::AutoCharacterize);
    connect(m_diagram, &DiagramWidget::FixStanceRequested, this, &CharacterTool::FixStance);
    connect(m_diagram, &DiagramWidget::NameMatchViewRequested, this,
            [this] { SetCurrentPage(kNameMatchPage); });
    m_diagram->setObjectName(QStringLiteral("characterizationDiagram"));
    m_diagram->setFocusPolicy(Qt::NoFocus);
    stripLayout->addWidget(m_diagram, 0, Qt::AlignHCenter | Qt::AlignTop);
    // AddPage gives every page a QVBoxLayout.
    auto* figureLayout = static_cast<QVBoxLayout*>(figure->layout());
    figureLayout->addWidget(strip);
    auto* figureProperties = new PropertyView(figure, m_hub, m_model.get());
    connect(figureProperties, &PropertyView::FixStanceRequested, this, &CharacterTool::FixStance);
    figureLayout->addWidget(figureProperties, 1);

    QWidget* nameMatch = AddPage(tr("Name Match"));
    nameMatch->setObjectName(QStringLiteral("NameMatchPage"));
    m_nameMatchWidget = new NameMatchWidget(nameMatch, m_hub, m_paths.get(), m_model.get());
    connect(m_nameMatchWidget, &NameMatchWidget::AutoCharacterizeRequested, this,
            &CharacterTool::AutoCharacterize);
    connect(m_nameMatchWidget, &NameMatchWidget::FixStanceRequested, this,
            &CharacterTool::FixStance);
    connect(m_nameMatchWidget, &NameMatchWidget::CharacterViewRequested, this,
            [this] { SetCurrentPage(kFigurePage); });
    m_nameMatchWidget->setObjectName(QStringLiteral("characterizationNameTree"));
    m_nameMatchWidget->setMinimumHeight(m_diagram->minimumHeight());
    auto* nameMatchLayout = static_cast<QVBoxLayout*>(nameMatch->layout());
    nameMatchLayout->addWidget(m_nameMatchWidget);
    // Its own property view: the two pages' views work independently.
    auto* nameMatchProperties = new PropertyView(nameMatch, m_hub, m_model.get());
    connect(nameMatchProperties, &PropertyView::FixStanceRequested, this,
            &CharacterTool::FixStance);
    nameMatchLayout->addWidget(nameMatchProperties, 1);

    // Keys belong to the host while the panel is merely shown.
    for (QWidget* widget : m_tabWidget->findChildren<QWidget*>())
        widget->setFocusPolicy(Qt::NoFocus);
    m_tabWidget->setCurrentIndex(kFigurePage);
    // The diagram's full height, and as much again for the views below it; more when the
    // pages need it (large fonts), so that a scrolling host scrolls instead of squeezing rows
    // over each other.
    m_tabWidget->setMinimumSize(kPanelWidth, std::max(2 * m_diagram->minimumHeight(),
                                                      m_tabWidget->minimumSizeHint().height()));
}

QWidget* CharacterTool::AddPage(const QString& title)
{
    auto* page = new QWidget(m_tabWidget);
    page->setAutoFillBackground(true);
    page->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(1, 1, 1, 1);
    m_tabWidget->addTab(page, title);
    return page;
}

DiagramWidget* CharacterTool::Diagram() const
{
    return m_diagram;
}

NameMatchWidget* CharacterTool::NameMatch() const
{
    return m_nameMatchWidget;
}

int CharacterTool::CurrentPage() const
{
    return m_tabWidget ? m_tabWidget->currentIndex() : -1;
}

void CharacterTool::SetCurrentPage(int index)
{
    if (m_tabWidget && index >= 0 && index < kPageCount)
        m_tabWidget->setCurrentIndex(index);
}

void CharacterTool::CreateCharacterization(const QString& name)
{
    if (!m_model)
        return;
    for (int i = 0; i < m_model->CharacterizationCount(); ++i) {
        if (m_model->CharacterizationAt(i)->Name() == name)
            return;
    }
    m_model->AddCharacterization(std::make_shared<Characterization>(name, m_hub));
}

void CharacterTool::SkipRollNodesInMatching()
{
    if (m_model)
        m_model->Matching().SetSkipRollNodesInMatching(true);
}

QSize CharacterTool::sizeHint() const
{
    return QSize(kPanelWidth, kPanelHeight);
}

void CharacterTool::OnDelete()
{
    if (!m_model)
        return;
    if (m_askBeforeDelete) {
        QPointer<CharacterTool> self(this);
        const int answer = ShowCenteredMessageBox(
            QMessageBox::Question, tr("Delete Skeleton Definition"),
            tr("Are you sure you want to delete the current Skeleton Definition?"), this,
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        // The host may close the panel while the box runs its own event loop.
        if (!self || answer != QMessageBox::Yes)
            return;
    }
    const Characterization* current = m_model->CurrentCharacterization();
    if (current && m_hub)
        m_hub->DeleteCharacter(current->Name());
    m_model->RemoveCurrentCharacterization();
    // The model's current pointer is stale until one of these runs.
    if (m_model->CharacterizationCount() > 0)
        m_model->SetCurrentCharacterization(0);
    else
        m_model->CreateNewCharacterization();
}

void CharacterTool::SyncOnModel() {}

void CharacterTool::SetCharacterization(int index)
{
    if (m_model)
        m_model->SetCurrentCharacterization(index);
}

void CharacterTool::ToggleMirrorMode()
{
    if (m_model)
        m_model->ChangeMirrorMode(!m_model->IsMirrorMode());
}

void CharacterTool::ToggleEditMode()
{
    if (!m_model)
        return;
    if (m_model->IsLocked())
        Unlock();
    else
        Lock();
}

void CharacterTool::Lock()
{
    const ValidationStatus status = m_model->OverallValidation().status;
    if (status == ValidationStatus::Valid || status == ValidationStatus::Warning) {
        m_model->SetEditMode(true, {});
        return;
    }
    ShowCenteredMessageBox(
        QMessageBox::Warning, tr("Validation Warning"),
        tr("Your characterization is not yet valid.\nOnly valid characterizations can be locked."),
        this, QMessageBox::Ok);
}

void CharacterTool::Unlock()
{
    // Without a host there is no scene to compare against: nothing counts as missing.
    std::vector<int> missing;
    if (m_hub) {
        QStringList sceneJoints;
        m_hub->GetAllTransforms(sceneJoints);
        m_model->FindUnsyncNodes(sceneJoints, missing);
    }
    if (missing.empty()) {
        m_model->SetEditMode(false, {});
        return;
    }
    QPointer<CharacterTool> self(this);
    const int answer = ShowCenteredMessageBox(
        QMessageBox::Warning, tr("Validation Warning"),
        tr("One or more bones in the current characterization cannot be found in the "
           "skeleton.\nAll invalid nodes will be cleared from the characterization."),
        this, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
    if (self && answer == QMessageBox::Ok)
        m_model->SetEditMode(false, missing);
}
