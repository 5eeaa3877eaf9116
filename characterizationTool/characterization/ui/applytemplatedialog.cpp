#include "applytemplatedialog.h"

#include "dialogparts.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kBrowse = QStringLiteral("<Browse...>");

} // namespace

ApplyTemplateDialog::ApplyTemplateDialog(QWidget* parent, const QString& templateDirectory,
                                         const QString& prefix)
    : QDialog(parent)
    , m_templateDirectory(templateDirectory)
{
    setWindowTitle(tr("Load Skeleton Definition"));
    setModal(true);
    setMinimumWidth(250);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);

    auto* top = new QFrame(this);
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(new QLabel(tr("Template:"), top));
    m_templates = new QComboBox(top);
    topLayout->addWidget(m_templates, 1);
    m_helpButton = DialogParts::HelpButton(top);
    topLayout->addWidget(m_helpButton);
    layout->addWidget(top);

    auto* group = new QGroupBox(tr("Match scope"), this);
    auto* grid = new QGridLayout(group);
    auto* prefixed = new QRadioButton(tr("Match all bones with prefix:"), group);
    auto* selected = new QRadioButton(tr("Match only selected bones"), group);
    m_prefixEdit = new QLineEdit(prefix, group);
    m_scope = new QButtonGroup(this);
    m_scope->setExclusive(true);
    m_scope->addButton(prefixed, 0);
    m_scope->addButton(selected, 1);
    prefixed->setChecked(true);
    grid->addWidget(prefixed, 0, 0);
    grid->addWidget(m_prefixEdit, 0, 1);
    grid->addWidget(selected, 1, 0, 1, 2);
    layout->addWidget(group);
    layout->addWidget(DialogParts::OkCancelRow(this));

    FillTemplates();
    connect(m_templates, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &ApplyTemplateDialog::CheckIndex);
    connect(m_helpButton, &QPushButton::clicked, this, &ApplyTemplateDialog::OnHelp);

    if (parent) {
        const QSize hint = sizeHint();
        const QPoint origin = parent->mapToGlobal(QPoint(0, 0));
        move(origin.x() + parent->width() / 2 - hint.width() / 2, origin.y() + hint.height());
    }
}

void ApplyTemplateDialog::FillTemplates()
{
    QFileInfoList files =
        QDir(m_templateDirectory)
            .entryInfoList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    std::reverse(files.begin(), files.end());
    for (const QFileInfo& file : files)
        m_templates->addItem(file.completeBaseName(), file.absoluteFilePath());
    if (m_templates->count() == 0)
        m_templates->addItem(QString());
    m_templates->addItem(kBrowse);
}

QString ApplyTemplateDialog::TemplatePath() const
{
    return m_templates->currentData().toString();
}

QString ApplyTemplateDialog::Prefix() const
{
    return m_prefixEdit->text();
}

int ApplyTemplateDialog::Scope() const
{
    return m_scope->checkedId();
}

QString ApplyTemplateDialog::AskForTemplateFile()
{
    QFileDialog dialog(nullptr, QString(), m_templateDirectory, tr("Xml (*.xml)"));
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.move(x() - dialog.sizeHint().width() / 2, y());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

void ApplyTemplateDialog::CheckIndex(int index)
{
    if (m_templates->itemText(index) != kBrowse)
        return;
    const QFileInfo chosen(AskForTemplateFile());
    if (!chosen.filePath().isEmpty() && chosen.exists()) {
        const QSignalBlocker blocker(m_templates);
        m_templates->clear();
        m_templates->addItem(chosen.completeBaseName(), chosen.absoluteFilePath());
        m_templates->addItem(kBrowse);
    }
    const QSignalBlocker blocker(m_templates);
    m_templates->setCurrentIndex(0);
}

void ApplyTemplateDialog::OnHelp()
{
    QToolTip::showText(m_helpButton->mapToGlobal(QPoint(0, 0)),
                       tr("Select a template that matches\nyour bone naming conventions."));
}
