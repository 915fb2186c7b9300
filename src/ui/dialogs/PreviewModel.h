#pragma once

#include <QAbstractItemModel>
#include <QSet>

class PreviewResult;

/// A preview's files and replacements as a two-level tree: each file a
/// top-level row, its replacements under it. Rows are worked out when a view
/// asks for them, so a million replacements cost their positions only; a
/// replacement's lines are read from its file for the rows shown.
class PreviewModel : public QAbstractItemModel {
    Q_OBJECT

public:
    enum Role {
        /// The replacement in its lines as rich text: the old text struck, the new marked.
        HtmlRole = Qt::UserRole + 1,
        /// Whether the file no longer is what was previewed.
        ChangedRole,
        /// A replacement's position in the previewed text of its file.
        PositionRole,
        PathRole
    };

    explicit PreviewModel(PreviewResult &result, QObject *parent = nullptr);

    PreviewResult &result() const { return m_result; }
    /// Whether index is a replacement (else a file).
    static bool isReplacement(const QModelIndex &index);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    /// A tick was set or cleared.
    void ticksChanged();

private:
    QVariant fileData(int file, int role) const;
    QVariant replacementData(int file, int replacement, int role) const;
    void noteChanged(int file) const;

    PreviewResult &m_result;
    /// Files found changed when their rows were shown.
    mutable QSet<int> m_changedFiles;
};
