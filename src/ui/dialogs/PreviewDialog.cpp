#include "PreviewDialog.h"

#include "PreviewDelegate.h"
#include "PreviewModel.h"
#include "engine/PreviewResult.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {
// Files are opened up front only while their rows stay few: expanding a
// million replacements would lay out every one of them.
constexpr qint64 kExpandedRows = 500;
}  // namespace

PreviewDialog::PreviewDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("previewDialog"));
    setWindowTitle(QStringLiteral(" Preview"));
    setModal(false);
    resize(760, 520);

    replacementTree = new QTreeView(this);
    replacementTree->setObjectName(QStringLiteral("replacementTree"));
    replacementTree->setHeaderHidden(true);
    replacementTree->setItemDelegate(new PreviewDelegate(replacementTree));
    replacementTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    replacementTree->setExpandsOnDoubleClick(true);
    replacementTree->header()->setStretchLastSection(true);

    tickedLabel = new QLabel(this);
    tickedLabel->setObjectName(QStringLiteral("tickedLabel"));
    replaceTickedButton = new QPushButton(QStringLiteral("Replace ticked"), this);
    replaceTickedButton->setObjectName(QStringLiteral("replaceTickedButton"));
    closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(tickedLabel, 1);
    buttons->addWidget(replaceTickedButton);
    buttons->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(replacementTree, 1);
    layout->addLayout(buttons);

    connect(replaceTickedButton, &QPushButton::clicked, this,
            &PreviewDialog::replaceTickedRequested);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(replacementTree, &QTreeView::doubleClicked, this, &PreviewDialog::activate);
    updateTicked();
}

PreviewDialog::~PreviewDialog() = default;

void PreviewDialog::setResult(std::unique_ptr<PreviewResult> result)
{
    // The view lets go of the old model before the result under it goes.
    PreviewModel *old = m_model;
    m_model = result ? new PreviewModel(*result, this) : nullptr;
    replacementTree->setModel(m_model);
    delete old;
    m_result = std::move(result);
    if (m_model) {
        connect(m_model, &PreviewModel::ticksChanged, this, &PreviewDialog::updateTicked);
        qint64 rows = m_result->fileCount();
        for (int file = 0; file < m_result->fileCount(); ++file) {
            rows += m_result->replacementCount(file);
            if (rows > kExpandedRows)
                break;
            replacementTree->expand(m_model->index(file, 0));
        }
    }
    updateTicked();
}

void PreviewDialog::updateTicked()
{
    const int files = m_result ? m_result->tickedFileCount() : 0;
    const qint64 replacements = m_result ? m_result->tickedReplacementCount() : 0;
    tickedLabel->setText(QString::number(files) +
                         (files == 1 ? QStringLiteral(" file, ") : QStringLiteral(" files, ")) +
                         QString::number(replacements) +
                         (replacements == 1 ? QStringLiteral(" replacement ticked")
                                            : QStringLiteral(" replacements ticked")));
    replaceTickedButton->setEnabled(replacements > 0);
}

void PreviewDialog::activate(const QModelIndex &index)
{
    if (!PreviewModel::isReplacement(index))
        return;
    emit openRequested(index.data(PreviewModel::PathRole).toString(),
                       index.data(PreviewModel::PositionRole).value<qsizetype>());
}
