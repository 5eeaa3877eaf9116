#include "savetemplatedialog.h"

#include "dialogparts.h"
#include "showcenteredmessagebox.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

const QString kExtension = QStringLiteral(".xml");

} // namespace

SaveTemplateDialog::SaveTemplateDialog(QWidget* parent, const QString& exampleBone,
                                       const QString& prefix, const QString& name,
                                       const QString& directory)
    : QDialog(parent)
{
    setWindowTitle(tr("Save Skeleton Definition"));
    setModal(true);
    setMinimumWidth(350);
    auto* layout = new QVBoxLayout(this);

    auto* top = new QFrame(this);
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(new QLabel(prefix.isEmpty()
                                        ? tr("Enter a prefix below, if desired.")
                                        : tr("Validate that the prefix shown below is correct."),
                                    top));
    m_helpButton = DialogParts::HelpButton(top);
    topLayout->addWidget(m_helpButton);
    layout->addWidget(top);

    auto* fields = new QFrame(this);
    auto* grid = new QGridLayout(fields);
    grid->setContentsMargins(0, 0, 0, 0);
    m_nameEdit = new QLineEdit(name, fields);
    auto* exampleEdit = new QLineEdit(exampleBone, fields);
    exampleEdit->setReadOnly(true);
    m_prefixEdit = new QLineEdit(prefix, fields);
    m_pathEdit = new QLineEdit(directory, fields);
    m_browseButton = new QPushButton(QStringLiteral("..."), fields);
    m_browseButton->setMaximumSize(40, 23);
    grid->addWidget(new QLabel(tr("Template Name:"), fields), 0, 0);
    grid->addWidget(m_nameEdit, 0, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Example Bone:"), fields), 1, 0);
    grid->addWidget(exampleEdit, 1, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Prefix:"), fields), 2, 0);
    grid->addWidget(m_prefixEdit, 2, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Path:"), fields), 3, 0);
    grid->addWidget(m_pathEdit, 3, 1);
    grid->addWidget(m_browseButton, 3, 2);
    layout->addWidget(fields);
    layout->addWidget(DialogParts::OkCancelRow(this));

    connect(m_helpButton, &QPushButton::clicked, this, &SaveTemplateDialog::OnHelp);
    connect(m_browseButton, &QPushButton::clicked, this, &SaveTemplateDialog::OnPath);
}

QString SaveTemplateDialog::Prefix() const
{
    return m_prefixEdit->text();
}

QString SaveTemplateDialog::Name() const
{
    return m_nameEdit->text();
}

QString SaveTemplateDialog::Path() const
{
    return m_pathEdit->text();
}

void SaveTemplateDialog::accept()
{
    QString name = m_nameEdit->text();
    if (name.endsWith(kExtension, Qt::CaseSensitive)) {
        name.chop(kExtension.size());
        m_nameEdit->setText(name);
    }
    const QString candidate = QStringLiteral("%1%2%3").arg(m_pathEdit->text(), name, kExtension);
    if (QFileInfo::exists(candidate) &&
        ShowCenteredMessageBox(QMessageBox::Question, tr("Save Template"),
                               tr("A template with the same name already exists.\nDo you "
                                  "want to overwrite it?"),
                               this, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) != QMessageBox::Yes)
        return;
    QDialog::accept();
}

void SaveTemplateDialog::OnHelp()
{
    QToolTip::showText(m_helpButton->mapToGlobal(QPoint(0, 0)),
                       tr("Extract a mapping template from the current characterization.\nThe "
                          "prefix is removed from all bone names in the template."));
}

void SaveTemplateDialog::OnPath()
{
    QString directory = QFileDialog::getExistingDirectory(
        this, tr("Open Directory"), m_pathEdit->text(),
        QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (directory.isEmpty())
        return;
    while (directory.endsWith(QLatin1Char('/')))
        directory.chop(1);
    m_pathEdit->setText(directory + QLatin1Char('/'));
}
