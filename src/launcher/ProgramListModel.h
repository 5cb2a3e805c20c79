#pragma once

#include <QAbstractListModel>
#include <QColor>

class CProgramList;

/// The program list as the list view shows it: each entry's display name and picture on the
/// list's pale yellow, and its path as the tip text (broken into short lines).
class CProgramListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    /// The text the list's balloon tip shows for an entry.
    static constexpr int PathTipRole = Qt::UserRole + 1;
    static inline const QColor kBackColor{255, 255, 153};

    explicit CProgramListModel(const CProgramList& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    /// Reads the list again after it has changed.
    void Refill();

private:
    const CProgramList& m_list;
};
