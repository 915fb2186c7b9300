#include "PreviewModel.h"

#include "engine/PreviewResult.h"

#include <QMetaObject>

namespace {
// A file row has id 0; a replacement row the number of its file plus one, so
// that no row needs storage of its own.
constexpr quintptr kFileRow = 0;

// A line is shortened around the replacement: a minified file's one line can
// be megabytes long.
constexpr qsizetype kSideChars = 80;

QString shownHead(const QString &text)
{
    return text.size() > kSideChars ? QStringLiteral("…") + text.right(kSideChars) : text;
}

QString shownTail(const QString &text)
{
    return text.size() > kSideChars ? text.left(kSideChars) + QStringLiteral("…") : text;
}

// Line breaks inside a replaced text show as a mark, so each row keeps its lines.
QString oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("⏎"));
    text.replace(QLatin1Char('\r'), QStringLiteral("⏎"));
    text.replace(QLatin1Char('\n'), QStringLiteral("⏎"));
    return text;
}

QString escaped(const QString &text)
{
    return oneLine(text).toHtmlEscaped().replace(QLatin1Char(' '), QStringLiteral("&nbsp;"));
}

QString changedText()
{
    return QStringLiteral("(changed since the preview: it will be passed over)");
}
}  // namespace

PreviewModel::PreviewModel(PreviewResult &result, QObject *parent)
    : QAbstractItemModel(parent), m_result(result)
{
}

bool PreviewModel::isReplacement(const QModelIndex &index)
{
    return index.isValid() && index.internalId() != kFileRow;
}

QModelIndex PreviewModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0 || row >= rowCount(parent))
        return {};
    return createIndex(row, 0, parent.isValid() ? quintptr(parent.row()) + 1 : kFileRow);
}

QModelIndex PreviewModel::parent(const QModelIndex &child) const
{
    if (!isReplacement(child))
        return {};
    return createIndex(int(child.internalId() - 1), 0, kFileRow);
}

int PreviewModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return m_result.fileCount();
    return isReplacement(parent) ? 0 : m_result.replacementCount(parent.row());
}

int PreviewModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant PreviewModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (isReplacement(index))
        return replacementData(int(index.internalId() - 1), index.row(), role);
    return fileData(index.row(), role);
}

QVariant PreviewModel::fileData(int file, int role) const
{
    const int count = m_result.replacementCount(file);
    const int ticked = m_result.tickedIn(file);
    switch (role) {
    case Qt::DisplayRole: {
        QString text =
            m_result.path(file) + QStringLiteral(" — ") + QString::number(count) +
            (count == 1 ? QStringLiteral(" replacement") : QStringLiteral(" replacements"));
        if (m_changedFiles.contains(file))
            text += QLatin1Char(' ') + changedText();
        return text;
    }
    case Qt::CheckStateRole:
        return ticked == 0 ? Qt::Unchecked : ticked == count ? Qt::Checked : Qt::PartiallyChecked;
    case ChangedRole:
        return m_changedFiles.contains(file);
    case PathRole:
        return m_result.path(file);
    default:
        return {};
    }
}

QVariant PreviewModel::replacementData(int file, int replacement, int role) const
{
    switch (role) {
    case Qt::CheckStateRole:
        return m_result.isTicked(file, replacement) ? Qt::Checked : Qt::Unchecked;
    case PositionRole:
        return m_result.change(file, replacement).oldPosition;
    case PathRole:
        return m_result.path(file);
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
    case HtmlRole:
    case ChangedRole:
        break;
    default:
        return {};
    }
    // Only a row being shown gets here: its file is read now, not at preview time.
    const PreviewResult::Context c = m_result.context(file, replacement);
    if (c.changed) {
        noteChanged(file);
        if (role == ChangedRole)
            return true;
        return role == HtmlRole ? changedText().toHtmlEscaped() : changedText();
    }
    if (role == ChangedRole)
        return false;
    const QString line = QStringLiteral("line ") + QString::number(c.line) + QStringLiteral(": ");
    if (role != HtmlRole) {
        return line + oneLine(shownHead(c.head) + c.oldText + QStringLiteral(" → ") + c.newText +
                              shownTail(c.tail));
    }
    const QString muted = QStringLiteral("<span style=\"color:#808080\">%1</span><br>");
    return muted.arg(escaped(shownTail(c.lineBefore))) + line + escaped(shownHead(c.head)) +
           QStringLiteral("<s style=\"background-color:#ffd7d7\">") + escaped(c.oldText) +
           QStringLiteral("</s><span style=\"background-color:#c8f0c8\">") + escaped(c.newText) +
           QStringLiteral("</span>") + escaped(shownTail(c.tail)) + QStringLiteral("<br>") +
           muted.arg(escaped(shownTail(c.lineAfter))).chopped(4);
}

void PreviewModel::noteChanged(int file) const
{
    if (m_changedFiles.contains(file))
        return;
    m_changedFiles.insert(file);
    // Found while a view paints: the file row is told afterwards, not from within data().
    auto *self = const_cast<PreviewModel *>(this);
    QMetaObject::invokeMethod(
        self,
        [self, file] {
            const QModelIndex row = self->index(file, 0);
            emit self->dataChanged(row, row, {Qt::DisplayRole, ChangedRole});
        },
        Qt::QueuedConnection);
}

bool PreviewModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole)
        return false;
    const bool ticked = value.toInt() != Qt::Unchecked;
    if (isReplacement(index)) {
        const QModelIndex file = index.parent();
        m_result.setTicked(file.row(), index.row(), ticked);
        emit dataChanged(index, index, {Qt::CheckStateRole});
        emit dataChanged(file, file, {Qt::CheckStateRole});
    } else {
        const int count = m_result.replacementCount(index.row());
        m_result.setFileTicked(index.row(), ticked);
        emit dataChanged(index, index, {Qt::CheckStateRole});
        if (count > 0)
            emit dataChanged(this->index(0, 0, index), this->index(count - 1, 0, index),
                             {Qt::CheckStateRole});
    }
    emit ticksChanged();
    return true;
}

Qt::ItemFlags PreviewModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}
