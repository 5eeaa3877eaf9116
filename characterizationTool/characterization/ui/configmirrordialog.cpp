#include "configmirrordialog.h"

#include "dialogparts.h"
#include "files/settingsdocument.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

const QString kGroup = QStringLiteral("mirror");
const QString kKey = QStringLiteral("mirror_list");

QPushButton* SmallButton(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setMaximumSize(23, 23);
    return button;
}

} // namespace

ConfigMirrorDialog::ConfigMirrorDialog(QWidget* parent, const QString& settingsPath)
    : QDialog(parent)
    , m_settingsPath(settingsPath)
{
    setWindowTitle(tr("Mirror Configuration"));
    setModal(true);
    setMinimumSize(296, 500);
    auto* layout = new QVBoxLayout(this);

    auto* top = new QFrame(this);
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    auto* add = SmallButton(QStringLiteral("+"), top);
    auto* remove = SmallButton(QStringLiteral("-"), top);
    m_helpButton = DialogParts::HelpButton(top);
    topLayout->addWidget(add);
    topLayout->addWidget(remove);
    topLayout->addStretch();
    topLayout->addWidget(m_helpButton);
    layout->addWidget(top);

    m_table = new QTableWidget(0, 2, this);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setHorizontalHeaderLabels({tr("Left"), tr("Right")});
    m_table->setColumnWidth(0, 135);
    m_table->setColumnWidth(1, 135);
    m_table->verticalHeader()->hide();
    layout->addWidget(m_table);
    layout->addWidget(DialogParts::OkCancelRow(this));

    FillTable();
    connect(add, &QPushButton::clicked, this, &ConfigMirrorDialog::AddRow);
    connect(remove, &QPushButton::clicked, this, &ConfigMirrorDialog::RemoveRow);
    connect(m_helpButton, &QPushButton::clicked, this, &ConfigMirrorDialog::OnHelp);
}

void ConfigMirrorDialog::FillTable()
{
    KeyValueList pairs;
    SettingsDocument(m_settingsPath).GetKeyValueList(kGroup, kKey, pairs);
    m_table->setRowCount(pairs.size());
    for (int row = 0; row < pairs.size(); ++row) {
        m_table->setItem(row, 0, new QTableWidgetItem(pairs[row].first));
        m_table->setItem(row, 1, new QTableWidgetItem(pairs[row].second));
    }
    m_table->setCurrentCell(-1, -1);
}

void ConfigMirrorDialog::AddRow()
{
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    m_table->setCurrentCell(row, 0);
}

void ConfigMirrorDialog::RemoveRow()
{
    if (m_table->rowCount() == 0)
        return;
    const int current = m_table->currentRow();
    m_table->removeRow(current >= 0 ? current : m_table->rowCount() - 1);
    if (m_table->rowCount() > 0)
        m_table->setCurrentCell(m_table->rowCount() - 1, 0);
}

void ConfigMirrorDialog::accept()
{
    KeyValueList pairs;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const QTableWidgetItem* left = m_table->item(row, 0);
        const QTableWidgetItem* right = m_table->item(row, 1);
        if (!left || !right)
            continue;
        const QPair<QString, QString> pair(left->text(), right->text());
        if (!pairs.contains(pair))
            pairs.append(pair);
    }
    SettingsDocument settings(m_settingsPath);
    m_settingsWritten = settings.SetKeyValueList(kGroup, kKey, pairs) && settings.Save();
    QDialog::accept();
}

void ConfigMirrorDialog::OnHelp()
{
    QToolTip::showText(m_helpButton->mapToGlobal(QPoint(0, 0)),
                       tr("Each row specifies a pair of keywords used to match\nbone names on the "
                          "opposite side of the skeleton."));
}
